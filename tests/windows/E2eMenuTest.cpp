// The rows' context menu of the real program under Wine, by mouse and by keyboard.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <vector>

#include "tests/windows/E2eHarness.h"

namespace {

bool Keys(std::initializer_list<WORD> chord) {  // pressed in order, released in reverse
  std::vector<INPUT> in(chord.size() * 2, INPUT{INPUT_KEYBOARD, {}});
  for (std::size_t i = 0; i < chord.size(); ++i) {
    in[i].ki.wVk = in[in.size() - 1 - i].ki.wVk = chord.begin()[i];
    in[in.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  return SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

bool Menu(std::initializer_list<WORD> keys) {  // once the pop-up menu shows
  bool shown = e2e::WaitFor([] { return IsWindowVisible(FindWindowA("#32768", nullptr)); });
  for (WORD k : keys) shown = shown && Keys({k});
  return shown;
}

bool ChooseFile(const std::string& path) {  // typed into the file dialog's name box
  HWND dlg = nullptr;
  return e2e::WaitFor([&] { return IsWindowVisible(dlg = FindWindowA("#32770", "EEP-Installation hinzufügen")); }) &&
         SendMessageA(FindWindowExA(FindWindowExA(GetDlgItem(dlg, 0x47c), nullptr, "ComboBox", nullptr), nullptr,
                                    "Edit", nullptr),
                      WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())) &&
         PostMessageA(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
}

// Target, arguments, working folder and icon of a link, read back through the shell.
std::string ReadLink(const std::string& path) {
  const CLSID shellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  char target[MAX_PATH] = {}, args[MAX_PATH] = {}, dir[MAX_PATH] = {}, icon[MAX_PATH] = {};
  int index = -1;
  CoInitialize(nullptr);
  if (SUCCEEDED(CoCreateInstance(shellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkA),
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(std::wstring(path.begin(), path.end()).c_str(), STGM_READ)))
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH), link->GetArguments(args, MAX_PATH),
        link->GetWorkingDirectory(dir, MAX_PATH), link->GetIconLocation(icon, MAX_PATH, &index);
  (file ? file->Release() : 0), (link ? link->Release() : 0);
  CoUninitialize();
  return std::string(target) + "|" + args + "|" + dir + "|" + icon + "," + std::to_string(index);
}

TEST(E2eMenu, AddsByCtrlNCreatesAShortcutRestoresABackupAndRemovesAnEntry) {
  e2e::Scene scene("Menu");
  const std::string a = scene.AddInstallation("A"), b = scene.AddInstallation("B");
  ASSERT_TRUE(e2e::WriteTextFile(scene.Path("EEP6003.ini"),
                                 "[Registry Keys]\r\nHKCR\\Software\\Software Untergrund\\EEXP=1\r\n"));
  ASSERT_TRUE(e2e::SetRegString(HKEY_CLASSES_ROOT, e2e::kFullKey, "AppPath", a + "\\eep.exe"));
  e2e::App app(scene);
  ASSERT_TRUE(app.WaitForMain() && app.ClickRow(0));
  ASSERT_TRUE(Keys({VK_CONTROL, 'N'}) && ChooseFile(b + "\\eep.exe"));
  ASSERT_TRUE(e2e::WaitFor([&] { return app.RowCount() == 2; }));

  // By mouse: a right click on the row, its first command.
  char desktop[MAX_PATH] = {};
  ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop));
  const std::string lnk = std::string(desktop) + "\\EEP-Attrappe v6.03.lnk";
  ASSERT_TRUE(app.ClickRow(1, e2e::Mouse::Right) && Menu({VK_DOWN, VK_RETURN}));
  ASSERT_TRUE(e2e::WaitFor([&] { return GetFileAttributesA(lnk.c_str()) != INVALID_FILE_ATTRIBUTES; }));
  const std::string dir = scene.Path("");
  EXPECT_EQ(dir + "Gleisora.exe|/start EEP_2|" + dir.substr(0, dir.size() - 1) + "|" + b + "\\eep.exe,0",
            ReadLink(lnk));
  DeleteFileA(lnk.c_str());

  // Default leaves a backup; the menu key on the active row restores it (last command).
  PostMessageA(app.Button("Standardeinstellungen"), BM_CLICK, 0, 0);
  WIN32_FIND_DATAA found{};
  ASSERT_TRUE(e2e::WaitFor([&] {
    return FindClose(FindFirstFileA(scene.Path("Backups\\*_Standard_EEP_1.reg").c_str(), &found)) &&
           IsWindowEnabled(app.Button("Info"));
  }));
  ASSERT_TRUE(app.ClickRow(0) && Keys({VK_APPS}) && Menu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN}));
  EXPECT_TRUE(e2e::App::Answer(app.WaitForBox(std::string(found.cFileName) +
                                              "\r\nSollen die Einstellungen aus dieser Sicherung wiederhergestellt "
                                              "werden?\r\nDie jetzigen Einstellungen werden vorher gesichert."),
                               "&Yes"));
  EXPECT_TRUE(e2e::WaitFor([&] { return e2e::RegString(HKEY_CLASSES_ROOT, e2e::kFullKey, "AppPath") == a + "\\eep.exe"; }));

  // By keyboard: Shift+F10 on the other row, its third command.
  ASSERT_TRUE(app.ClickRow(1) && Keys({VK_SHIFT, VK_F10}) && Menu({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}));
  EXPECT_TRUE(e2e::App::Answer(app.WaitForBox("EEP-Attrappe v6.03\r\nSoll dieser Eintrag aus der Liste entfernt "
                                              "werden?\r\nSeine gespeicherten Einstellungen werden dabei gelöscht."),
                               "&Yes"));
  EXPECT_TRUE(e2e::WaitFor([&] { return app.RowCount() == 1; }));
  EXPECT_EQ("<missing>", e2e::IniRead(scene.Path("Gleisora.ini"), "EEP_2", "AppDir"));
}

}  // namespace
