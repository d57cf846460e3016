// Switching installations by ticking a row, and the double click on the list.
#include <gtest/gtest.h>

#include "tests/native/SnapshotHarness.h"

using namespace plat;

namespace {
using Lines = std::vector<std::string>;

struct Switch : ::testing::Test, Harness {
  Switch() {
    TwoInstallations();
    Activate(0);
    registeredFrom = "C:\\EEP6";
    fp.registry.PutString(kHKCU, "Sim", "setting", "six");
  }
  Lines Join(std::initializer_list<Lines> parts) {
    Lines out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  }
  void Tick(int row) {
    view.UserToggle(row);
    form.lvwVersions_ItemCheck(row);
  }
};
}  // namespace

TEST_F(Switch, ToAnotherInstallationAndBack) {
  Tick(1);
  EXPECT_EQ(Join({Header("UNREGISTER", "EEP 6.03", "C:\\EEP6"),
                  {"SaveRegistry: HKCU\\Sim\\setting...ok", "Unregister: comp.dll...ok",
                   "DeleteRegistry: HKCU\\Sim\\setting...ok"},
                  Header("REGISTER", "EEP 7.00", "C:\\EEP7"),
                  {"Register: comp.dll...ok"}}),
            LogLines());
  EXPECT_EQ("EEP_2", form.ActiveKey);
  EXPECT_EQ(std::vector<int>{1}, view.CheckedRows());
  EXPECT_EQ(1, view.selected);
  EXPECT_EQ("C:\\EEP7", registeredFrom);
  EXPECT_FALSE(fp.registry.HasKey(kHKCU, "Sim"));  // the new entry has no snapshot yet
  EXPECT_FALSE(form.Busy);
  EXPECT_FALSE(view.hourglass);
  EXPECT_TRUE(view.Enabled(Ctl::cmdStartEEP));

  fp.registry.PutString(kHKCU, "Sim", "setting", "seven");
  Tick(0);
  EXPECT_EQ(Join({Header("UNREGISTER", "EEP 7.00", "C:\\EEP7"),
                  {"SaveRegistry: HKCU\\Sim\\setting...ok", "Unregister: comp.dll...ok",
                   "DeleteRegistry: HKCU\\Sim\\setting...ok"},
                  Header("REGISTER", "EEP 6.03", "C:\\EEP6"),
                  {"RestoreRegistry: HKCU\\Sim\\setting...ok", "Register: comp.dll...ok"}}),
            LogLines());
  EXPECT_EQ(SzBytes("six"), fp.registry.Get(kHKCU, "Sim", "setting")->data);
  EXPECT_EQ("REG_SZ:seven", Read(LauncherIni(), "EEP_2\\Settings", "HKCU\\Sim\\setting"));
  EXPECT_EQ(std::vector<int>{0}, view.CheckedRows());
  EXPECT_EQ("C:\\EEP6", registeredFrom);
  EXPECT_TRUE(form.CanReset);
}

TEST_F(Switch, TickingOffTheActiveRowOnlyLeavesIt) {
  Tick(0);
  EXPECT_EQ(Join({Header("UNREGISTER", "EEP 6.03", "C:\\EEP6"),
                  {"SaveRegistry: HKCU\\Sim\\setting...ok", "Unregister: comp.dll...ok",
                   "DeleteRegistry: HKCU\\Sim\\setting...ok"}}),
            LogLines());
  EXPECT_EQ("", form.ActiveKey);
  EXPECT_TRUE(view.CheckedRows().empty());
  EXPECT_EQ(0, view.selected);
  EXPECT_EQ("", registeredFrom);
  for (Ctl c : {Ctl::cmdStartEEP, Ctl::cmdDefault, Ctl::cmdReset}) EXPECT_FALSE(view.Enabled(c));

  view.log = "earlier";
  Tick(1);  // with nothing active only the second half runs
  EXPECT_EQ(Join({Header("REGISTER", "EEP 7.00", "C:\\EEP7"), {"Register: comp.dll...ok"}}),
            LogLines());
}

