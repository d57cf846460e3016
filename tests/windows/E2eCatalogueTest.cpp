// The real program under Wine with the stand-in simulator: the catalogue, Start and
// its questions, removal of a gone entry, and the demo edition's definition file.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "platform/win32/ProcessApiWin32.h"
#include "switching/mdlProcess.h"
#include "tests/windows/E2eHarness.h"

namespace {

using e2e::App;

class E2eCatalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, e2e::kFullKey);
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, e2e::kDemoKey);
    folder = std::make_unique<e2e::ProgramFolder>(
        std::string("Catalogue") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(folder->Ready()) << folder->Dir();
    // The installation: the stand-in simulator in a folder of its own.
    simDir = folder->Path("Sim");
    simExe = simDir + "\\eep.exe";
    CreateDirectoryA(simDir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((e2e::FixtureDir() + "\\eep.exe").c_str(), simExe.c_str(), FALSE));
  }
  void TearDown() override {
    app.Close();
    e2e::CloseSimulators();
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, e2e::kFullKey);
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, e2e::kDemoKey);
  }
  void Install(const char* key, const std::string& appPath) {
    ASSERT_TRUE(e2e::SetRegistryString(HKEY_CLASSES_ROOT, key, "AppPath", appPath));
    ASSERT_TRUE(e2e::SetRegistryString(HKEY_CLASSES_ROOT, key, "ResBase", simDir + "\\Resourcen"));
  }
  std::string Ini(const std::string& section, const std::string& key) {
    return e2e::IniRead(folder->LauncherIni(), section, key, "<missing>");
  }
  int Simulators() {  // running copies of this test's stand-in
    ProcessApiWin32 api;
    int n = 0;
    for (const std::string& p : GetProcessList(api)) n += lstrcmpiA(p.c_str(), simExe.c_str()) == 0;
    return n;
  }
  std::string StartsLog() { return e2e::ReadTextFile(simDir + "\\starts.log").value_or(""); }

  std::unique_ptr<e2e::ProgramFolder> folder;
  std::string simDir, simExe;
  App app;
};

TEST_F(E2eCatalogue, FirstRunWritesTheEntryAndStartLaunchesTheSimulator) {
  Install(e2e::kFullKey, simExe);
  ASSERT_TRUE(app.Start(*folder));

  // No EEP6003.ini beside the program: the fixed warning, once, while loading.
  auto warning = app.WaitForMessageBox();
  ASSERT_TRUE(warning);
  EXPECT_EQ(
      "Es wurde keine geeignete ini-Datei für diese Version gefunden!\r\n"
      "Version: 6, 0, 0, 3\r\nEs wird die Standard ini-Datei verwendet!",
      warning->text);
  ASSERT_TRUE(App::Answer(*warning, "OK"));
  ASSERT_TRUE(app.WaitForMain());
  EXPECT_EQ(warning->title, app.Caption());

  EXPECT_EQ("1", Ini("Settings", "Count"));
  for (const auto& [key, value] : std::map<std::string, std::string>{
           {"Description", "EEP-Attrappe v6.03"}, {"AppDir", simDir}, {"AppPath", simExe},
           {"ResBase", simDir + "\\Resourcen"}, {"ProductVersion", "6, 0, 0, 3"},
           {"RegType", "DEFAULT"}})
    EXPECT_EQ(value, Ini("EEP_1", key)) << key;
  ASSERT_EQ(1, app.RowCount());
  const e2e::ListRow row = app.Row(0);
  EXPECT_EQ(("EEP-Attrappe v6.03|DEFAULT|" + simDir), row.text + "|" + row.sub1 + "|" + row.sub2);
  EXPECT_TRUE(row.checked);

  // Start: the simulator runs in its own folder.
  HWND start = app.Button("EEP starten");
  ASSERT_TRUE(App::Enabled(start));
  App::Click(start);
  ASSERT_TRUE(e2e::WaitFor([&] { return !StartsLog().empty(); }));
  EXPECT_EQ(simExe + "|" + simDir + "\r\n", StartsLog());
  ASSERT_TRUE(e2e::WaitFor([] { return FindWindowA(nullptr, "EEP-Attrappe") != nullptr; }));
  EXPECT_EQ(1, Simulators());

  // While it runs, Start asks first; "No" starts nothing.
  App::Click(start);
  auto question = app.WaitForMessageBox();
  ASSERT_TRUE(question);
  EXPECT_EQ("Achtung EEP läuft bereits! Wollen Sie wirklich EEP ein weiteres Mal starten?",
            question->text);
  ASSERT_TRUE(App::Answer(*question, "No"));
  // Once the program has handled a later click, a second simulator would exist.
  App::Click(app.Button("Details  >>"));
  ASSERT_TRUE(e2e::WaitFor([&] { return app.Button("Details  <<") != nullptr; }));
  EXPECT_EQ(1, Simulators());
}

