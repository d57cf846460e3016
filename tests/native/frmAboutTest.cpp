// The About window's logic: texts from the version resource and the language file,
// tab switching by keyboard (a click shows its panel the same way), links, and the
// system information lookup.
#include "app/frmAbout.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "app/MainView.h"
#include "tests/fakes/FakeServices.h"

namespace {

class FakeAboutView : public IAboutView {
 public:
  std::string Caption() override { return caption; }
  void SetCaption(const std::string& t) override { caption = t; }
  std::string LabelText(AboutLabel l) override { return labels[l]; }
  void SetLabelText(AboutLabel l, const std::string& t) override { labels[l] = t; }
  std::string LabelToolTip(AboutLabel l) override { return labelTips[l]; }
  void SetLabelToolTip(AboutLabel l, const std::string& t) override { labelTips[l] = t; }
  int TabCount() override { return static_cast<int>(tabs.size()); }
  std::string TabCaption(int tab) override { return tabs.at(tab - 1).caption; }
  void SetTabCaption(int tab, const std::string& t) override { tabs.at(tab - 1).caption = t; }
  std::string TabToolTip(int tab) override { return tabs.at(tab - 1).toolTip; }
  void SetTabToolTip(int tab, const std::string& t) override { tabs.at(tab - 1).toolTip = t; }
  int SelectedTab() override { return selected; }
  void SelectTab(int tab) override { selected = tab; }
  void MovePanel(int index, long left) override { panels.at(index).left = left; }
  void SetPanelEnabled(int index, bool e) override { panels.at(index).enabled = e; }
  std::uintptr_t Handle() override { return 0x1234; }
  int MsgBox(const std::string& text, unsigned style, const std::string& title) override {
    boxes.push_back({text, title, style});
    return mb::kIdOk;
  }
  void Close() override { closed = true; }

  struct Tab {
    std::string caption, toolTip;
  };
  struct Panel {
    long left;
    bool enabled;
  };
  struct Box {
    std::string text, title;
    unsigned style;
  };
  std::string caption = "Info";
  std::map<AboutLabel, std::string> labels{{AboutLabel::lblTitle, "Anwendungstitel"},
                                           {AboutLabel::lblVersion, "Version"},
                                           {AboutLabel::lblDescription, "Anwendungsbeschreibung"},
                                           {AboutLabel::lblDisclaimer, "Warnung: ..."}};
  std::map<AboutLabel, std::string> labelTips;
  std::vector<Tab> tabs{{"Anwendung", ""}, {"Autor", ""}};
  std::vector<Panel> panels{{210, true}, {-19882, true}};
  int selected = 1;
  std::vector<Box> boxes;
  bool closed = false;
};

class AboutTest : public ::testing::Test {
 protected:
  AboutTest() : texts(fake.platform), form(fake.platform, texts, view) {}

  void GiveOwnVersion(std::uint16_t major, std::uint16_t minor, std::uint16_t revision) {
    VersionSpec vi;
    vi.fileVersion[0] = vi.productVersion[0] = major;
    vi.fileVersion[1] = vi.productVersion[1] = minor;
    vi.fileVersion[2] = vi.productVersion[2] = revision;
    vi.strings = {{"ProductName", "Gleisora"},
                    {"FileDescription", "Start-Programm für EEP"},
                    {"LegalCopyright", "Copyright © 2026 Gleisora-Projekt"},
                    {"CompanyName", "Gleisora-Projekt"}};
    fake.version.SetVersion(fake.platform.exePath, vi);
  }
  std::string LngContent() { return fake.files.Content("C:\\Gleisora\\Gleisora.lng"); }

  FakePlatform fake;
  FakeAboutView view;
  LanguageFile texts;
  frmAbout form;
};

const char kMsinfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char kUnavailable[] = "Systeminformationsprogramm zur Zeit nicht verfügbar.";

}  // namespace

TEST_F(AboutTest, LoadShowsTheProgramsOwnVersionInformation) {
  GiveOwnVersion(1, 12, 3);  // minor and revision join without separator
  form.Form_Load();
  EXPECT_EQ("Info über Gleisora", view.caption);
  EXPECT_EQ("Version 1.123", view.labels[AboutLabel::lblVersion]);
  EXPECT_EQ("Gleisora", view.labels[AboutLabel::lblTitle]);
  EXPECT_EQ("Start-Programm für EEP", view.labels[AboutLabel::lblDescription]);
  EXPECT_EQ("Copyright © 2026 Gleisora-Projekt", view.labels[AboutLabel::lblDisclaimer]);
  // The load selects nothing and moves no panel.
  EXPECT_EQ(1, view.selected);
  EXPECT_EQ(210, view.panels[0].left);
  EXPECT_EQ(-19882, view.panels[1].left);
}

