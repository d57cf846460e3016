// Copying the simulator's registry settings to and from the launcher INI's snapshot
// sections, clearing them, and writing the factory settings.
#include <vector>

#include "snapshots/Snapshots.h"

#include <map>
#include <optional>
#include <set>

#include "catalogue/CatalogueFile.h"
#include "snapshots/SnapshotText.h"
#include "support/IniStore.h"
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

// The names of the values directly under the registry object's key, sorted without
// regard to case; none when the key cannot be listed. `yield` runs while a long key
// is listed.
std::vector<std::string> SortedValueNames(const cRegistry& reg,
                                          const std::function<void()>& yield) {
  std::vector<std::string> names;
  std::int32_t count = 0;
  if (Attempt([&] { reg.EnumerateValues(names, count, yield); }) != 0) return {};
  names.resize(static_cast<std::size_t>(count));
  SortStrings(names, 0, count - 1);
  yield();
  return names;
}

// Points `reg` at the key that a key path names and lists its values, sorted; false
// for a path that names no key below a root: the roots are never copied or cleared.
bool ListKey(cRegistry& reg, const std::string& keyPath, RegPath& path,
             std::vector<std::string>& names, const std::function<void()>& yield) {
  path = SplitKeyPath(keyPath);
  if (path.root == 0 || path.subKey.empty()) return false;
  reg.ClassKey(path.root);
  reg.SectionKey(path.subKey);
  names = SortedValueNames(reg, yield);
  return true;
}

// A key that exists but may not be read lists no values, as a missing key does; only
// the error of opening it tells the two apart.
bool KeyDenied(plat::IRegistryApi& api, const RegPath& path) {
  plat::RegKey key = 0;
  const long rc =
      api.OpenKey(plat::RootKey(path.root), path.subKey, plat::reg::kKeyQueryValue, key);
  if (rc == 0) api.CloseKey(key);
  return rc == plat::reg::kAccessDenied;
}

}  // namespace

Snapshots::Saved Snapshots::SaveSettings(const Installation& inst) {
  const plat::Platform& p = c_.platform;
  // Every write below goes to the launcher INI in one file replacement.
  IniWriteBatch batch(p);

  CatalogueFile launcher(p);
  launcher.MarkSaved(inst.entry);
  launcher.ClearSnapshot(inst.entry, ServeWindow());

  Saved saved;
  Lines lines;
  for (const auto& name : inst.keys) SaveRegistry(name, launcher, inst.entry, lines, saved.values);

  if (batch.Flush(ServeWindow())) {
    saved.kept = SnapshotOnDisk(inst.entry, lines);
    return saved;
  }
  c_.log.LogAction("SaveSettings: " + launcher.Path());
  c_.log.LogResult(err::PathFileAccess);
  return saved;
}

// The launcher INI as the disk now holds it must give back every line just saved.
// A file the INI engine could not read refuses its writes without a failure, so
// only this reading shows that nothing was kept.
bool Snapshots::SnapshotOnDisk(const std::string& entry, const Lines& lines) {
  const std::string path = CatalogueFile::PathFor(c_.platform);
  auto bytes = c_.platform.files->ReadAllInSteps(path, ServeWindow());
  std::string missing = path;
  if (bytes) {
    const ini::Document doc = ini::Document::Parse(std::move(*bytes));
    c_.log.YieldToWindow();
    missing.clear();
    const std::string section = CatalogueFile::SnapshotSection(entry);
    for (const auto& [valuePath, entryValue] : lines) {
      if (doc.Get(section, valuePath) != entryValue) {
        missing = valuePath;
        break;
      }
      c_.log.YieldToWindow();
    }
    if (missing.empty()) return true;
  }
  c_.log.LogAction("CheckSettings: " + missing);
  c_.log.LogResult(err::NotKept);
  return false;
}

