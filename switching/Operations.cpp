#include "switching/Operations.h"

#include "platform/WriteProbe.h"
#include "support/cRegistry.h"
#include "support/mdlTools.h"
#include "switching/mdlProcess.h"
#include "switching/mdlRegister.h"

namespace {
const char kEepExe[] = "eep.exe";
constexpr long kSkipped = -13;             // a repair's step left out on purpose
constexpr long kNulCut = -14;              // a file read only up to the NUL bytes in its lines
const char kClassesKey[] = "HKCR\\CLSID";  // where components register
}  // namespace

bool Operations::SimulatorRunning() const {
  return IsProcessRunning(*c_.platform.process, kEepExe, true);
}

void Operations::Header(const char* word, const EntryRow& row) {
  if (row.listed) c_.log.Header(word, row.description, row.dir);
}

Installation Operations::Read(const std::string& entry) {
  Installation inst = ReadInstallation(c_.platform, entry);
  NoteCut(inst);
  return inst;
}

void Operations::NoteCut(const Installation& inst) {
  for (const std::string& file : inst.cutFiles) {
    c_.log.LogAction("ReadFile: " + file);
    c_.log.LogResult(kNulCut);
  }
}

void Operations::RegisterComponents(const Installation& inst, bool doRegister) {
  const plat::Platform& p = c_.platform;
  const std::string section = doRegister ? "Register" : "Unregister";
  std::string failure;
  long number = 0;
  try {
    ComponentChild child(*p.library, [this] { c_.log.YieldToWindow(); });
    for (const auto& [name, value] : doRegister ? inst.registerList : inst.unregisterList) {
      std::int32_t result = regcode::kMissingFile;
      const auto enabled = TruthValue(value);
      if (!enabled) throw RuntimeError(err::TypeMismatch, "", "Type mismatch");
      if (!*enabled) continue;
      const std::string path = ReplaceAll(name, "{AppDir}", inst.appDir);
      if (path.empty() || !p.files->SetCurrentDrive(path[0]))
        throw RuntimeError(err::DeviceUnavailable, "", "Device unavailable");
      if (!p.files->SetCurrentDir(GetDirectory(path)))
        throw RuntimeError(err::PathNotFound, "", "Path not found");
      c_.log.LogAction(section + ": " + GetFileName(path));
      if (FileExists(*p.files, path)) result = child.Register(path, doRegister);
      c_.log.LogResult(result);
    }
    return;
  } catch (const RuntimeError& e) {
    number = e.Number;
    failure = e.Description;
  } catch (const std::bad_alloc&) {
    number = err::OutOfMemory;
    failure = "Out of memory";
  } catch (const std::exception& e) {
    number = err::InvalidProcedureCall;
    failure = e.what();
  }
  c_.ask(failure + "\r\n(Runtime-Error: " + std::to_string(number) + ")", mb::kOk | mb::kIconStop);
}

void Operations::Warn(const char* key, const char* deflt) {
  const std::string& what = c_.log.LastFailure();
  c_.ask(c_.texts.GetText("Messages", key, deflt) + (what.empty() ? std::string() : "\r\n" + what),
         mb::kOk | mb::kIconExclamation);
}

void Operations::NothingChanged() {
  Warn("NOTHING_CHANGED",
       "Die jetzigen Einstellungen konnten nicht sicher abgelegt werden, deshalb hat Gleisora "
       "nichts verändert: Die aktive Installation und ihre Einstellungen sind, wie sie waren.\\n"
       "Bitte prüfen Sie, ob Gleisora in seinen Ordner schreiben darf und ob ein anderes "
       "Programm die Datei offen hält, und versuchen Sie es dann noch einmal. Nicht gelungen "
       "ist es bei:");
}

void Operations::RestoreBackup(const EntryRow& active, const std::string& backup) {
  Header("RESTORE", active);
  bool restored = false;
  Attempt([&] { restored = backups_.Restore(backup, ReadInstallation(c_.platform, active.key)); });
  if (!restored)
    Warn("BACKUP_NOT_RESTORED",
         "Die Sicherung wurde nicht wiederhergestellt: Gleisora kann sie nicht lesen, sie nennt "
         "Schlüssel, die nicht zur aktiven Installation gehören, oder die jetzigen Einstellungen "
         "ließen sich nicht vorher sichern. Es wurde nichts verändert.\\nBitte wählen Sie eine "
         "andere Sicherung oder prüfen Sie, ob Gleisora in seinen Ordner schreiben darf. Nicht "
         "gelungen ist es bei:");
}

