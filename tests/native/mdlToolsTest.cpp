// Path and string helpers. GetLongPath and FileExists run on a table of lookup answers;
// what the real lookup answers (short names, wildcards) is checked under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <map>

#include "support/Errors.h"
#include "support/mdlTools.h"
#include "tests/fakes/FakeFileSystem.h"

namespace {
// Answers FindFirst from a table: pattern -> entry.
struct LookupTable : FakeFileSystem {
  std::map<std::string, plat::FoundEntry> answers;
  std::optional<plat::FoundEntry> FindFirst(const std::string& pattern) override {
    auto it = answers.find(pattern);
    return it == answers.end() ? std::nullopt : std::optional(it->second);
  }
};
}  // namespace

TEST(mdlTools, FileExistsForFilesFoundUnderTheirOwnName) {
  LookupTable fs;
  fs.answers = {{"C:\\x\\EEP.EXE", {"eep.exe", plat::fattr::kHidden}},
                {"C:\\x\\\xf6l.dat", {"\xd6L.dat", 0}},
                {"C:\\x\\RESOUR~1.TXT", {"Resourcen.txt", 0}},
                {"C:\\x\\LONG~1.TXT", {"Long.txt", 0}},
                {"C:\\x\\eep.*", {"eep.exe", 0}},
                {"C:\\x\\Dir", {"Dir", plat::fattr::kDirectory}},
                {"eep.exe", {"eep.exe", 0}}};
  for (const char* yes : {"C:\\x\\EEP.EXE", "C:\\x\\\xf6l.dat", "eep.exe"}) EXPECT_TRUE(FileExists(fs, yes)) << yes;
  for (const char* no : {"", "C:\\x\\RESOUR~1.TXT", "C:\\x\\LONG~1.TXT", "C:\\x\\eep.*", "C:\\x\\Dir", "C:\\x\\no"})
    EXPECT_FALSE(FileExists(fs, no)) << no;
  struct Throwing : FakeFileSystem {
    std::optional<plat::FoundEntry> FindFirst(const std::string&) override { throw std::bad_alloc(); }
  } throwing;
  EXPECT_FALSE(FileExists(throwing, "C:\\x"));
}

TEST(mdlTools, SortStringsIgnoresCaseAndKeepsOutsideTheBounds) {
  using V = std::vector<std::string>;
  const std::tuple<V, int, int, V> cases[] = {
      {{"x", "b", "A", "c"}, 1, 3, {"x", "A", "b", "c"}},
      {{"z", "y", "b", "a", "w"}, 2, 3, {"z", "y", "a", "b", "w"}},
      {{"b", "a"}, 1, 0, {"b", "a"}},
      {{"b", "AD", "aC", "Ab"}, 0, 3, {"Ab", "aC", "AD", "b"}},
      // Ordinal on the upper-cased text: "_" after the letters, umlauts after "Z".
      {{"_", "Z", "a", "1"}, 0, 3, {"1", "a", "Z", "_"}},
      {{"\xd6l", "\xe4rger", "Zug"}, 0, 2, {"Zug", "\xe4rger", "\xd6l"}}};
  for (auto [items, low, high, sorted] : cases) {
    SortStrings(items, low, high);
    EXPECT_EQ(sorted, items);
  }
  std::mt19937 rng(99);
  for (int round = 0; round < 200; ++round) {
    V items(1 + round % 37);
    for (auto& s : items)
      for (int k = 0, len = 1 + static_cast<int>(rng() % 4); k < len; ++k) s.push_back("aAbBcC_"[rng() % 7]);
    V expected = items;
    std::stable_sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return UpperAnsi(a) < UpperAnsi(b); });
    SortStrings(items, 0, static_cast<int>(items.size()) - 1);
    ASSERT_TRUE(std::is_permutation(items.begin(), items.end(), expected.begin())) << round;
    for (std::size_t i = 0; i < items.size(); ++i) ASSERT_EQ(UpperAnsi(expected[i]), UpperAnsi(items[i])) << round;
  }
  V items{"b", "a"};
  for (auto [low, high] : {std::pair{0, 2}, std::pair{-1, 1}}) {
    try {
      SortStrings(items, low, high);
      ADD_FAILURE() << low << ".." << high;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(err::SubscriptOutOfRange, e.Number);
    }
  }
  SortStrings(items, 5, 5);  // nothing to sort, so nothing out of range
  EXPECT_EQ((V{"b", "a"}), items);
}

TEST(mdlTools, SplittingPathsAndReplacingText) {
  const std::tuple<const char*, const char*, const char*> paths[] = {
      {"eep.exe", "", ""}, {"C:\\EEP6\\eep.exe", "eep.exe", "C:\\EEP6"}, {"C:\\EEP6\\", "", "C:\\EEP6"},
      {"", "", ""}, {"\\b", "b", ""}};
  for (const auto& [path, name, dir] : paths) {
    EXPECT_EQ(name, GetFileName(path)) << path;
    EXPECT_EQ(dir, GetDirectory(path)) << path;
  }
  EXPECT_EQ("a\r\nb\r\nc", ReplaceAll("a\\nb\\nc", "\\n", "\r\n"));
  EXPECT_EQ("xaax", ReplaceAll("xax", "a", "aa"));  // what it inserted is not scanned again
  EXPECT_EQ("abc", ReplaceAll("abc", "", "z"));
}

TEST(mdlTools, GetLongPathAsksForEachPartAfterTheDrive) {
  LookupTable fs;
  fs.answers = {{"c:\\PROGRA~1", {"Programme", plat::fattr::kDirectory}},
                {"c:\\PROGRA~1\\EEP6", {"EEP6", plat::fattr::kDirectory}},
                {"c:\\PROGRA~1\\EEP6\\EEP.EXE", {"eep.exe", plat::fattr::kArchive}}};
  const std::pair<std::string, std::string> cases[] = {
      {"c:\\PROGRA~1\\EEP6\\EEP.EXE", "c:\\Programme\\EEP6\\eep.exe"}, {"c:\\PROGRA~1", "c:\\Programme"},
      {"c:\\PROGRA~1\\Fehlt", ""}, {"c:\\PROGRA~1\\EEP6\\", ""}, {"", "\\"}, {"C:", "C:"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(out, GetLongPath(fs, in)) << in;
}
