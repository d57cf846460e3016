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
  std::string TabCaption(int tab) override { return tabs.at(tab - 1).first; }
  void SetTabCaption(int tab, const std::string& t) override { tabs.at(tab - 1).first = t; }
  std::string TabToolTip(int tab) override { return tabs.at(tab - 1).second; }
  void SetTabToolTip(int tab, const std::string& t) override { tabs.at(tab - 1).second = t; }
  int SelectedTab() override { return selected; }
  void SelectTab(int tab) override { selected = tab; }
  void MovePanel(int index, long left) override { panels.at(index).first = left; }
  void SetPanelEnabled(int index, bool e) override { panels.at(index).second = e; }
  std::uintptr_t Handle() override { return 0x1234; }
  int MsgBox(const std::string& text, unsigned style, const std::string&) override {
    boxes += text + "|" + std::to_string(style) + ";";
    return mb::kIdOk;
  }
  void Close() override {}

  // Each panel's left edge and whether it is enabled, as "left enabled,...".
  std::string Panels() const {
    std::string s;
    for (const auto& [left, enabled] : panels) s += std::to_string(left) + " " + std::to_string(enabled) + ",";
    return s;
  }

  std::string caption = "Info";
  std::map<AboutLabel, std::string> labels{{AboutLabel::lblTitle, "Anwendungstitel"},
                                           {AboutLabel::lblVersion, "Version"},
                                           {AboutLabel::lblDescription, "Anwendungsbeschreibung"},
                                           {AboutLabel::lblDisclaimer, "Warnung: ..."}};
  std::map<AboutLabel, std::string> labelTips;
  std::vector<std::pair<std::string, std::string>> tabs{{"Anwendung", ""}, {"Autor", ""}};  // caption, tip
  std::vector<std::pair<long, bool>> panels{{210, true}, {-19882, true}};
  int selected = 1;
  std::string boxes;  // "text|style;" for each
};

class AboutTest : public ::testing::Test {
 protected:
  AboutTest() : texts(fake.platform), form(fake.platform, texts, view) {}

  void GiveOwnVersion(std::uint16_t minor, std::uint16_t revision, const std::string& product = "Gleisora") {
    VersionSpec vi;
    vi.fileVersion[1] = vi.productVersion[1] = minor;
    vi.fileVersion[2] = vi.productVersion[2] = revision;
    vi.strings = {{"ProductName", product},
                  {"FileDescription", "Start-Programm für EEP"},
                  {"LegalCopyright", "Copyright © 2026 Gleisora-Projekt"}};
    fake.version.SetVersion(fake.platform.exePath, vi);
  }

  FakePlatform fake;
  FakeAboutView view;
  LanguageFile texts;
  frmAbout form;
};

const char kMsinfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";

}  // namespace

TEST_F(AboutTest, LoadShowsTheOwnVersionInformationAndTheLanguageFilesTexts) {
  GiveOwnVersion(12, 3);  // minor and revision join without separator
  fake.files.AddFile("C:\\Gleisora\\Gleisora.lng",
                     "[frmAbout]\r\ntbsAbout.2.Caption=Kontakt\r\nlblTitle.ToolTipText=Name\r\n");
  form.Form_Load();
  std::string shown = view.caption;
  for (const auto& [label, text] : view.labels) shown += "|" + text + "(" + view.labelTips[label] + ")";
  for (const auto& [caption, tip] : view.tabs) shown += "|" + caption + "(" + tip + ")";
  EXPECT_EQ("Info über Gleisora|Gleisora(Name)|Version 1.123()|Start-Programm für EEP()"
            "|Copyright © 2026 Gleisora-Projekt()|Anwendung()|Kontakt()",
            shown);
  // The load selects nothing and moves no panel.
  EXPECT_EQ("1:210 1,-19882 1,", std::to_string(view.selected) + ":" + view.Panels());
  // Keys the file lacked now hold their defaults; fixed texts are not looked up.
  EXPECT_EQ("[frmAbout]\r\ntbsAbout.2.Caption=Kontakt\r\nlblTitle.ToolTipText=Name\r\n"
            "Caption=Info über Gleisora\r\nlblTitle.Caption=Gleisora\r\n"
            "lblDisclaimer.Caption=Copyright © 2026 Gleisora-Projekt\r\nlblDisclaimer.ToolTipText=\r\n"
            "lblDescription.Caption=Start-Programm für EEP\r\nlblDescription.ToolTipText=\r\n"
            "tbsAbout.1.Caption=Anwendung\r\ntbsAbout.1.ToolTipText=\r\ntbsAbout.2.ToolTipText=\r\n",
            fake.files.Content("C:\\Gleisora\\Gleisora.lng"));
}