// Without administrator rights every write to a key of the machine would fail value
// by value; one look before anything changes says so once. The user's own keys are
// left to the operation, which leaves a key it may not open alone.
bool Operations::MayWrite(std::initializer_list<const Installation*> insts) {
  std::vector<std::string> keys;
  for (const Installation* inst : insts) {
    if (!inst) continue;
    keys.insert(keys.end(), inst->keys.begin(), inst->keys.end());
    if (!inst->registerList.empty() || !inst->unregisterList.empty()) keys.push_back(kClassesKey);
  }
  for (const auto& path : keys) {
    const auto slash = path.find('\\');
    const std::int32_t root = cRegistry::RootFromName(path.substr(0, slash));
    std::string sub = slash == std::string::npos ? "" : path.substr(slash + 1);
    // HKCR is a view: what is written there lands in the machine's classes (unless
    // the user has a copy of the key of his own).
    if (root == plat::kHKCR) sub = "Software\\Classes" + (sub.empty() ? "" : "\\" + sub);
    if (root != plat::kHKCR && root != plat::kHKLM) continue;
    const long rc = plat::ProbeWrite(*c_.platform.registry, plat::RootKey(plat::kHKLM), sub);
    if (rc != plat::reg::kAccessDenied) continue;
    c_.log.LogAction("CheckRights: HKLM\\" + sub);
    c_.log.LogResult(rc);
    c_.ask(c_.texts.GetText("Messages", "NO_ADMIN_RIGHTS",
                            "Gleisora darf die gemeinsamen Einstellungen von EEP nicht ändern: "
                            "Dafür fehlen die Administratorrechte.\\nBitte starten Sie Gleisora "
                            "als Administrator. Es wurde nichts verändert."),
           mb::kOk | mb::kIconStop);
    return false;
  }
  return true;
}

bool Operations::Record(const SwitchRecord& record) {
  if (WriteSwitchRecord(c_.platform, record)) return true;
  c_.log.LogAction("Progress: " + SwitchRecordPath(c_.platform));
  c_.log.LogResult(err::PathFileAccess);
  return false;
}

// One backup file of what an operation deletes (the keys it clears) or overwrites
// (the value paths it writes), read back before anything changes.
bool Operations::Backup(const char* action, const std::string& entry,
                        const std::vector<std::string>& keys,
                        const std::vector<std::string>& overwritten,
                        const Snapshots::ReadValues* known) {
  const auto values = snapshots_.Current(keys, overwritten, known);
  return values && backups_.Write(action, entry, *values);
}

// What entering the entry overwrites: its snapshot, or its first settings.
std::vector<std::string> Operations::Overwritten(const std::string& entry,
                                                 const Installation::Lines& first) {
  std::vector<std::string> paths = snapshots_.SavedValuePaths(entry);
  for (const auto& line : first) paths.push_back(line.first);
  return paths;
}

Operations::Outcome Operations::Switch(const EntryRow& leaving, const EntryRow* target) {
  Outcome out{leaving.key, false};
  // Each definition is read once for the whole switch.
  std::optional<Installation> from, to;
  if (!leaving.key.empty()) from = ReadInstallation(c_.platform, leaving.key);
  if (target) to = ReadInstallation(c_.platform, target->key);
  if (!MayWrite({from ? &*from : nullptr, to ? &*to : nullptr})) {
    out.noRights = true;
    return out;
  }
  // An entry added by hand has no snapshot yet: it starts from its definition's
  // factory settings, and the simulator's key names it so that EEP finds it.
  const Installation::Lines first = to ? Catalogue(c_).FirstSettings(*to) : Installation::Lines{};
  SwitchRecord record{leaving.key, target ? target->key : "", SwitchRecord::Phase::Save, 0};
  if (!leaving.key.empty()) {
    Header("UNREGISTER", leaving);
    const Installation& inst = *from;
    NoteCut(inst);
    // Saving deletes nothing, so a record that cannot be written stops only the next
    // phase (the same file, the same failure).
    WriteSwitchRecord(c_.platform, record);
    Snapshots::Saved saved;
    Attempt([&] { saved = snapshots_.SaveSettings(inst); });
    const bool kept = saved.kept && Backup(backup::kSwitch.word, leaving.key, inst.keys,
                                           Overwritten(record.target, first), &saved.values);
    record.phase = SwitchRecord::Phase::Leave;
    if (!kept || !Record(record)) {
      RemoveSwitchRecord(c_.platform);
      NothingChanged();
      return out;
    }
    Attempt([&] { RegisterComponents(inst, false); });
    Attempt([&] { snapshots_.DeleteRegistryKeys(inst); });
    snapshots_.Flush(inst);
    out.activeKey.clear();
  }
  if (target) {
    Header("REGISTER", *target);
    record.phase = SwitchRecord::Phase::Enter;
    // Once the source is cleared the switch goes on whatever happens; before, a
    // failure still leaves everything as it was.
    if (leaving.key.empty() &&
        (!Backup(backup::kSwitch.word, target->key, {}, Overwritten(target->key, first)) ||
         !Record(record))) {
      RemoveSwitchRecord(c_.platform);
      NothingChanged();
      return out;
    }
    if (!leaving.key.empty()) Record(record);
    const Installation& inst = *to;
    NoteCut(inst);
    out.settingsLoaded = Attempt([&] { snapshots_.LoadSavedSettings(target->key); }) == 0;
    for (const auto& [path, value] : first) snapshots_.RestoreRegistry(path, value);
    out.settingsLoaded = out.settingsLoaded && first.empty();
    Attempt([&] { RegisterComponents(inst, true); });
    snapshots_.Flush(inst);
    out.activeKey = target->key;
  }
  RemoveSwitchRecord(c_.platform);
  return out;
}

