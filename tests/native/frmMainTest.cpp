// The main window's logic on a fake window: start-up, enabling rules, and what each
// handler and each command of a row's menu leaves in the list, the catalogue, the
// registry, the shell and the message boxes.
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "tests/fakes/FakeMainView.h"
#include "tests/native/Rig.h"

using namespace plat;

namespace {
using Lines = std::vector<std::string>;
Lines Join(std::initializer_list<Lines> parts) {
  Lines out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
std::string Backup(const std::string& name) {
  return "Backup: C:\\Gleisora\\Backups\\2026-12-06_114205_" + name + ".reg...ok";
}
const Lines kLeave6 = Join({Rig::Header("UNREGISTER", "EEP 6.03", "C:\\EEP6"),
                            {"SaveRegistry: HKCU\\Sim\\setting...ok", Backup("Umschalten_EEP_1"),
                             "Unregister: comp.dll...ok", "DeleteRegistry: HKCU\\Sim\\setting...ok"}});
// Entering EEP_2, which has no snapshot: its factory settings, the simulator key naming it.
const Lines kFirst7 = {"RestoreRegistry: HKCU\\Sim\\setting...ok",
                       "RestoreRegistry: HKCR\\Software\\Software Untergrund\\EEXP\\AppPath...ok",
                       "Register: comp.dll...ok"};
const Lines kEnter7 = Join({Rig::Header("REGISTER", "EEP 7.00", "C:\\EEP7"), kFirst7});

struct Form : ::testing::Test {
  FakePlatform fp;
  FakeShell& shell = fp.shell;
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
  // Runs the command of the row's context menu with this text (a backup: its label).
  void Menu(int row, const std::string& text) {
    for (const MenuItem& item : form.RowMenu(row)) {
      if (item.text == text) return item.run();
      for (const MenuItem& sub : item.sub)
        if (sub.text == text) return sub.run();
    }
    ADD_FAILURE() << "no command " << text;
  }
  Lines LogLines() const {
    Lines lines;
    std::string s = view.log;
    for (std::size_t p; (p = s.find("\r\n")) != std::string::npos; s.erase(0, p + 2))
      lines.push_back(s.substr(0, p));
    return lines;
  }
  std::string Setting() {
    const auto v = fp.registry.Get(kHKCU, "Sim", "setting");
    return v ? std::string(v->data.begin(), v->data.end() - 1) : "<none>";
  }
  // The rows shown (* ticked), then whether Start, Default and Reset are enabled.
  std::string List() {
    std::string s;
    for (const auto& r : view.rows) s += r.shown.key + (r.checked ? "*," : ",");
    for (Ctl c : {Ctl::cmdStartEEP, Ctl::cmdDefault, Ctl::cmdReset}) s += view.controls[c].enabled ? '1' : '0';
    return s;
  }
  // What the shell was asked to do: open files, links made.
  std::string Shell() const {
    std::string s;
    for (const auto& c : shell.executed)
      s += c.verb + "|" + c.file + "|" + c.params + "|" + c.dir + "|" + std::to_string(c.show) + ";";
    for (const auto& l : shell.links) s += "link " + l + ";";
    return s;
  }
  std::string Boxes() const {
    std::string s;
    for (const auto& b : view.boxes) s += b.text + ";";
    return s;
  }
};

TEST_F(Form, StartsCollapsedWithItsVersionAndLocksAnEmptyList) {
  VersionSpec v;
  v.fileVersion[1] = 1;
  v.strings["ProductName"] = "Gleisora";
  fp.version.SetVersion(fp.platform.exePath, v);
  fp.files.AddFile("C:\\Gleisora\\Gleisora.lng", "[frmMain]\r\nlvwVersions.3.Text=Path\r\n");
  form.Form_Load();
  EXPECT_EQ("Gleisora v1.10", view.caption);
  EXPECT_EQ("Path", view.columns[2].text);
  for (const auto& column : view.columns) EXPECT_EQ(0, column.widthCode) << column.text;
  EXPECT_EQ("000", List());
  EXPECT_FALSE(view.controls[Ctl::picVersions].enabled);
  EXPECT_TRUE(view.controls[Ctl::cmdInfo].enabled && view.controls[Ctl::cmdDetails].enabled);
  EXPECT_FALSE(form.Busy() || view.hourglass);

  // Collapsed: the client area ends 120 twips below the buttons; the design height
  // comes back with the details, and the log stays.
  view.log = "Zeile\r\n";
  for (const char* shown : {"5415 Details  >> Details einblenden", "8895 Details  << Details ausblenden",
                            "5415 Details  >> Details einblenden"}) {
    EXPECT_EQ(shown, std::to_string(view.clientHeight) + " " + view.ControlCaption(Ctl::cmdDetails) + " " +
                         view.ToolTip(Ctl::cmdDetails));
    form.cmdDetails_Click();
  }
  EXPECT_EQ("Zeile\r\n", view.log);
  EXPECT_TRUE(view.boxes.empty());
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

// What a switch costs beyond its values: one child per component list, and the
// flushes (every file write is flushed before it replaces the old file).
TEST_F(Form, ASwitchStartsOneChildPerListAndFlushesEachWriteOnce) {
  TwoInstallations();
  // The load sized every column to its header and its rows.
  for (const auto& column : view.columns) EXPECT_EQ(-2, column.widthCode) << column.text;
  fp.fileFaults.calls.clear(), fp.registryFaults.calls.clear();
  Tick(1);
  EXPECT_EQ("EEP_2", view.Ticked());
  EXPECT_EQ(2, fp.library.childrenStarted);
  EXPECT_EQ(5, fp.fileFaults.calls["WriteAllAtomic"]);
  EXPECT_EQ(2, fp.registryFaults.calls["FlushKey"]);
}

// One action of the user on two installations, EEP_1 active with its settings and
// component, and the log holding a line from before; what it leaves behind.
struct Action {
  const char* name;
  void (*act)(Form&);
  const char* state;  // see State()
  std::string boxes = "", shell = "";
  Lines log = {"earlier"};
  const char* ini = "";  // more lines of EEP_1's entry
};
const char kSix[] = "EEP_1*,EEP_2,100 six C:\\EEP6", kSeven[] = "EEP_1,EEP_2*,100 C:\\EEP7\\factory C:\\EEP7";
const char kSaved[] = "Saved=1\r\n[EEP_1\\Settings]\r\nHKCU\\Sim\\setting=REG_SZ:saved\r\n";
const char kStart6[] = "Open|C:\\EEP6\\eep.exe||C:\\EEP6|1;";
const char kRunning[] = "EEP läuft bereits! Umschalten ist derzeit nicht möglich!;";
const char kNotNow[] = "EEP läuft bereits! Diese Funktion ist derzeit nicht möglich!;";
const char kSecond[] = "Achtung EEP läuft bereits! Wollen Sie wirklich EEP ein weiteres Mal starten?;";
const char kLink[] = "Verknüpfung auf dem Desktop erstellen", kRemove[] = "Aus der Liste entfernen",
           kAdd[] = "Installation hinzufügen…", kOld[] = "2026-12-06_114204_Standard_EEP_1.reg";
const char kLink6[] = "link EEP 6.03|C:\\Gleisora\\Gleisora.exe|/start EEP_1|C:\\Gleisora|C:\\EEP6\\eep.exe;";
const char kRemove7[] = "EEP 7.00\r\nSoll dieser Eintrag aus der Liste entfernt werden?\r\n"
                        "Seine gespeicherten Einstellungen werden dabei gelöscht.;";
const std::string kRestore = std::string(kOld) + "\r\nSollen die Einstellungen aus dieser Sicherung "
                             "wiederhergestellt werden?\r\nDie jetzigen Einstellungen werden vorher gesichert.;";
const Lines kRestoring = Rig::Header("RESTORE", "EEP 6.03", "C:\\EEP6");
const std::string kRestoreOld = "Restore: C:\\Gleisora\\Backups\\" + std::string(kOld) + "...";
void Running(Form& f) { f.fp.process.Add("C:\\EEP6\\EEP.EXE"); }
void Beside(Form& f) { f.fp.process.Add("D:\\Anderes\\EEP.EXE"); }
void Result(Form& f, std::intptr_t code) {
  f.shell.result = [code](const FakeShell::Call&) { return code; };
}
void Restore(Form& f, const char* text, int answer) {  // an older backup of EEP_1, and the answer
  f.fp.files.AddFile(std::string("C:\\Gleisora\\Backups\\") + kOld, text);
  f.view.answers = {answer};
  f.Menu(0, "06.12.2026 11:42:04  Standard  EEP_1");
}
const char kFive[] = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Sim]\r\n\"setting\"=\"five\"\r\n\r\n";

const Action kActions[] = {
    // The list: a tick switches, the active row's tick only leaves, a double click
    // switches when needed and starts.
    {"TickAnother", [](Form& f) { f.Tick(1); }, kSeven, "", "", Join({kLeave6, kEnter7})},
    {"TickBack", [](Form& f) { f.Tick(1), f.fp.registry.PutString(kHKCU, "Sim", "setting", "seven"), f.Tick(0); },
     "EEP_1*,EEP_2,101 six C:\\EEP6", "", "",
     Join({Rig::Header("UNREGISTER", "EEP 7.00", "C:\\EEP7"),
           {"SaveRegistry: HKCU\\Sim\\setting...ok", Backup("Umschalten_EEP_2"), "Unregister: comp.dll...ok",
            "DeleteRegistry: HKCU\\Sim\\setting...ok"},
           Rig::Header("REGISTER", "EEP 6.03", "C:\\EEP6"),
           {"RestoreRegistry: HKCU\\Sim\\setting...ok", "Register: comp.dll...ok"}})},
    {"TickOffTheActive", [](Form& f) { f.Tick(0); }, "EEP_1,EEP_2,000 <none> ", "", "", kLeave6},
    {"TickFromNone", [](Form& f) { f.Tick(0), f.Tick(1); }, kSeven, "", "",
     Join({Rig::Header("REGISTER", "EEP 7.00", "C:\\EEP7"), {Backup("Umschalten_EEP_2")}, kFirst7})},
    {"DoubleClickTheActive", [](Form& f) { f.view.selected = 0, f.form.lvwVersions_DblClick(); }, kSix, "", kStart6},
    {"DoubleClickAnother", [](Form& f) { f.view.selected = 1, f.form.lvwVersions_DblClick(); }, kSeven, "",
     "Open|C:\\EEP7\\eep.exe||C:\\EEP7|1;", Join({kLeave6, kEnter7})},
    // Default writes the factory settings, Reset the snapshot; both keep a backup first.
    {"Default", [](Form& f) { f.fp.registry.PutDword(kHKCU, "Sim", "extra", 1), f.form.cmdDefault_Click(); },
     "EEP_1*,EEP_2,101 C:\\EEP6\\factory C:\\EEP6", "", "",
     Join({Rig::Header("DEFAULT", "EEP 6.03", "C:\\EEP6"),
           {Backup("Standard_EEP_1"), "DeleteRegistry: HKCU\\Sim\\extra...ok",
            "DeleteRegistry: HKCU\\Sim\\setting...ok", "RestoreRegistry: HKCU\\Sim\\setting...ok"}}),
     kSaved},
    {"Reset", [](Form& f) { f.form.cmdReset_Click(); }, "EEP_1*,EEP_2,101 saved C:\\EEP6", "", "",
     Join({Rig::Header("RESET", "EEP 6.03", "C:\\EEP6"),
           {Backup("Wiederherstellen_EEP_1"), "DeleteRegistry: HKCU\\Sim\\setting...ok",
            "RestoreRegistry: HKCU\\Sim\\setting...ok", "Register: comp.dll...ok"}}),
     kSaved},
    {"DefaultWithoutActive", [](Form& f) { f.Tick(0), f.form.cmdDefault_Click(); }, "EEP_1,EEP_2,000 <none> ", "",
     "", {}},
    {"ResetWithoutActive", [](Form& f) { f.Tick(0), f.form.cmdReset_Click(); }, "EEP_1,EEP_2,000 <none> ", "", "",
     {}, kSaved},
    // Start: asks beside another simulator, names the path it could not start.
    {"Start", [](Form& f) { f.form.cmdStartEEP_Click(); }, kSix, "", kStart6},
    {"StartBesideAnotherDeclined", [](Form& f) { Beside(f), f.form.cmdStartEEP_Click(); }, kSix, kSecond},
    {"StartBesideAnother", [](Form& f) { Beside(f), f.view.answers = {mb::kIdYes}, f.form.cmdStartEEP_Click(); },
     kSix, kSecond, kStart6},
    {"StartFails", [](Form& f) { Result(f, 32), f.form.cmdStartEEP_Click(); }, kSix,
     "EEP konnte nicht gestartet werden!\r\nPfad: 'C:\\EEP6\\eep.exe';", kStart6},
    {"StartAt33", [](Form& f) { Result(f, 33), f.form.cmdStartEEP_Click(); }, kSix, "", kStart6},
    // While the simulator runs nothing changes, and the log stays.
    {"RunningTick", [](Form& f) { Running(f), f.Tick(1); }, kSix, kRunning},
    {"RunningTickOff", [](Form& f) { Running(f), f.Tick(0); }, kSix, kRunning},
    {"RunningDoubleClick", [](Form& f) { Running(f), f.view.selected = 1, f.form.lvwVersions_DblClick(); }, kSix,
     kRunning},
    {"RunningDefault", [](Form& f) { Running(f), f.form.cmdDefault_Click(); }, kSix, kNotNow},
    {"RunningReset", [](Form& f) { Running(f), f.form.cmdReset_Click(); }, kSix, kNotNow},
    {"RunningRestore", [](Form& f) { Running(f), Restore(f, kFive, mb::kIdYes); }, kSix, kNotNow},
    // A switch cut off earlier is finished by the next click instead of what it asked for:
    // on to the target, whose settings were kept.
    {"UnfinishedSwitchFirst",
     [](Form& f) {
       f.fp.files.AddFile("C:\\Gleisora\\Gleisora.progress", "Source=EEP_1\r\nTarget=EEP_2\r\nPhase=Leave\r\n");
       f.form.cmdDefault_Click();
     },
     "EEP_1,EEP_2*,101 <none> C:\\EEP7", 
     "Die letzte Umschaltung wurde unterbrochen. Gleisora bringt das jetzt zuerst in Ordnung; was Sie "
     "eben angeklickt haben, wird deshalb nicht ausgeführt.\r\nDanach zeigt der Haken in der Liste, "
     "welche Installation aktiv ist. Bitte klicken Sie dann noch einmal.;",
     "",
     {"Recover: EEP_1 -> EEP_2...ok", Backup("Reparatur_EEP_1"), "Unregister: comp.dll...ok",
      "DeleteRegistry: HKCU\\Sim\\setting...ok", "Register: comp.dll...ok"}},
    // A file where the backups' folder belongs: nothing changes, and the message names
    // what could not be kept.
    {"BackupBlocked", [](Form& f) { f.fp.files.AddFile("C:\\Gleisora\\Backups"), f.Tick(1); }, kSix,
     "Die jetzigen Einstellungen konnten nicht sicher abgelegt werden, deshalb hat Gleisora nichts "
     "verändert: Die aktive Installation und ihre Einstellungen sind, wie sie waren.\r\nBitte prüfen "
     "Sie, ob Gleisora in seinen Ordner schreiben darf und ob ein anderes Programm die Datei offen "
     "hält, und versuchen Sie es dann noch einmal. Nicht gelungen ist es bei:\r\n"
     "C:\\Gleisora\\Backups\\2026-12-06_114205_Umschalten_EEP_1.reg;",
     "", Join({Rig::Header("UNREGISTER", "EEP 6.03", "C:\\EEP6"),
               {"SaveRegistry: HKCU\\Sim\\setting...ok",
                "Backup: C:\\Gleisora\\Backups\\2026-12-06_114205_Umschalten_EEP_1.reg...ERROR: 75"}})},
    // The row menu.
    {"Shortcut", [](Form& f) { f.Menu(0, kLink); }, kSix, "", kLink6},
    {"ShortcutWithoutDesktop", [](Form& f) { f.shell.desktop.clear(), f.Menu(0, kLink); }, kSix,
     "Die Verknüpfung konnte nicht erstellt werden: Windows hat den Desktop-Ordner nicht genannt "
     "oder die Datei dort nicht angelegt.\r\nSie können die Verknüpfung selbst anlegen (Rechtsklick "
     "auf den Desktop, Neu, Verknüpfung) mit diesem Ziel:\r\n\"C:\\Gleisora\\Gleisora.exe\" /start EEP_1;", kLink6},
    {"OpenFolder", [](Form& f) { f.Menu(0, "Ordner öffnen"); }, kSix, "", "explore|C:\\EEP6|||1;"},
    {"OpenFolderFails", [](Form& f) { Result(f, 32), f.Menu(0, "Ordner öffnen"); }, kSix,
     "Der Ordner konnte nicht geöffnet werden!\r\nPfad: 'C:\\EEP6';", "explore|C:\\EEP6|||1;"},
    {"RemoveDeclined", [](Form& f) { f.Menu(1, kRemove); }, kSix, kRemove7},
    {"Remove", [](Form& f) { f.view.answers = {mb::kIdYes}, f.Menu(1, kRemove); }, "EEP_1*,100 six C:\\EEP6",
     kRemove7},
    {"RemoveTheActive", [](Form& f) { f.view.answers = {mb::kIdYes}, f.Menu(0, kRemove); }, kSix},
    {"Add",
     [](Form& f) {
       f.fp.files.AddFile("C:\\EEP8\\eep.exe", "MZ");
       f.shell.chosen = "C:\\EEP8\\eep.exe", f.Menu(-1, kAdd);
     },
     "EEP_1*,EEP_2,EEP_3,100 six C:\\EEP6",
     "Es wurde keine geeignete ini-Datei für diese Version gefunden!\r\nVersion: \r\nEs wird die Standard ini-Datei "
     "verwendet!;"},
    {"AddCancelled", [](Form& f) { f.Menu(1, kAdd); }, kSix},
    {"AddTheListed", [](Form& f) { f.shell.chosen = "C:\\EEP7\\eep.exe", f.Menu(1, kAdd); }, kSix,
     "EEP 7.00\r\nC:\\EEP7\r\nDiese Installation steht bereits in der Liste!;"},
    {"Restore", [](Form& f) { Restore(f, kFive, mb::kIdYes); }, "EEP_1*,EEP_2,100 five C:\\EEP6", kRestore, "",
     Join({kRestoring,
           {kRestoreOld + "ok", Backup("Rückgängig_EEP_1"), "DeleteRegistry: HKEY_CURRENT_USER\\Sim\\setting...ok",
            "RestoreRegistry: HKEY_CURRENT_USER\\Sim\\setting...ok"}})},
    {"RestoreDeclined", [](Form& f) { Restore(f, kFive, mb::kIdNo); }, kSix, kRestore},
    {"RestoreDamaged", [](Form& f) { Restore(f, "REGEDIT4\r\n[HKEY_CURRENT_USER\\Sim\r\n", mb::kIdYes); }, kSix,
     kRestore + "Die Sicherung wurde nicht wiederhergestellt: Gleisora kann sie nicht lesen, sie nennt "
                "Schlüssel, die nicht zur aktiven Installation gehören, oder die jetzigen Einstellungen "
                "ließen sich nicht vorher sichern. Es wurde nichts verändert.\r\nBitte wählen Sie eine "
                "andere Sicherung oder prüfen Sie, ob Gleisora in seinen Ordner schreiben darf. Nicht "
                "gelungen ist es bei:\r\nC:\\Gleisora\\Backups\\" + kOld + ";",
     "", Join({kRestoring, {kRestoreOld + "ERROR: -12"}})},
};
struct Actions : Form, ::testing::WithParamInterface<Action> {};

TEST_P(Actions, LeaveTheListTheRegistryAndTheShellSo) {
  const Action& c = GetParam();
  TwoInstallations(c.ini);
  view.log = "earlier\r\n";
  c.act(*this);
  EXPECT_EQ(c.state, List() + " " + Setting() + " " + registeredFrom);
  EXPECT_EQ(c.boxes, Boxes());
  EXPECT_EQ(c.shell, Shell());
  EXPECT_EQ(c.log, LogLines());
  FakeMainView restarted;  // a restart lists the same rows: the catalogue on disk holds them
  frmMain(fp.platform, texts, restarted).Form_Load();
  const auto keys = [](const FakeMainView& v) {
    std::string s;
    for (const auto& r : v.rows) s += r.shown.key + ",";
    return s;
  };
  EXPECT_EQ(keys(view), keys(restarted));
  EXPECT_FALSE(form.Busy() || view.hourglass || fp.files.Exists("C:\\Gleisora\\Gleisora.progress"));
}
INSTANTIATE_TEST_SUITE_P(Form, Actions, ::testing::ValuesIn(kActions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form, RowMenuOffersTheRowsCommandsAndTheActiveEntrysBackups) {
  TwoInstallations();
  const auto layout = [&](int row) {
    std::string s;
    for (const MenuItem& item : form.RowMenu(row)) {
      s += (item.enabled ? "" : "-") + item.text;
      for (const MenuItem& sub : item.sub) s += (sub.enabled ? "[" : "[-") + sub.text + "]";
      s += "|";
    }
    return s;
  };
  const std::string rowCommands = "Verknüpfung auf dem Desktop erstellen|Ordner öffnen|";
  EXPECT_EQ(rowCommands + "Aus der Liste entfernen||Installation hinzufügen…|", layout(1));
  EXPECT_EQ("Installation hinzufügen…|Installation hinzufügen…|", layout(-1) + layout(2));  // below the rows
  EXPECT_EQ(rowCommands + "-Aus der Liste entfernen||Installation hinzufügen…|-Sicherung wiederherstellen…|",
            layout(0));
  // The active entry's backups, newest first; other entries' backups are not offered.
  for (std::string name : {std::string(kOld), std::string("2026-12-06_114203_Umschalten_EEP_1.reg"),
                           std::string("2026-12-06_114205_Umschalten_EEP_2.reg")})
    fp.files.AddFile("C:\\Gleisora\\Backups\\" + name);
  EXPECT_EQ(rowCommands + "-Aus der Liste entfernen||Installation hinzufügen…|Sicherung wiederherstellen…[" +
                "06.12.2026 11:42:04  Standard  EEP_1][06.12.2026 11:42:03  Umschalten  EEP_1]|",
            layout(0));
}

// While a switch runs (here: while the new component registers) the window cannot
// close, the menu offers nothing and no command changes the list.
TEST_F(Form, WhileASwitchRunsCloseIsRefusedEveryTimeAndTheMenuOffersNothing) {
  TwoInstallations();
  bool startEnabled = true;
  fp.library.libraries["C:\\EEP7\\COMP.DLL"].exports["DllRegisterServer"] = [&] {
    registeredFrom = "C:\\EEP7";
    EXPECT_TRUE(form.Form_QueryUnload() && form.Form_QueryUnload());
    EXPECT_TRUE(form.RowMenu(1).empty());
    shell.chosen = "C:\\EEP6\\eep.exe";
    view.answers = {mb::kIdYes, mb::kIdYes};
    form.mnuAdd_Click();
    form.mnuRemove_Click("EEP_2");
    form.mnuRestore_Click(kOld);
    startEnabled = view.controls[Ctl::cmdStartEEP].enabled;
  };
  Tick(1);
  EXPECT_FALSE(startEnabled);
  const std::string kCannotQuit = "Gleisora kann im Moment nicht beendet werden!\r\nBitte warten Sie einen Moment!;";
  EXPECT_EQ(kCannotQuit + kCannotQuit, Boxes());
  EXPECT_EQ(mb::kOk | mb::kIconInformation, view.boxes.at(0).style);
  EXPECT_EQ(view.caption, view.boxes[0].title);
  EXPECT_EQ("EEP_1,EEP_2*,100", List());  // the switch went on
  EXPECT_FALSE(form.Form_QueryUnload());
  EXPECT_EQ(2u, view.boxes.size());
}

// A command runs the window's own switch and start; each failure says why in one
// message, with the window and its log brought forward, and has its own exit code.
struct Command {
  const char *name; void (*inject)(Form&); cli::Request request; int exitCode;
  const char *active, *lastLog; std::size_t starts;
};
void None(Form&) {}
const Command kCommands[] = {
    {"StartTheActive", None, {cli::Action::Start, "eep 6.03"}, cli::kDone, "EEP_1", "", 1},
    {"SwitchByFolder", None, {cli::Action::Switch, "c:\\eep7\\"}, cli::kDone, "EEP_2", "Register: comp.dll...ok", 0},
    {"Unknown", None, {cli::Action::Start, "EEP 9"}, cli::kUnknownEntry, "EEP_1", "", 0},
    {"Running", Running, {cli::Action::Switch, "EEP_2"}, cli::kSimulatorRunning, "EEP_1", "", 0},
    {"SecondEepDeclined", Running, {cli::Action::Start, "EEP_1"}, cli::kSimulatorRunning, "EEP_1", "", 0},
    {"NoRights", [](Form& f) { f.fp.registry.Deny(kHKLM, "Software\\Classes"); }, {cli::Action::Switch, "EEP_2"},
     cli::kNoRights, "EEP_1", "CheckRights: HKLM\\Software\\Classes\\CLSID...ERROR: 5", 0},
    {"NotKept", [](Form& f) { f.fp.fileFaults.rule = fault::Nth("WriteAllAtomic", 0); }, {cli::Action::Start, "EEP_2"},
     cli::kSwitchFailed, "EEP_1", "SaveSettings: C:\\Gleisora\\Gleisora.ini...ERROR: 75", 0},
    {"StartFails", [](Form& f) { Result(f, 2); }, {cli::Action::Start, "EEP_2"}, cli::kStartFailed, "EEP_2",
     "Register: comp.dll...ok", 1},
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
  EXPECT_EQ(c.starts, shell.executed.size());
  EXPECT_EQ(c.exitCode ? 1u : 0u, view.boxes.size());
  EXPECT_EQ(c.exitCode ? 1 : 0, revealed);
  EXPECT_EQ(c.exitCode ? 8895 : 5415, view.clientHeight);
  if (c.active == std::string("EEP_1")) { EXPECT_EQ("six|C:\\EEP6", Setting() + "|" + registeredFrom); }
}
INSTANTIATE_TEST_SUITE_P(Form, Commands, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
