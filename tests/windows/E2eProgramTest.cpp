// The real program under Wine with stand-in simulators, driven as a user would.
#include <gtest/gtest.h>

#include "tests/windows/E2eHarness.h"

namespace {

const std::string kKey = "HKCR\\Software\\Software Untergrund\\EEXP\\";
// The stand-in's product version 6, 0, 0, 3 selects EEP6003.ini.
const std::string kDefinition =
    "[Registry Keys]\r\nHKCR\\Software\\Software Untergrund\\EEXP=1\r\n"
    "[Register]\r\n{AppDir}\\comp_a.dll=1\r\n[Unregister]\r\n{AppDir}\\comp_a.dll=1\r\n";

std::string Entry(int n, const std::string& description, const std::string& dir) {
  return "[EEP_" + std::to_string(n) + "]\r\nDescription=" + description + "\r\nAppDir=" + dir +
         "\r\nAppPath=" + dir + "\\eep.exe\r\nRegType=EEP6003\r\n";
}

// A scene with the definition file and the active installation `dir` in the registry.
void Prepare(const e2e::Scene& scene, const std::string& dir, const std::string& catalogue) {
  ASSERT_TRUE(e2e::WriteTextFile(scene.Path("EEP6003.ini"), kDefinition));
  if (!catalogue.empty()) {
    ASSERT_TRUE(e2e::WriteTextFile(scene.Path("Gleisora.ini"), catalogue));
  }
  ASSERT_TRUE(e2e::SetRegString(HKEY_CLASSES_ROOT, e2e::kFullKey, "AppPath", dir + "\\eep.exe"));
}

bool Started(const std::string& dir) {  // the stand-in in `dir` ran from its folder
  return e2e::WaitFor([&] { return e2e::ReadTextFile(dir + "\\starts.log") ==
                                   dir + "\\eep.exe|" + dir + "\r\n"; });
}

// A is active; B has a snapshot.
void SavedAndActive(const e2e::Scene& scene, const std::string& a, const std::string& b) {
  ASSERT_NO_FATAL_FAILURE(Prepare(
      scene, a,
      "[Settings]\r\nCount=2\r\n" + Entry(1, "EEP A", a) + Entry(2, "EEP B", b) +
          "Saved=1\r\n[EEP_2\\Settings]\r\n" + kKey + "AppPath=REG_SZ:" + b + "\\eep.exe\r\n"));
}

TEST(E2eProgram, FirstRunListsTheRegisteredInstallationAndStartLaunchesIt) {
  e2e::Scene scene("FirstRun");
  const std::string sim = scene.AddInstallation("Sim");
  ASSERT_NO_FATAL_FAILURE(Prepare(scene, sim, ""));
  e2e::App app(scene);
  ASSERT_TRUE(app.WaitForMain());
  ASSERT_EQ(1, app.RowCount());
  EXPECT_EQ("EEP-Attrappe v6.03|EEP6003|" + sim,
            app.RowText(0) + "|" + app.RowText(0, 1) + "|" + app.RowText(0, 2));
  EXPECT_TRUE(app.RowChecked(0));
  PostMessageA(app.Button("EEP starten"), BM_CLICK, 0, 0);
  EXPECT_TRUE(Started(sim));

  // Details lengthens the window to show the log; Info opens the About window modally.
  RECT collapsed{}, expanded{};
  GetClientRect(app.Main(), &collapsed);
  PostMessageA(app.Button("Details  >>"), BM_CLICK, 0, 0);
  EXPECT_TRUE(e2e::WaitFor([&] {
    return GetClientRect(app.Main(), &expanded) && expanded.bottom > collapsed.bottom;
  }));
  PostMessageA(app.Button("Info"), BM_CLICK, 0, 0);
  HWND about = nullptr;
  ASSERT_TRUE(e2e::WaitFor([&] {
    return IsWindowVisible(about = FindWindowA(nullptr, "Info über Gleisora"));
  }));
  EXPECT_FALSE(IsWindowEnabled(app.Main()));
  PostMessageA(FindWindowExA(about, nullptr, "Button", "OK"), BM_CLICK, 0, 0);
  EXPECT_TRUE(e2e::WaitFor([&] { return !IsWindow(about) && IsWindowEnabled(app.Main()); }));
}

TEST(E2eProgram, TickingARowSwitchesAndADoubleClickSwitchesBackAndStarts) {
  e2e::Scene scene("Switch");
  const std::string a = scene.AddInstallation("A"), b = scene.AddInstallation("B");
  ASSERT_NO_FATAL_FAILURE(SavedAndActive(scene, a, b));
  e2e::App app(scene);
  ASSERT_TRUE(app.WaitForMain());
  // What the switch does to the settings is shown without the window; here the real
  // input, the component registered by a child process, and the simulator started.
  auto activeIs = [&](const std::string& dir) {
    return e2e::WaitFor([&] {
      return e2e::RegString(HKEY_CURRENT_USER, e2e::kMarkers, "comp_a.dll") == dir &&
             IsWindowEnabled(app.Button("Info"));
    });
  };
  ASSERT_TRUE(app.ClickRow(1));
  ASSERT_TRUE(app.PressKey(VK_SPACE));
  ASSERT_TRUE(activeIs(b)) << app.LogText();
  EXPECT_TRUE(app.RowChecked(1) && !app.RowChecked(0));

  ASSERT_TRUE(app.ClickRow(0, e2e::Mouse::Double));
  EXPECT_TRUE(Started(a));
  EXPECT_TRUE(activeIs(a)) << app.LogText();
  EXPECT_TRUE(app.RowChecked(0));
}

// While loading the program is busy; it asks about the gone entry meanwhile.
TEST(E2eProgram, AGoneEntryIsOfferedForDeletionAndClosingWhileBusyIsRefused) {
  e2e::Scene scene("Gone");
  const std::string a = scene.AddInstallation("A"), gone = scene.Path("Weg");
  ASSERT_NO_FATAL_FAILURE(Prepare(
      scene, a, "[Settings]\r\nCount=2\r\n" + Entry(1, "EEP A", a) + Entry(2, "Alt v5.00", gone)));
  e2e::App app(scene);
  HWND question = app.WaitForBox("Alt v5.00 wurde nicht gefunden!\r\nVerzeichnis:\r\n" + gone +
                                 "\r\nSoll der zugehörige Eintrag gelöscht werden?");
  ASSERT_NE(nullptr, question);
  PostMessageA(app.Main(), WM_CLOSE, 0, 0);  // the window's close asks the form
  ASSERT_TRUE(e2e::App::Answer(app.WaitForBox("Gleisora kann im Moment nicht beendet werden!\r\n"
                                              "Bitte warten Sie einen Moment!"),
                               "OK"));
  // Log-off and shutdown are refused at once while busy, with no message box.
  DWORD_PTR answer = 1;
  ASSERT_TRUE(SendMessageTimeoutA(app.Main(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_EQ(0u, answer);
  ASSERT_TRUE(e2e::App::Answer(question, "&Yes"));
  ASSERT_TRUE(app.WaitForMain());
  ASSERT_TRUE(SendMessageTimeoutA(app.Main(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_NE(0u, answer);
  EXPECT_EQ(1, app.RowCount());
  EXPECT_EQ("<missing>", e2e::IniRead(scene.Path("Gleisora.ini"), "EEP_2", "AppPath"));
  EXPECT_TRUE(app.Close());  // no longer busy
}

}  // namespace

// Typed in a command prompt in the program's folder.
struct Prompt {
  PROCESS_INFORMATION pi{};
  Prompt(const e2e::Scene& scene, std::string args) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    args = "cmd.exe /c start /wait Gleisora.exe " + args;
    SetEnvironmentVariableA("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d");
    CreateProcessA(nullptr, args.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                   scene.Path("").c_str(), &si, &pi);
  }
  ~Prompt() { CloseHandle(pi.hProcess), CloseHandle(pi.hThread); }
  DWORD ExitCode() const {  // as `start /wait` passes it on
    DWORD code = 999;
    return WaitForSingleObject(pi.hProcess, 60000) || !GetExitCodeProcess(pi.hProcess, &code) ? 999 : code;
  }
};

TEST(E2eCommandLine, SwitchStartAndAnUnknownEntryTypedInACommandPrompt) {
  e2e::Scene scene("Command");
  const std::string a = scene.AddInstallation("A"), b = scene.AddInstallation("B");
  ASSERT_NO_FATAL_FAILURE(SavedAndActive(scene, a, b));
  EXPECT_EQ(0u, Prompt(scene, "/switch \"eep b\"").ExitCode());
  EXPECT_EQ(b, e2e::RegString(HKEY_CURRENT_USER, e2e::kMarkers, "comp_a.dll"));
  EXPECT_EQ(0u, Prompt(scene, "/start eep_1").ExitCode());
  EXPECT_TRUE(Started(a));

  // The main window comes with the message and stays until it is closed.
  Prompt unknown(scene, "/start Nirgends");
  ASSERT_TRUE(e2e::App::Answer(
      e2e::WaitForBox("Diese Installation kennt Gleisora nicht: 'Nirgends'\r\n\r\nBekannt sind:\r\n"
                      "EEP_1: EEP A (" + a + ")\r\nEEP_2: EEP B (" + b + ")\r\n"), "OK"));
  HWND main = FindWindowA("GleisoraMain", nullptr);
  EXPECT_TRUE(IsWindowVisible(main));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(3u, unknown.ExitCode());
}

TEST(E2eCommandLine, ASecondStartHandsItsCommandLineToTheOpenWindow) {
  e2e::Scene scene("Second");
  const std::string a = scene.AddInstallation("A"), b = scene.AddInstallation("B");
  ASSERT_NO_FATAL_FAILURE(SavedAndActive(scene, a, b));
  e2e::App app(scene);
  ASSERT_TRUE(app.WaitForMain());
  EXPECT_EQ(0u, Prompt(scene, "/switch EEP_2").ExitCode());
  EXPECT_TRUE(e2e::WaitFor([&] { return app.RowChecked(1) && IsWindowEnabled(app.Button("Info")); }));
  EXPECT_EQ(b, e2e::RegString(HKEY_CURRENT_USER, e2e::kMarkers, "comp_a.dll"));

  // With a dialog open it cannot take one: the second start says so.
  PostMessageA(app.Button("Info"), BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitFor([&] { return !IsWindowEnabled(app.Main()); }));
  Prompt refused(scene, "/switch EEP_1");
  EXPECT_TRUE(e2e::App::Answer(e2e::WaitForBox("Gleisora ist schon geöffnet und gerade "
                                               "beschäftigt.\r\nBitte versuchen Sie es gleich noch einmal."), "OK"));
  EXPECT_EQ(8u, refused.ExitCode());
  PostMessageA(FindWindowExA(FindWindowA(nullptr, "Info über Gleisora"), nullptr, "Button", "OK"),
               BM_CLICK, 0, 0);
}
