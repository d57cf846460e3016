// The real program under Wine without any installation: language file, details pane,
// enabling, and the About window.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "tests/windows/E2eHarness.h"

namespace {

using e2e::App;

class E2eMainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, e2e::kFullKey);
    e2e::DeleteRegistryTree(HKEY_CLASSES_ROOT, e2e::kDemoKey);
    folder = std::make_unique<e2e::ProgramFolder>(
        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(folder->Ready()) << folder->Dir();
  }
  void Start() { ASSERT_TRUE(app.Start(*folder)) << "Gleisora.exe did not show its window"; }
  bool SetText(const char* section, const char* key, const char* text) {
    return e2e::IniWrite(folder->LanguageFile(), section, key, text);
  }
  std::unique_ptr<e2e::ProgramFolder> folder;
  App app;
};

// Left edge of a panel in its parent's client coordinates.
int LeftOf(HWND panel) {
  RECT r{};
  GetWindowRect(panel, &r);
  POINT p{r.left, r.top};
  ScreenToClient(GetParent(panel), &p);
  return p.x;
}

// A first start without any installation: only Info and Details take input, Details
// shows and hides the log, and every text of the main window lands in the language file.
TEST_F(E2eMainWindow, FirstStartWithAnEmptyCatalogue) {
  Start();
  EXPECT_EQ("Gleisora v1.10", app.Caption());
  EXPECT_EQ(0, app.RowCount());
  EXPECT_EQ(5u, app.Buttons().size());
  for (const auto& [caption, enabled] :
       std::map<std::string, bool>{{"EEP starten", false}, {"Wiederherstellen", false},
                                   {"Standardeinstellungen", false}, {"Info", true},
                                   {"Details  >>", true}}) {
    ASSERT_NE(nullptr, app.Button(caption)) << caption;
    EXPECT_EQ(enabled, App::Enabled(app.Button(caption))) << caption;
  }
  // The list stays visible but its container takes no input.
  ASSERT_NE(nullptr, app.List());
  EXPECT_TRUE(IsWindowVisible(app.List()));
  EXPECT_FALSE(IsWindowEnabled(GetParent(app.List())));

  const int collapsed = e2e::Px(5415), expanded = e2e::Px(8895);
  EXPECT_EQ(collapsed, app.ClientHeight());
  HWND details = app.Button("Details  >>");
  ASSERT_NE(nullptr, details);
  App::Click(details);
  ASSERT_TRUE(e2e::WaitFor([&] { return App::Text(details) == "Details  <<"; }));
  EXPECT_EQ(expanded, app.ClientHeight());
  App::Click(details);
  ASSERT_TRUE(e2e::WaitFor([&] { return App::Text(details) == "Details  >>"; }));
  EXPECT_EQ(collapsed, app.ClientHeight());
  ASSERT_TRUE(app.Close());
  const std::map<std::string, std::string> texts = {
      {"cmdStartEEP.Caption", "EEP starten"}, {"cmdStartEEP.ToolTipText", "EEP starten"},
      {"cmdReset.Caption", "Wiederherstellen"},
      {"cmdReset.ToolTipText", "Letzte Einstellungen wiederherstellen"},
      {"cmdDefault.Caption", "Standardeinstellungen"},
      {"cmdDefault.ToolTipText", "Standardeinstellungen laden"},
      {"cmdInfo.Caption", "Info"}, {"cmdInfo.ToolTipText", "Info über..."},
      {"cmdDetails.Caption", "Details  >>"}, {"cmdDetails.ToolTipText", "Details einblenden"},
      {"cmdDetails.Show.Caption", "Details  >>"},
      {"cmdDetails.Show.ToolTipText", "Details einblenden"},
      {"cmdDetails.Hide.Caption", "Details  <<"},
      {"cmdDetails.Hide.ToolTipText", "Details ausblenden"}, {"lvwVersions.1.Text", "Bezeichnung"},
      {"lvwVersions.2.Text", "Typ"}, {"lvwVersions.3.Text", "Pfad"}};
  for (const auto& [key, text] : texts)
    EXPECT_EQ(text, e2e::IniRead(folder->LanguageFile(), "frmMain", key, "<missing>")) << key;
}

