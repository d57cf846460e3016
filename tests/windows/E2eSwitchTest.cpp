// The real program under Wine switching between two installations of the stand-in
// simulator, refusing while one runs, and the Default and Reset buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>

#include "tests/windows/E2eHarness.h"

namespace {

using e2e::App;
using e2e::kFullKey;
using e2e::kMarkers;

struct RawValue {
  DWORD type = 0;
  std::string data;
  bool operator==(const RawValue&) const = default;
};

std::optional<RawValue> Raw(const std::string& name) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kFullKey, 0, KEY_QUERY_VALUE, &k)) return std::nullopt;
  RawValue v;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &v.type, nullptr, &size);
  v.data.resize(size);
  if (!rc) rc = RegQueryValueExA(k, name.c_str(), nullptr, &v.type, (BYTE*)v.data.data(), &size);
  RegCloseKey(k);
  return rc ? std::nullopt : std::optional(v);
}

void PutRaw(const std::string& name, DWORD type, const std::string& data) {
  HKEY k;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, kFullKey, 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &k, nullptr));
  RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
  RegCloseKey(k);
}

class E2eSwitch : public ::testing::Test {
 protected:
  void SetUp() override {
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, kFullKey);
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, e2e::kDemoKey);
    e2e::DeleteRegistryTree(HKEY_CURRENT_USER, kMarkers);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::make_unique<e2e::ProgramFolder>(std::string("Switch") + info->name());
    ASSERT_TRUE(folder->Ready()) << folder->Dir();
    for (auto* dir : {&dirA, &dirB}) {
      *dir = folder->Path(dir == &dirA ? "EEP A" : "EEP B");
      CreateDirectoryA(dir->c_str(), nullptr);
      ASSERT_TRUE(CopyFileA((e2e::FixtureDir() + "\\eep.exe").c_str(), (*dir + "\\eep.exe").c_str(),
                            FALSE));
      ASSERT_TRUE(CopyFileA((e2e::FixtureDir() + "\\components\\comp_a.dll").c_str(),
                            (*dir + "\\comp_a.dll").c_str(), FALSE));
    }
    // The stand-in's product version 6, 0, 0, 3 selects EEP6003.ini.
    ASSERT_TRUE(e2e::WriteTextFile(folder->Path("EEP6003.ini"),
                                   "[Registry Keys]\r\n"
                                   "HKCR\\Software\\Software Untergrund\\EEXP=1\r\n"
                                   "[Factory Settings]\r\n"
                                   "HKCR\\Software\\Software Untergrund\\EEXP\\AppPath=REG_SZ:{AppDir}\\eep.exe\r\n"
                                   "HKCR\\Software\\Software Untergrund\\EEXP\\Daten=REG_SZ:{AppDir}\\Daten\r\n"
                                   "HKCR\\Software\\Software Untergrund\\EEXP\\Zahl=REG_DWORD:7\r\n"
                                   "[Register]\r\n{AppDir}\\comp_a.dll=1\r\n"
                                   "[Unregister]\r\n{AppDir}\\comp_a.dll=1\r\n"));
    // A is installed and active; B has a snapshot of its own from an earlier switch.
    ASSERT_TRUE(e2e::WriteTextFile(
        folder->LauncherIni(),
        "[Settings]\r\nCount=2\r\n"
        "[EEP_1]\r\nDescription=EEP A\r\nAppDir=" + dirA + "\r\nAppPath=" + dirA +
            "\\eep.exe\r\nRegType=EEP6003\r\n"
            "[EEP_2]\r\nDescription=EEP B\r\nAppDir=" + dirB + "\r\nAppPath=" + dirB +
            "\\eep.exe\r\nRegType=EEP6003\r\nSaved=1\r\n"
            "[EEP_2\\Settings]\r\n"
            "HKCR\\Software\\Software Untergrund\\EEXP\\AppPath=REG_SZ:" + dirB + "\\eep.exe\r\n"
            "HKCR\\Software\\Software Untergrund\\EEXP\\Farbe=REG_SZ:blau\r\n"));
    before = {{"AppPath", {REG_SZ, dirA + "\\eep.exe" + std::string(1, '\0')}},
              {"Farbe", {REG_SZ, std::string("rot\0", 4)}},
              {"Zahl", {REG_DWORD, std::string("\xff\xff\xff\xff", 4)}},
              {"Bild", {REG_BINARY, std::string("\x01\x00\xfe", 3)}},
              {"Pfad", {REG_EXPAND_SZ, std::string("%WINDIR%\\x\0", 11)}},
              {"Liste", {REG_MULTI_SZ, std::string("eins\0zwei\0\0", 11)}}};
    for (const auto& [name, value] : before) PutRaw(name, value.type, value.data);
  }
  void TearDown() override {
    app.Close();
    e2e::CloseSimulators();
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, kFullKey);
    e2e::DeleteRegistryTree(HKEY_CURRENT_USER, kMarkers);
  }
  void StartApp() {
    ASSERT_TRUE(app.Start(*folder));
    ASSERT_TRUE(app.WaitForMain());
    ASSERT_EQ(2, app.RowCount());
  }
  // An operation has ended when the log holds its last expected text and the list is
  // usable again.
  bool WaitUntilDone(const std::string& lastText) {
    return e2e::WaitFor([&] {
      return app.LogText().find(lastText) != std::string::npos &&
             App::Enabled(app.Button("Info"));
    }, 60000);
  }
  std::string Marker() {
    return e2e::RegistryString(HKEY_CURRENT_USER, kMarkers, "comp_a.dll").value_or("<none>");
  }
  static std::string Header(const std::string& word, const std::string& text,
                            const std::string& dir) {
    const std::string rule(80, '=');
    return rule + "\r\n" + word + ": " + text + "\r\nin " + dir + "\r\n" + rule + "\r\n";
  }

  std::unique_ptr<e2e::ProgramFolder> folder;
  std::string dirA, dirB;
  std::map<std::string, RawValue> before;
  App app;
};