TEST_F(E2eCatalogue, GoneExecutableIsRemovedOnYesAndAMissingStartFileIsNamed) {
  // EEP_1 is the installation (its folder matches the registry's), EEP_2 is gone.
  const std::string gone = folder->Path("Weg");
  ASSERT_TRUE(e2e::WriteTextFile(
      folder->LauncherIni(),
      "[Settings]\r\nCount=2\r\n[EEP_1]\r\nDescription=Attrappe\r\nAppDir=" + simDir +
          "\r\nAppPath=" + simExe + "\r\nRegType=DEFAULT\r\n[EEP_2]\r\nDescription=Alt v5.00\r\n"
          "AppDir=" + gone + "\r\nAppPath=" + gone + "\\eep.exe\r\nRegType=DEFAULT\r\n"
          "[EEP_2\\Settings]\r\nHKCU\\Software\\X\\Y=REG_SZ:1\r\n"));
  // The registry names a file that is not there, in the same folder.
  const std::string missing = simDir + "\\fehlt.exe";
  Install(e2e::kFullKey, missing);
  ASSERT_TRUE(app.Start(*folder));

  auto question = app.WaitForMessageBox();
  ASSERT_TRUE(question);
  EXPECT_EQ("Alt v5.00 wurde nicht gefunden!\r\nVerzeichnis:\r\n" + gone +
                "\r\nSoll der zugehörige Eintrag gelöscht werden?",
            question->text);
  ASSERT_TRUE(App::Answer(*question, "Yes"));
  ASSERT_TRUE(app.WaitForMain());

  EXPECT_EQ("<missing>", Ini("EEP_2", "AppPath"));
  EXPECT_EQ("<missing>", Ini("EEP_2\\Settings", "HKCU\\Software\\X\\Y"));
  EXPECT_EQ("2", Ini("Settings", "Count"));
  EXPECT_EQ(simExe, Ini("EEP_1", "AppPath"));
  ASSERT_EQ(1, app.RowCount());
  EXPECT_TRUE(app.Row(0).checked);

  App::Click(app.Button("EEP starten"));
  auto failure = app.WaitForMessageBox();
  ASSERT_TRUE(failure);
  EXPECT_EQ("EEP konnte nicht gestartet werden!\r\nPfad: '" + missing + "'", failure->text);
  EXPECT_EQ(app.Caption(), failure->title);
  ASSERT_TRUE(App::Answer(*failure, "OK"));
  EXPECT_EQ("", StartsLog());
}

TEST_F(E2eCatalogue, DemoEditionUsesItsOwnDefinitionFile) {
  ASSERT_TRUE(e2e::WriteTextFile(folder->Path("EEP6003.ini"), "[Registry Keys]\r\n"));
  ASSERT_TRUE(e2e::WriteTextFile(folder->Path("EEP6003D.ini"), "[Registry Keys]\r\n"));
  Install(e2e::kDemoKey, simExe);
  ASSERT_TRUE(app.Start(*folder));
  ASSERT_TRUE(app.WaitForMain());

  EXPECT_FALSE(app.FindMessageBox());
  EXPECT_EQ("EEP6003D", Ini("EEP_1", "RegType"));
  ASSERT_EQ(1, app.RowCount());
  EXPECT_EQ("EEP6003D", app.Row(0).sub1);
  EXPECT_TRUE(app.Row(0).checked);
}

}  // namespace
