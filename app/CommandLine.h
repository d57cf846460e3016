// The command line: what a start with arguments asks for, which catalogue entry it
// names, and the exit codes a script sees (`start /wait Gleisora.exe ...`).
// Free of Win32, so it is tested natively.
#pragma once
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"

namespace cli {

// Exit codes of a start with a command; README lists them.
enum Exit : int {
  kDone = 0,
  kNoWindow = 1,  // the window could not be created (as without arguments)
  kBadUsage = 2,
  kUnknownEntry = 3,
  kSimulatorRunning = 4,
  kNoRights = 5,
  kSwitchFailed = 6,
  kStartFailed = 7,
  kOtherBusy = 8,  // the open Gleisora cannot take the command now
};

enum class Action { Window, Usage, Switch, Start, Bad };

struct Request {
  Action action = Action::Window;
  std::string entry;
};

// `args`: the command line without the program's name, as WinMain receives it.
Request Parse(const std::string& args);

// The rows that `entry` names by their key, else their description, else their
// folder, in any letter case: one row, several (the name is ambiguous) or none.
std::vector<CatalogueRow> Matches(const std::vector<CatalogueRow>& rows, const std::string& entry);
// The key of the only row that fits; "" when no row, or more than one, fits.
std::string Resolve(const std::vector<CatalogueRow>& rows, const std::string& entry);

// One line per row, for the message about an entry that is not known or ambiguous.
std::string KnownEntries(const std::vector<CatalogueRow>& rows);

}  // namespace cli