void Snapshots::SaveRegistry(const std::string& keyPath, CatalogueFile& file,
                             const std::string& entry, Lines& lines, ReadValues& read) {
  cRegistry reg(c_.platform);
  RegPath path;
  std::vector<std::string> names;
  if (!ListKey(reg, keyPath, path, names, ServeWindow())) return;
  if (names.empty() && KeyDenied(*c_.platform.registry, path)) {
    c_.log.LogAction("SaveRegistry: " + keyPath);
    c_.log.LogResult(err::PathFileAccess);
  }
  reg.KeepKeyOpen(true);

  for (const auto& name : names) {
    reg.ValueKey(name);
    const std::string valuePath = path.rootName + "\\" + reg.SectionKey() + "\\" + name;
    c_.log.LogAction("SaveRegistry: " + valuePath);
    c_.log.Resume([&] {
      if (!NameSurvivesIni(name))
        throw RuntimeError(err::InvalidProcedureCall, "", "Invalid procedure call or argument");
      std::uint32_t type = 0;
      ByteArray data;
      if (!reg.ReadRaw(type, data))
        throw RuntimeError(err::RegistryFailure, "", "Failed to read registry value");
      reg.ValueType(static_cast<std::int32_t>(type));
      const std::string line = snap::EntryValue(type, data);
      read[UpperAnsi(path.rootName + "\\" + path.subKey) + "\\" + UpperAnsi(name)] = {name, type,
                                                                                      data};
      file.WriteSnapshotLine(entry, valuePath, line);
      lines.emplace_back(valuePath, line);
    });
    c_.log.LogPending();
  }
}

void Snapshots::DeleteRegistryKeys(const Installation& inst) {
  for (const auto& name : inst.keys) DeleteRegistry(name);
}

void Snapshots::DeleteRegistry(const std::string& keyPath) {
  cRegistry reg(c_.platform);
  RegPath path;
  std::vector<std::string> names;
  if (!ListKey(reg, keyPath, path, names, ServeWindow())) return;
  reg.KeepKeyOpen(true);

  for (const auto& name : names) {
    reg.ValueKey(name);
    c_.log.LogAction("DeleteRegistry: " + path.rootName + "\\" + reg.SectionKey() + "\\" + name);
    c_.log.Resume([&] { reg.DeleteValue(); });
    c_.log.LogPending();
  }
  // A key that still has subkeys is refused by the single-key delete and stays; that
  // is expected and not logged.
  Attempt([&] {
    if (reg.KeyExists()) reg.DeleteKey();
  });
}

void Snapshots::LoadSavedSettings(const std::string& entry) {
  CatalogueFile launcher(c_.platform);
  // One look at the launcher INI for all its reads, and each key opened once for all
  // its values.
  IniWriteBatch batch(c_.platform);
  cRegistry reg(c_.platform);
  reg.KeepKeyOpen(true);
  for (const auto& name : launcher.SnapshotPaths(entry))
    Restore(reg, name, launcher.SnapshotLine(entry, name));
}

void Snapshots::RestoreRegistry(const std::string& valuePath, const std::string& entryValue) {
  cRegistry reg(c_.platform);
  Restore(reg, valuePath, entryValue);
}

void Snapshots::Restore(cRegistry& reg, const std::string& valuePath,
                        const std::string& entryValue) {
  ActivityLog& log = c_.log;
  log.LogAction("RestoreRegistry: " + valuePath);

  const snap::ValueLine line = snap::ParseEntryValue(entryValue);
  using Kind = snap::ValueLine::Kind;
  if (line.kind == Kind::NoColon) return log.LogResult(-10);
  if (line.kind == Kind::Unsupported) return log.LogResult(-11);

  reg.ClassKey(cRegistry::RootFromName(valuePath.substr(0, 4)));
  const auto last = valuePath.rfind('\\');
  // The key path runs from the sixth character to the last backslash; a path without
  // one would name a value at the root itself, which is never written.
  if (last == std::string::npos || last <= 5) return log.LogResult(err::InvalidProcedureCall);
  reg.SectionKey(valuePath.substr(5, last - 5));
  reg.ValueKey(valuePath.substr(last + 1));

  switch (line.kind) {
    case Kind::Text:
      reg.ValueType(static_cast<std::int32_t>(plat::reg::kRegSz));
      log.Resume([&] { reg.Value(Variant(line.data)); });
      break;
    case Kind::Number:
      reg.ValueType(static_cast<std::int32_t>(plat::reg::kRegDword));
      log.Resume([&] { reg.Value(Variant(snap::ToLong(line.data))); });
      break;
    case Kind::Raw:
      reg.ValueType(static_cast<std::int32_t>(line.type));
      log.Resume([&] { reg.WriteRaw(line.type, line.bytes); });
      break;
    default:  // malformed bytes after "hex:"
      log.Raise(err::TypeMismatch);
      break;
  }
  log.LogPending();
}

