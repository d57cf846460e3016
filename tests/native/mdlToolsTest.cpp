// FileExists on a table of lookup answers;
// what the real lookup answers (short names, wildcards) is checked under Wine.
#include <gtest/gtest.h>

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
