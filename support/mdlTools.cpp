#include "support/mdlTools.h"

#include <cmath>
#include <optional>

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
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + with.size()))
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
  return Path.size() >= name.size() && UpperAnsi(Path.substr(Path.size() - name.size())) == UpperAnsi(name);
}

void SortStrings(std::vector<std::string>& Items, std::int32_t Low, std::int32_t High) {
  if (Low >= High) return;
  if (Low < 0 || static_cast<std::size_t>(High) >= Items.size())
    throw RuntimeError(err::SubscriptOutOfRange, "mdlTools", "Subscript out of range");
  std::int32_t i = Low, j = High;
  // Midpoint rounded half to even.
  const std::string pivot =
      UpperAnsi(Items[static_cast<std::size_t>(std::nearbyint((static_cast<double>(Low) + High) / 2.0))]);
  while (i <= j) {
    while (i < High && UpperAnsi(Items[i]) < pivot) ++i;
    while (j > Low && pivot < UpperAnsi(Items[j])) --j;
    if (i > j) break;
    std::swap(Items[i], Items[j]);
    ++i;
    --j;
  }
  if (Low < j) SortStrings(Items, Low, j);
  if (i < High) SortStrings(Items, i, High);
}
