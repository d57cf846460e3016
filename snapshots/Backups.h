// Regedit files of the values an operation is about to delete or overwrite, in
// Backups\ beside the program; a double click in Explorer imports one.
#pragma once
#include <string>
#include <vector>

#include "catalogue/Installation.h"
#include "snapshots/RegFile.h"
#include "support/Context.h"

// The action word in a backup's file name, and the key in [frmMain] of the word the
// restore menu shows for it. File names keep the German word in every language.
struct BackupAction {
  const char* key;
  const char* word;
};
namespace backup {
inline constexpr BackupAction kSwitch{"mnuRestore.Switch.Caption", "Umschalten"},
    kDefault{"mnuRestore.Default.Caption", "Standard"},
    kReset{"mnuRestore.Reset.Caption", "Wiederherstellen"},
    kRepair{"mnuRestore.Repair.Caption", "Reparatur"},
    kUndo{"mnuRestore.Undo.Caption", "Rückgängig"};  // the backup a restore takes first
inline constexpr BackupAction kActions[] = {kSwitch, kDefault, kReset, kRepair, kUndo};
}  // namespace backup

class Backups {
 public:
  explicit Backups(const Context& context) : c_(context) {}

  // Writes the values to a new file named after the time, the action and the entry,
  // and reads it back: true when the disk gives back every value byte for byte (or
  // there is none to keep). Logs "Backup: " and the file. Afterwards only the newest
  // backups stay ("KeepBackups" in [Settings] of the launcher INI, 20 by default).
  bool Write(const std::string& action, const std::string& entry,
             const std::vector<regfile::Key>& keys);

  struct File {
    std::string name;  // in the folder Backups
    regfile::BackupName parts;
    std::int64_t modified = 0;  // orders the backups of one second
  };
  // The entry's backups, newest first.
  std::vector<File> List(const std::string& entry) const;
  // Puts back exactly what the backup holds: first a new backup of its keys as they
  // are, then their current values cleared and the backup's values written. false,
  // with nothing changed, when the file cannot be read or the new backup not kept.
  // `inst` is the active installation: its keys tell where a key name points.
  bool Restore(const std::string& name, const Installation& inst);

 private:
  void Prune(const std::string& dir);
  std::string Dir() const { return c_.platform.appDir + "\\Backups"; }

  Context c_;
};
