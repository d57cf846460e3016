// The rows' context menu of the real program under Wine, by mouse and by keyboard.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <initializer_list>
#include <vector>

#include "tests/windows/E2eHarness.h"

namespace {

bool Keys(std::initializer_list<WORD> chord) {  // pressed in order, released in reverse
  std::vector<INPUT> in;
  for (WORD k : chord) in.push_back({INPUT_KEYBOARD, {}}), in.back().ki.wVk = k;
  for (auto k = chord.end(); k != chord.begin();)
    in.push_back({INPUT_KEYBOARD, {}}), in.back().ki.wVk = *--k, in.back().ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

bool Menu(std::initializer_list<WORD> keys) {  // waits for the pop-up menu, then keys
  HWND menu = nullptr;
  if (!e2e::WaitFor([&] { return IsWindowVisible(menu = FindWindowA("#32768", nullptr)); })) return false;
  for (WORD k : keys)
    if (!Keys({k})) return false;
  return true;
}

bool ChooseFile(const std::string& path) {  // in the program's file dialog: the name's box
  HWND dlg = nullptr;
  if (!e2e::WaitFor([&] { return IsWindowVisible(dlg = FindWindowA("#32770", "EEP-Installation hinzufügen")); }))
    return false;
  HWND name = FindWindowExA(FindWindowExA(GetDlgItem(dlg, 0x47c), nullptr, "ComboBox", nullptr), nullptr, "Edit", nullptr);
  return SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())) &&
         PostMessageA(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
}

std::string Ansi(const wchar_t* w) {
  char buf[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, w, -1, buf, sizeof buf, nullptr, nullptr);
  return buf;
}

// Target, arguments, working folder and icon of a link, read back through the shell.
std::string ReadLink(const std::string& path) {
  const CLSID shellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = {}, args[MAX_PATH] = {}, dir[MAX_PATH] = {}, icon[MAX_PATH] = {};
  int index = -1;
  std::wstring wide(path.begin(), path.end());
  CoInitialize(nullptr);
  if (SUCCEEDED(CoCreateInstance(shellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
    link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(args, MAX_PATH);
    link->GetWorkingDirectory(dir, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &index);
  }
  if (file) file->Release();
  if (link) link->Release();
  CoUninitialize();
  return Ansi(target) + "|" + Ansi(args) + "|" + Ansi(dir) + "|" + Ansi(icon) + "," + std::to_string(index);
}

TEST(E2eMenu, AddsByCtrlNCreatesAShortcutRestoresABackupAndRemovesAnEntry) {
  e2e::Scene scene("Menu");
  const std::string a = scene.AddInstallation("A"), b = scene.AddInstallation("B");
  ASSERT_TRUE(e2e::WriteTextFile(scene.Path("EEP6003.ini"),
                                 "[Registry Keys]\r\nHKCR\\Software\\Software Untergrund\\EEXP=1\r\n"));
  ASSERT_TRUE(e2e::SetRegString(HKEY_CLASSES_ROOT, e2e::kFullKey, "AppPath", a + "\\eep.exe"));
  e2e::App app(scene);
  ASSERT_TRUE(app.WaitForMain());
  ASSERT_TRUE(app.ClickRow(0));

  ASSERT_TRUE(Keys({VK_CONTROL, 'N'}) && ChooseFile(b + "\\eep.exe"));
  ASSERT_TRUE(e2e::WaitFor([&] { return app.RowCount() == 2; }));
  EXPECT_EQ(b + "|EEP6003", e2e::IniRead(scene.Path("Gleisora.ini"), "EEP_2", "AppDir") + "|" + app.RowText(1, 1));
  ASSERT_TRUE(Keys({VK_CONTROL, 'N'}) && ChooseFile(a + "\\EEP.exe"));
  EXPECT_TRUE(e2e::App::Answer(
      app.WaitForBox("EEP-Attrappe v6.03\r\n" + a + "\r\nDiese Installation steht bereits in der Liste!"), "OK"));

  // By mouse: a right click on the row, the first command.
  char desktop[MAX_PATH] = {};
  ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop));
  const std::string lnk = std::string(desktop) + "\\EEP-Attrappe v6.03.lnk";
  DeleteFileA(lnk.c_str());
  ASSERT_TRUE(app.ClickRow(1));
  INPUT click[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
  click[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  ASSERT_EQ(2u, SendInput(2, click, sizeof(INPUT)));
  ASSERT_TRUE(Menu({VK_DOWN, VK_RETURN}));
  ASSERT_TRUE(e2e::WaitFor([&] { return GetFileAttributesA(lnk.c_str()) != INVALID_FILE_ATTRIBUTES; }));
  EXPECT_EQ(scene.Path("Gleisora.exe") + "|/start EEP_2|" + scene.Path("") .substr(0, scene.Path("").size() - 1) +
                "|" + b + "\\eep.exe,0",
            ReadLink(lnk));
  DeleteFileA(lnk.c_str());

  // Default leaves a backup; the menu key on the active row restores it.
  PostMessageA(app.Button("Standardeinstellungen"), BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitFor([&] {
    return !e2e::RegString(HKEY_CLASSES_ROOT, e2e::kFullKey, "AppPath") && IsWindowEnabled(app.Button("Info"));
  }));
  WIN32_FIND_DATAA found{};
  HANDLE find = FindFirstFileA(scene.Path("Backups\\*_Standard_EEP_1.reg").c_str(), &found);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  FindClose(find);
  ASSERT_TRUE(app.ClickRow(0) && Keys({VK_APPS}));
  ASSERT_TRUE(Menu({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN}));
  EXPECT_TRUE(e2e::App::Answer(app.WaitForBox(std::string(found.cFileName) +
                                              "\r\nSollen die Einstellungen aus dieser Sicherung wiederhergestellt "
                                              "werden?\r\nDie jetzigen Einstellungen werden vorher gesichert."),
                               "&Yes"));
  EXPECT_TRUE(e2e::WaitFor([&] { return e2e::RegString(HKEY_CLASSES_ROOT, e2e::kFullKey, "AppPath") == a + "\\eep.exe"; }))
      << app.LogText();

  // By keyboard: Shift+F10 on the other row, its third command.
  ASSERT_TRUE(app.ClickRow(1) && Keys({VK_SHIFT, VK_F10}));
  ASSERT_TRUE(Menu({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}));
  EXPECT_TRUE(e2e::App::Answer(app.WaitForBox("EEP-Attrappe v6.03\r\nSoll dieser Eintrag aus der Liste entfernt "
                                              "werden?\r\nSeine gespeicherten Einstellungen werden dabei gelöscht."),
                               "&Yes"));
  EXPECT_TRUE(e2e::WaitFor([&] { return app.RowCount() == 1; }));
  EXPECT_EQ("<missing>", e2e::IniRead(scene.Path("Gleisora.ini"), "EEP_2", "AppDir"));
}

}  // namespace
