// The Default and Reset commands on the active installation.
#include <gtest/gtest.h>

#include "tests/native/SnapshotHarness.h"

using namespace plat;

namespace {
using Lines = std::vector<std::string>;

struct DefaultReset : ::testing::Test, Harness {
  DefaultReset() {
    TwoInstallations();
    File("Gleisora.ini",
         "[EEP_1]\r\nRegType=DEFAULT\r\nAppDir=C:\\EEP6\r\nSaved=1\r\n"
         "[EEP_1\\Settings]\r\nHKCU\\Sim\\setting=REG_SZ:saved\r\n");
    Activate(0);
    form.RegAppDir = "C:\\EEP6";
    fp.registry.PutString(kHKCU, "Sim", "setting", "current");
    fp.registry.PutDword(kHKCU, "Sim", "extra", 1);
  }
  Lines With(const std::string& word, const Lines& steps) {
    Lines out = Header(word, "EEP 6.03", "C:\\EEP6");
    out.insert(out.end(), steps.begin(), steps.end());
    return out;
  }
};
}  // namespace

TEST_F(DefaultReset, DefaultWritesFactorySettingsOnly) {
  const auto snapshot = Section(LauncherIni(), "EEP_1\\Settings");
  form.cmdDefault_Click();
  EXPECT_EQ(With("DEFAULT", {"DeleteRegistry: HKCU\\Sim\\extra...ok",
                             "DeleteRegistry: HKCU\\Sim\\setting...ok",
                             "RestoreRegistry: HKCU\\Sim\\setting...ok"}),
            LogLines());
  EXPECT_EQ(1u, Values(kHKCU, "Sim").size());
  EXPECT_EQ(SzBytes("C:\\EEP6\\factory"), fp.registry.Get(kHKCU, "Sim", "setting")->data);
  EXPECT_EQ(snapshot, Section(LauncherIni(), "EEP_1\\Settings"));
  EXPECT_TRUE(fp.library.calls.empty());
  EXPECT_FALSE(form.Busy);
  EXPECT_EQ("EEP_1", form.ActiveKey);
}

TEST_F(DefaultReset, ResetRestoresSnapshotAndRegistersAgain) {
  form.cmdReset_Click();
  EXPECT_EQ(With("RESET", {"DeleteRegistry: HKCU\\Sim\\extra...ok",
                           "DeleteRegistry: HKCU\\Sim\\setting...ok",
                           "RestoreRegistry: HKCU\\Sim\\setting...ok", "Register: comp.dll...ok"}),
            LogLines());
  EXPECT_EQ(1u, Values(kHKCU, "Sim").size());
  EXPECT_EQ(SzBytes("saved"), fp.registry.Get(kHKCU, "Sim", "setting")->data);
  EXPECT_EQ(std::vector<std::string>{"C:\\EEP6\\COMP.DLL!DllRegisterServer"}, fp.library.calls);
  EXPECT_EQ(std::vector<int>{0}, view.CheckedRows());
}

TEST_F(DefaultReset, RefusedWhileTheSimulatorRunsAndEmptyWithoutActiveEntry) {
  fp.process.Add("C:\\EEP6\\eep.exe");
  view.log = "earlier";
  form.cmdDefault_Click();
  form.cmdReset_Click();
  ASSERT_EQ(2u, view.boxes.size());
  for (const auto& box : view.boxes) {
    EXPECT_EQ("EEP läuft bereits! Diese Funktion ist derzeit nicht möglich!", box.text);
    EXPECT_EQ(mb::kOk | mb::kIconExclamation, box.style);
  }
  EXPECT_EQ("earlier", view.log);
  EXPECT_EQ(2u, Values(kHKCU, "Sim").size());

  fp.process.processes.clear();
  form.ActiveKey.clear();
  form.cmdDefault_Click();
  EXPECT_EQ("", view.log);
  view.log = "earlier";
  form.cmdReset_Click();
  EXPECT_EQ("", view.log);
  EXPECT_EQ(2u, Values(kHKCU, "Sim").size());
  EXPECT_TRUE(fp.library.calls.empty());
}
