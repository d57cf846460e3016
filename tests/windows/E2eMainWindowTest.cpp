// The real program under Wine: language file, details pane, enabling with an empty
// catalogue, and the About window.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "tests/windows/E2eHarness.h"

namespace {

using e2e::App;
using e2e::ProgramFolder;

const char kFullKey[] = "Software\\Software Untergrund\\EEXP";
const char kDemoKey[] = "Software\\Software Untergrund Demo\\EEXP";

class E2eMainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    // No simulator installed: the catalogue stays empty.
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, kFullKey);
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, kDemoKey);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::make_unique<ProgramFolder>(info->name());
    ASSERT_TRUE(folder->Ready()) << "program folder " << folder->Dir();
  }

  void Start() { ASSERT_TRUE(app.Start(*folder)) << "Gleisora.exe did not show its window"; }

  // Opens the About window and returns it.
  HWND OpenAbout() {
    HWND info = app.Button("Info");
    EXPECT_NE(nullptr, info);
    App::Click(info);
    HWND about = nullptr;
    e2e::WaitFor([&] { return (about = app.FindWindowOfClass("GleisoraAbout")) != nullptr; });
    return about;
  }
  static HWND Tabs(HWND about) { return FindWindowExA(about, nullptr, WC_TABCONTROLA, nullptr); }
  static int SelectedTab(HWND about) {
    return static_cast<int>(SendMessageA(Tabs(about), TCM_GETCURSEL, 0, 0));
  }
  // Left edge of the About window's panels, in its client coordinates: the program's
  // panel first, the maker's panel second.
  static std::pair<HWND, HWND> Panels(HWND about) {
    HWND first = FindWindowExA(about, nullptr, "GleisoraAboutPanel", nullptr);
    HWND second = FindWindowExA(about, first, "GleisoraAboutPanel", nullptr);
    // The maker's panel is the one with the telephone caption.
    if (FindWindowExA(first, nullptr, "Static", "telefon")) std::swap(first, second);
    return {first, second};
  }
  static int LeftOf(HWND panel) {
    RECT r{};
    GetWindowRect(panel, &r);
    POINT p{r.left, r.top};
    ScreenToClient(GetParent(panel), &p);
    return p.x;
  }

  std::unique_ptr<ProgramFolder> folder;
  App app;
};

const std::map<std::string, std::string> kMainDefaults = {
    {"cmdStartEEP.Caption", "EEP starten"},
    {"cmdStartEEP.ToolTipText", "EEP starten"},
    {"cmdReset.Caption", "Wiederherstellen"},
    {"cmdReset.ToolTipText", "Letzte Einstellungen wiederherstellen"},
    {"cmdDefault.Caption", "Standardeinstellungen"},
    {"cmdDefault.ToolTipText", "Standardeinstellungen laden"},
    {"cmdInfo.Caption", "Info"},
    {"cmdInfo.ToolTipText", "Info über..."},
    {"cmdDetails.Caption", "Details  >>"},
    {"cmdDetails.ToolTipText", "Details einblenden"},
    {"cmdDetails.Show.Caption", "Details  >>"},
    {"cmdDetails.Show.ToolTipText", "Details einblenden"},
    {"cmdDetails.Hide.Caption", "Details  <<"},
    {"cmdDetails.Hide.ToolTipText", "Details ausblenden"},
    {"lvwVersions.1.Text", "Bezeichnung"},
    {"lvwVersions.2.Text", "Typ"},
    {"lvwVersions.3.Text", "Pfad"},
};

}  // namespace

TEST_F(E2eMainWindow, CaptionComesFromTheVersionResource) {
  Start();
  EXPECT_EQ("Gleisora v1.10", app.Caption());
}

TEST_F(E2eMainWindow, FirstStartWritesEveryMainWindowTextToTheLanguageFile) {
  Start();
  const std::string lng = folder->LanguageFile();
  // The ".Hide" texts are looked up when the log is first shown.
  EXPECT_EQ("", e2e::IniRead(lng, "frmMain", "cmdDetails.Hide.Caption"));
  App::Click(app.Button("Details  >>"));
  ASSERT_TRUE(e2e::WaitFor([&] { return app.Button("Details  <<") != nullptr; }));
  ASSERT_TRUE(app.Close());
  for (const auto& [key, text] : kMainDefaults)
    EXPECT_EQ(text, e2e::IniRead(lng, "frmMain", key, "<missing>")) << key;
}