// Entries changed in the language file change the texts at the next start.
TEST_F(E2eMainWindow, ChangedTextsAndTheAboutWindowWithItsTabs) {
  ASSERT_TRUE(SetText("frmMain", "cmdInfo.Caption", "Über"));
  ASSERT_TRUE(SetText("frmMain", "lvwVersions.2.Text", "Art"));
  ASSERT_TRUE(SetText("frmMain", "cmdDetails.Show.Caption", "Mehr"));
  ASSERT_TRUE(SetText("frmAbout", "tbsAbout.2.Caption", "Kontakt"));
  Start();
  EXPECT_EQ(nullptr, app.Button("Info"));
  EXPECT_NE(nullptr, app.Button("Mehr"));
  EXPECT_EQ((std::vector<std::string>{"Bezeichnung", "Art", "Pfad"}), app.ColumnTexts());
  ASSERT_NE(nullptr, app.Button("Über"));
  App::Click(app.Button("Über"));
  HWND about = nullptr;
  ASSERT_TRUE(e2e::WaitFor([&] { return (about = app.FindWindowOfClass("GleisoraAbout")) != nullptr; }));
  EXPECT_EQ("Info über Gleisora", App::Text(about));
  EXPECT_FALSE(IsWindowEnabled(app.Main()));  // modal
  HWND tabs = FindWindowExA(about, nullptr, WC_TABCONTROLA, nullptr);
  EXPECT_EQ((std::vector<std::string>{"Anwendung", "Kontakt"}), app.TabCaptions(tabs));
  auto selected = [&] { return static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)); };
  // The program's panel and the maker's panel, which has the telephone caption.
  HWND program = FindWindowExA(about, nullptr, "GleisoraAboutPanel", nullptr);
  HWND maker = FindWindowExA(about, program, "GleisoraAboutPanel", nullptr);
  if (FindWindowExA(program, nullptr, "Static", "telefon")) std::swap(program, maker);
  ASSERT_TRUE(program && maker);
  EXPECT_NE(nullptr, FindWindowExA(program, nullptr, "Static", "Version 1.10"));
  EXPECT_NE(nullptr, FindWindowExA(program, nullptr, "Static", "Start-Programm für EEP"));
  EXPECT_EQ(0, selected());
  EXPECT_EQ(e2e::Px(210), LeftOf(program));
  EXPECT_LT(LeftOf(maker), 0);

  auto rect = app.ItemRect(tabs, TCM_GETITEMRECT, 1);
  ASSERT_TRUE(rect.has_value());
  ASSERT_TRUE(app.ClickAt(tabs, {(rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2}));
  ASSERT_TRUE(e2e::WaitFor([&] { return selected() == 1; }));
  EXPECT_TRUE(e2e::WaitFor([&] { return LeftOf(maker) == e2e::Px(210); }));
  EXPECT_TRUE(IsWindowEnabled(maker));
  EXPECT_EQ(e2e::Px(-20000), LeftOf(program));
  EXPECT_FALSE(IsWindowEnabled(program));

  // Ctrl+Tab wraps from the last tab to the first, Ctrl+Shift+Tab back again.
  ASSERT_TRUE(app.PressKeys(about, {VK_CONTROL}, VK_TAB));
  ASSERT_TRUE(e2e::WaitFor([&] { return selected() == 0; }));
  EXPECT_TRUE(e2e::WaitFor([&] { return LeftOf(program) == e2e::Px(210); }));
  ASSERT_TRUE(app.PressKeys(about, {VK_CONTROL, VK_SHIFT}, VK_TAB));
  ASSERT_TRUE(e2e::WaitFor([&] { return selected() == 1; }));
  App::Click(FindWindowExA(about, nullptr, "Button", "OK"));
  ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindow(about); }));
  EXPECT_TRUE(IsWindowEnabled(app.Main()));
  ASSERT_TRUE(app.Close());  // the changed entries stay as the user wrote them
  EXPECT_EQ("Über", e2e::IniRead(folder->LanguageFile(), "frmMain", "cmdInfo.Caption"));
}

}  // namespace
