// Long steps that write no log line keep the window served, but only inside an
// operation's busy frame: adding or removing an entry lets no other click in.
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "tests/fakes/FakeMainView.h"
#include "tests/native/Rig.h"

using namespace plat;

namespace {

TEST(Yields, OnlyAnOperationInItsBusyFrameYieldsDuringSilentSteps) {
  FakePlatform fp;
  fp.shell.chosen = "C:\\EEP8\\eep.exe";
  LanguageFile texts{fp.platform};
  FakeMainView view;
  frmMain form{fp.platform, texts, view};
  // EEP_1 is installed; EEP_3 has a large snapshot; its settings are many values.
  std::string snapshot = "[EEP_3\\Settings]\r\n";
  for (int i = 0; i < 300; ++i) {
    fp.registry.PutString(kHKCU, "Sim", "v" + std::to_string(i), "x");
    snapshot += "HKCU\\Sim\\v" + std::to_string(i) + "=REG_SZ:y\r\n";
  }
  std::string ini = "[Settings]\r\nCount=3\r\n";
  for (int n : {1, 2, 3})
    ini += "[EEP_" + std::to_string(n) + "]\r\nDescription=EEP " + std::to_string(n) +
           "\r\nAppDir=C:\\EEP" + std::to_string(n) + "\r\nAppPath=C:\\EEP" + std::to_string(n) +
           "\\eep.exe\r\nRegType=DEFAULT\r\n";
  fp.files.AddFile(Rig::kIni, ini + snapshot);
  fp.files.AddFile("C:\\Gleisora\\DEFAULT.ini", "[Registry Keys]\r\nHKCU\\Sim=1\r\n");
  for (const char* dir : {"C:\\EEP1", "C:\\EEP2", "C:\\EEP3", "C:\\EEP8"})
    fp.files.AddFile(std::string(dir) + "\\eep.exe", "MZ");
  fp.registry.PutString(kHKCR, "Software\\Software Untergrund\\EEXP", "AppPath",
                        "C:\\EEP1\\eep.exe");
  form.Form_Load();
  ASSERT_EQ("EEP_1", view.Ticked());

  view.answers = {mb::kIdYes};
  form.mnuRemove_Click("EEP_3");
  form.mnuAdd_Click();
  ASSERT_EQ(3u, view.rows.size());
  EXPECT_EQ("EEP_4", view.rows.back().shown.key);
  EXPECT_TRUE(view.yields.empty());

  view.UserToggle(1);
  form.lvwVersions_ItemCheck(1);
  EXPECT_EQ("EEP_2", view.Ticked());
  // A yield that shows no new log text comes from a silent step: here listing the key
  // before its first value is saved.
  ASSERT_GT(view.yields.size(), 1u);
  EXPECT_EQ(view.yields[0], view.yields[1]);
  EXPECT_EQ(std::string::npos, view.log.substr(0, view.yields[1]).find("SaveRegistry"));
}

}  // namespace
