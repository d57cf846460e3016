// The INI store's file handling: how often it reads and writes, write batches, and
// files it must not overwrite.
#include <gtest/gtest.h>

#include "support/IniStore.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/Faults.h"

using namespace std::string_literals;

namespace {
const char kIni[] = "C:\\Gleisora\\Gleisora.ini";

struct IniStoreTest : ::testing::Test {
  FakeFileSystem disk;
  fault::Files files{disk};
  ini::IniStore store{files};
  std::string Read(const std::string& key, const std::string& file = kIni) {
    return store.GetString("S"s, key, "D"s, 255, file);
  }
  std::int32_t Write(const std::string& key, const ini::Text& value, const std::string& file = kIni) {
    return store.WriteString("S"s, key, value, file);
  }
};

TEST_F(IniStoreTest, ReadsReadTheFileOnceUntilItChangesAndPathsIgnoreCase) {
  disk.AddFile(kIni, "[S]\r\na=1\r\n");
  for (const char* path : {kIni, "c:\\gleisora\\GLEISORA.INI"}) EXPECT_EQ("1", Read("a", path));
  EXPECT_EQ(1, files.calls["ReadAll"]);
  disk.AddFile(kIni, "[S]\r\na=2\r\n");  // an editor saves the file
  EXPECT_EQ("2", Read("a"));
  EXPECT_EQ(1, Write("b", "3"s));  // writing does not read the file again
  EXPECT_EQ("3", Read("b"));
  EXPECT_EQ(2, files.calls["ReadAll"]);
  EXPECT_EQ(1, files.calls["WriteAllAtomic"]);
}

TEST_F(IniStoreTest, ABatchWritesEachFileOnceWhenTheOutermostEnds) {
  disk.AddFile(kIni, "[S]\r\nold=1\r\n");
  const std::string other = "C:\\Gleisora\\Other.ini";
  store.BeginBatch();
  for (int i = 0; i < 100; ++i) Write("k" + std::to_string(i), std::to_string(i));
  store.BeginBatch();
  Write("old", std::nullopt);
  Write("y", "z"s, other);
  disk.AddFile(kIni, disk.Content(kIni) + "[User]\r\nnote=mine\r\n");  // an edit from outside is kept
  EXPECT_TRUE(store.EndBatch());
  EXPECT_EQ(0, files.calls["WriteAllAtomic"]);
  EXPECT_EQ("99", Read("k99"));
  EXPECT_EQ("D", Read("old"));
  EXPECT_TRUE(store.EndBatch());
  EXPECT_EQ(2, files.calls["WriteAllAtomic"]);
  EXPECT_EQ("[S]\r\nk0=0\r\n", disk.Content(kIni).substr(0, 11));
  EXPECT_EQ("k99=99\r\n[User]\r\nnote=mine\r\n", disk.Content(kIni).substr(disk.Content(kIni).size() - 27));
  EXPECT_EQ("[S]\r\ny=z\r\n", disk.Content(other));
  EXPECT_TRUE(store.EndBatch());  // one too many: nothing to do
}

TEST_F(IniStoreTest, AFailedWriteKeepsTheOldFileAndForgetsTheChange) {
  disk.AddFile(kIni, "[S]\r\na=1\r\n");
  files.rule = fault::Nth("WriteAllAtomic", 0);
  EXPECT_EQ(0, Write("a", "2"s));
  EXPECT_EQ("1", Read("a"));
  store.BeginBatch();
  EXPECT_EQ(1, Write("a", "3"s));  // inside a batch the write is only pending
  EXPECT_FALSE(store.FlushBatch());
  EXPECT_TRUE(store.EndBatch());
  files.rule = {};
  EXPECT_EQ("[S]\r\na=1\r\n", disk.Content(kIni));
  EXPECT_EQ("1", Read("a"));
}

// A section is parsed when first used: the others go back to the file as they were.
TEST_F(IniStoreTest, SectionsNotUsedAreWrittenBackAsTheyWere) {
  disk.AddFile(kIni, "; top\r\n[A]\r\nx = 1 \r\n[no header=7\r\n  [B]\rb=2\n\n[C]\r\nc=3");
  EXPECT_EQ("2", store.GetString("B"s, "b"s, "D"s, 255, kIni));
  EXPECT_EQ(1, store.WriteString("C"s, "d"s, "4"s, kIni));
  EXPECT_EQ(1, store.WriteString("E"s, "e"s, "5"s, kIni));
  EXPECT_EQ("; top\r\n[A]\r\nx = 1 \r\n[no header=7\r\n  [B]\rb=2\n\n[C]\r\nc=3\r\nd=4\r\n[E]\r\ne=5\r\n",
            disk.Content(kIni));
  EXPECT_EQ("1", store.GetString("A"s, "x"s, "D"s, 255, kIni));
  EXPECT_EQ("x\0[no header\0"s, store.GetString("A"s, std::nullopt, "D"s, 255, kIni));
}

TEST_F(IniStoreTest, FilesThatCannotBeReadOrWrittenBackAsTheyWereAreNeverOverwritten) {
  disk.AddFile(kIni, "[S]\r\na=precious\r\n");
  files.rule = fault::Nth("ReadAll", 0);  // there, but locked or without access
  EXPECT_EQ("D", Read("a"));
  EXPECT_EQ(0, Write("b", "1"s));
  EXPECT_EQ("[S]\r\na=precious\r\n", disk.Content(kIni));
  files.rule = {};
  for (const std::string& bad : {"\xff\xfe\x00\xd8[\x00S\x00]\x00"s, "\xff\xfe\xff\xdf[\x00"s, "\xff\xfe[\x00S\x00]"s}) {
    const std::string path = "C:\\Gleisora\\" + std::to_string(bad.size()) + ".ini";
    disk.AddFile(path, bad);
    EXPECT_EQ(0, Write("a", "1"s, path));
    EXPECT_EQ(bad, disk.Content(path));
  }
}

}  // namespace
