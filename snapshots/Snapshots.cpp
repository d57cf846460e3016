// Copying the simulator's registry settings to and from the launcher INI's snapshot
// sections, clearing them, and writing the factory settings.
#include <vector>

#include "app/frmMain.h"
#include "snapshots/SnapshotText.h"
#include "support/cRegistry.h"
#include "support/mdlTools.h"

namespace {

// Root and sub-key path of a key path or value path ("HKCU\Software\..."): the first
// four characters name the root, the fifth is the separator.
struct RegPath {
  std::string rootName;
  std::int32_t root = 0;
  std::string subKey;
};

RegPath SplitKeyPath(const std::string& keyPath) {
  RegPath p;
  p.rootName = keyPath.substr(0, 4);
  p.root = cRegistry::RootFromName(p.rootName);
  p.subKey = keyPath.size() > 5 ? keyPath.substr(5) : std::string();
  return p;
}

// A value name the value-path notation cannot carry back unchanged: a backslash would
// move the value into a subkey on restore, and the INI file splits at "=" and line
// breaks and trims blanks at the end of a name.
bool NameSurvivesIni(const std::string& name) {
  if (name.find_first_of("\\=\r\n") != std::string::npos) return false;
  return name.empty() || (name.back() != ' ' && name.back() != '\t');
}

std::vector<std::string> Keys(const cInifile& ini) {
  std::vector<std::string> names;
  std::int32_t count = 0;
  ini.EnumerateCurrentSection(names, count);
  names.resize(static_cast<std::size_t>(count));
  return names;
}

// The names of the values directly under the registry object's key, sorted without
// regard to case; none when the key cannot be listed.
std::vector<std::string> SortedValueNames(const cRegistry& reg) {
  std::vector<std::string> names;
  std::int32_t count = 0;
  if (Attempt([&] { reg.EnumerateValues(names, count); }) != 0) return {};
  names.resize(static_cast<std::size_t>(count));
  SortStrings(names, 0, count - 1);
  return names;
}

}  // namespace

std::string frmMain::EntryRegType(const std::string& entry) const {
  cInifile launcher(p_);
  launcher.Path(LauncherIniPath());
  launcher.Section(entry);
  launcher.Key("RegType");
  launcher.Default("DEFAULT");
  return launcher.Value();
}

std::vector<std::string> frmMain::SettingsKeys(const std::string& regType) const {
  cInifile definition(p_);
  definition.Path(DefinitionFilePath(regType));
  definition.Section("Registry Keys");
  std::vector<std::string> selected;
  for (const auto& name : Keys(definition)) {
    definition.Key(name);
    if (snap::SelectsKey(definition.Value())) selected.push_back(name);
  }
  return selected;
}

bool frmMain::SaveSettings(const std::string& entry) {
  // Every write below goes to the launcher INI in one file replacement.
  IniWriteBatch batch(p_);

  cInifile launcher(p_);
  launcher.Path(LauncherIniPath());
  launcher.Section(entry);
  launcher.Key("RegType");
  launcher.Default("DEFAULT");
  const std::string regType = launcher.Value();
  launcher.Default("");
  launcher.Key("Saved");
  launcher.Value(std::string("1"));

  launcher.Section(entry + "\\Settings");
  for (const auto& name : Keys(launcher)) {
    launcher.Key(name);
    launcher.DeleteKey();
  }

  for (const auto& name : SettingsKeys(regType)) SaveRegistry(name, launcher);

  if (batch.Flush()) return true;
  // The snapshot did not reach the disk; the caller must not clear the settings.
  LogAction("SaveSettings: " + LauncherIniPath());
  LogResult(75);  // path/file access error
  return false;
}

