// Closing the real program while a switch runs: refused with CANNOT_QUIT every time,
// and the window closes at once when the switch is over.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/windows/E2eHarness.h"

namespace {

using e2e::App;

const char kFullKey[] = "Software\\Software Untergrund\\EEXP";
const char kBusyKey[] = "Software\\Gleisora Busy";

TEST(E2eBusyClose, CloseDuringASwitchIsRefusedEachTimeAndAllowedAfterwards) {
  e2e::ProgramFolder folder("BusyClose");
  ASSERT_TRUE(folder.Ready());
  std::string dirs[2] = {folder.Path("A"), folder.Path("B")};
  for (const auto& d : dirs) {
    CreateDirectoryA(d.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((e2e::FixtureDir() + "\\eep.exe").c_str(), (d + "\\eep.exe").c_str(), FALSE));
  }
  ASSERT_TRUE(e2e::WriteTextFile(folder.Path("EEP6003.ini"),
                                 "[Registry Keys]\r\nHKCU\\Software\\Gleisora Busy=1\r\n"));
  ASSERT_TRUE(e2e::WriteTextFile(
      folder.LauncherIni(),
      "[Settings]\r\nCount=2\r\n[EEP_1]\r\nDescription=A\r\nAppDir=" + dirs[0] + "\r\nAppPath=" +
          dirs[0] + "\\eep.exe\r\nRegType=EEP6003\r\n[EEP_2]\r\nDescription=B\r\nAppDir=" + dirs[1] +
          "\r\nAppPath=" + dirs[1] + "\\eep.exe\r\nRegType=EEP6003\r\n"));
  e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, kFullKey);
  ASSERT_TRUE(e2e::SetRegistryString(HKEY_CLASSES_ROOT, kFullKey, "AppPath", dirs[0] + "\\eep.exe"));
  // Enough values that the switch is still logging while the test knocks.
  e2e::DeleteRegistryTree(HKEY_CURRENT_USER, kBusyKey);
  HKEY k;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kBusyKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &k, nullptr));
  for (int i = 0; i < 1500; ++i) {
    const std::string name = "Wert" + std::to_string(i);
    RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  }
  RegCloseKey(k);

  App app;
  ASSERT_TRUE(app.Start(folder));
  ASSERT_TRUE(app.WaitForMain());
  ASSERT_TRUE(app.ToggleCheck(1));
  ASSERT_TRUE(e2e::WaitFor([&] { return app.LogText().find("SaveRegistry: ") != std::string::npos; }));

  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    PostMessageA(app.Main(), WM_CLOSE, 0, 0);
    auto box = app.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ("Gleisora kann im Moment nicht beendet werden!\r\nBitte warten Sie einen Moment!",
              box->text);
    App::Answer(*box, box->buttons.at(0));
    ASSERT_TRUE(e2e::WaitFor([&] { return !app.FindMessageBox(); }));
    EXPECT_TRUE(app.Running());
  }

  // The switch goes on to its end; then a close ends the program at once.
  ASSERT_TRUE(e2e::WaitFor([&] { return App::Enabled(app.Button("Info")); }, 180000));
  EXPECT_NE(std::string::npos, app.LogText().find("REGISTER: B"));
  EXPECT_TRUE(app.Row(1).checked);
  PostMessageA(app.Main(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(e2e::WaitFor([&] { return !app.Running(); }));
  EXPECT_FALSE(app.FindMessageBox().has_value());

  e2e::DeleteRegistryTree(HKEY_CURRENT_USER, kBusyKey);
  e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, kFullKey);
}

}  // namespace
