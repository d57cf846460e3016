// frmMain: the main window's state and handlers, free of Win32. The real window
// (app/win) forwards its events here; tests drive it through a fake view. The work
// itself is done by the services it wires together.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MainView.h"
#include "app/VersionRows.h"
#include "catalogue/Catalogue.h"
#include "support/Context.h"
#include "snapshots/Backups.h"
#include "switching/Operations.h"

// What the buttons depend on.
struct WindowState {
  bool hasRows = false, busy = false;
  bool hasActive = false;  // an entry is active, with or without a row
  // The active row's definition type; none when no entry is active or it has no row.
  std::optional<std::string> activeType;
  bool canReset = false;  // the active entry's settings were saved before
};
// Which buttons are enabled.
struct Enabling {
  bool list, start, defaults, reset, info;
};
Enabling EnablingFor(const WindowState& state);

// One command of a pop-up menu; an empty text is a separator.
struct MenuItem {
  std::string text;
  std::function<void()> run;
  bool enabled = true;
  std::vector<MenuItem> sub;
};

// "06.12.2026 11:42:05  Umschalten  EEP_1": how a backup is offered.
std::string BackupLabel(const regfile::BackupName& name);

class frmMain {
 public:
  frmMain(const plat::Platform& platform, LanguageFile& texts, IMainView& view);

  // Handlers.
  void Form_Load();
  bool Form_QueryUnload();  // true = cancel the close
  void cmdDetails_Click();
  void cmdInfo_Click();
  void cmdStartEEP_Click();
  void cmdDefault_Click();
  void cmdReset_Click();
  void lvwVersions_ItemCheck(int row);  // the row's check mark already holds the new state
  void lvwVersions_DblClick();
  // The context menu of a row (-1: below the rows) and its commands; the commands take
  // the entry's key, since the rows may have changed by the time they run.
  std::vector<MenuItem> RowMenu(int row);
  void mnuShortcut_Click(const std::string& key);
  void mnuOpenFolder_Click(const std::string& key);
  void mnuRemove_Click(const std::string& key);
  void mnuAdd_Click();  // also Ctrl+N
  void mnuRestore_Click(const std::string& backup);

  // A command of the command line, or one a second start handed over: the window's
  // own switch and start, with their checks, log and backups. Returns the exit code.
  int RunCommand(const cli::Request& request);
  // Runs once, before the first message box: a window hidden while a command runs
  // shows itself, with the log, when a question or an error needs the user.
  void BeforeFirstMessage(std::function<void()> reveal) { reveal_ = std::move(reveal); }

  void UpdateControls();
  void AutoSizeColumnHeader(int column, bool SizeToHeader);  // column 1-based

  // State of the run.
  bool Busy() const { return busy_; }

 private:
  // Message boxes are titled with the window's caption.
  int MsgBox(const std::string& text, unsigned style);

  std::string Text(const std::string& key, const std::string& deflt);
  bool RefuseWhileRunning(const char* key, const char* deflt);
  void EnterBusy();
  void LeaveBusy();
  void ShowActiveRow(int fallbackRow);
  bool FinishInterrupted(int fallbackRow);
  bool NotNow();

  IMainView& view_;
  LanguageFile& texts_;
  ActivityLog log_;
  Context context_;
  Catalogue catalogue_;
  Operations operations_;

  bool busy_ = false;
  VersionRows rows_;  // what the list shows, and the active entry
  bool canReset_ = false;
  bool detailsVisible_ = false;
  long fullHeight_ = 0;
  InstalledVersion installed_;
  bool noRights_ = false;  // the last switch found the shared keys not writable
  std::function<void()> reveal_;
};
