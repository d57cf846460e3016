// Regedit files of the values an operation is about to delete or overwrite, in
// Backups\ beside the program; a double click in Explorer imports one.
#pragma once
#include <string>
#include <vector>

#include "snapshots/RegFile.h"
#include "support/Context.h"

class Backups {
 public:
  explicit Backups(const Context& context) : c_(context) {}

  // Writes the values to a new file named after the time, the action and the entry,
  // and reads it back: true when the disk gives back every value byte for byte (or
  // there is none to keep). Logs "Backup: " and the file. Afterwards only the newest
  // backups stay ("KeepBackups" in [Settings] of the launcher INI, 20 by default).
  bool Write(const std::string& action, const std::string& entry,
             const std::vector<regfile::Key>& keys);

 private:
  void Prune(const std::string& dir);

  Context c_;
};
