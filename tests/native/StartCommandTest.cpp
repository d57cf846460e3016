// The Start button: the running-simulator question, the shell call and its failure.
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "tests/fakes/FakeMainView.h"
#include "tests/fakes/FakeServices.h"

namespace {

class StartCommand : public ::testing::Test {
 protected:
  FakePlatform fp;
  FakeMainView view;
  frmMain form{fp.platform, view};

  void SetUp() override {
    view.caption = "Gleisora v1.10";
    form.RegAppPath = "C:\\Programme\\EEP6\\eep.exe";
    form.RegAppDir = "C:\\Programme\\EEP6";
    form.ActiveKey = "EEP_1";
    view.log = "earlier log";
  }
  void ExpectStateUnchanged() {
    EXPECT_EQ("EEP_1", form.ActiveKey);
    EXPECT_EQ("earlier log", view.log);
    EXPECT_FALSE(form.Busy);
    EXPECT_FALSE(view.hourglass);
  }
};

TEST_F(StartCommand, StartsTheRegisteredExecutableInItsFolder) {
  fp.process.Add("C:\\Windows\\explorer.exe");
  fp.process.Add("C:\\Sim\\eep.exe.bak");

  form.cmdStartEEP_Click();

  EXPECT_TRUE(view.boxes.empty());
  ASSERT_EQ(1u, fp.shell.executed.size());
  const FakeShell::Call& c = fp.shell.executed[0];
  EXPECT_EQ("Open|C:\\Programme\\EEP6\\eep.exe||C:\\Programme\\EEP6|1",
            c.verb + "|" + c.file + "|" + c.params + "|" + c.dir + "|" + std::to_string(c.show));
  ExpectStateUnchanged();
}

TEST_F(StartCommand, RunningSimulatorNeedsAYes) {
  fp.process.Add("D:\\Anderes\\EEP.EXE");

  view.answers = {mb::kIdNo};
  form.cmdStartEEP_Click();
  ASSERT_EQ(1u, view.boxes.size());
  EXPECT_EQ(
      "Achtung EEP läuft bereits! Wollen Sie wirklich EEP ein weiteres Mal starten?",
      view.boxes[0].text);
  EXPECT_EQ(mb::kYesNo | mb::kIconQuestion, view.boxes[0].style);
  EXPECT_EQ("Gleisora v1.10", view.boxes[0].title);
  EXPECT_TRUE(fp.shell.executed.empty());

  view.answers = {mb::kIdYes};
  form.cmdStartEEP_Click();
  EXPECT_EQ(2u, view.boxes.size());
  EXPECT_EQ(1u, fp.shell.executed.size());
  ExpectStateUnchanged();
}

TEST_F(StartCommand, FailedStartNamesThePathInQuotes) {
  for (std::intptr_t code : {0, 2, 31, 32}) {
    view.boxes.clear();
    fp.shell.result = [code](const FakeShell::Call&) { return code; };
    form.cmdStartEEP_Click();
    ASSERT_EQ(1u, view.boxes.size()) << code;
    EXPECT_EQ(
        "EEP konnte nicht gestartet werden!\r\nPfad: 'C:\\Programme\\EEP6\\eep.exe'",
        view.boxes[0].text);
    EXPECT_EQ(mb::kOk | mb::kIconStop, view.boxes[0].style);
    EXPECT_EQ("Gleisora v1.10", view.boxes[0].title);
  }
  view.boxes.clear();
  fp.shell.result = [](const FakeShell::Call&) { return 33; };
  form.cmdStartEEP_Click();
  EXPECT_TRUE(view.boxes.empty());
  ExpectStateUnchanged();

  // No installation known: the shell refuses the empty path and the message shows ''.
  fp.shell.result = nullptr;
  form.RegAppPath.clear();
  form.cmdStartEEP_Click();
  ASSERT_EQ(1u, view.boxes.size());
  EXPECT_EQ("EEP konnte nicht gestartet werden!\r\nPfad: ''", view.boxes[0].text);
}

}  // namespace