TEST_F(E2eMainWindow, ChangedLanguageEntriesChangeTheTextsAtTheNextStart) {
  const std::string lng = folder->LanguageFile();
  ASSERT_TRUE(e2e::IniWrite(lng, "frmMain", "cmdInfo.Caption", "Über"));
  ASSERT_TRUE(e2e::IniWrite(lng, "frmMain", "lvwVersions.2.Text", "Art"));
  ASSERT_TRUE(e2e::IniWrite(lng, "frmMain", "cmdDetails.Show.Caption", "Mehr"));
  Start();
  EXPECT_NE(nullptr, app.Button("Über"));
  EXPECT_EQ(nullptr, app.Button("Info"));
  EXPECT_NE(nullptr, app.Button("Mehr"));
  EXPECT_EQ((std::vector<std::string>{"Bezeichnung", "Art", "Pfad"}), app.ColumnTexts());
  // The changed entries stay as the user wrote them.
  ASSERT_TRUE(app.Close());
  EXPECT_EQ("Über", e2e::IniRead(lng, "frmMain", "cmdInfo.Caption"));
}

TEST_F(E2eMainWindow, DetailsButtonShowsAndHidesTheLog) {
  Start();
  const int collapsed = e2e::Px(5415), expanded = e2e::Px(8895);
  EXPECT_EQ(collapsed, app.ClientHeight());
  HWND details = app.Button("Details  >>");
  ASSERT_NE(nullptr, details);
  // The log lies below the visible client area while hidden.
  RECT log{};
  GetWindowRect(app.Log(), &log);
  POINT top{log.left, log.top};
  ScreenToClient(app.Main(), &top);
  EXPECT_GE(top.y, collapsed);

  App::Click(details);
  ASSERT_TRUE(e2e::WaitFor([&] { return App::Text(details) == "Details  <<"; }));
  EXPECT_EQ(expanded, app.ClientHeight());
  App::Click(details);
  ASSERT_TRUE(e2e::WaitFor([&] { return App::Text(details) == "Details  >>"; }));
  EXPECT_EQ(collapsed, app.ClientHeight());
}

TEST_F(E2eMainWindow, EmptyCatalogueLeavesOnlyInfoAndDetailsEnabled) {
  Start();
  EXPECT_EQ(0, app.RowCount());
  EXPECT_EQ((std::vector<std::string>{"Bezeichnung", "Typ", "Pfad"}), app.ColumnTexts());
  const std::map<std::string, bool> expected = {{"EEP starten", false},
                                                {"Wiederherstellen", false},
                                                {"Standardeinstellungen", false},
                                                {"Info", true},
                                                {"Details  >>", true}};
  for (const auto& [caption, enabled] : expected) {
    HWND b = app.Button(caption);
    ASSERT_NE(nullptr, b) << caption;
    EXPECT_EQ(enabled, App::Enabled(b)) << caption;
  }
  // The list stays visible but its container takes no input.
  HWND list = app.List();
  ASSERT_NE(nullptr, list);
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_FALSE(IsWindowEnabled(GetParent(list)));
  EXPECT_EQ(5u, app.Buttons().size());
}

TEST_F(E2eMainWindow, CloseEndsTheProgramWhenIdle) {
  Start();
  EXPECT_TRUE(app.Close());
  EXPECT_FALSE(app.Running());
}

TEST_F(E2eMainWindow, AboutWindowShowsProgramNameAndVersion) {
  Start();
  HWND about = OpenAbout();
  ASSERT_NE(nullptr, about);
  EXPECT_EQ("Info über Gleisora", App::Text(about));
  auto [program, maker] = Panels(about);
  EXPECT_NE(nullptr, FindWindowExA(program, nullptr, "Static", "Version 1.10"));
  EXPECT_NE(nullptr, FindWindowExA(program, nullptr, "Static", "Start-Programm für EEP"));
  App::Click(FindWindowExA(about, nullptr, "Button", "OK"));
  EXPECT_TRUE(e2e::WaitFor([&] { return !IsWindow(about); }));
}

TEST_F(E2eMainWindow, AboutTabsSwitchByClickAndCtrlTab) {
  Start();
  HWND about = OpenAbout();
  ASSERT_NE(nullptr, about);
  // Modal: the main window takes no input while the About window is open.
  EXPECT_FALSE(IsWindowEnabled(app.Main()));
  auto [program, maker] = Panels(about);
  ASSERT_NE(nullptr, program);
  ASSERT_NE(nullptr, maker);
  EXPECT_EQ(0, SelectedTab(about));
  EXPECT_EQ(e2e::Px(210), LeftOf(program));
  EXPECT_LT(LeftOf(maker), 0);

  // Click on the second tab.
  HWND tabs = Tabs(about);
  auto rect = app.ItemRect(tabs, TCM_GETITEMRECT, 1);
  ASSERT_TRUE(rect.has_value());
  ASSERT_TRUE(app.ClickAt(tabs, {(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2}));
  ASSERT_TRUE(e2e::WaitFor([&] { return SelectedTab(about) == 1; }));
  EXPECT_TRUE(e2e::WaitFor([&] { return LeftOf(maker) == e2e::Px(210); }));
  EXPECT_TRUE(IsWindowEnabled(maker));
  EXPECT_EQ(e2e::Px(-20000), LeftOf(program));
  EXPECT_FALSE(IsWindowEnabled(program));

  // Ctrl+Tab wraps from the last tab to the first, Ctrl+Shift+Tab back again.
  ASSERT_TRUE(app.PressKeys(about, {VK_CONTROL}, VK_TAB));
  ASSERT_TRUE(e2e::WaitFor([&] { return SelectedTab(about) == 0; }));
  EXPECT_TRUE(e2e::WaitFor([&] { return LeftOf(program) == e2e::Px(210); }));
  ASSERT_TRUE(app.PressKeys(about, {VK_CONTROL, VK_SHIFT}, VK_TAB));
  ASSERT_TRUE(e2e::WaitFor([&] { return SelectedTab(about) == 1; }));
  App::Click(FindWindowExA(about, nullptr, "Button", "OK"));
  ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(about); }));
  EXPECT_TRUE(IsWindowEnabled(app.Main()));
}

