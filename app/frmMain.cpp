// The main window's start-up, enabling rules, details toggle and busy frame, and the
// handlers that run the services.
#include "app/frmMain.h"

#include <utility>
#include <vector>
#include <cstdio>

#include "app/ShownVersion.h"
#include "catalogue/CatalogueFile.h"

namespace {
const char kCannotSwitch[] = "EEP läuft bereits! Umschalten ist derzeit nicht möglich!";

const char* Name(Ctl c) {
  switch (c) {
    case Ctl::cmdStartEEP: return "cmdStartEEP";
    case Ctl::cmdReset: return "cmdReset";
    case Ctl::cmdDefault: return "cmdDefault";
    case Ctl::cmdInfo: return "cmdInfo";
    case Ctl::cmdDetails: return "cmdDetails";
    default: return "";
  }
}
}  // namespace

frmMain::frmMain(const plat::Platform& platform, LanguageFile& texts, IMainView& view)
    : view_(view),
      texts_(texts),
      log_({[this] { view_.SetLogText(""); },
            [this](const std::string& text) { view_.AppendLogText(text); },
            [this] { view_.DoEvents(); }}),
      context_{platform, texts, log_,
               [this](const std::string& text, unsigned style) { return MsgBox(text, style); }},
      catalogue_(context_),
      operations_(context_) {}

int frmMain::MsgBox(const std::string& text, unsigned style) {
  if (reveal_) {
    detailsVisible_ = true;
    Attempt([&] { UpdateControls(); });
    std::exchange(reveal_, nullptr)();
  }
  return view_.MsgBox(text, style, view_.Caption());
}

std::string frmMain::Text(const std::string& key, const std::string& deflt) {
  return texts_.GetText("frmMain", key, deflt);
}

void frmMain::Form_Load() {
  view_.SetHourglass(true);
  busy_ = true;
  log_.AllowYields(true);
  Attempt([&] { fullHeight_ = view_.OuterHeight(); });
  Attempt([&] { UpdateControls(); });
  canReset_ = false;
  Attempt([&] {
    CFileVersionInfo own(context_.platform);
    own.FullPathName(context_.platform.exePath);
    view_.SetCaption(own.ProductName() + " v" + ShownVersion(own));
  });
  for (Ctl c : {Ctl::cmdDetails, Ctl::cmdInfo, Ctl::cmdDefault, Ctl::cmdReset, Ctl::cmdStartEEP}) {
    Attempt([&] {
      const std::string name = Name(c);
      view_.SetControlCaption(c, Text(name + ".Caption", view_.ControlCaption(c)));
      view_.SetToolTip(c, Text(name + ".ToolTipText", view_.ToolTip(c)));
    });
  }
  Attempt([&] {
    for (int i = 1; i <= view_.ColumnCount(); ++i)
      view_.SetColumnText(i,
                          Text("lvwVersions." + std::to_string(i) + ".Text", view_.ColumnText(i)));
  });
  // A switch that was cut off is finished before the list shows the active entry.
  Attempt([&] { operations_.Recover(); });
  rows_.SetActive("");
  installed_ = {};
  Attempt([&] { catalogue_.ReadInstalledVersion(installed_); });
  Attempt([&] {
    const VersionList list = catalogue_.LoadVersionList(installed_);
    for (const auto& r : list.rows) {
      rows_.Add(r);
      view_.AddRow(r);
    }
    rows_.SetActive(list.activeKey);
    canReset_ = list.canReset;
    if (const int row = rows_.ActiveRow(); row >= 0) view_.SetRowChecked(row, true);
  });
  Attempt([&] {
    // An empty list keeps the design widths.
    if (rows_.Count() > 0)
      for (int column = 1; column <= 3; ++column) AutoSizeColumnHeader(column, true);
  });
  busy_ = false;
  log_.AllowYields(false);
  Attempt([&] { UpdateControls(); });
  view_.SetHourglass(false);
}

bool frmMain::Form_QueryUnload() {
  if (!busy_) return false;
  MsgBox(texts_.GetText("Messages", "CANNOT_QUIT",
                        "Gleisora kann im Moment nicht beendet werden!\\nBitte warten Sie einen "
                        "Moment!"),
         mb::kOk | mb::kIconInformation);
  return true;
}

void frmMain::cmdDetails_Click() {
  detailsVisible_ = !detailsVisible_;
  UpdateControls();
}

void frmMain::cmdInfo_Click() { view_.ShowAbout(); }

Enabling EnablingFor(const WindowState& s) {
  if (!s.hasRows || s.busy) return {false, false, false, false, !s.busy};
  return {true, s.hasActive, s.activeType && *s.activeType != "DEFAULT", s.hasActive && s.canReset,
          true};
}