TEST_F(Switch, RefusedWhileTheSimulatorRuns) {
  fp.process.Add("C:\\EEP6\\EEP.EXE");
  view.log = "earlier";
  for (int row : {1, 0}) {
    Tick(row);
    ASSERT_EQ(1u, view.boxes.size());
    EXPECT_EQ("EEP läuft bereits! Umschalten ist derzeit nicht möglich!", view.boxes[0].text);
    EXPECT_EQ(mb::kOk | mb::kIconExclamation, view.boxes[0].style);
    EXPECT_EQ(std::vector<int>{0}, view.CheckedRows());
    view.boxes.clear();
  }
  EXPECT_EQ("earlier", view.log);
  EXPECT_EQ("EEP_1", form.ActiveKey);
  EXPECT_EQ(SzBytes("six"), fp.registry.Get(kHKCU, "Sim", "setting")->data);
  EXPECT_TRUE(fp.library.calls.empty());
  EXPECT_EQ("", Read(LauncherIni(), "EEP_1", "Saved"));
}

TEST_F(Switch, CloseRequestDuringTheSwitchIsRefused) {
  int asked = 0;
  bool refused = false, startEnabled = true;
  view.onDoEvents = [&] {
    if (asked++) return;
    refused = form.Form_QueryUnload();
    startEnabled = view.Enabled(Ctl::cmdStartEEP);
  };
  Tick(1);
  EXPECT_TRUE(refused);
  EXPECT_FALSE(startEnabled);
  ASSERT_EQ(1u, view.boxes.size());
  EXPECT_NE(std::string::npos, view.boxes[0].text.find("nicht beendet werden"));
  EXPECT_EQ("EEP_2", form.ActiveKey);  // the switch went on
  EXPECT_FALSE(form.Form_QueryUnload());
}

TEST_F(Switch, DoubleClick) {
  // The simulator's key (not one of the listed settings keys) names what starts.
  fp.registry.PutString(kHKCR, "Software\\Software Untergrund\\EEXP", "AppPath",
                        "C:\\EEP6\\eep.exe");
  form.RegAppPath = "C:\\EEP6\\eep.exe";
  // On the active row: no switch, the simulator starts.
  view.selected = 0;
  form.lvwVersions_DblClick();
  EXPECT_EQ("", view.log);
  ASSERT_EQ(1u, fp.shell.executed.size());
  EXPECT_EQ("C:\\EEP6\\eep.exe", fp.shell.executed[0].file);

  // On another row: the whole switch, then the start.
  view.selected = 1;
  form.lvwVersions_DblClick();
  EXPECT_EQ("EEP_2", form.ActiveKey);
  EXPECT_EQ(std::vector<int>{1}, view.CheckedRows());
  EXPECT_EQ(Header("UNREGISTER", "EEP 6.03", "C:\\EEP6")[1], LogLines().at(1));
  EXPECT_EQ(2u, fp.shell.executed.size());

  // While the simulator runs: only the message, neither switch nor start.
  fp.process.Add("C:\\EEP7\\eep.exe");
  view.selected = 0;
  form.lvwVersions_DblClick();
  EXPECT_EQ("EEP_2", form.ActiveKey);
  EXPECT_EQ(2u, fp.shell.executed.size());
  ASSERT_EQ(1u, view.boxes.size());
  EXPECT_EQ("EEP läuft bereits! Umschalten ist derzeit nicht möglich!", view.boxes[0].text);
}

TEST_F(Switch, SettingsThatCannotBeStoredAreNotCleared) {
  fp.files.failWrites = true;
  Tick(1);
  const Lines log = LogLines();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ("SaveSettings: " + LauncherIni() + "...ERROR: 75", log.back());
  EXPECT_EQ("EEP_1", form.ActiveKey);
  EXPECT_EQ(std::vector<int>{0}, view.CheckedRows());
  EXPECT_EQ(SzBytes("six"), fp.registry.Get(kHKCU, "Sim", "setting")->data);
  EXPECT_EQ("C:\\EEP6", registeredFrom);
  EXPECT_FALSE(form.Busy);
}