void Operations::Default(const EntryRow& active, const std::string& regAppDir) {
  Header("DEFAULT", active);
  const Installation inst = ReadInstallation(c_.platform, active.key);
  if (!MayWrite({&inst})) return;
  NoteCut(inst);
  std::vector<std::string> factory;
  for (const auto& line : inst.factory) factory.push_back(line.first);
  if (!Backup(backup::kDefault.word, active.key, inst.keys, factory)) return NothingChanged();
  Attempt([&] { snapshots_.DeleteRegistryKeys(inst); });
  Attempt([&] { snapshots_.LoadFactorySettings(inst, regAppDir); });
}

bool Operations::Reset(const EntryRow& active) {
  Header("RESET", active);
  const Installation inst = ReadInstallation(c_.platform, active.key);
  if (!MayWrite({&inst})) return false;
  NoteCut(inst);
  if (!Backup(backup::kReset.word, active.key, inst.keys, snapshots_.SavedValuePaths(active.key))) {
    NothingChanged();
    return false;
  }
  Attempt([&] { snapshots_.DeleteRegistryKeys(inst); });
  const bool loaded = Attempt([&] { snapshots_.LoadSavedSettings(active.key); }) == 0;
  Attempt([&] { RegisterComponents(inst, true); });
  return loaded;
}

// The record stays: the next start or the next click tries again.
void Operations::RepairPostponed() {
  Warn("REPAIR_POSTPONED",
       "Die unterbrochene Umschaltung konnte noch nicht zu Ende gebracht werden, weil die "
       "jetzigen Einstellungen nicht gesichert werden konnten. Dabei wurde nichts verändert.\\n"
       "Gleisora versucht es beim nächsten Start oder bei Ihrem nächsten Umschalten, "
       "Wiederherstellen oder Laden der Standardeinstellungen noch einmal. Bitte prüfen Sie "
       "vorher, ob Gleisora in seinen Ordner schreiben darf. Nicht gelungen ist es bei:");
}