void frmMain::UpdateControls() {
  WindowState state{rows_.Count() > 0, busy_, !rows_.ActiveKey().empty(), {}, canReset_};
  if (const int row = rows_.ActiveRow(); row >= 0) state.activeType = rows_[row].regType;
  const Enabling e = EnablingFor(state);
  view_.SetEnabled(Ctl::picVersions, e.list);
  view_.SetEnabled(Ctl::cmdStartEEP, e.start);
  view_.SetEnabled(Ctl::cmdDefault, e.defaults);
  view_.SetEnabled(Ctl::cmdReset, e.reset);
  view_.SetEnabled(Ctl::cmdInfo, e.info);
  view_.SetEnabled(Ctl::cmdDetails, true);

  if (detailsVisible_) {
    view_.SetOuterHeight(fullHeight_);
    view_.SetControlCaption(Ctl::cmdDetails, Text("cmdDetails.Hide.Caption", "Details  <<"));
    view_.SetToolTip(Ctl::cmdDetails, Text("cmdDetails.Hide.ToolTipText", "Details ausblenden"));
  } else {
    // The client area ends 120 twips below the button row.
    const long frame = view_.OuterHeight() - view_.ClientHeight();
    view_.SetOuterHeight(view_.ControlHeight(Ctl::cmdDetails) + view_.ControlTop(Ctl::cmdDetails) +
                         120 + frame);
    view_.SetControlCaption(Ctl::cmdDetails, Text("cmdDetails.Show.Caption", "Details  >>"));
    view_.SetToolTip(Ctl::cmdDetails, Text("cmdDetails.Show.ToolTipText", "Details einblenden"));
  }
}

void frmMain::AutoSizeColumnHeader(int column, bool SizeToHeader) {
  view_.SetColumnWidth(column - 1, SizeToHeader ? -2 : -1);
}

bool frmMain::RefuseWhileRunning(const char* key, const char* deflt) {
  if (!operations_.SimulatorRunning()) return false;
  MsgBox(texts_.GetText("Messages", key, deflt), mb::kOk | mb::kIconExclamation);
  return true;
}

void frmMain::EnterBusy() {
  view_.SetHourglass(true);
  busy_ = true;
  log_.AllowYields(true);  // long silent steps keep the window served
  UpdateControls();
  log_.Clear();
}

void frmMain::LeaveBusy() {
  busy_ = false;
  log_.AllowYields(false);
  Attempt([&] { UpdateControls(); });
  view_.SetHourglass(false);
}

// Only the active row keeps its tick; the window's own changes raise no ItemCheck.
void frmMain::ShowActiveRow(int fallbackRow) {
  for (int i = 0; i < rows_.Count(); ++i) view_.SetRowChecked(i, false);
  if (const int active = rows_.ActiveRow(); active >= 0) {
    view_.SetRowChecked(active, true);
    view_.SelectRow(active);
  } else {
    view_.SelectRow(fallbackRow);
  }
}

// A switch cut off earlier and left unfinished at the start (the simulator was
// running) is finished before anything else; the click that found it does only that.
bool frmMain::FinishInterrupted(int fallbackRow) {
  if (!operations_.RecoveryPending()) return false;
  EnterBusy();
  if (const auto outcome = operations_.Recover(true)) {
    rows_.SetActive(outcome->activeKey);
    if (outcome->settingsLoaded) canReset_ = true;
  }
  Attempt([&] { catalogue_.ReadInstalledVersion(installed_); });
  ShowActiveRow(fallbackRow);
  LeaveBusy();
  return true;
}

void frmMain::lvwVersions_ItemCheck(int row) {
  if (!rows_.Has(row)) return;
  if (!RefuseWhileRunning("CANNOT_SWITCH", kCannotSwitch)) {
    if (FinishInterrupted(row)) return;
    EnterBusy();
    const EntryRow target = rows_.Entry(rows_[row].key);
    const EntryRow source = rows_.Entry(rows_.ActiveKey());
    const auto outcome = operations_.Switch(source, view_.RowChecked(row) ? &target : nullptr);
    rows_.SetActive(outcome.activeKey);
    noRights_ = outcome.noRights;
    if (outcome.settingsLoaded) canReset_ = true;
    Attempt([&] { catalogue_.ReadInstalledVersion(installed_); });
  }
  ShowActiveRow(row);
  LeaveBusy();
}

void frmMain::lvwVersions_DblClick() {
  if (RefuseWhileRunning("CANNOT_SWITCH", kCannotSwitch)) return;
  const int row = view_.SelectedRow();
  // Without a selected row there is nothing to switch to or start.
  if (!rows_.Has(row)) return;
  if (!view_.RowChecked(row)) {
    view_.SetRowChecked(row, true);
    lvwVersions_ItemCheck(row);
  }
  cmdStartEEP_Click();
}

