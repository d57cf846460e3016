#include "app/CommandLine.h"

#include "support/Convert.h"

namespace cli {

namespace {
const char kBlanks[] = " \t";

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(kBlanks);
  return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
}

// A folder written with slashes or a closing backslash is still the same folder.
std::string Folder(std::string dir) {
  for (auto& c : dir)
    if (c == '/') c = '\\';
  while (dir.size() > 1 && dir.back() == '\\') dir.pop_back();
  return UpperAnsi(dir);
}
}  // namespace

Request Parse(const std::string& args) {
  const std::string line = Trim(args);
  if (line.empty()) return {};
  const std::string word = UpperAnsi(line.substr(0, line.find_first_of(kBlanks)));
  if (word == "/?" || word == "-?") return {Action::Usage, ""};
  Action action;
  if (word == "/START" || word == "-START") action = Action::Start;
  else if (word == "/SWITCH" || word == "-SWITCH") action = Action::Switch;
  else return {Action::Bad, ""};
  std::string entry = Trim(line.substr(word.size()));
  // A quoted entry ends at its closing quote; an unquoted one may hold blanks.
  if (!entry.empty() && entry[0] == '"') {
    const auto close = entry.find('"', 1);
    if (close == std::string::npos || !Trim(entry.substr(close + 1)).empty())
      return {Action::Bad, ""};
    entry = Trim(entry.substr(1, close - 1));
  }
  if (entry.empty()) return {Action::Bad, ""};
  return {action, entry};
}

std::vector<CatalogueRow> Matches(const std::vector<CatalogueRow>& rows, const std::string& entry) {
  const std::string wanted = UpperAnsi(entry);
  // The key first, then the description, then the folder.
  for (int by = 0; by < 3; ++by) {
    std::vector<CatalogueRow> found;
    for (const auto& r : rows)
      if (by == 0   ? UpperAnsi(r.key) == wanted
          : by == 1 ? UpperAnsi(r.description) == wanted
                    : !r.appDir.empty() && Folder(r.appDir) == Folder(entry))
        found.push_back(r);
    if (!found.empty()) return found;
  }
  return {};
}

std::string Resolve(const std::vector<CatalogueRow>& rows, const std::string& entry) {
  const std::vector<CatalogueRow> found = Matches(rows, entry);
  return found.size() == 1 ? found[0].key : "";
}

std::string KnownEntries(const std::vector<CatalogueRow>& rows) {
  std::string text;
  for (const auto& r : rows) text += r.key + ": " + r.description + " (" + r.appDir + ")\r\n";
  return text;
}

}  // namespace cli
