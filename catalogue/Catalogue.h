// The catalogue of installations in the launcher INI and the detection of the
// installation the simulator's registry key points to.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Installation.h"
#include "support/Context.h"

// The installation the simulator's registry key names.
struct InstalledVersion {
  std::string RegAppPath, RegAppDir, RegResBase;
  std::string EditionSuffix;  // "D" once the demo edition's key was read
};

// One row of the list: the entry's key, description, definition type and folder.
struct CatalogueRow {
  std::string key, description, regType, appDir;
};

struct VersionList {
  std::vector<CatalogueRow> rows;
  std::string activeKey;  // the entry of the installed version, "" when none
  bool canReset = false;  // the active entry's settings were saved before
};

class Catalogue {
 public:
  explicit Catalogue(const Context& context) : c_(context) {}

  // Updates `v` from the registry; EditionSuffix is only ever set.
  void ReadInstalledVersion(InstalledVersion& v) const;
  // The catalogue's rows; appends an entry for an installed version it lacks, and
  // offers to delete entries whose executable is gone.
  VersionList LoadVersionList(const InstalledVersion& v) const;
  // The definition type for the executable: "EEP" + product version digits +
  // edition suffix when that definition file exists, else "DEFAULT".
  std::string GetRegType(const std::string& AppPath, const std::string& EditionSuffix) const;

  // Adds the installation of the chosen eep.exe as detection adds the registry's,
  // with the values detection reads from the registry taken from the installation
  // itself. nullopt (the user told why) when its folder is listed already.
  std::optional<CatalogueRow> AddInstallation(const std::string& AppPath) const;
  std::string AppPath(const std::string& Section) const;  // the entry's eep.exe
  // Deletes the entry and its snapshot; the other entries keep their numbers.
  void RemoveEntry(const std::string& Section) const;
  // The first settings of an entry that has no snapshot yet: its definition's factory
  // settings, then the simulator key's AppPath and ResBase naming it (value path,
  // snapshot line). None once the entry was saved.
  Installation::Lines FirstSettings(const Installation& inst) const;

 private:
  std::optional<std::string> AppendEntry(const InstalledVersion& v) const;
  std::string EditionOf(const std::string& AppPath) const;  // "D" for a demo edition
  void AddVersionEntry(const std::string& Section, const InstalledVersion& v,
                       VersionList& list) const;

  Context c_;
};
