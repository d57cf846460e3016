// Path and string helpers. GetLongPath and FileExists look names up in a file tree whose
// lookups resolve short aliases and wildcards as the real one does; the real lookup
// itself is checked under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>
#include <random>

#include "support/Errors.h"
#include "support/mdlTools.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/Faults.h"

namespace {
// The tree, and lookups of other spellings sent on to the entry they name.
struct Tree {
  FakeFileSystem files;
  std::map<std::string, std::string> aliases;
  fault::Files lookup{files, [this](fault::Call& c) {
                        if (aliases.count(c.path)) c.path = aliases[c.path];
                        return fault::Act::Pass;
                      }};
};
}  // namespace

TEST(mdlTools, FileExistsForFilesFoundUnderTheirOwnName) {
  Tree t;
  t.files.AddFile("C:\\x\\eep.exe", "", plat::fattr::kHidden);
  t.files.AddFile("C:\\x\\\xd6L.dat");
  t.files.AddFile("C:\\x\\Resourcen.txt");
  t.files.AddDir("C:\\x\\Dir");
  t.aliases = {{"C:\\x\\RESOUR~1.TXT", "C:\\x\\Resourcen.txt"},
               {"C:\\x\\eep.*", "C:\\x\\eep.exe"},
               {"eep.exe", "C:\\x\\eep.exe"}};
  for (const char* yes : {"C:\\x\\EEP.EXE", "C:\\x\\\xf6l.dat", "eep.exe"}) EXPECT_TRUE(FileExists(t.lookup, yes)) << yes;
  for (const char* no : {"", "C:\\x\\RESOUR~1.TXT", "C:\\x\\eep.*", "C:\\x\\Dir", "C:\\x\\no"})
    EXPECT_FALSE(FileExists(t.lookup, no)) << no;
  fault::Files throwing(t.files, [](fault::Call&) -> fault::Act { throw std::bad_alloc(); });
  EXPECT_FALSE(FileExists(throwing, "C:\\x\\eep.exe"));
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
  Tree t;
  t.files.AddFile("C:\\Programme\\EEP6\\eep.exe");
  t.aliases = {{"c:\\PROGRA~1", "C:\\Programme"}, {"c:\\PROGRA~1\\EEP6", "C:\\Programme\\EEP6"},
               {"c:\\PROGRA~1\\EEP6\\EEP.EXE", "C:\\Programme\\EEP6\\eep.exe"}};
  const std::pair<std::string, std::string> cases[] = {
      {"c:\\PROGRA~1\\EEP6\\EEP.EXE", "c:\\Programme\\EEP6\\eep.exe"}, {"c:\\PROGRA~1", "c:\\Programme"},
      {"c:\\PROGRA~1\\Fehlt", ""}, {"c:\\PROGRA~1\\EEP6\\", ""}, {"", "\\"}, {"C:", "C:"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(out, GetLongPath(t.lookup, in)) << in;
}
