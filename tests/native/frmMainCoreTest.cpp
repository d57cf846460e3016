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
  for (Ctl c : {Ctl::picVersions, Ctl::cmdStartEEP, Ctl::cmdDefault, Ctl::cmdReset}) EXPECT_FALSE(On(c));
  EXPECT_TRUE(On(Ctl::cmdInfo) && On(Ctl::cmdDetails));
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
  // Flags in the order of `controls`.
  const Ctl controls[] = {Ctl::picVersions, Ctl::cmdStartEEP, Ctl::cmdDefault,
                          Ctl::cmdReset,    Ctl::cmdInfo,     Ctl::cmdDetails};
  const struct {
    const char* active;
    bool canReset, busy;
    const char *secondType, *enabled;
  } cases[] = {
      {"", true, false, "DEFAULT", "100011"},        // nothing active: only the list
      {"EEP_1", true, false, "DEFAULT", "111111"},
      {"EEP_2", false, false, "DEFAULT", "110011"},  // standard settings need a definition file
      {"EEP_2", false, false, "Default", "111011"},  // compared case-sensitively
      {"EEP_1", true, true, "DEFAULT", "000001"},    // busy locks all but the details button
  };
  for (const auto& c : cases) {
    form.ActiveKey = c.active;
    form.CanReset = c.canReset;
    form.Busy = c.busy;
    view.rows[1].sub1 = c.secondType;
    form.UpdateControls();
    std::string got;
    for (Ctl ctl : controls) got += On(ctl) ? '1' : '0';
    EXPECT_EQ(c.enabled, got) << c.active << " " << c.secondType;
  }
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

}  // namespace