TEST_F(E2eSwitch, TickingAnotherRowSwitchesAndTickingBackRestoresEveryValueExactly) {
  StartApp();
  ASSERT_TRUE(app.Row(0).checked);
  ASSERT_TRUE(app.ToggleCheck(1));
  ASSERT_TRUE(WaitUntilDone("Register: comp_a.dll..."));
  const std::string log = app.LogText();
  const std::string key = "HKCR\\Software\\Software Untergrund\\EEXP\\";

  // The UNREGISTER half for A, then the REGISTER half for B, in this order.
  std::size_t at = log.find(Header("UNREGISTER", "EEP A", dirA));
  EXPECT_EQ(0u, at) << log;
  for (const std::string& line :
       {"SaveRegistry: " + key + "AppPath...ok\r\n", "SaveRegistry: " + key + "Zahl...ok\r\n",
        std::string("Unregister: comp_a.dll...ok\r\n"), "DeleteRegistry: " + key + "AppPath...ok\r\n",
        Header("REGISTER", "EEP B", dirB), "RestoreRegistry: " + key + "AppPath...ok\r\n",
        "RestoreRegistry: " + key + "Farbe...ok\r\n", std::string("Register: comp_a.dll...ok\r\n")}) {
    std::size_t next = log.find(line, at);
    ASSERT_NE(std::string::npos, next) << "missing or out of order: " << line << "\n" << log;
    at = next;
  }

  // A's snapshot holds A's settings; the registry holds B's; the component is B's.
  const std::string ini = folder->LauncherIni();
  EXPECT_EQ("1", e2e::IniRead(ini, "EEP_1", "Saved"));
  EXPECT_EQ("REG_SZ:rot", e2e::IniRead(ini, "EEP_1\\Settings", key + "Farbe"));
  EXPECT_EQ("REG_DWORD:-1", e2e::IniRead(ini, "EEP_1\\Settings", key + "Zahl"));
  EXPECT_EQ(dirB + "\\eep.exe", e2e::RegistryString(HKEY_CLASSES_ROOT, kFullKey, "AppPath"));
  EXPECT_EQ("blau", e2e::RegistryString(HKEY_CLASSES_ROOT, kFullKey, "Farbe"));
  EXPECT_FALSE(Raw("Zahl").has_value());
  EXPECT_EQ(dirB, Marker());
  auto rows = app.Rows();
  EXPECT_FALSE(rows[0].checked);
  EXPECT_TRUE(rows[1].checked);
  EXPECT_TRUE(rows[1].selected);

  // Back to A: every value returns with its type and bytes.
  ASSERT_TRUE(app.ToggleCheck(0));
  ASSERT_TRUE(WaitUntilDone(Header("REGISTER", "EEP A", dirA)));
  ASSERT_TRUE(WaitUntilDone("Register: comp_a.dll..."));
  for (const auto& [name, value] : before) EXPECT_EQ(std::optional(value), Raw(name)) << name;
  EXPECT_EQ(dirA, Marker());
  rows = app.Rows();
  EXPECT_TRUE(rows[0].checked);
  EXPECT_FALSE(rows[1].checked);
}

TEST_F(E2eSwitch, TickingOffTheActiveRowLeavesNothingActive) {
  StartApp();
  ASSERT_TRUE(app.ToggleCheck(0));
  ASSERT_TRUE(WaitUntilDone("Unregister: comp_a.dll..."));
  ASSERT_TRUE(e2e::WaitFor([&] { return App::Enabled(app.Button("Info")); }));
  EXPECT_EQ(std::string::npos, app.LogText().find("\nREGISTER: "));
  EXPECT_EQ(0u, app.LogText().find(Header("UNREGISTER", "EEP A", dirA)));
  for (const auto& row : app.Rows()) EXPECT_FALSE(row.checked);
  EXPECT_TRUE(app.Row(0).selected);
  for (const char* caption : {"EEP starten", "Wiederherstellen", "Standardeinstellungen"})
    EXPECT_FALSE(App::Enabled(app.Button(caption))) << caption;
  EXPECT_FALSE(Raw("AppPath").has_value());
  EXPECT_EQ("<none>", Marker());
}

