// The version switch on the list, component registration lists, and the Default and
// Reset commands.
#include <functional>
#include <vector>

#include "app/frmMain.h"
#include "snapshots/SnapshotText.h"
#include "support/mdlTools.h"
#include "switching/mdlProcess.h"
#include "switching/mdlRegister.h"

namespace {
const char kEepExe[] = "eep.exe";
}  // namespace

void frmMain::RegisterComponents(const std::string& entry, bool doRegister) {
  const std::string section = doRegister ? "Register" : "Unregister";
  std::string failure;
  long number = 0;
  try {
    cInifile launcher(p_);
    launcher.Path(LauncherIniPath());
    launcher.Section(entry);
    launcher.Key("RegType");
    launcher.Default("DEFAULT");
    const std::string regType = launcher.Value();
    launcher.Key("AppDir");
    launcher.Default("");
    const std::string appDir = launcher.Value();

    cInifile definition(p_);
    definition.Path(DefinitionFilePath(regType));
    definition.Section(section);
    std::vector<std::string> names;
    std::int32_t count = 0;
    definition.EnumerateCurrentSection(names, count);
    names.resize(static_cast<std::size_t>(count));

    for (const auto& name : names) {
      std::int32_t result = regcode::kMissingFile;
      definition.Key(name);
      const auto enabled = snap::TruthValue(definition.Value());
      if (!enabled) throw RuntimeError(err::TypeMismatch, "", "Type mismatch");
      if (!*enabled) continue;
      const std::string path = ReplaceAll(name, "{AppDir}", appDir);
      if (path.empty() || !p_.files->SetCurrentDrive(path[0]))
        throw RuntimeError(68, "", "Device unavailable");
      if (!p_.files->SetCurrentDir(GetDirectory(path)))
        throw RuntimeError(76, "", "Path not found");
      LogAction(section + ": " + GetFileName(path));
      if (FileExists(*p_.files, path)) result = RegisterComponent(*p_.library, path, doRegister);
      LogResult(result);
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
  view_.MsgBox(failure + "\r\n(Runtime-Error: " + std::to_string(number) + ")",
               mb::kOk | mb::kIconStop, view_.Caption());
}

void frmMain::lvwVersions_ItemCheck(int row) {
  if (row < 0 || row >= view_.RowCount()) return;
  const std::string key = view_.RowKey(row);

  if (IsProcessRunning(*p_.process, kEepExe, true)) {
    view_.MsgBox(Text("Messages", "CANNOT_SWITCH",
                      "EEP läuft bereits! Umschalten ist derzeit nicht möglich!"),
                 mb::kOk | mb::kIconExclamation, view_.Caption());
  } else {
    EnterBusy();
    view_.SetLogText("");
    bool left = true;
    if (!ActiveKey.empty()) {
      const std::string leaving = ActiveKey;
      if (const int active = view_.FindRow(leaving); active >= 0)
        AppendLogHeader("UNREGISTER", active);
      // Settings that could not be stored are not cleared: the entry stays active.
      if (Attempt([&] { left = SaveSettings(leaving); }) != 0) left = false;
      if (left) {
        Attempt([&] { RegisterComponents(leaving, false); });
        Attempt([&] { DeleteRegistryKeys(leaving); });
        ActiveKey.clear();
      }
    }
    if (left && view_.RowChecked(row)) {
      AppendLogHeader("REGISTER", row);
      Attempt([&] { LoadSavedSettings(key); });
      Attempt([&] { RegisterComponents(key, true); });
      ActiveKey = key;
    }
    Attempt([&] { ReadInstalledVersion(); });
  }

  // Only the active row keeps its tick; the window's own changes raise no ItemCheck.
  for (int i = 0; i < view_.RowCount(); ++i) view_.SetRowChecked(i, false);
  if (const int active = ActiveKey.empty() ? -1 : view_.FindRow(ActiveKey); active >= 0) {
    view_.SetRowChecked(active, true);
    view_.SelectRow(active);
  } else {
    view_.SelectRow(row);
  }
  LeaveBusy();
}

void frmMain::lvwVersions_DblClick() {
  if (IsProcessRunning(*p_.process, kEepExe, true)) {
    view_.MsgBox(Text("Messages", "CANNOT_SWITCH",
                      "EEP läuft bereits! Umschalten ist derzeit nicht möglich!"),
                 mb::kOk | mb::kIconExclamation, view_.Caption());
    return;
  }
  const int row = view_.SelectedRow();
  // Without a selected row there is nothing to switch to or start.
  if (row < 0 || row >= view_.RowCount()) return;
  if (!view_.RowChecked(row)) {
    view_.SetRowChecked(row, true);
    lvwVersions_ItemCheck(row);
  }
  cmdStartEEP_Click();
}

// Default and Reset share their frame: refused while the simulator runs, then busy,
// a cleared log, the header block and the steps for the active entry.
void frmMain::RunOnActiveEntry(const std::string& word,
                               const std::function<void(const std::string&)>& steps) {
  if (IsProcessRunning(*p_.process, kEepExe, true)) {
    view_.MsgBox(Text("Messages", "FEATURE_TEMPORARLY_NOT_AVAILABLE",
                      "EEP läuft bereits! Diese Funktion ist derzeit nicht möglich!"),
                 mb::kOk | mb::kIconExclamation, view_.Caption());
    return;
  }
  EnterBusy();
  view_.SetLogText("");
  if (!ActiveKey.empty()) {
    const std::string active = ActiveKey;
    if (const int row = view_.FindRow(active); row >= 0) AppendLogHeader(word, row);
    steps(active);
  }
  LeaveBusy();
}

void frmMain::cmdDefault_Click() {
  RunOnActiveEntry("DEFAULT", [&](const std::string& active) {
    Attempt([&] { DeleteRegistryKeys(active); });
    Attempt([&] { LoadFactorySettings(active); });
  });
}

void frmMain::cmdReset_Click() {
  RunOnActiveEntry("RESET", [&](const std::string& active) {
    Attempt([&] { DeleteRegistryKeys(active); });
    Attempt([&] { LoadSavedSettings(active); });
    Attempt([&] { RegisterComponents(active, true); });
  });
}