TEST_F(AboutTest, LanguageFileReplacesTextsAndLearnsTheMissingKeys) {
  GiveOwnVersion(1, 1, 0);
  fake.files.AddFile("C:\\Gleisora\\Gleisora.lng",
                     "[frmAbout]\r\ntbsAbout.2.Caption=Kontakt\r\nlblTitle.ToolTipText=Name\r\n");
  form.Form_Load();
  EXPECT_EQ("Kontakt", view.tabs[1].caption);
  EXPECT_EQ("Anwendung", view.tabs[0].caption);
  EXPECT_EQ("Name", view.labelTips[AboutLabel::lblTitle]);
  // Keys the file lacked now hold their defaults; fixed texts are not looked up.
  const std::string lng = LngContent();
  EXPECT_NE(std::string::npos, lng.find("Caption=Info über Gleisora"));
  EXPECT_NE(std::string::npos, lng.find("tbsAbout.1.Caption=Anwendung"));
  EXPECT_NE(std::string::npos, lng.find("lblDescription.Caption=Start-Programm für EEP"));
  EXPECT_EQ(std::string::npos, lng.find("lblVersion"));
  EXPECT_EQ(std::string::npos, lng.find("cmdOK"));
}

TEST_F(AboutTest, CtrlTabCyclesThroughTabsAndShowsTheirPanels) {
  using F = frmAbout;
  view.tabs.push_back({"Drei", ""});
  view.panels.push_back({-19882, true});
  const struct {
    int from, shift, to;
  } cases[] = {
      {1, F::kCtrlMask, 2},
      {3, F::kCtrlMask, 1},                             // wraps to the first
      {1, F::kCtrlMask | F::kShiftMask, 3},             // wraps to the last
      {2, F::kCtrlMask | F::kShiftMask, 1},
      {2, F::kCtrlMask | F::kAltMask, 3},               // Alt does not count
      {1, F::kCtrlMask | F::kShiftMask | F::kAltMask, 3},
      {2, 0, 2},                                        // plain Tab
      {2, F::kShiftMask, 2},                            // Shift+Tab
      {2, F::kAltMask, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("from " + std::to_string(c.from) + " shift " + std::to_string(c.shift));
    view.selected = c.from;
    view.panels = {{0, true}, {0, true}, {0, true}};
    form.Form_KeyDown(F::kKeyTab, c.shift);
    EXPECT_EQ(c.to, view.selected);
    // The new tab's panel is moved into sight; the others are moved out and disabled, not hidden.
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(c.to == c.from ? "0 1" : i == c.to - 1 ? "210 1" : "-20000 0",
                std::to_string(view.panels[i].left) + " " + std::to_string(view.panels[i].enabled)) << i;
  }
  // Only the Tab key switches, and only where there are tabs.
  view.selected = 1;
  form.Form_KeyDown(0x22 /* page down */, F::kCtrlMask);
  EXPECT_EQ(1, view.selected);
  view.tabs.clear(), view.selected = 2;
  form.Form_KeyDown(F::kKeyTab, F::kCtrlMask);
  EXPECT_EQ(2, view.selected);
}

TEST_F(AboutTest, LinksOpenWebHostsAndMailWithTheProductAsSubject) {
  GiveOwnVersion(1, 1, 0);
  form.Form_Load();
  form.lblLink1_Click();
  form.lblLink2_Click();
  form.lblMail1_Click();
  form.lblMail2_Click();
  const std::string expected[] = {std::string("http://") + maker::kWebHost1 + "/",
                                  std::string("http://") + maker::kWebHost2 + "/",
                                  std::string("mailto:") + maker::kMail1 + "?subject=Gleisora",
                                  std::string("mailto:") + maker::kMail2 + "?subject=Gleisora"};
  ASSERT_EQ(4u, fake.shell.executed.size());
  for (int i = 0; i < 4; ++i) {
    const auto& call = fake.shell.executed[i];
    EXPECT_EQ(expected[i], call.file);
    EXPECT_EQ("open|||1", call.verb + "|" + call.params + "|" + call.dir + "|" + std::to_string(call.show));
  }
}

TEST(AboutSysInfo, PathKeyFirstThenToolsLocationElseThePlainMessage) {
  const struct {
    const char *path, *location, *file, *folder;  // registry values and what is on disk
    bool denied, startFails;
    const char* started;  // nullptr: the message instead
  } cases[] = {
      // The path is started without looking for the file.
      {"C:\\Nowhere\\msinfo32.exe", "C:\\Other", "", "", false, false, "C:\\Nowhere\\msinfo32.exe"},
      {"", "C:\\Tools\\MSInfo", "C:\\Tools\\MSInfo\\MSINFO32.EXE", "", false, false,
       "C:\\Tools\\MSInfo\\MSINFO32.EXE"},
      {"", "", "", "", false, false, nullptr},
      {"", "C:\\Tools", "", "", false, false, nullptr},
      {"", "C:\\Tools", "", "C:\\Tools\\MSINFO32.EXE", false, false, nullptr},
      {"C:\\msinfo32.exe", "", "", "", true, false, nullptr},
      {"C:\\msinfo32.exe", "", "", "", false, true, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path) + "|" + c.location + "|" + c.folder + "|" + std::to_string(c.denied));
    FakePlatform f;
    FakeAboutView v;
    if (*c.path) f.registry.PutString(plat::kHKLM, kMsinfoKey, "PATH", c.path);
    if (*c.location) f.registry.PutString(plat::kHKLM, kLocationKey, "MSINFO", c.location);
    if (*c.file) f.files.AddFile(c.file);
    if (*c.folder) f.files.AddDir(c.folder);
    if (c.denied) f.registry.Deny(plat::kHKLM, kMsinfoKey);
    if (c.startFails) f.shell.result = [](const FakeShell::Call&) { return 0; };
    LanguageFile t(f.platform);
    frmAbout about(f.platform, t, v);
    about.cmdSysInfo_Click();
    if (c.started) {
      EXPECT_EQ(std::vector<std::string>{c.started}, f.shell.started);
      EXPECT_TRUE(v.boxes.empty());
    } else {
      ASSERT_EQ(1u, v.boxes.size());
      EXPECT_EQ(kUnavailable, v.boxes[0].text);
      EXPECT_EQ(mb::kOk, v.boxes[0].style);  // OK only, no icon
    }
    EXPECT_EQ(0, f.registry.openHandles());
  }
}

