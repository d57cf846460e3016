#include "switching/Switching.h"

#include "support/mdlTools.h"
#include "switching/mdlProcess.h"
#include "switching/mdlRegister.h"

namespace {
const char kEepExe[] = "eep.exe";
}  // namespace

bool Switching::SimulatorRunning() const {
  return IsProcessRunning(*c_.platform.process, kEepExe, true);
}

void Switching::Header(const char* word, const EntryRow& row) {
  if (row.listed) c_.log.Header(word, row.description, row.dir);
}

void Switching::RegisterComponents(const Installation& inst, bool doRegister) {
  const plat::Platform& p = c_.platform;
  const std::string section = doRegister ? "Register" : "Unregister";
  std::string failure;
  long number = 0;
  try {
    for (const auto& [name, value] : doRegister ? inst.registerList : inst.unregisterList) {
      std::int32_t result = regcode::kMissingFile;
      const auto enabled = TruthValue(value);
      if (!enabled) throw RuntimeError(err::TypeMismatch, "", "Type mismatch");
      if (!*enabled) continue;
      const std::string path = ReplaceAll(name, "{AppDir}", inst.appDir);
      if (path.empty() || !p.files->SetCurrentDrive(path[0]))
        throw RuntimeError(68, "", "Device unavailable");
      if (!p.files->SetCurrentDir(GetDirectory(path)))
        throw RuntimeError(76, "", "Path not found");
      c_.log.LogAction(section + ": " + GetFileName(path));
      if (FileExists(*p.files, path)) result = RegisterComponent(*p.library, path, doRegister);
      c_.log.LogResult(result);
    }
    return;
  } catch (const RuntimeError& e) {
    number = e.Number;
    failure = e.Description;
  } catch (const std::bad_alloc&) {
    number = 7;
    failure = "Out of memory";
  } catch (const std::exception& e) {
    number = 5;
    failure = e.what();
  }
  c_.ask(failure + "\r\n(Runtime-Error: " + std::to_string(number) + ")",
                 mb::kOk | mb::kIconStop);
}

Switching::Outcome Switching::Switch(const EntryRow& leaving, const EntryRow* target) {
  Outcome out{leaving.key, false};
  bool left = true;
  if (!leaving.key.empty()) {
    Header("UNREGISTER", leaving);
    // Settings that could not be stored are not cleared: the entry stays active.
    const Installation inst = ReadInstallation(c_.platform, leaving.key);
    if (Attempt([&] { left = snapshots_.SaveSettings(inst); }) != 0) left = false;
    if (left) {
      Attempt([&] { RegisterComponents(inst, false); });
      Attempt([&] { snapshots_.DeleteRegistryKeys(inst); });
      out.activeKey.clear();
    }
  }
  if (left && target) {
    Header("REGISTER", *target);
    const Installation inst = ReadInstallation(c_.platform, target->key);
    out.settingsLoaded = Attempt([&] { snapshots_.LoadSavedSettings(target->key); }) == 0;
    Attempt([&] { RegisterComponents(inst, true); });
    out.activeKey = target->key;
  }
  return out;
}

void Switching::Default(const EntryRow& active, const std::string& regAppDir) {
  Header("DEFAULT", active);
  const Installation inst = ReadInstallation(c_.platform, active.key);
  Attempt([&] { snapshots_.DeleteRegistryKeys(inst); });
  Attempt([&] { snapshots_.LoadFactorySettings(inst, regAppDir); });
}

bool Switching::Reset(const EntryRow& active) {
  Header("RESET", active);
  const Installation inst = ReadInstallation(c_.platform, active.key);
  Attempt([&] { snapshots_.DeleteRegistryKeys(inst); });
  const bool loaded = Attempt([&] { snapshots_.LoadSavedSettings(active.key); }) == 0;
  Attempt([&] { RegisterComponents(inst, true); });
  return loaded;
}

void Switching::Start(const InstalledVersion& installed) {
  if (SimulatorRunning() &&
      c_.ask(c_.texts.GetText("Messages", "ALREADY_RUNNING",
                                      "Achtung EEP läuft bereits! Wollen Sie wirklich EEP ein "
                                      "weiteres Mal starten?"),
                     mb::kYesNo | mb::kIconQuestion) != mb::kIdYes)
    return;
  // Owner 0 is the desktop window; results up to 32 are the shell's failure codes.
  const std::intptr_t result = c_.platform.shell->Execute(0, "Open", installed.RegAppPath, "",
                                                          installed.RegAppDir, 1);
  if (result <= 32)
    c_.ask(c_.texts.GetText("Messages", "CANNOT_START_EEP",
                                    "EEP konnte nicht gestartet werden!\\nPfad:") +
                       " '" + installed.RegAppPath + "'",
                   mb::kOk | mb::kIconStop);
}
