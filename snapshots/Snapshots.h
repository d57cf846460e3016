// Copying the simulator's registry settings to and from the launcher INI's snapshot
// sections, clearing them, and writing the factory settings. Every value is one
// logged step.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/Installation.h"
#include "snapshots/RegFile.h"
#include "support/Context.h"
#include "support/cRegistry.h"

class CatalogueFile;

class Snapshots {
 public:
  explicit Snapshots(const Context& context) : c_(context) {}

  using ReadValues = std::map<std::string, regfile::Value>;  // by upper-case value path
  // What SaveSettings did: kept is false when the snapshot did not reach the disk, or
  // does not read back from it as written (the settings must then stay); values is
  // what it read from the registry.
  struct Saved {
    bool kept = false;
    ReadValues values;
  };
  Saved SaveSettings(const Installation& inst);
  void DeleteRegistryKeys(const Installation& inst);
  void DeleteRegistry(const std::string& keyPath);
  // Writes the entry's snapshot back; afterwards the entry can be reset.
  void LoadSavedSettings(const std::string& entry);
  void RestoreRegistry(const std::string& valuePath, const std::string& entryValue);
  // The definition's factory settings, "{AppDir}" standing for `appDir`.
  void LoadFactorySettings(const Installation& inst, const std::string& appDir);

  // What a backup holds: every value under the key paths, and the values the value
  // paths name where they exist; each key under the name the system gives it. nullopt
  // (and the value logged) when a value exists but cannot be read: it cannot be kept.
  // `known`: values read moments ago (by SaveSettings), taken as they are instead of
  // read again.
  std::optional<std::vector<regfile::Key>> Current(const std::vector<std::string>& keyPaths,
                                                   const std::vector<std::string>& valuePaths,
                                                   const ReadValues* known = nullptr);
  // The value paths of the entry's snapshot: what restoring it overwrites ("" = none).
  std::vector<std::string> SavedValuePaths(const std::string& entry);
  // Puts the hives that hold the installation's keys on disk.
  void Flush(const Installation& inst);

 private:
  using Lines = std::vector<std::pair<std::string, std::string>>;  // value path, entry value
  // Copies the values under the key path into the entry's snapshot; adds the lines it
  // wrote to `lines` and the values it read to `read`.
  void SaveRegistry(const std::string& keyPath, CatalogueFile& file, const std::string& entry,
                    Lines& lines, ReadValues& read);
  bool SnapshotOnDisk(const std::string& entry, const Lines& lines);
  void Restore(cRegistry& reg, const std::string& valuePath, const std::string& entryValue);
  // What a long step that writes no line calls meanwhile: the log's yield, which only
  // an operation that asked for it lets through.
  std::function<void()> ServeWindow() const {
    return [&log = c_.log] { log.YieldToWindow(); };
  }

  Context c_;
};