TEST_F(AboutTest, CtrlTabCyclesThroughTabsAndShowsTheirPanels) {
  using F = frmAbout;
  view.tabs.push_back({"Drei", ""});
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
  // The new tab's panel is moved into sight; the others are moved out and disabled, not hidden.
  const std::string moved[] = {"210 1,-20000 0,-20000 0,", "-20000 0,210 1,-20000 0,",
                               "-20000 0,-20000 0,210 1,"};
  for (const auto& c : cases) {
    view.selected = c.from;
    view.panels = {{0, true}, {0, true}, {0, true}};
    form.Form_KeyDown(F::kKeyTab, c.shift);
    EXPECT_EQ(std::to_string(c.to) + ":" + (c.to == c.from ? "0 1,0 1,0 1," : moved[c.to - 1]),
              std::to_string(view.selected) + ":" + view.Panels())
        << "from " << c.from << " shift " << c.shift;
  }
  // Only the Tab key switches, and only where there are tabs.
  view.selected = 1;
  form.Form_KeyDown(0x22 /* page down */, F::kCtrlMask);
  EXPECT_EQ(1, view.selected);
  view.tabs.clear(), view.selected = 2;
  form.Form_KeyDown(F::kKeyTab, F::kCtrlMask);
  EXPECT_EQ(2, view.selected);
}

TEST_F(AboutTest, LinksOpenWebHostsAndMailWithTheProductReadAtTheLoadAsSubject) {
  GiveOwnVersion(1, 0);
  form.Form_Load();
  GiveOwnVersion(1, 0, "Später");
  form.lblLink1_Click();
  form.lblLink2_Click();
  form.lblMail1_Click();
  form.lblMail2_Click();
  std::string calls;
  for (const auto& c : fake.shell.executed)
    calls += c.verb + "|" + c.file + "|" + c.params + "|" + c.dir + "|" + std::to_string(c.show) + "\n";
  EXPECT_EQ("open|http://" + std::string(maker::kWebHost1) + "/|||1\nopen|http://" + maker::kWebHost2 +
                "/|||1\nopen|mailto:" + maker::kMail1 + "?subject=Gleisora|||1\nopen|mailto:" +
                maker::kMail2 + "?subject=Gleisora|||1\n",
            calls);
}

TEST(AboutSysInfo, PathKeyFirstThenToolsLocationElseThePlainMessage) {
  const struct {
    const char *path, *location, *file, *folder;  // registry values and what is on disk
    bool denied, startFails;
    const char* started;  // "": the message instead
  } cases[] = {
      // The path is started without looking for the file.
      {"C:\\Nowhere\\msinfo32.exe", "C:\\Other", "", "", false, false, "C:\\Nowhere\\msinfo32.exe"},
      {"", "C:\\Tools\\MSInfo", "C:\\Tools\\MSInfo\\MSINFO32.EXE", "", false, false,
       "C:\\Tools\\MSInfo\\MSINFO32.EXE"},
      {"", "", "", "", false, false, ""},
      {"", "C:\\Tools", "", "", false, false, ""},
      {"", "C:\\Tools", "", "C:\\Tools\\MSINFO32.EXE", false, false, ""},
      {"C:\\msinfo32.exe", "", "", "", true, false, ""},
      {"C:\\msinfo32.exe", "", "", "", false, true, ""},
  };
  for (const auto& c : cases) {
    FakePlatform f;
    FakeAboutView v;
    if (*c.path) f.registry.PutString(plat::kHKLM, kMsinfoKey, "PATH", c.path);
    if (*c.location) f.registry.PutString(plat::kHKLM, kLocationKey, "MSINFO", c.location);
    if (*c.file) f.files.AddFile(c.file);
    if (*c.folder) f.files.AddDir(c.folder);
    if (c.denied) f.registry.Deny(plat::kHKLM, kMsinfoKey);
    if (c.startFails) f.shell.result = [](const FakeShell::Call&) { return 0; };
    LanguageFile t(f.platform);
    frmAbout(f.platform, t, v).cmdSysInfo_Click();
    if (*c.started) {
      EXPECT_EQ(std::vector<std::string>{c.started}, f.shell.started) << c.path;
    }
    // The message has OK only, no icon.
    EXPECT_EQ(*c.started ? "" : "Systeminformationsprogramm zur Zeit nicht verfügbar.|0;", v.boxes) << c.path;
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
