// Copying the simulator's registry settings to and from the launcher INI's snapshot
// sections, clearing them, and writing the factory settings. Every value is one
// logged step.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/Installation.h"
#include "snapshots/RegFile.h"
#include "support/Context.h"
#include "support/cInifile.h"
#include "support/cRegistry.h"

class Snapshots {
 public:
  explicit Snapshots(const Context& context) : c_(context) {}

  // false when the snapshot did not reach the disk, or does not read back from it as
  // written: the settings must then stay.
  bool SaveSettings(const Installation& inst);
  void SaveRegistry(const std::string& keyPath, cInifile& snapshot);
  void DeleteRegistryKeys(const Installation& inst);
  void DeleteRegistry(const std::string& keyPath);
  // Writes the entry's snapshot back; afterwards the entry can be reset.
  void LoadSavedSettings(const std::string& entry);
  void RestoreRegistry(const std::string& valuePath, const std::string& entryValue);
  // The definition's factory settings, "{AppDir}" standing for `appDir`.
  void LoadFactorySettings(const Installation& inst, const std::string& appDir);

  // What a backup holds: every value under the key paths, and the values the value
  // paths name where they exist; each key under the name the system gives it. false
  // (and the value logged) when a value exists but cannot be read: it cannot be kept.
  // `known`: values read moments ago (LastRead), taken as they are instead of read again.
  using ReadValues = std::map<std::string, regfile::Value>;  // by upper-case value path
  bool Current(const std::vector<std::string>& keyPaths,
               const std::vector<std::string>& valuePaths, std::vector<regfile::Key>& keys,
               const ReadValues* known = nullptr);
  // What the last SaveSettings read from the registry.
  const ReadValues& LastRead() const { return read_; }
  // The value paths of the entry's snapshot: what restoring it overwrites ("" = none).
  std::vector<std::string> SavedValuePaths(const std::string& entry);
  // Puts the hives that hold the installation's keys on disk.
  void Flush(const Installation& inst);

 private:
  bool SnapshotOnDisk(const std::string& entry);
  void Restore(cRegistry& reg, const std::string& valuePath, const std::string& entryValue);

  Context c_;
  std::vector<std::pair<std::string, std::string>> saved_;  // value path, entry value
  ReadValues read_;
};
