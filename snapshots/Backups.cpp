#include "snapshots/Backups.h"

#include <algorithm>
#include <tuple>

#include "catalogue/CatalogueFile.h"
#include "support/cRegistry.h"
#include "support/mdlTools.h"

namespace {
constexpr std::int32_t kKeepBackups = 20;
constexpr std::int32_t kHKU = static_cast<std::int32_t>(0x80000003u);

struct Place {
  std::int32_t root = 0;
  std::string subKey;
};

// Where a key of a backup file is: one of the installation's keys the system names
// so, else the key by its own root's name.
std::optional<Place> Locate(plat::IRegistryApi& api, const Installation& inst,
                            const std::string& keyName) {
  std::vector<std::string> known = inst.keys;
  for (const auto& line : inst.factory) known.push_back(GetDirectory(line.first));
  for (const auto& path : known) {
    const Place at{cRegistry::RootFromName(path.substr(0, 4)),
                   path.size() > 5 ? path.substr(5) : ""};
    if (at.root && !at.subKey.empty() &&
        UpperAnsi(regfile::SystemName(api, path.substr(0, 4), at.root, at.subKey)) ==
            UpperAnsi(keyName))
      return at;
  }
  static const std::pair<const char*, std::int32_t> kRoots[] = {
      {"HKEY_CLASSES_ROOT\\", plat::kHKCR},
      {"HKEY_CURRENT_USER\\", plat::kHKCU},
      {"HKEY_LOCAL_MACHINE\\", plat::kHKLM},
      {"HKEY_USERS\\", kHKU}};
  for (const auto& [prefix, root] : kRoots) {
    const std::string p = prefix;
    if (keyName.size() > p.size() && UpperAnsi(keyName.substr(0, p.size())) == p)
      return Place{root, keyName.substr(p.size())};
  }
  return std::nullopt;
}
}  // namespace

bool Backups::Write(const std::string& action, const std::string& entry,
                    const std::vector<regfile::Key>& keys) {
  if (keys.empty()) return true;
  plat::IFileSystem& files = *c_.platform.files;
  const std::string dir = c_.platform.appDir + "\\Backups";
  const std::string base = regfile::FileName(files.Now(), action, entry);
  std::string path = dir + "\\" + base;
  // Two operations within one second get names of their own.
  for (int n = 2; files.Stamp(path).exists; ++n)
    path = dir + "\\" + base.substr(0, base.size() - 4) + "_" + std::to_string(n) + ".reg";

  c_.log.LogAction("Backup: " + path);
  // Writing and reading back a large backup write no line: the window is served
  // between the chunks.
  ActivityLog& log = c_.log;
  const auto yield = [&log] { log.YieldToWindow(); };
  const std::string text = regfile::Write(keys);
  yield();
  if (!files.CreateDir(dir) || !files.WriteAllAtomicInSteps(path, text, yield)) {
    c_.log.LogResult(err::PathFileAccess);
    return false;
  }
  const auto back = files.ReadAllInSteps(path, yield);
  const auto read = back ? regfile::Read(*back) : std::nullopt;
  yield();
  if (!read || *read != keys) {
    files.RemoveFile(path);  // never left to be imported
    c_.log.LogResult(err::NotKept);
    return false;
  }
  c_.log.LogResult(0);
  Prune(dir);
  return true;
}

// Oldest first: by the time in the name, then (for backups of one second, whose
// suffixes may be reused once pruned) by the time the file was written.
void Backups::Prune(const std::string& dir) {
  const std::int32_t keep =
      std::max<std::int32_t>(1, CatalogueFile(c_.platform).KeepBackups(kKeepBackups));
  plat::IFileSystem& files = *c_.platform.files;
  std::vector<std::tuple<std::string, std::int64_t, std::string>> found;
  for (const auto& name : files.ListFiles(dir + "\\*.reg"))
    if (regfile::IsBackupName(name)) {
      found.emplace_back(name.substr(0, 17), files.Stamp(dir + "\\" + name).modified, name);
      c_.log.YieldToWindow();
    }
  std::sort(found.begin(), found.end());
  for (std::size_t i = 0; i + static_cast<std::size_t>(keep) < found.size(); ++i) {
    files.RemoveFile(dir + "\\" + std::get<2>(found[i]));
    c_.log.YieldToWindow();
  }
}

std::vector<Backups::File> Backups::List(const std::string& entry) const {
  std::vector<File> found;
  for (const auto& name : c_.platform.files->ListFiles(Dir() + "\\*.reg"))
    if (const auto parts = regfile::ParseFileName(name);
        parts && UpperAnsi(parts->entry) == UpperAnsi(entry))
      found.push_back({name, *parts, c_.platform.files->Stamp(Dir() + "\\" + name).modified});
  const auto newer = [](const File& a, const File& b) {
    return std::make_tuple(a.name.substr(0, 17), a.modified, a.parts.number) >
           std::make_tuple(b.name.substr(0, 17), b.modified, b.parts.number);
  };
  std::sort(found.begin(), found.end(), newer);
  return found;
}

bool Backups::Restore(const std::string& name, const Installation& inst) {
  const std::string path = Dir() + "\\" + name;
  ActivityLog& log = c_.log;
  const auto yield = [&log] { log.YieldToWindow(); };
  const auto text = c_.platform.files->ReadAllInSteps(path, yield);
  const auto keys = text ? regfile::Read(*text) : std::nullopt;
  std::vector<Place> places;
  std::vector<regfile::Key> now;  // the same keys as they are
  bool readable = keys.has_value();
  for (std::size_t i = 0; readable && i < keys->size(); ++i) {
    const auto at = Locate(*c_.platform.registry, inst, (*keys)[i].name);
    readable = at.has_value();
    if (!at) break;
    places.push_back(*at);
    cRegistry reg(c_.platform);
    reg.ClassKey(at->root);
    reg.SectionKey(at->subKey);
    std::vector<std::string> names;
    std::int32_t count = 0;
    Attempt([&] { reg.EnumerateValues(names, count, yield); });
    now.push_back({(*keys)[i].name, {}});
    for (std::int32_t n = 0; n < count; ++n) {
      regfile::Value v{names[n], 0, {}};
      reg.ValueKey(v.name);
      if (Attempt([&] { reg.ReadRaw(v.type, v.data); }) == 0)
        now.back().values.push_back(std::move(v));
      yield();
    }
  }
  c_.log.LogAction("Restore: " + path);
  c_.log.LogResult(readable ? 0 : err::NotKept);
  if (!readable || !Write(backup::kUndo.word, inst.entry, now)) return false;

  for (std::size_t i = 0; i < keys->size(); ++i) {
    cRegistry reg(c_.platform);
    reg.ClassKey(places[i].root);
    reg.SectionKey(places[i].subKey);
    const std::string shown = (*keys)[i].name + "\\";
    for (const auto& v : now[i].values) {
      reg.ValueKey(v.name);
      c_.log.LogAction("DeleteRegistry: " + shown + v.name);
      c_.log.Resume([&] { reg.DeleteValue(); });
      c_.log.LogPending();
    }
    for (const auto& v : (*keys)[i].values) {
      reg.ValueKey(v.name);
      c_.log.LogAction("RestoreRegistry: " + shown + v.name);
      c_.log.Resume([&] { reg.WriteRaw(v.type, v.data); });
      c_.log.LogPending();
    }
  }
  return true;
}