TEST_F(E2eMainWindow, AboutWindowIsBuiltAfreshAtEveryOpening) {
  Start();
  HWND about = OpenAbout();
  ASSERT_NE(nullptr, about);
  ASSERT_TRUE(app.PressKeys(about, {VK_CONTROL}, VK_TAB));
  ASSERT_TRUE(e2e::WaitFor([&] { return SelectedTab(about) == 1; }));
  PostMessageA(about, WM_CLOSE, 0, 0);
  ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(about); }));

  about = OpenAbout();
  ASSERT_NE(nullptr, about);
  EXPECT_EQ(0, SelectedTab(about));
  auto [program, maker] = Panels(about);
  EXPECT_EQ(e2e::Px(210), LeftOf(program));
  PostMessageA(about, WM_CLOSE, 0, 0);
  EXPECT_TRUE(e2e::WaitFor([&] { return !IsWindow(about); }));
}

TEST_F(E2eMainWindow, LanguageFileRenamesTheSecondAboutTab) {
  ASSERT_TRUE(e2e::IniWrite(folder->LanguageFile(), "frmAbout", "tbsAbout.2.Caption", "Kontakt"));
  Start();
  HWND about = OpenAbout();
  ASSERT_NE(nullptr, about);
  EXPECT_EQ((std::vector<std::string>{"Anwendung", "Kontakt"}), app.TabCaptions(Tabs(about)));
  PostMessageA(about, WM_CLOSE, 0, 0);
  EXPECT_TRUE(e2e::WaitFor([&] { return !IsWindow(about); }));
}

TEST_F(E2eMainWindow, SystemInfoWithoutTheProgramShowsThePlainMessage) {
  // The lookup finds a folder without MSINFO32.EXE.
  e2e::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
  ASSERT_TRUE(e2e::SetRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location",
                                     "MSINFO", folder->Dir()));
  Start();
  HWND about = OpenAbout();
  ASSERT_NE(nullptr, about);
  App::Click(FindWindowExA(about, nullptr, "Button", "&System-Info..."));
  auto box = app.WaitForMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ("Systeminformationsprogramm zur Zeit nicht verfügbar.", box->text);
  EXPECT_EQ("Gleisora", box->title);
  EXPECT_EQ(std::vector<std::string>{"OK"}, box->buttons);
  ASSERT_TRUE(App::Answer(*box, "OK"));
  // The About window stays open until its own OK.
  EXPECT_TRUE(IsWindow(about));
  App::Click(FindWindowExA(about, nullptr, "Button", "OK"));
  EXPECT_TRUE(e2e::WaitFor([&] { return !IsWindow(about); }));
}

TEST_F(E2eMainWindow, TabKeyFollowsTheButtonRowThenTheLogSkippingTheLockedList) {
  Start();
  HWND info = app.Button("Info"), details = app.Button("Details  >>"), log = app.Log();
  // The disabled buttons before Info take no focus: Info is the first stop.
  ASSERT_TRUE(e2e::WaitFor([&] { return app.Focus() == info; }));
  ASSERT_TRUE(app.PressKeys(app.Main(), {}, VK_TAB));
  EXPECT_TRUE(e2e::WaitFor([&] { return app.Focus() == details; }));
  ASSERT_TRUE(app.PressKeys(app.Main(), {}, VK_TAB));
  EXPECT_TRUE(e2e::WaitFor([&] { return app.Focus() == log; }));
  ASSERT_TRUE(app.PressKeys(app.Main(), {}, VK_TAB));
  EXPECT_TRUE(e2e::WaitFor([&] { return app.Focus() == info; }));
  ASSERT_TRUE(app.PressKeys(app.Main(), {VK_SHIFT}, VK_TAB));
  EXPECT_TRUE(e2e::WaitFor([&] { return app.Focus() == log; }));
}