TEST_F(E2eSwitch, ARunningSimulatorRefusesSwitchesAndTheDoubleClickStartsNothing) {
  StartApp();
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + dirA + "\\eep.exe\"";
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             dirA.c_str(), &si, &pi));
  CloseHandle(pi.hThread);
  ASSERT_TRUE(e2e::WaitFor([] { return FindWindowA(nullptr, "EEP-Attrappe") != nullptr; }));

  ASSERT_TRUE(app.ToggleCheck(1));
  auto box = app.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ("EEP läuft bereits! Umschalten ist derzeit nicht möglich!", box->text);
  EXPECT_EQ(app.Caption(), box->title);
  App::Answer(*box, "OK");
  ASSERT_TRUE(e2e::WaitFor([&] { return !app.FindMessageBox() && !app.Row(1).checked; }));
  EXPECT_TRUE(app.Row(0).checked);
  EXPECT_EQ(dirA + "\\eep.exe", e2e::RegistryString(HKEY_CLASSES_ROOT, kFullKey, "AppPath"));

  ASSERT_TRUE(app.DoubleClickRow(1));
  box = app.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ("EEP läuft bereits! Umschalten ist derzeit nicht möglich!", box->text);
  App::Answer(*box, "OK");
  // Only that message: no question about a second simulator follows.
  Sleep(1500);
  EXPECT_FALSE(app.FindMessageBox().has_value());
  EXPECT_EQ("", e2e::ReadTextFile(dirB + "\\starts.log").value_or(""));
  TerminateProcess(pi.hProcess, 0);
  CloseHandle(pi.hProcess);
}

TEST_F(E2eSwitch, DoubleClickOnAnotherRowSwitchesThenStartsIt) {
  StartApp();
  ASSERT_TRUE(app.DoubleClickRow(1));
  ASSERT_TRUE(WaitUntilDone("Register: comp_a.dll..."));
  ASSERT_TRUE(e2e::WaitFor([&] {
    return e2e::ReadTextFile(dirB + "\\starts.log").value_or("").find(dirB + "\\eep.exe|" + dirB) !=
           std::string::npos;
  }));
  EXPECT_TRUE(app.Row(1).checked);
}

TEST_F(E2eSwitch, DefaultWritesFactorySettingsAndResetRestoresTheSnapshot) {
  StartApp();
  ASSERT_TRUE(App::Enabled(app.Button("Standardeinstellungen")));
  App::Click(app.Button("Standardeinstellungen"));
  ASSERT_TRUE(WaitUntilDone("RestoreRegistry: HKCR\\Software\\Software Untergrund\\EEXP\\Zahl..."));
  const std::string log = app.LogText();
  EXPECT_EQ(0u, log.find(Header("DEFAULT", "EEP A", dirA))) << log;
  EXPECT_NE(std::string::npos,
            log.find("DeleteRegistry: HKCR\\Software\\Software Untergrund\\EEXP\\Farbe...ok\r\n"));
  EXPECT_EQ(dirA + "\\Daten", e2e::RegistryString(HKEY_CLASSES_ROOT, kFullKey, "Daten"));
  EXPECT_FALSE(Raw("Farbe").has_value());

  // Reset brings back the last snapshot, which B's switch wrote for A.
  ASSERT_TRUE(app.ToggleCheck(1));
  ASSERT_TRUE(WaitUntilDone("Register: comp_a.dll..."));
  ASSERT_TRUE(app.ToggleCheck(0));
  ASSERT_TRUE(WaitUntilDone(Header("REGISTER", "EEP A", dirA)));
  ASSERT_TRUE(WaitUntilDone("Register: comp_a.dll..."));
  PutRaw("Daten", REG_SZ, std::string("verstellt\0", 10));
  ASSERT_TRUE(e2e::WaitFor([&] { return App::Enabled(app.Button("Wiederherstellen")); }));
  App::Click(app.Button("Wiederherstellen"));
  ASSERT_TRUE(WaitUntilDone("Register: comp_a.dll..."));
  EXPECT_EQ(0u, app.LogText().find(Header("RESET", "EEP A", dirA))) << app.LogText();
  EXPECT_EQ(dirA + "\\Daten", e2e::RegistryString(HKEY_CLASSES_ROOT, kFullKey, "Daten"));
  EXPECT_EQ(dirA, Marker());
}

}  // namespace
