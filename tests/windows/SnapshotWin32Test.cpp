// A snapshot of a real registry key, and a backup imported by regedit, give back every
// type byte for byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "catalogue/Installation.h"
#include "platform/win32/Win32Platform.h"
#include "support/IniStore.h"
#include "snapshots/Backups.h"
#include "snapshots/Snapshots.h"

namespace {
const char kKey[] = "Software\\Gleisora Tests\\Snapshot";

struct Stored {
  DWORD type;
  std::vector<BYTE> data;
  bool operator==(const Stored&) const = default;
};

std::map<std::string, Stored> ReadKey() {
  std::map<std::string, Stored> out;
  HKEY k;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &k) != ERROR_SUCCESS) return out;
  std::vector<BYTE> data(1 << 20);
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameLen = sizeof name, type = 0, size = static_cast<DWORD>(data.size());
    if (RegEnumValueA(k, i, name, &nameLen, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
      break;
    out[std::string(name, nameLen)] = {type, std::vector<BYTE>(data.begin(), data.begin() + size)};
  }
  RegCloseKey(k);
  return out;
}


std::vector<BYTE> Sz(const std::string& s) { return {s.c_str(), s.c_str() + s.size() + 1}; }
}  // namespace

TEST(SnapshotWin32, RoundTripOfEveryTypeThroughTheLauncherIni) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  const std::map<std::string, Stored> original = {
      {"none", {REG_NONE, {1, 2}}},
      {"sz", {REG_SZ, Sz("C:\\EEP;a=b")}},
      {"szPercent", {REG_SZ, Sz("%WINDIR%\\x")}},
      {"expand", {REG_EXPAND_SZ, Sz("%SystemRoot%\\x")}},
      {"binary", {REG_BINARY, {0, 255, 16}}},
      {"dword", {REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}}},
      {"bigEndian", {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}}},
      {"link", {REG_LINK, {'L', 0, 'k', 0}}},
      {"multi", {REG_MULTI_SZ, {'a', 0, 'b', 0, 0}}},
      {"resList", {REG_RESOURCE_LIST, {1, 0, 0, 0}}},
      {"fullRes", {REG_FULL_RESOURCE_DESCRIPTOR, {2}}},
      {"resReq", {REG_RESOURCE_REQUIREMENTS_LIST, {3, 3}}},
      {"qword", {REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}}},
      {"unnamed", {0x12345, {9, 9}}},
      {"", {REG_SZ, Sz("default value \"q\" \\")}},
      {"Größe Ü", {REG_SZ, Sz("Gleisbögen")}},
      {"emptySz", {REG_SZ, Sz("")}},
      {"emptyBinary", {REG_BINARY, {}}},
      {"huge", {REG_BINARY, std::vector<BYTE>(300000, 0xA5)}},
  };
  HKEY k;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &k, nullptr));
  for (const auto& [name, v] : original)
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(k, name.c_str(), 0, v.type, v.data.data(),
                                            static_cast<DWORD>(v.data.size())));
  RegCloseKey(k);
  ASSERT_EQ(original, ReadKey());

  char temp[MAX_PATH];
  Win32Platform win;
  plat::Platform p = win.Get();
  ini::IniStore iniFiles(*p.files);
  p.ini = &iniFiles;
  p.appDir = std::string(temp, GetTempPathA(MAX_PATH, temp)) + "gleisora-snap-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(p.appDir.c_str(), nullptr);
  ASSERT_TRUE(p.files->WriteAllAtomic(p.appDir + "\\DEFAULT.ini",
                                      "[Registry Keys]\r\nHKCU\\" + std::string(kKey) + "=1\r\n"));
  std::string logText;
  LanguageFile texts(p);
  ActivityLog log({[] {}, [&](const std::string& t) { logText += t; }, [] {}});
  const Context context{p, texts, log, [](const std::string&, unsigned) { return mb::kIdOk; }};
  Snapshots snapshots(context);
  const Installation inst = ReadInstallation(p, "EEP_1");
  snapshots.SaveSettings(inst);
  snapshots.DeleteRegistryKeys(inst);
  HKEY gone;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &gone));
  logText.clear();
  snapshots.LoadSavedSettings("EEP_1");
  EXPECT_EQ(original, ReadKey());
  EXPECT_EQ(std::string::npos, logText.find("ERROR")) << logText;

  // The backup names the key as the system does (HKEY_USERS\<user>\...), so the
  // regedit of a double click puts every value back where it was.
  Backups backups(context);
  const auto values = snapshots.Current({"HKCU\\" + std::string(kKey)}, {});
  ASSERT_TRUE(values);
  ASSERT_TRUE(backups.Write("Umschalten", "EEP_1", *values));
  const std::string file = p.appDir + "\\Backups\\" + p.files->ListFiles(p.appDir + "\\Backups\\*").at(0);
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  std::string cmd = "regedit.exe /s \"" + file + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  WaitForSingleObject(pi.hProcess, 60000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(original, ReadKey());
  DeleteFileA(file.c_str());
  RemoveDirectoryA((p.appDir + "\\Backups").c_str());

  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  DeleteFileA((p.appDir + "\\DEFAULT.ini").c_str());
  DeleteFileA((p.appDir + "\\" + p.exeName + ".ini").c_str());
  RemoveDirectoryA(p.appDir.c_str());
}
