// Copying the simulator's registry settings to and from the launcher INI's snapshot
// sections, clearing them, and writing the factory settings. Every value is one
// logged step.
#pragma once
#include <string>

#include "catalogue/Installation.h"
#include "support/Context.h"
#include "support/cInifile.h"

class Snapshots {
 public:
  explicit Snapshots(const Context& context) : c_(context) {}

  // false when the snapshot did not reach the disk: the settings must then stay.
  bool SaveSettings(const Installation& inst);
  void SaveRegistry(const std::string& keyPath, cInifile& snapshot);
  void DeleteRegistryKeys(const Installation& inst);
  void DeleteRegistry(const std::string& keyPath);
  // Writes the entry's snapshot back; afterwards the entry can be reset.
  void LoadSavedSettings(const std::string& entry);
  void RestoreRegistry(const std::string& valuePath, const std::string& entryValue);
  // The definition's factory settings, "{AppDir}" standing for `appDir`.
  void LoadFactorySettings(const Installation& inst, const std::string& appDir);

 private:
  Context c_;
};
