#include "support/mdlTools.h"

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "support/Errors.h"

std::string GetFileName(const std::string& Path) {
  auto p = Path.find_last_of('\\');
  return p == std::string::npos ? std::string() : Path.substr(p + 1);
}

std::string GetDirectory(const std::string& Path) {
  auto p = Path.find_last_of('\\');
  return p == std::string::npos ? std::string() : Path.substr(0, p);
}

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
  if (what.empty()) return text;
  for (std::size_t p = text.find(what); p != std::string::npos;
       p = text.find(what, p + with.size()))
    text.replace(p, what.size(), with);
  return text;
}

std::string GetLongPath(plat::IFileSystem& files, const std::string& Path) {
  const std::string work = Path + "\\";
  std::string result;
  // From the fourth character on, so the drive's own backslash is skipped.
  for (std::size_t p = work.find('\\', 3); p != std::string::npos; p = work.find('\\', p + 1)) {
    const auto found = files.FindFirst(work.substr(0, p));
    if (!found) return {};
    result += "\\" + found->name;
  }
  // Taken from Work, so an empty path gives a lone backslash.
  return work.substr(0, 2) + result;
}

bool FileExists(plat::IFileSystem& files, const std::string& Path) {
  if (Path.empty()) return false;
  std::optional<plat::FoundEntry> found;
  try {
    found = files.FindFirst(Path);
  } catch (...) {
    return false;
  }
  if (!found || (found->attributes & plat::fattr::kDirectory)) return false;
  // The lookup answers with the long name: a short alias or a wildcard does not count.
  const std::string& name = found->name;
  return Path.size() >= name.size() &&
         UpperAnsi(Path.substr(Path.size() - name.size())) == UpperAnsi(name);
}

namespace {
// The quicksort over (upper-case key, item) pairs: each name is folded once, not at
// every comparison; the steps and so the order are those of comparing folded names.
// `items` holds Items[base..]: the indices, and so the midpoints, are Items' own.
using Folded = std::vector<std::pair<std::string, std::string>>;
void SortFolded(Folded& items, std::int32_t base, std::int32_t Low, std::int32_t High) {
  if (Low >= High) return;
  const auto at = [&](std::int32_t k) -> auto& {
    return items[static_cast<std::size_t>(k - base)];
  };
  std::int32_t i = Low, j = High;
  // Midpoint rounded half to even.
  const std::string pivot =
      at(static_cast<std::int32_t>(std::nearbyint((static_cast<double>(Low) + High) / 2.0))).first;
  while (i <= j) {
    while (i < High && at(i).first < pivot) ++i;
    while (j > Low && pivot < at(j).first) --j;
    if (i > j) break;
    std::swap(at(i), at(j));
    ++i;
    --j;
  }
  if (Low < j) SortFolded(items, base, Low, j);
  if (i < High) SortFolded(items, base, i, High);
}
}  // namespace

void SortStrings(std::vector<std::string>& Items, std::int32_t Low, std::int32_t High) {
  if (Low >= High) return;
  if (Low < 0 || static_cast<std::size_t>(High) >= Items.size())
    throw RuntimeError(err::SubscriptOutOfRange, "mdlTools", "Subscript out of range");
  Folded folded;
  folded.reserve(static_cast<std::size_t>(High - Low + 1));
  for (std::int32_t k = Low; k <= High; ++k)
    folded.emplace_back(UpperAnsi(Items[k]), std::move(Items[k]));
  SortFolded(folded, Low, Low, High);
  for (std::int32_t k = Low; k <= High; ++k) Items[k] = std::move(folded[k - Low].second);
}