TEST_F(AboutTest, GetKeyValueReadsTextCutAtNulAndReportsMissingValues) {
  fake.registry.Put(plat::kHKLM, "SOFTWARE\\T", "Text", plat::reg::kRegSz, {'a', 'b', 0, 'c', 0});
  fake.registry.PutDword(plat::kHKLM, "SOFTWARE\\T", "Number", 0xBEEF);
  fake.registry.Put(plat::kHKLM, "SOFTWARE\\T", "Bytes", plat::reg::kRegBinary, {'x', 'y'});
  fake.registry.PutString(plat::kHKLM, "SOFTWARE\\T", "Long", std::string(1500, 'L'));  // over 1024
  const struct {
    const char *key, *name;
    bool found;
    const char* value;  // other types leave the caller's text
  } cases[] = {{"SOFTWARE\\T", "Text", true, "ab"},       {"SOFTWARE\\T", "Number", true, "&hBEEF"},
               {"SOFTWARE\\T", "Bytes", true, "before"},  {"SOFTWARE\\T", "Long", false, ""},
               {"SOFTWARE\\T", "Missing", false, ""},    {"SOFTWARE\\Absent", "Text", false, ""}};
  for (const auto& c : cases) {
    std::string value = "before";
    EXPECT_EQ(c.found, form.GetKeyValue(plat::kHKLM, c.key, c.name, value)) << c.name;
    EXPECT_EQ(c.value, value) << c.name;
  }
  EXPECT_EQ(0, fake.registry.openHandles());
}

TEST(LanguageFileTest, BlankTextsTakeTheDefaultAndBackslashNBreaksTheLine) {
  FakePlatform fp;
  const char kLng[] = "C:\\Gleisora\\Gleisora.lng";
  fp.files.AddFile(kLng, "[M]\r\nblank=   \r\ntwo=One\\nTwo\r\n");
  LanguageFile texts(fp.platform);
  EXPECT_EQ("Eins\r\nZwei", texts.GetText("M", "blank", "Eins\\nZwei"));
  EXPECT_EQ("One\r\nTwo", texts.GetText("M", "two", "x"));
  EXPECT_EQ("[M]\r\nblank=Eins\\nZwei\r\ntwo=One\\nTwo\r\n", fp.files.Content(kLng));

  // A language file that cannot be written never fails a write batch of another file.
  fp.files.AddFile(kLng, "[M]\r\n", plat::fattr::kReadOnly);
  IniWriteBatch batch(fp.platform);
  EXPECT_EQ("Neu", texts.GetText("M", "missing", "Neu"));
  cInifile launcher(fp.platform);
  launcher.Path("C:\\Gleisora\\Gleisora.ini");
  launcher.Section("S");
  launcher.Key("k");
  launcher.Value(std::string("1"));
  EXPECT_TRUE(batch.Flush());
}