void frmMain::cmdStartEEP_Click() { operations_.Start(installed_); }

// Default and Reset: refused while the simulator runs; a cut-off switch goes first.
bool frmMain::NotNow() {
  return RefuseWhileRunning("FEATURE_TEMPORARLY_NOT_AVAILABLE",
                            "EEP läuft bereits! Diese Funktion ist derzeit nicht möglich!") ||
         FinishInterrupted(rows_.ActiveRow());
}

void frmMain::cmdDefault_Click() {
  if (NotNow()) return;
  EnterBusy();
  if (!rows_.ActiveKey().empty())
    operations_.Default(rows_.Entry(rows_.ActiveKey()), installed_.RegAppDir);
  LeaveBusy();
}

void frmMain::cmdReset_Click() {
  if (NotNow()) return;
  EnterBusy();
  if (!rows_.ActiveKey().empty() && operations_.Reset(rows_.Entry(rows_.ActiveKey())))
    canReset_ = true;
  LeaveBusy();
}

int frmMain::RunCommand(const cli::Request& request) {
  if (busy_) return cli::kOtherBusy;
  const std::vector<CatalogueRow>& rows = rows_.All();
  const std::vector<CatalogueRow> fits = cli::Matches(rows, request.entry);
  const std::string key = fits.size() == 1 ? fits[0].key : "";
  const int row = key.empty() ? -1 : rows_.Find(key);
  if (fits.size() > 1) {
    MsgBox(texts_.GetText("Messages", "AMBIGUOUS_ENTRY",
                          "Diese Angabe passt auf mehrere Installationen:") +
               " '" + request.entry + "'\r\n\r\n" +
               texts_.GetText("Messages", "AMBIGUOUS_CHOOSE",
                              "Bitte nennen Sie eine davon mit ihrer Nummer vorn in der Zeile:") +
               "\r\n" + cli::KnownEntries(fits),
           mb::kOk | mb::kIconExclamation);
    return cli::kUnknownEntry;
  }
  if (row < 0) {
    MsgBox(texts_.GetText("Messages", "UNKNOWN_ENTRY", "Diese Installation kennt Gleisora nicht:") +
               " '" + request.entry + "'\r\n\r\n" +
               texts_.GetText("Messages", "KNOWN_ENTRIES", "Bekannt sind:") + "\r\n" +
               cli::KnownEntries(rows),
           mb::kOk | mb::kIconExclamation);
    return cli::kUnknownEntry;
  }
  if (key != rows_.ActiveKey()) {
    if (RefuseWhileRunning("CANNOT_SWITCH", kCannotSwitch)) return cli::kSimulatorRunning;
    noRights_ = false;
    view_.SetRowChecked(row, true);  // as the user's tick
    lvwVersions_ItemCheck(row);
    if (rows_.ActiveKey() != key) return noRights_ ? cli::kNoRights : cli::kSwitchFailed;
  }
  if (request.action != cli::Action::Start) return cli::kDone;
  switch (operations_.Start(installed_)) {
    case Operations::Started::Yes: return cli::kDone;
    case Operations::Started::Declined: return cli::kSimulatorRunning;
    default: return cli::kStartFailed;
  }
}