std::optional<Operations::Outcome> Operations::Recover(bool byClick) {
  std::optional<SwitchRecord> record = ReadSwitchRecord(c_.platform);
  if (!record) return std::nullopt;
  if (byClick)
    c_.ask(c_.texts.GetText("Messages", "SWITCH_INTERRUPTED_CLICK",
                            "Die letzte Umschaltung wurde unterbrochen. Gleisora bringt das "
                            "jetzt zuerst in Ordnung; was Sie eben angeklickt haben, wird "
                            "deshalb nicht ausgeführt.\\nDanach zeigt der Haken in der Liste, "
                            "welche Installation aktiv ist. Bitte klicken Sie dann noch einmal."),
           mb::kOk | mb::kIconInformation);
  else if (record->phase == SwitchRecord::Phase::Save)
    c_.ask(c_.texts.GetText("Messages", "SWITCH_NOT_DONE",
                            "Die letzte Umschaltung wurde unterbrochen, bevor etwas gelöscht "
                            "wurde.\\nDie bisherige Installation bleibt aktiv; es ging nichts "
                            "verloren. Wenn Sie umschalten möchten, setzen Sie den Haken bitte "
                            "noch einmal."),
           mb::kOk | mb::kIconInformation);
  else
    c_.ask(c_.texts.GetText("Messages", "SWITCH_INTERRUPTED",
                            "Die letzte Umschaltung wurde unterbrochen, nachdem die "
                            "Einstellungen schon gespeichert waren.\\nGleisora bringt sie jetzt "
                            "zu Ende; es geht nichts verloren. Danach zeigt der Haken in der "
                            "Liste, welche Installation aktiv ist."),
           mb::kOk | mb::kIconInformation);
  while (SimulatorRunning())
    if (c_.ask(c_.texts.GetText("Messages", "CLOSE_EEP_FIRST",
                                "EEP läuft. Bitte beenden Sie EEP und klicken Sie dann auf "
                                "Wiederholen, damit Gleisora die unterbrochene Umschaltung zu "
                                "Ende bringen kann.\\nMit Abbrechen bleibt sie unfertig, bis "
                                "Gleisora das nächste Mal startet oder Sie umschalten, "
                                "Wiederherstellen oder Standardeinstellungen wählen; bis dahin "
                                "sind die Einstellungen von EEP womöglich unvollständig. Verloren "
                                "geht nichts."),
               mb::kRetryCancel | mb::kIconExclamation) != mb::kIdRetry)
      return std::nullopt;  // the record stays for the next start

  const SwitchRecord found = *record;
  c_.log.LogAction("Recover: " + found.source + " -> " + found.target);
  c_.log.LogResult(0);
  if (found.phase == SwitchRecord::Phase::Save) {
    // Nothing was deleted yet: the source is still the active installation.
    RemoveSwitchRecord(c_.platform);
    return Outcome{found.source, false};
  }
  // A repair that was cut off itself (a component that hung, say) does not run the
  // components again.
  ++record->repairs;
  const bool components = record->repairs == 1;
  WriteSwitchRecord(c_.platform, *record);
  const auto skipped = [&](const std::string& entry) {
    c_.log.LogAction("Recover: RegisterComponents " + entry);
    c_.log.LogResult(kSkipped);
  };
  if (!found.source.empty()) {
    const Installation inst = Read(found.source);
    // The source's keys may hold a part of either installation; what they hold now
    // is kept before they are cleared again.
    if (!Backup(backup::kRepair.word, found.source, inst.keys,
                snapshots_.SavedValuePaths(found.target))) {
      RepairPostponed();
      return std::nullopt;
    }
    if (found.phase == SwitchRecord::Phase::Leave) {
      if (components) Attempt([&] { RegisterComponents(inst, false); });
      else skipped(found.source);
    }
    Attempt([&] { snapshots_.DeleteRegistryKeys(inst); });
    snapshots_.Flush(inst);
    record->phase = SwitchRecord::Phase::Enter;
    WriteSwitchRecord(c_.platform, *record);
  } else if (!Backup(backup::kRepair.word, found.target, {},
                     snapshots_.SavedValuePaths(found.target))) {
    RepairPostponed();
    return std::nullopt;
  }
  if (!found.target.empty()) {
    const Installation inst = Read(found.target);
    Attempt([&] { snapshots_.LoadSavedSettings(found.target); });
    if (components) Attempt([&] { RegisterComponents(inst, true); });
    else skipped(found.target);
    snapshots_.Flush(inst);
  }
  RemoveSwitchRecord(c_.platform);
  return Outcome{found.target, !found.target.empty()};
}

Operations::Started Operations::Start(const InstalledVersion& installed) {
  if (SimulatorRunning() &&
      c_.ask(c_.texts.GetText("Messages", "ALREADY_RUNNING",
                              "Achtung EEP läuft bereits! Wollen Sie wirklich EEP ein "
                              "weiteres Mal starten?"),
             mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
    return Started::Declined;
  // Owner 0 is the desktop window; results up to 32 are the shell's failure codes.
  const std::intptr_t result =
      c_.platform.shell->Execute(0, "Open", installed.RegAppPath, "", installed.RegAppDir, 1);
  if (result > 32) return Started::Yes;
  c_.ask(c_.texts.GetText("Messages", "CANNOT_START_EEP",
                          "EEP konnte nicht gestartet werden!\\nPfad:") +
             " '" + installed.RegAppPath + "'",
         mb::kOk | mb::kIconStop);
  return Started::Failed;
}
