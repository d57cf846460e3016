// The main window's core: start-up with an empty catalogue, enabling rules, details
// toggle, closing while busy, and the log's format.
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "tests/fakes/FakeMainView.h"
#include "tests/fakes/FakeServices.h"

namespace {

class frmMainCore : public ::testing::Test {
 protected:
  FakePlatform fp;
  FakeMainView view;
  frmMain form{fp.platform, view};

  void OwnVersion(std::uint16_t major, std::uint16_t minor, std::uint16_t revision) {
    VersionSpec v;
    v.fileVersion[0] = major;
    v.fileVersion[1] = minor;
    v.fileVersion[2] = revision;
    v.strings["ProductName"] = "Gleisora";
    v.strings["FileDescription"] = "Start-Programm für EEP";
    fp.version.SetVersion(fp.platform.exePath, v);
  }
  bool On(Ctl c) { return view.Enabled(c); }
};

TEST_F(frmMainCore, StartWithNothingInstalledKeepsDesignAndLocksTheList) {
  OwnVersion(1, 1, 0);
  form.Form_Load();

  EXPECT_EQ("Gleisora v1.10", view.caption);
  EXPECT_EQ(0, view.RowCount());
  for (const auto& column : view.columns) EXPECT_EQ(0, column.widthCode) << column.text;
  EXPECT_FALSE(On(Ctl::picVersions));
  EXPECT_FALSE(On(Ctl::cmdStartEEP));
  EXPECT_FALSE(On(Ctl::cmdDefault));
  EXPECT_FALSE(On(Ctl::cmdReset));
  EXPECT_TRUE(On(Ctl::cmdInfo));
  EXPECT_TRUE(On(Ctl::cmdDetails));
  EXPECT_FALSE(form.Busy);
  EXPECT_FALSE(view.hourglass);
  EXPECT_EQ("", form.ActiveKey);
  // Collapsed: the client area ends 120 twips below the buttons; the design height
  // is kept for the details.
  EXPECT_EQ(5415, view.clientHeight);
  EXPECT_EQ(8895 + view.frameHeight, form.FullHeight);
  EXPECT_EQ("Details  >>", view.ControlCaption(Ctl::cmdDetails));
  EXPECT_EQ("Details einblenden", view.ToolTip(Ctl::cmdDetails));
  EXPECT_EQ("Info über...", view.ToolTip(Ctl::cmdInfo));
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ("", view.log);
}

TEST_F(frmMainCore, EnablingRules) {
  view.AddRow("EEP_1", "Eins", "EEP6003", "C:\\A");
  view.AddRow("EEP_2", "Zwei", "DEFAULT", "C:\\B");

  // No active entry: the list is usable, the commands for an entry are not.
  form.UpdateControls();
  EXPECT_TRUE(On(Ctl::picVersions));
  EXPECT_FALSE(On(Ctl::cmdStartEEP));
  EXPECT_FALSE(On(Ctl::cmdDefault));
  EXPECT_FALSE(On(Ctl::cmdReset));

  form.ActiveKey = "EEP_1";
  form.CanReset = true;
  form.UpdateControls();
  EXPECT_TRUE(On(Ctl::cmdStartEEP));
  EXPECT_TRUE(On(Ctl::cmdDefault));
  EXPECT_TRUE(On(Ctl::cmdReset));

  // Standard settings need a definition file; the comparison is case-sensitive.
  form.ActiveKey = "EEP_2";
  form.CanReset = false;
  form.UpdateControls();
  EXPECT_TRUE(On(Ctl::cmdStartEEP));
  EXPECT_FALSE(On(Ctl::cmdDefault));
  EXPECT_FALSE(On(Ctl::cmdReset));
  view.rows[1].sub1 = "Default";
  form.UpdateControls();
  EXPECT_TRUE(On(Ctl::cmdDefault));

  // Busy locks everything but the details button.
  form.Busy = true;
  form.UpdateControls();
  for (Ctl c : {Ctl::picVersions, Ctl::cmdStartEEP, Ctl::cmdDefault, Ctl::cmdReset, Ctl::cmdInfo})
    EXPECT_FALSE(On(c));
  EXPECT_TRUE(On(Ctl::cmdDetails));
}

TEST_F(frmMainCore, DetailsToggleAlternatesHeightAndKeepsTheLog) {
  form.Form_Load();
  view.log = "Zeile\r\n";
  form.cmdDetails_Click();
  EXPECT_TRUE(form.DetailsVisible);
  EXPECT_EQ(8895, view.clientHeight);
  EXPECT_EQ("Details  <<", view.ControlCaption(Ctl::cmdDetails));
  EXPECT_EQ("Details ausblenden", view.ToolTip(Ctl::cmdDetails));
  form.cmdDetails_Click();
  EXPECT_FALSE(form.DetailsVisible);
  EXPECT_EQ(5415, view.clientHeight);
  EXPECT_EQ("Details  >>", view.ControlCaption(Ctl::cmdDetails));
  form.cmdDetails_Click();
  EXPECT_EQ(8895, view.clientHeight);
  EXPECT_EQ("Zeile\r\n", view.log);
}

TEST_F(frmMainCore, CloseIsRefusedWhileBusyEveryTime) {
  view.caption = "Gleisora v1.10";
  form.Busy = true;
  EXPECT_TRUE(form.Form_QueryUnload());
  EXPECT_TRUE(form.Form_QueryUnload());
  ASSERT_EQ(2u, view.boxes.size());
  EXPECT_EQ("Gleisora kann im Moment nicht beendet werden!\r\nBitte warten Sie einen Moment!",
            view.boxes[1].text);
  EXPECT_EQ(mb::kOk | mb::kIconInformation, view.boxes[1].style);
  EXPECT_EQ("Gleisora v1.10", view.boxes[1].title);

  form.Busy = false;
  EXPECT_FALSE(form.Form_QueryUnload());
  EXPECT_EQ(2u, view.boxes.size());
}

TEST_F(frmMainCore, LogLinesAndResultCodes) {
  form.LastError = 26001;
  form.LogAction("SaveRegistry: HKCU\\Software\\X\\a");
  EXPECT_EQ("SaveRegistry: HKCU\\Software\\X\\a...", view.log);  // the line stays open
  form.LogResult(0);
  EXPECT_EQ(0, form.LastError);
  form.LogAction("RestoreRegistry: HKCU\\Software\\X\\b");
  form.LogResult(-10);
  form.LogAction("Register: a.dll");
  form.LogResult(26001);
  EXPECT_EQ(
      "SaveRegistry: HKCU\\Software\\X\\a...ok\r\n"
      "RestoreRegistry: HKCU\\Software\\X\\b...ERROR: -10\r\n"
      "Register: a.dll...ERROR: 26001\r\n",
      view.log);
  EXPECT_EQ(6, view.doEvents);  // one yield per write
}

}  // namespace
