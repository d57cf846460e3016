// A switch whose log outgrows what the log box keeps while busy.
#include <gtest/gtest.h>

#include "tests/windows/E2eHarness.h"

TEST(E2eLog, ALongLogReadsBackWholeFollowsItsNewestLineAndReturnsToTheBox) {
  e2e::Scene scene("LongLog");
  const std::string a = scene.AddInstallation("A"), b = scene.AddInstallation("B");
  std::string ini = "[Settings]\r\nCount=2\r\n", key = "HKCR\\" + std::string(e2e::kFullKey);
  ini += "[EEP_1]\r\nAppDir=" + a + "\r\nAppPath=" + a + "\\eep.exe\r\n[EEP_2]\r\nAppPath=" + b +
         "\\eep.exe\r\n[EEP_2\\Settings]\r\n";
  for (int i = 0; i < 1500; ++i) ini += key + "\\V" + std::to_string(i) + "=REG_SZ:x\r\n";
  ASSERT_TRUE(e2e::WriteTextFile(scene.Path("Gleisora.ini"), ini));
  ASSERT_TRUE(e2e::SetRegString(HKEY_CLASSES_ROOT, e2e::kFullKey, "AppPath", a + "\\eep.exe"));
  e2e::App app(scene);
  ASSERT_TRUE(app.WaitForMain());
  ASSERT_TRUE(e2e::WaitFor([&] {  // the input may go astray while the window settles
    return app.ClickRow(1) && app.PressKey(VK_SPACE) && e2e::WaitFor([&] { return app.RowChecked(1); }, 3000);
  }));
  const std::string last = "RestoreRegistry: " + key + "\\V1499...ok\r\n";
  ASSERT_TRUE(e2e::WaitFor([&] { return app.LogText().find(last) != last.npos; }));
  const std::string log = app.LogText();
  int restored = 0;
  for (auto at = log.find("Restore"); at != log.npos; at = log.find("Restore", at + 1)) ++restored;
  EXPECT_EQ(1500, restored);
  EXPECT_EQ(last, log.substr(log.rfind("RestoreRegistry: ")));
  HWND box = FindWindowExA(app.Main(), nullptr, "Edit", nullptr);
  const auto lines = [&] { return SendMessageA(box, EM_GETLINECOUNT, 0, 0); };
  EXPECT_TRUE(e2e::WaitFor([&] { return lines() > 1500; }));  // the older lines are back
  EXPECT_GE(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0) + 20, lines() - 1);  // at the end
}