std::string BackupLabel(const regfile::BackupName& name) {
  char date[32];
  const plat::LocalTime& t = name.time;
  std::snprintf(date, sizeof date, "%02d.%02d.%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return date + std::string("  ") + name.action + "  " + name.entry;
}

std::vector<MenuItem> frmMain::RowMenu(int row) {
  std::vector<MenuItem> items;
  if (busy_) return items;
  const std::string key = rows_.Has(row) ? rows_[row].key : "";
  const bool active = !key.empty() && key == rows_.ActiveKey();
  const auto add = [&](const char* name, const char* deflt, std::function<void()> run,
                       bool enabled = true) {
    items.push_back({Text(std::string(name) + ".Caption", deflt), std::move(run), enabled, {}});
  };
  if (!key.empty()) {
    add("mnuShortcut", "Verknüpfung auf dem Desktop erstellen",
        [this, key] { mnuShortcut_Click(key); });
    add("mnuOpenFolder", "Ordner öffnen", [this, key] { mnuOpenFolder_Click(key); });
    add(
        "mnuRemove", "Aus der Liste entfernen", [this, key] { mnuRemove_Click(key); }, !active);
    items.push_back({"", nullptr, true, {}});
  }
  add("mnuAdd", "Installation hinzufügen…", [this] { mnuAdd_Click(); });
  if (active) {
    add("mnuRestore", "Sicherung wiederherstellen…", nullptr);
    for (const auto& file : Backups(context_).List(key)) {
      regfile::BackupName shown = file.parts;
      // The file names keep their German word; the menu shows the language file's.
      for (const BackupAction& a : backup::kActions)
        if (shown.action == a.word) shown.action = Text(a.key, a.word);
      items.back().sub.push_back(
          {BackupLabel(shown), [this, name = file.name] { mnuRestore_Click(name); }, true, {}});
    }
    items.back().enabled = !items.back().sub.empty();
  }
  return items;
}

void frmMain::mnuShortcut_Click(const std::string& key) {
  const int row = rows_.Find(key);
  if (row < 0) return;
  const plat::Platform& p = context_.platform;
  const plat::Shortcut link{rows_[row].description, p.exePath, "/start " + key, p.appDir,
                            catalogue_.AppPath(key)};
  if (p.shell->CreateDesktopShortcut(link).empty())
    MsgBox(texts_.GetText("Messages", "SHORTCUT_FAILED",
                          "Die Verknüpfung konnte nicht erstellt werden: Windows hat den "
                          "Desktop-Ordner nicht genannt oder die Datei dort nicht angelegt.\\n"
                          "Sie können die Verknüpfung selbst anlegen (Rechtsklick auf den "
                          "Desktop, Neu, Verknüpfung) mit diesem Ziel:") +
               "\r\n\"" + link.target + "\" " + link.arguments,
           mb::kOk | mb::kIconExclamation);
}

void frmMain::mnuOpenFolder_Click(const std::string& key) {
  const int row = rows_.Find(key);
  if (row < 0) return;
  const std::string dir = rows_[row].appDir;
  if (context_.platform.shell->Execute(0, "explore", dir, "", "", 1) <= 32)
    MsgBox(texts_.GetText("Messages", "CANNOT_OPEN_FOLDER",
                          "Der Ordner konnte nicht geöffnet werden!\\nPfad:") +
               " '" + dir + "'",
           mb::kOk | mb::kIconStop);
}

void frmMain::mnuRemove_Click(const std::string& key) {
  const int row = rows_.Find(key);
  if (busy_ || row < 0 || key == rows_.ActiveKey()) return;
  if (MsgBox(rows_[row].description + "\r\n" +
                 texts_.GetText("Messages", "REMOVE_ENTRY",
                                "Soll dieser Eintrag aus der Liste entfernt werden?\\n"
                                "Seine gespeicherten Einstellungen werden dabei gelöscht."),
             mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
    return;
  // The entry stays listed while the catalogue still holds it.
  if (Attempt([&] { catalogue_.RemoveEntry(key); }) != 0 || !catalogue_.AppPath(key).empty()) {
    MsgBox(texts_.GetText("Messages", "REMOVE_FAILED",
                          "Der Eintrag konnte nicht aus der Liste entfernt werden, weil sich die "
                          "Liste der Installationen nicht schreiben lässt. Er bleibt mit seinen "
                          "gespeicherten Einstellungen erhalten.\\nBitte schließen Sie Programme, "
                          "die diese Datei geöffnet haben, prüfen Sie, ob Gleisora in seinen "
                          "Ordner schreiben darf, und versuchen Sie es dann noch einmal. Datei:") +
               "\r\n" + CatalogueFile::PathFor(context_.platform),
           mb::kOk | mb::kIconExclamation);
    return;
  }
  rows_.Remove(row);
  view_.RemoveRow(row);
  UpdateControls();
}

void frmMain::mnuAdd_Click() {
  if (busy_) return;
  const auto path =
      context_.platform.shell->ChooseFile(Text("dlgAdd.Caption", "EEP-Installation hinzufügen"),
                                          Text("dlgAdd.Filter", "EEP-Programm (eep.exe)"),
                                          "eep.exe");
  if (!path) return;
  std::optional<CatalogueRow> added;
  Attempt([&] { added = catalogue_.AddInstallation(*path); });
  if (!added) return;
  rows_.Add(*added);
  view_.AddRow(*added);
  view_.SelectRow(rows_.Find(added->key));
  for (int column = 1; column <= 3; ++column) AutoSizeColumnHeader(column, true);
  UpdateControls();
}

void frmMain::mnuRestore_Click(const std::string& backup) {
  if (busy_ || rows_.ActiveKey().empty() || NotNow()) return;
  if (MsgBox(backup + "\r\n" +
                 texts_.GetText("Messages", "RESTORE_BACKUP",
                                "Sollen die Einstellungen aus dieser Sicherung "
                                "wiederhergestellt werden?\\nDie jetzigen Einstellungen werden "
                                "vorher gesichert."),
             mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
    return;
  EnterBusy();
  operations_.RestoreBackup(rows_.Entry(rows_.ActiveKey()), backup);
  Attempt([&] { catalogue_.ReadInstalledVersion(installed_); });
  LeaveBusy();
}