void Snapshots::LoadFactorySettings(const Installation& inst, const std::string& appDir) {
  cRegistry reg(c_.platform);
  reg.KeepKeyOpen(true);
  for (const auto& [name, value] : inst.factory)
    Restore(reg, name, ReplaceAll(value, "{AppDir}", appDir));
}

std::optional<std::vector<regfile::Key>> Snapshots::Current(
    const std::vector<std::string>& keyPaths, const std::vector<std::string>& valuePaths,
    const ReadValues* known) {
  std::vector<regfile::Key> keys;
  bool readable = true;
  std::map<std::string, std::size_t> keyIndex;  // upper-case key path -> index in keys
  std::set<std::string> held;                   // upper-case value paths
  // A listed value exists: one that cannot be read cannot be kept. A value path may
  // name nothing.
  const auto add = [&](const RegPath& path, cRegistry& reg, const std::string& name, bool listed) {
    const std::string keyId = UpperAnsi(path.rootName + "\\" + path.subKey);
    const std::string id = keyId + "\\" + UpperAnsi(name);
    if (!held.insert(id).second) return;
    regfile::Value v{name, 0, {}};
    bool stored = false;
    long failure = 0;
    const auto seen = known ? known->find(id) : ReadValues::const_iterator();
    if (known && seen != known->end()) {
      v = seen->second;
      stored = true;
    } else {
      reg.ValueKey(name);
      failure = Attempt([&] { stored = reg.ReadRaw(v.type, v.data); });
    }
    if (!stored && listed) {
      c_.log.LogAction("Backup: " + path.rootName + "\\" + path.subKey + "\\" + name);
      c_.log.LogResult(failure ? failure : err::RegistryFailure);
      readable = false;
    }
    if (!stored) return;
    const auto [at, added] = keyIndex.emplace(keyId, keys.size());
    if (added)
      keys.push_back(
          {regfile::SystemName(*c_.platform.registry, path.rootName, path.root, path.subKey), {}});
    keys[at->second].values.push_back(std::move(v));
  };
  cRegistry reg(c_.platform);
  reg.KeepKeyOpen(true);
  for (const auto& keyPath : keyPaths) {
    RegPath path;
    std::vector<std::string> names;
    if (ListKey(reg, keyPath, path, names, ServeWindow()))
      for (const auto& name : names) {
        add(path, reg, name, true);
        c_.log.YieldToWindow();
      }
  }
  for (const auto& valuePath : valuePaths) {
    const auto last = valuePath.rfind('\\');
    if (last == std::string::npos || last <= 5) continue;
    const RegPath path = SplitKeyPath(valuePath.substr(0, last));
    if (path.root == 0) continue;
    reg.ClassKey(path.root);
    reg.SectionKey(path.subKey);
    add(path, reg, valuePath.substr(last + 1), false);
  }
  if (!readable) return std::nullopt;
  return keys;
}

std::vector<std::string> Snapshots::SavedValuePaths(const std::string& entry) {
  if (entry.empty()) return {};  // no entry becomes active
  return CatalogueFile(c_.platform).SnapshotPaths(entry);
}

void Snapshots::Flush(const Installation& inst) {
  std::set<std::int32_t> roots;
  for (const auto& name : inst.keys) roots.insert(SplitKeyPath(name).root);
  for (std::int32_t root : roots)
    if (root != 0) c_.platform.registry->FlushKey(plat::RootKey(root));
}