void frmMain::SaveRegistry(const std::string& keyPath, cInifile& snapshot) {
  const RegPath path = SplitKeyPath(keyPath);
  // A key path must name a key below a root; the roots themselves are never copied.
  if (path.root == 0 || path.subKey.empty()) return;

  cRegistry reg(p_);
  reg.ClassKey(path.root);
  reg.SectionKey(path.subKey);
  const std::vector<std::string> names = SortedValueNames(reg);

  for (const auto& name : names) {
    reg.ValueKey(name);
    snapshot.Key(path.rootName + "\\" + reg.SectionKey() + "\\" + name);
    LogAction("SaveRegistry: " + snapshot.Key());
    Resume([&] {
      if (!NameSurvivesIni(name))
        throw RuntimeError(5, "", "Invalid procedure call or argument");
      std::uint32_t type = 0;
      ByteArray data;
      if (!reg.ReadRaw(type, data))
        throw RuntimeError(err::RegistryFailure, "", "Failed to read registry value");
      reg.ValueType(static_cast<std::int32_t>(type));
      snapshot.Value(snap::EntryValue(type, data));
    });
    LogResult(LastError);
  }
}

void frmMain::DeleteRegistryKeys(const std::string& entry) {
  for (const auto& name : SettingsKeys(EntryRegType(entry))) DeleteRegistry(name);
}

void frmMain::DeleteRegistry(const std::string& keyPath) {
  const RegPath path = SplitKeyPath(keyPath);
  if (path.root == 0 || path.subKey.empty()) return;

  cRegistry reg(p_);
  reg.ClassKey(path.root);
  reg.SectionKey(path.subKey);
  const std::vector<std::string> names = SortedValueNames(reg);

  for (const auto& name : names) {
    reg.ValueKey(name);
    LogAction("DeleteRegistry: " + path.rootName + "\\" + reg.SectionKey() + "\\" + name);
    Resume([&] { reg.DeleteValue(); });
    LogResult(LastError);
  }
  // A key that still has subkeys is refused by the single-key delete and stays; that
  // is expected and not logged.
  Attempt([&] {
    if (reg.KeyExists()) reg.DeleteKey();
  });
}

void frmMain::LoadSavedSettings(const std::string& entry) {
  cInifile launcher(p_);
  launcher.Path(LauncherIniPath());
  launcher.Section(entry + "\\Settings");
  for (const auto& name : Keys(launcher)) {
    launcher.Key(name);
    RestoreRegistry(name, launcher.Value());
  }
  CanReset = true;
}

void frmMain::RestoreRegistry(const std::string& valuePath, const std::string& entryValue) {
  LogAction("RestoreRegistry: " + valuePath);

  const snap::ValueLine line = snap::ParseEntryValue(entryValue);
  using Kind = snap::ValueLine::Kind;
  if (line.kind == Kind::NoColon) return LogResult(-10);
  if (line.kind == Kind::Unsupported) return LogResult(-11);

  cRegistry reg(p_);
  reg.ClassKey(cRegistry::RootFromName(valuePath.substr(0, 4)));
  const auto last = valuePath.rfind('\\');
  // The key path runs from the sixth character to the last backslash; a path without
  // one would name a value at the root itself, which is never written.
  if (last == std::string::npos || last <= 5) return LogResult(5);
  reg.SectionKey(valuePath.substr(5, last - 5));
  reg.ValueKey(valuePath.substr(last + 1));

  switch (line.kind) {
    case Kind::Text:
      reg.ValueType(static_cast<std::int32_t>(plat::reg::kRegSz));
      Resume([&] { reg.Value(Variant(line.data)); });
      break;
    case Kind::Number:
      reg.ValueType(static_cast<std::int32_t>(plat::reg::kRegDword));
      Resume([&] { reg.Value(Variant(snap::ToLong(line.data))); });
      break;
    case Kind::Raw:
      reg.ValueType(static_cast<std::int32_t>(line.type));
      Resume([&] { reg.WriteRaw(line.type, line.bytes); });
      break;
    default:  // malformed bytes after "hex:"
      LastError = err::TypeMismatch;
      break;
  }
  LogResult(LastError);
}

void frmMain::LoadFactorySettings(const std::string& entry) {
  cInifile definition(p_);
  definition.Path(DefinitionFilePath(EntryRegType(entry)));
  definition.Section("Factory Settings");
  for (const auto& name : Keys(definition)) {
    definition.Key(name);
    RestoreRegistry(name, ReplaceAll(definition.Value(), "{AppDir}", RegAppDir));
  }
}
