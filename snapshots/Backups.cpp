#include "snapshots/Backups.h"

#include <algorithm>
#include <tuple>

#include "catalogue/Installation.h"
#include "support/cInifile.h"

namespace {
constexpr std::int32_t kKeepBackups = 20;
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
  const std::string text = regfile::Write(keys);
  if (!files.CreateDir(dir) || !files.WriteAllAtomic(path, text)) {
    c_.log.LogResult(err::PathFileAccess);
    return false;
  }
  const auto back = files.ReadAll(path);
  const auto read = back ? regfile::Read(*back) : std::nullopt;
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
  cInifile settings(c_.platform);
  settings.Path(LauncherIniPath(c_.platform));
  settings.Section("Settings");
  settings.Key("KeepBackups");
  settings.Default("");
  const std::int32_t keep =
      std::max<std::int32_t>(1, cInifile::CLngDefault(settings.Value(), kKeepBackups));
  plat::IFileSystem& files = *c_.platform.files;
  std::vector<std::tuple<std::string, std::int64_t, std::string>> found;
  for (const auto& name : files.ListFiles(dir + "\\*.reg"))
    if (regfile::IsBackupName(name))
      found.emplace_back(name.substr(0, 17), files.Stamp(dir + "\\" + name).modified, name);
  std::sort(found.begin(), found.end());
  for (std::size_t i = 0; i + static_cast<std::size_t>(keep) < found.size(); ++i)
    files.RemoveFile(dir + "\\" + std::get<2>(found[i]));
}
