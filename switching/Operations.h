// The operations that change or start an installation: the version switch, the
// Start, Default and Reset sequences and the components' (un)registration.
#pragma once
#include <initializer_list>
#include <optional>
#include <string>

#include "catalogue/Catalogue.h"
#include "catalogue/Installation.h"
#include "snapshots/Backups.h"
#include "snapshots/Snapshots.h"
#include "support/Context.h"
#include "switching/SwitchRecord.h"

// A list row as an operation's log header shows it.
struct EntryRow {
  std::string key, description, dir;
  bool listed = true;  // false: the entry has no row, so no header is written
};

class Operations {
 public:
  explicit Operations(const Context& context)
      : c_(context), snapshots_(context), backups_(context) {}

  bool SimulatorRunning() const;

  // Runs DllRegisterServer or DllUnregisterServer of every enabled component of the
  // definition's list; a run-time failure ends the list with a message box.
  void RegisterComponents(const Installation& inst, bool doRegister);

  struct Outcome {
    std::string activeKey;  // the active entry afterwards ("" = none)
    bool settingsLoaded = false;
    bool noRights = false;  // stopped before any change: the shared keys may not be written
  };
  // Leaves `leaving` (when its key is not empty) and, when it could be left,
  // enters `target` (when given). Nothing is deleted before the settings are kept in
  // the snapshot and in a backup, both read back from the disk; otherwise nothing
  // changes and the user is told so.
  Outcome Switch(const EntryRow& leaving, const EntryRow* target);
  // Both stop before any change when their backup cannot be kept.
  void Default(const EntryRow& active, const std::string& regAppDir);
  // true when the entry's saved settings were written back.
  bool Reset(const EntryRow& active);
  // Puts the active entry's keys back as the backup file `backup` holds them (see
  // Backups::Restore); says so when nothing could be changed.
  void RestoreBackup(const EntryRow& active, const std::string& backup);
  // Finishes a switch that was cut off (its progress record is still there): on to
  // the target when the source's settings were kept, else back to the source.
  // nullopt when there was none, or it waits for the simulator to close. `byClick`:
  // found by a click, whose own action then does not happen (the message says so).
  std::optional<Outcome> Recover(bool byClick = false);
  bool RecoveryPending() const { return ReadSwitchRecord(c_.platform).has_value(); }
  enum class Started { Yes, Declined, Failed };
  // Starts the installed simulator; asks first when one is running already.
  Started Start(const InstalledVersion& installed);

 private:
  void Header(const char* word, const EntryRow& row);
  // The installation's definition; a file whose lines a NUL byte cut is named in the log.
  Installation Read(const std::string& entry);
  void NoteCut(const Installation& inst);
  // A warning followed by what the last failed step worked on (a file, a key).
  void Warn(const char* key, const char* deflt);
  void NothingChanged();
  void RepairPostponed();
  // Whether the shared keys the entries' operation writes may be written; says so
  // once (a message, a log line) when not.
  bool MayWrite(std::initializer_list<const Installation*> insts);
  bool Record(const SwitchRecord& record);
  std::vector<std::string> Overwritten(const std::string& entry, const Installation::Lines& first);
  bool Backup(const char* action, const std::string& entry, const std::vector<std::string>& keys,
              const std::vector<std::string>& overwritten,
              const Snapshots::ReadValues* known = nullptr);

  Context c_;
  Snapshots snapshots_;
  Backups backups_;
};
