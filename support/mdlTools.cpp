#include "support/mdlTools.h"

#include <cctype>
#include <cmath>

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

namespace {
std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

void SortStrings(std::vector<std::string>& Items, std::int32_t Low, std::int32_t High) {
  if (Low >= High) return;
  std::int32_t i = Low, j = High;
  // Midpoint rounded half to even.
  const std::string pivot =
      Upper(Items[static_cast<std::size_t>(std::nearbyint((static_cast<double>(Low) + High) / 2.0))]);
  while (i <= j) {
    while (i < High && Upper(Items[i]) < pivot) ++i;
    while (j > Low && pivot < Upper(Items[j])) --j;
    if (i > j) break;
    std::swap(Items[i], Items[j]);
    ++i;
    --j;
  }
  if (Low < j) SortStrings(Items, Low, j);
  if (i < High) SortStrings(Items, i, High);
}
