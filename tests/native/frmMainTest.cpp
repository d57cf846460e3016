// The main window's logic on a fake window: start-up, enabling rules, details, the
// busy frame, and the handlers that switch, start, and load standard or last settings.
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "tests/fakes/FakeMainView.h"
#include "tests/native/Rig.h"

using namespace plat;

namespace {
using Lines = std::vector<std::string>;
const char kRunning[] = "EEP läuft bereits! Umschalten ist derzeit nicht möglich!";
const char kNotNow[] = "EEP läuft bereits! Diese Funktion ist derzeit nicht möglich!";

struct Form : ::testing::Test {
  FakePlatform fp;
  LanguageFile texts{fp.platform};
  FakeMainView view;
  frmMain form{fp.platform, texts, view};
  std::string registeredFrom;  // folder of the registered component, empty when none

  // Two installations of one type; EEP_1 is the installed one. Each has a component
  // whose entry points record its folder; the settings live in HKCU\Sim.
  void TwoInstallations(const std::string& extra1 = "") {
    fp.files.AddFile("C:\\Gleisora\\Gleisora.ini",
                     "[Settings]\r\nCount=2\r\n[EEP_1]\r\nDescription=EEP 6.03\r\nAppDir=C:\\EEP6\r\n"
                     "AppPath=C:\\EEP6\\eep.exe\r\nRegType=DEFAULT\r\n" + extra1 +
                     "[EEP_2]\r\nDescription=EEP 7.00\r\nAppDir=C:\\EEP7\r\n"
                     "AppPath=C:\\EEP7\\eep.exe\r\nRegType=DEFAULT\r\n");
    fp.files.AddFile("C:\\Gleisora\\DEFAULT.ini",
                     "[Registry Keys]\r\nHKCU\\Sim=1\r\n"
                     "[Factory Settings]\r\nHKCU\\Sim\\setting=REG_SZ:{AppDir}\\factory\r\n"
                     "[Register]\r\n{AppDir}\\comp.dll=1\r\n[Unregister]\r\n{AppDir}\\comp.dll=1\r\n");
    for (std::string dir : {"C:\\EEP6", "C:\\EEP7"}) {
      fp.files.AddFile(dir + "\\eep.exe", "MZ");
      fp.files.AddFile(dir + "\\comp.dll", "MZ");
      auto& lib = fp.library.libraries[dir + "\\COMP.DLL"];
      lib.exports["DllRegisterServer"] = [this, dir] { registeredFrom = dir; };
      lib.exports["DllUnregisterServer"] = [this] { registeredFrom.clear(); };
    }
    fp.registry.PutString(kHKCR, "Software\\Software Untergrund\\EEXP", "AppPath",
                          "C:\\EEP6\\eep.exe");
    fp.registry.PutString(kHKCU, "Sim", "setting", "six");
    registeredFrom = "C:\\EEP6";
    form.Form_Load();
  }
  void Tick(int row) {
    view.UserToggle(row);
    form.lvwVersions_ItemCheck(row);
  }
  Lines LogLines() const {
    Lines lines;
    std::string s = view.log;
    for (std::size_t p; (p = s.find("\r\n")) != std::string::npos; s.erase(0, p + 2))
      lines.push_back(s.substr(0, p));
    return lines;
  }
  static Lines Join(std::initializer_list<Lines> parts) {
    Lines out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  }
  std::string Setting() {
    const auto v = fp.registry.Get(kHKCU, "Sim", "setting");
    return v ? std::string(v->data.begin(), v->data.end() - 1) : "<none>";
  }
  static std::string Backup(const std::string& name) {
    return "Backup: C:\\Gleisora\\Backups\\2026-12-06_114205_" + name + ".reg...ok";
  }
  const Lines kLeave6 = Join({Rig::Header("UNREGISTER", "EEP 6.03", "C:\\EEP6"),
                              {"SaveRegistry: HKCU\\Sim\\setting...ok",
                               Backup("Umschalten_EEP_1"), "Unregister: comp.dll...ok",
                               "DeleteRegistry: HKCU\\Sim\\setting...ok"}});
  // Entering EEP_2, which has no snapshot: its factory settings, the simulator key naming it.
  const Lines kFirst7 = {"RestoreRegistry: HKCU\\Sim\\setting...ok",
                         "RestoreRegistry: HKCR\\Software\\Software Untergrund\\EEXP\\AppPath...ok",
                         "Register: comp.dll...ok"};
};

TEST_F(Form, StartsCollapsedWithItsVersionAndLocksAnEmptyList) {
  VersionSpec v;
  v.fileVersion[1] = 1;
  v.strings["ProductName"] = "Gleisora";
  fp.version.SetVersion(fp.platform.exePath, v);
  form.Form_Load();
  EXPECT_EQ("Gleisora v1.10", view.caption);
  for (const auto& column : view.columns) EXPECT_EQ(0, column.widthCode) << column.text;
  for (Ctl c : {Ctl::picVersions, Ctl::cmdStartEEP, Ctl::cmdDefault, Ctl::cmdReset})
    EXPECT_FALSE(view.controls[c].enabled);
  EXPECT_TRUE(view.controls[Ctl::cmdInfo].enabled && view.controls[Ctl::cmdDetails].enabled);
  EXPECT_FALSE(form.Busy() || view.hourglass);
  EXPECT_TRUE(view.boxes.empty());

  // Collapsed: the client area ends 120 twips below the buttons; the design height
  // comes back with the details, and the log stays.
  EXPECT_EQ(5415, view.clientHeight);
  EXPECT_EQ("Details  >>|Details einblenden",
            view.ControlCaption(Ctl::cmdDetails) + "|" + view.ToolTip(Ctl::cmdDetails));
  view.log = "Zeile\r\n";
  form.cmdDetails_Click();
  EXPECT_EQ(8895, view.clientHeight);
  EXPECT_EQ("Details  <<|Details ausblenden",
            view.ControlCaption(Ctl::cmdDetails) + "|" + view.ToolTip(Ctl::cmdDetails));
  form.cmdDetails_Click();
  EXPECT_EQ(5415, view.clientHeight);
  EXPECT_EQ("Zeile\r\n", view.log);
}

TEST_F(Form, EnablingRules) {
  const struct {
    WindowState state;  // rows, busy, active, active row's type, can reset
    const char* enabled;  // list, start, defaults, reset, info
  } cases[] = {
      {{true, false, false, {}, true}, "10001"},          // nothing active: only the list
      {{true, false, true, "EEP6003", true}, "11111"},
      {{true, false, true, "DEFAULT", false}, "11001"},   // standard settings need a definition
      {{true, false, true, "Default", false}, "11101"},   // compared case-sensitively
      {{true, false, true, {}, true}, "11011"},           // the active entry has no row
      {{true, true, true, "EEP6003", true}, "00000"},     // busy locks everything
      {{false, false, true, "EEP6003", true}, "00001"},   // an empty list locks all but Info
  };
  for (const auto& c : cases) {
    const Enabling e = EnablingFor(c.state);
    std::string got;
    for (bool on : {e.list, e.start, e.defaults, e.reset, e.info}) got += on ? '1' : '0';
    EXPECT_EQ(c.enabled, got) << "case " << &c - cases;
  }
}

TEST_F(Form, SwitchToAnotherInstallationAndBack) {
  TwoInstallations();
  ASSERT_EQ("EEP_1", view.Ticked());
  const int writes = fp.files.writes, flushes = fp.registry.flushes;
  Tick(1);
  EXPECT_EQ(Join({kLeave6, Rig::Header("REGISTER", "EEP 7.00", "C:\\EEP7"), kFirst7}), LogLines());
  // What a switch costs beyond its values: one child per component list, and the
  // flushes (every file write is flushed before it replaces the old file).
  EXPECT_EQ(2, fp.library.childrenStarted);
  EXPECT_EQ(5, fp.files.writes - writes);
  EXPECT_EQ(2, fp.registry.flushes - flushes);
  EXPECT_EQ("EEP_2", view.Ticked());
  EXPECT_EQ(1, view.selected);
  EXPECT_EQ("C:\\EEP7", registeredFrom);
  EXPECT_EQ("C:\\EEP7\\factory", Setting());  // no snapshot yet: the factory settings
  EXPECT_FALSE(form.Busy() || view.hourglass);
  EXPECT_TRUE(view.controls[Ctl::cmdStartEEP].enabled);
  EXPECT_FALSE(view.controls[Ctl::cmdReset].enabled);  // nothing saved to go back to

  fp.registry.PutString(kHKCU, "Sim", "setting", "seven");
  Tick(0);
  EXPECT_EQ("RestoreRegistry: HKCU\\Sim\\setting...ok", LogLines().at(LogLines().size() - 2));
  EXPECT_EQ("six", Setting());
  EXPECT_EQ("EEP_1", view.Ticked());
  EXPECT_EQ("C:\\EEP6", registeredFrom);
}

TEST_F(Form, TickingOffTheActiveRowOnlyLeavesIt) {
  TwoInstallations();
  Tick(0);
  EXPECT_EQ(kLeave6, LogLines());
  EXPECT_EQ("", view.Ticked());
  EXPECT_EQ(0, view.selected);
  EXPECT_EQ("", registeredFrom);
  for (Ctl c : {Ctl::cmdStartEEP, Ctl::cmdDefault, Ctl::cmdReset}) EXPECT_FALSE(view.controls[c].enabled);

  Tick(1);  // with nothing active only the second half runs
  EXPECT_EQ(Join({Rig::Header("REGISTER", "EEP 7.00", "C:\\EEP7"), {Backup("Umschalten_EEP_2")}, kFirst7}),
            LogLines());
}

TEST_F(Form, NothingChangesWhileTheSimulatorRuns) {
  TwoInstallations("Saved=1\r\n");
  fp.process.Add("C:\\EEP6\\EEP.EXE");
  view.log = "earlier";
  const struct {
    std::function<void()> handler;
    const char* message;
  } cases[] = {
      {[&] { Tick(1); }, kRunning},
      {[&] { Tick(0); }, kRunning},
      {[&] { view.selected = 1; form.lvwVersions_DblClick(); }, kRunning},
      {[&] { form.cmdDefault_Click(); }, kNotNow},
      {[&] { form.cmdReset_Click(); }, kNotNow},
  };
  for (const auto& c : cases) {
    view.boxes.clear();
    c.handler();
    ASSERT_EQ(1u, view.boxes.size()) << c.message;
    EXPECT_EQ(c.message, view.boxes[0].text);
    EXPECT_EQ(mb::kOk | mb::kIconExclamation, view.boxes[0].style);
    EXPECT_EQ(view.caption, view.boxes[0].title);
    EXPECT_EQ("EEP_1", view.Ticked());
  }
  EXPECT_EQ("earlier", view.log);
  EXPECT_EQ("six", Setting());
  EXPECT_TRUE(fp.library.calls.empty());
  EXPECT_TRUE(fp.shell.executed.empty());
}

TEST_F(Form, CloseIsRefusedDuringASwitchEveryTime) {
  TwoInstallations();
  int asked = 0;
  bool startEnabled = true;
  view.onDoEvents = [&] {
    if (asked++ > 1) return;
    EXPECT_TRUE(form.Form_QueryUnload());
    startEnabled = view.controls[Ctl::cmdStartEEP].enabled;
  };
  Tick(1);
  EXPECT_FALSE(startEnabled);
  ASSERT_EQ(2u, view.boxes.size());
  EXPECT_EQ("Gleisora kann im Moment nicht beendet werden!\r\nBitte warten Sie einen Moment!",
            view.boxes[1].text);
  EXPECT_EQ(mb::kOk | mb::kIconInformation, view.boxes[1].style);
  EXPECT_EQ("EEP_2", view.Ticked());  // the switch went on
  EXPECT_FALSE(form.Form_QueryUnload());
  EXPECT_EQ(2u, view.boxes.size());
}

TEST_F(Form, DoubleClickSwitchesWhenNeededThenStarts) {
  TwoInstallations();
  view.selected = 0;  // the active row: no switch
  form.lvwVersions_DblClick();
  EXPECT_EQ("", view.log);
  ASSERT_EQ(1u, fp.shell.executed.size());
  EXPECT_EQ("C:\\EEP6\\eep.exe", fp.shell.executed[0].file);

  view.selected = 1;  // another row: the whole switch, then the start
  form.lvwVersions_DblClick();
  EXPECT_EQ("EEP_2", view.Ticked());
  EXPECT_EQ(kLeave6[1], LogLines().at(1));
  EXPECT_EQ(2u, fp.shell.executed.size());
}

// A command runs the window's own switch and start; each failure says why in one
// message, with the window and its log brought forward, and has its own exit code.
struct Command {
  const char *name; void (*inject)(Form&); cli::Request request; int exitCode;
  const char *active, *lastLog; std::size_t starts;
};
void Running(Form& f) { f.fp.process.Add("C:\\EEP6\\eep.exe"); }
void None(Form&) {}
const Command kCommands[] = {
    {"StartTheActive", None, {cli::Action::Start, "eep 6.03"}, cli::kDone, "EEP_1", "", 1},
    {"SwitchByFolder", None, {cli::Action::Switch, "c:\\eep7\\"}, cli::kDone, "EEP_2", "Register: comp.dll...ok", 0},
    {"Unknown", None, {cli::Action::Start, "EEP 9"}, cli::kUnknownEntry, "EEP_1", "", 0},
    {"Running", Running, {cli::Action::Switch, "EEP_2"}, cli::kSimulatorRunning, "EEP_1", "", 0},
    {"SecondEepDeclined", Running, {cli::Action::Start, "EEP_1"}, cli::kSimulatorRunning, "EEP_1", "", 0},
    {"NoRights", [](Form& f) { f.fp.registry.Deny(kHKLM, "Software\\Classes"); }, {cli::Action::Switch, "EEP_2"},
     cli::kNoRights, "EEP_1", "CheckRights: HKLM\\Software\\Classes\\CLSID...ERROR: 5", 0},
    {"NotKept", [](Form& f) { f.fp.files.failWrites = true; }, {cli::Action::Start, "EEP_2"},
     cli::kSwitchFailed, "EEP_1", "SaveSettings: C:\\Gleisora\\Gleisora.ini...ERROR: 75", 0},
    {"StartFails", [](Form& f) { f.fp.shell.result = [](const FakeShell::Call&) { return std::intptr_t{2}; }; },
     {cli::Action::Start, "EEP_2"}, cli::kStartFailed, "EEP_2", "Register: comp.dll...ok", 1},
};
struct Commands : Form, ::testing::WithParamInterface<Command> {};

TEST_P(Commands, RunTheWindowsOwnSwitchAndStart) {
  const Command& c = GetParam();
  TwoInstallations("Saved=1\r\n");
  int revealed = 0;
  form.BeforeFirstMessage([&] { ++revealed; });
  c.inject(*this);
  EXPECT_EQ(c.exitCode, form.RunCommand(c.request));
  EXPECT_EQ(c.active, view.Ticked());
  EXPECT_EQ(c.lastLog, LogLines().empty() ? "" : LogLines().back());
  EXPECT_EQ(c.starts, fp.shell.executed.size());
  EXPECT_EQ(c.exitCode ? 1u : 0u, view.boxes.size());
  EXPECT_EQ(c.exitCode ? 1 : 0, revealed);
  EXPECT_EQ(c.exitCode ? 8895 : 5415, view.clientHeight);
  if (c.active == std::string("EEP_1")) { EXPECT_EQ("six|C:\\EEP6", Setting() + "|" + registeredFrom); }
}
INSTANTIATE_TEST_SUITE_P(Form, Commands, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

// A fault before anything is deleted: the switch, Default or Reset stops, and says so.
struct Fault {
  const char* name;
  void (*inject)(Form&);
  void (*action)(Form&);
  const char* logged;
};
const char kIni[] = "C:\\Gleisora\\Gleisora.ini", kBackups[] = "C:\\Gleisora\\Backups";
void Cut(Form& f, const char* inPath, const char* from) {  // what lands on disk loses a line
  f.fp.files.onWrite = [=](const std::string& path, std::string& data) {
    if (path.find(inPath) != std::string::npos) data.erase(data.rfind(from));
  };
}
void Switch(Form& f) { f.Tick(1); }
void Blocked(Form& f) { f.fp.files.AddFile(kBackups); }  // a file where the folder belongs
const Fault kFaults[] = {
    {"NoWrites", [](Form& f) { f.fp.files.failWrites = true; }, Switch,
     "SaveSettings: C:\\Gleisora\\Gleisora.ini...ERROR: 75"},
    // Edited from outside, then held open without sharing: every write is refused.
    {"IniLocked", [](Form& f) { f.fp.files.AddFile(kIni, f.fp.files.Content(kIni) + ";\r\n"); f.fp.files.Lock(kIni); },
     Switch, "CheckSettings: C:\\Gleisora\\Gleisora.ini...ERROR: -12"},
    {"SnapshotLineLost", [](Form& f) { Cut(f, "Gleisora.ini", "HKCU"); }, Switch,
     "CheckSettings: HKCU\\Sim\\setting...ERROR: -12"},
    {"BackupBlocked", Blocked, Switch,
     "Backup: C:\\Gleisora\\Backups\\2026-12-06_114205_Umschalten_EEP_1.reg...ERROR: 75"},
    {"BackupValueLost", [](Form& f) { Cut(f, "Backups", "\"setting"); }, Switch,
     "Backup: C:\\Gleisora\\Backups\\2026-12-06_114205_Umschalten_EEP_1.reg...ERROR: -12"},
    {"DefaultBackupBlocked", Blocked, [](Form& f) { f.form.cmdDefault_Click(); },
     "Backup: C:\\Gleisora\\Backups\\2026-12-06_114205_Standard_EEP_1.reg...ERROR: 75"},
    {"ResetBackupBlocked", Blocked, [](Form& f) { f.form.cmdReset_Click(); },
     "Backup: C:\\Gleisora\\Backups\\2026-12-06_114205_Wiederherstellen_EEP_1.reg...ERROR: 75"},
};
struct Faults : Form, ::testing::WithParamInterface<Fault> {};

TEST_P(Faults, NothingIsDeletedThatIsNotKept) {
  TwoInstallations("Saved=1\r\n");
  GetParam().inject(*this);
  GetParam().action(*this);
  EXPECT_EQ(GetParam().logged, LogLines().back());
  EXPECT_EQ("six", Setting());
  EXPECT_EQ("C:\\EEP6", registeredFrom);
  EXPECT_EQ("EEP_1", view.Ticked());
  ASSERT_EQ(1u, view.boxes.size());
  const std::string& logged = GetParam().logged;  // the message names what failed
  EXPECT_EQ("Die jetzigen Einstellungen konnten nicht sicher abgelegt werden, deshalb hat "
            "Gleisora nichts verändert: Die aktive Installation und ihre Einstellungen sind, wie "
            "sie waren.\r\nBitte prüfen Sie, ob Gleisora in seinen Ordner schreiben darf und ob "
            "ein anderes Programm die Datei offen hält, und versuchen Sie es dann noch einmal. "
            "Nicht gelungen ist es bei:\r\n" +
                logged.substr(logged.find(": ") + 2, logged.rfind("...") - logged.find(": ") - 2),
            view.boxes[0].text);
  EXPECT_FALSE(form.Busy() || fp.files.Exists("C:\\Gleisora\\Gleisora.progress"));
  EXPECT_TRUE(fp.files.ListFiles(std::string(kBackups) + "\\*.reg").empty());
}
INSTANTIATE_TEST_SUITE_P(Form, Faults, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// Left unfinished at the start because the simulator ran, a cut-off switch is
// finished by the next click instead of being overwritten by a new one.
TEST_F(Form, AnUnfinishedSwitchIsFinishedBeforeAnythingElse) {
  fp.files.AddFile("C:\\Gleisora\\Gleisora.progress", "Source=EEP_1\r\nTarget=EEP_2\r\nPhase=Leave\r\n");
  fp.process.Add("C:\\EEP6\\eep.exe");
  view.answers = {mb::kIdOk, mb::kIdCancel};
  TwoInstallations();
  EXPECT_EQ("EEP_1", view.Ticked());
  EXPECT_EQ("six", Setting());
  fp.process.processes.clear();
  form.cmdDefault_Click();
  EXPECT_EQ("EEP_2", view.Ticked());
  EXPECT_EQ("C:\\EEP7", registeredFrom);
  EXPECT_EQ("<none>", Setting());  // the target has no snapshot: no factory settings either
  EXPECT_FALSE(fp.files.Exists("C:\\Gleisora\\Gleisora.progress") || form.Busy());
}

TEST_F(Form, DefaultWritesFactorySettingsAndResetTheSnapshot) {
  TwoInstallations("Saved=1\r\n[EEP_1\\Settings]\r\nHKCU\\Sim\\setting=REG_SZ:saved\r\n");
  fp.registry.PutDword(kHKCU, "Sim", "extra", 1);
  const Lines deleted = {"DeleteRegistry: HKCU\\Sim\\extra...ok",
                         "DeleteRegistry: HKCU\\Sim\\setting...ok",
                         "RestoreRegistry: HKCU\\Sim\\setting...ok"};
  form.cmdDefault_Click();
  EXPECT_EQ(Join({Rig::Header("DEFAULT", "EEP 6.03", "C:\\EEP6"), {Backup("Standard_EEP_1")}, deleted}),
            LogLines());
  EXPECT_EQ("C:\\EEP6\\factory", Setting());
  EXPECT_FALSE(fp.registry.Get(kHKCU, "Sim", "extra"));
  EXPECT_TRUE(fp.library.calls.empty());

  form.cmdReset_Click();
  EXPECT_EQ(Join({Rig::Header("RESET", "EEP 6.03", "C:\\EEP6"),
                  {Backup("Wiederherstellen_EEP_1"), deleted[1], deleted[2], "Register: comp.dll...ok"}}),
            LogLines());
  EXPECT_EQ("saved", Setting());
  EXPECT_EQ(std::vector<std::string>{"C:\\EEP6\\COMP.DLL!DllRegisterServer"}, fp.library.calls);
  EXPECT_EQ("EEP_1", view.Ticked());
  EXPECT_FALSE(form.Busy());

  // Without an active entry both only clear the log.
  Tick(0);
  form.cmdDefault_Click();
  EXPECT_EQ("", view.log);
  form.cmdReset_Click();
  EXPECT_EQ("", view.log);
}

TEST_F(Form, StartAsksWhenRunningAndNamesAFailedPath) {
  TwoInstallations();
  view.log = "earlier";
  form.cmdStartEEP_Click();
  ASSERT_EQ(1u, fp.shell.executed.size());
  const FakeShell::Call& c = fp.shell.executed[0];
  EXPECT_EQ("Open|C:\\EEP6\\eep.exe||C:\\EEP6|1",
            c.verb + "|" + c.file + "|" + c.params + "|" + c.dir + "|" + std::to_string(c.show));

  fp.process.Add("D:\\Anderes\\EEP.EXE");
  view.answers = {mb::kIdNo, mb::kIdYes};
  form.cmdStartEEP_Click();
  form.cmdStartEEP_Click();
  ASSERT_EQ(2u, view.boxes.size());
  EXPECT_EQ("Achtung EEP läuft bereits! Wollen Sie wirklich EEP ein weiteres Mal starten?",
            view.boxes[0].text);
  EXPECT_EQ(mb::kYesNo | mb::kIconQuestion, view.boxes[0].style);
  EXPECT_EQ(2u, fp.shell.executed.size());

  fp.process.processes.clear();
  for (std::intptr_t code : {0, 32, 33}) {
    view.boxes.clear();
    fp.shell.result = [code](const FakeShell::Call&) { return code; };
    form.cmdStartEEP_Click();
    EXPECT_EQ(code > 32 ? 0u : 1u, view.boxes.size()) << code;
  }
  fp.shell.result = [](const FakeShell::Call&) { return 2; };
  form.cmdStartEEP_Click();
  EXPECT_EQ("EEP konnte nicht gestartet werden!\r\nPfad: 'C:\\EEP6\\eep.exe'", view.boxes.at(0).text);
  EXPECT_EQ(mb::kOk | mb::kIconStop, view.boxes[0].style);
  EXPECT_EQ("earlier", view.log);
  EXPECT_EQ("EEP_1", view.Ticked());
}

}  // namespace
