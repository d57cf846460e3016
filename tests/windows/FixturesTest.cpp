// The fixtures other tests rely on: they exist, the stand-in simulator carries its
// version resource and records its starts, and a test component registers and
// unregisters its marker.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string WinPath(std::string unixPath) {
  for (auto& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}
const std::string kFixtures = WinPath(GLEISORA_FIXTURE_DIR);
const char kMarkerKey[] = "Software\\Gleisora Tests\\Components";

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Marker(const char* name) {
  char buf[MAX_PATH * 4];
  DWORD size = sizeof buf;
  if (RegGetValueA(HKEY_CURRENT_USER, kMarkerKey, name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
      ERROR_SUCCESS)
    return "<none>";
  return buf;
}

TEST(Fixtures, AllArePresent) {
  for (const char* f : {"eep.exe", "components\\comp_a.dll", "components\\comp_b.dll",
                        "components\\comp_fail.dll", "components\\comp_crash.dll",
                        "components\\comp_noentry.dll", "components\\notalib.dll"})
    EXPECT_TRUE(Exists(kFixtures + "\\" + f)) << f;
  HMODULE notLib = LoadLibraryA((kFixtures + "\\components\\notalib.dll").c_str());
  EXPECT_EQ(nullptr, notLib);
  if (notLib) FreeLibrary(notLib);
  HMODULE noEntry = LoadLibraryA((kFixtures + "\\components\\comp_noentry.dll").c_str());
  ASSERT_NE(nullptr, noEntry);
  EXPECT_EQ(nullptr, GetProcAddress(noEntry, "DllRegisterServer"));
  FreeLibrary(noEntry);
}

TEST(Fixtures, StandInSimulatorHasItsVersionResource) {
  const std::string exe = kFixtures + "\\eep.exe";
  DWORD handle = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
  ASSERT_NE(0u, size);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(0x00060000u, fixed->dwFileVersionMS);
  EXPECT_EQ(0x00000003u, fixed->dwFileVersionLS);
  EXPECT_EQ(0x00060000u, fixed->dwProductVersionMS);
  DWORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &len));
  EXPECT_EQ(0x04E40407u, *translation);
  const std::pair<const char*, const char*> strings[] = {
      {"CompanyName", "Gleisora-Projekt"}, {"FileDescription", "EEP-Attrappe"},
      {"ProductName", "EEP Attrappe"},     {"ProductVersion", "6, 0, 0, 3"},
      {"FileVersion", "6, 0, 0, 3"},       {"InternalName", "eep"},
      {"OriginalFilename", "eep.exe"}};
  for (auto [key, expected] : strings) {
    char* value = nullptr;
    std::string sub = std::string("\\StringFileInfo\\040704E4\\") + key;
    ASSERT_TRUE(VerQueryValueA(block.data(), sub.c_str(), reinterpret_cast<void**>(&value), &len))
        << key;
    EXPECT_STREQ(expected, value) << key;
  }
}

// Starts the stand-in with a chosen current directory, finds its window and closes it.
TEST(Fixtures, StandInSimulatorRecordsItsStartAndShowsSettings) {
  const std::string exe = kFixtures + "\\eep.exe";
  const std::string log = kFixtures + "\\starts.log";
  // Other tests expect the simulator's key to be missing: remove what this test adds.
  HKEY eexp, probe;
  const bool hadVendor = RegOpenKeyExA(HKEY_CLASSES_ROOT, "Software\\Software Untergrund", 0,
                                       KEY_READ, &probe) == ERROR_SUCCESS;
  if (hadVendor) RegCloseKey(probe);
  DWORD disposition = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "Software\\Software Untergrund\\EEXP",
                                           0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &eexp,
                                           &disposition));
  RegSetValueExA(eexp, "GleisoraFixtureProbe", 0, REG_SZ, reinterpret_cast<const BYTE*>("Probe42"),
                 8);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string cwd(temp);
  if (cwd.size() > 3 && cwd.back() == '\\') cwd.pop_back();

  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + exe + "\"";
  ASSERT_TRUE(CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             cwd.c_str(), &si, &pi));
  WaitForInputIdle(pi.hProcess, 30000);
  HWND wnd = nullptr;
  // Polls only to bound the wait; no assertion on how long it takes.
  for (int i = 0; i < 300 && !wnd; ++i) {
    wnd = FindWindowA(nullptr, "EEP-Attrappe");
    if (!wnd) Sleep(100);
  }
  ASSERT_NE(nullptr, wnd) << "window not found";
  HWND edit = GetWindow(wnd, GW_CHILD);
  char text[8192] = "";
  SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_NE(nullptr, std::strstr(text, "GleisoraFixtureProbe = Probe42")) << text;
  EXPECT_NE(nullptr, std::strstr(text, cwd.c_str())) << text;
  PostMessageA(wnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 30000));
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  RegDeleteValueA(eexp, "GleisoraFixtureProbe");
  RegCloseKey(eexp);
  if (!hadVendor)
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "Software\\Software Untergrund");
  else if (disposition == REG_CREATED_NEW_KEY)
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Software\\Software Untergrund\\EEXP");

  std::ifstream in(log, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  std::string lines = all.str();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ("\r\n", lines.substr(lines.size() - 2));
  std::string last = lines.substr(0, lines.size() - 2);
  last = last.substr(last.find_last_of('\n') + 1);
  char full[MAX_PATH];
  GetFullPathNameA(exe.c_str(), MAX_PATH, full, nullptr);
  EXPECT_EQ(std::string(full) + "|" + cwd, last);
}

TEST(Fixtures, ComponentRegistersAndUnregistersItsMarker) {
  using Entry = HRESULT(__stdcall*)();
  struct Case {
    const char* file;
    HRESULT result;
  };
  for (const Case c : {Case{"comp_a.dll", S_OK}, Case{"comp_fail.dll", E_FAIL}}) {
    HMODULE lib = LoadLibraryA((kFixtures + "\\components\\" + c.file).c_str());
    ASSERT_NE(nullptr, lib) << c.file;
    auto reg = reinterpret_cast<Entry>(GetProcAddress(lib, "DllRegisterServer"));
    auto unreg = reinterpret_cast<Entry>(GetProcAddress(lib, "DllUnregisterServer"));
    ASSERT_TRUE(reg && unreg) << c.file;
    EXPECT_EQ(c.result, reg()) << c.file;
    EXPECT_EQ(kFixtures + "\\components", Marker(c.file)) << c.file;
    EXPECT_EQ(c.result, unreg()) << c.file;
    EXPECT_EQ("<none>", Marker(c.file)) << c.file;
    FreeLibrary(lib);
  }
}

}  // namespace
