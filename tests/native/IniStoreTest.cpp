// The INI engine's file handling: how often it reads and writes, write batches, and
// files it must not overwrite.
#include <gtest/gtest.h>

#include "support/IniStore.h"
#include "support/cInifile.h"
#include "tests/fakes/FakeServices.h"

using namespace std::string_literals;

namespace {
const char kIni[] = "C:\\Gleisora\\Gleisora.ini";

struct IniStoreTest : ::testing::Test {
  FakePlatform fp;
  cInifile ini{fp.platform};
  void SetUp() override {
    ini.Path(kIni);
    ini.Section("S");
  }
  std::string Read(const std::string& key) {
    ini.Key(key);
    return ini.Value();
  }
  void Write(const std::string& key, const std::string& value) {
    ini.Key(key);
    ini.Value(value);
  }
};

TEST_F(IniStoreTest, ManyReadsReadTheFileOnceUntilItChanges) {
  fp.files.AddFile(kIni, "[S]\r\na=1\r\n");
  for (int i = 0; i < 100; ++i) ASSERT_EQ("1", Read("a"));
  EXPECT_EQ(1, fp.files.reads);
  fp.files.AddFile(kIni, "[S]\r\na=2\r\n");  // an editor saves the file
  EXPECT_EQ("2", Read("a"));
  EXPECT_EQ(2, fp.files.reads);
  Write("b", "3");  // writing does not read the file again
  EXPECT_EQ("3", Read("b"));
  EXPECT_EQ(2, fp.files.reads);
  EXPECT_EQ(1, fp.files.writes);
}

TEST_F(IniStoreTest, ABatchWritesEachFileOnceAndReadsSeeItsWrites) {
  fp.files.AddFile(kIni, "[S]\r\nold=1\r\n");
  const std::string other = "C:\\Gleisora\\Other.ini";
  {
    IniWriteBatch batch(fp.platform);
    for (int i = 0; i < 1000; ++i) Write("k" + std::to_string(i), std::to_string(i));
    {
      IniWriteBatch inner(fp.platform);  // joins the outer batch
      ini.Key("old");
      ini.DeleteKey();
    }
    cInifile second(fp.platform);
    second.Path(other);
    second.Section("X");
    second.Key("y");
    second.Value(std::string("z"));
    EXPECT_EQ(0, fp.files.writes);
    EXPECT_EQ("999", Read("k999"));
    EXPECT_EQ("", Read("old"));
    EXPECT_EQ("[S]\r\nold=1\r\n", fp.files.Content(kIni));
  }
  EXPECT_EQ(2, fp.files.writes);
  std::string expected = "[S]\r\n";
  for (int i = 0; i < 1000; ++i) expected += "k" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  EXPECT_EQ(expected, fp.files.Content(kIni));
  EXPECT_EQ("[X]\r\ny=z\r\n", fp.files.Content(other));
}

TEST_F(IniStoreTest, EmptyingAndRefillingASectionInABatchGivesTheSameFileAsOneByOne) {
  // The save pattern: every listed key deleted, then new keys written in another order.
  std::string start = "[EEP_1]\r\nSaved=1\r\n[EEP_1\\Settings]\r\n";
  for (int i = 0; i < 600; ++i) start += "v" + std::to_string(i) + "=REG_SZ:" + std::to_string(i) + "\r\n";
  start += "[EEP_2]\r\nRegType=DEFAULT\r\n";
  auto run = [&](bool batched) {
    FakePlatform p;
    p.files.AddFile(kIni, start);
    cInifile f(p.platform);
    f.Path(kIni);
    f.Section("EEP_1\\Settings");
    {
      std::optional<IniWriteBatch> batch;
      if (batched) batch.emplace(p.platform);
      std::vector<std::string> keys;
      std::int32_t n = 0;
      f.EnumerateCurrentSection(keys, n);
      for (const auto& k : keys) {
        f.Key(k);
        f.DeleteKey();
      }
      for (int i = 1999; i >= 0; i -= 2) {
        f.Key("w" + std::to_string(i));
        f.Value(std::string("REG_DWORD:") + std::to_string(i));
      }
    }
    return std::make_pair(p.files.Content(kIni), p.files.writes);
  };
  const auto oneByOne = run(false);
  const auto batched = run(true);
  EXPECT_EQ(oneByOne.first, batched.first);
  EXPECT_EQ(1, batched.second);
  EXPECT_EQ(1600, oneByOne.second);
  EXPECT_NE(std::string::npos, batched.first.find("w1=REG_DWORD:1\r\n[EEP_2]\r\nRegType=DEFAULT\r\n"));
}

TEST_F(IniStoreTest, AFailedBatchKeepsTheOldFileAndForgetsItsWrites) {
  fp.files.AddFile(kIni, "[S]\r\na=1\r\n");
  {
    IniWriteBatch batch(fp.platform);
    Write("a", "2");
    fp.files.failWrites = true;
    EXPECT_FALSE(batch.Flush());
  }
  fp.files.failWrites = false;
  EXPECT_EQ("[S]\r\na=1\r\n", fp.files.Content(kIni));
  EXPECT_EQ("1", Read("a"));
}

TEST_F(IniStoreTest, AnEditFromOutsideDuringABatchIsKept) {
  fp.files.AddFile(kIni, "[S]\r\na=1\r\n");
  {
    IniWriteBatch batch(fp.platform);
    Write("b", "2");
    ini.Key("a");
    ini.DeleteKey();
    fp.files.AddFile(kIni, "[S]\r\na=1\r\n[User]\r\nnote=mine\r\n");
  }
  EXPECT_EQ("[S]\r\nb=2\r\n[User]\r\nnote=mine\r\n", fp.files.Content(kIni));
}

// A file system whose files exist but cannot be read (locked, no access).
struct UnreadableFiles : FakeFileSystem {
  std::optional<std::string> ReadAll(const std::string&) override { return std::nullopt; }
};

TEST(IniStoreFiles, AFileThatCannotBeReadIsNeverOverwritten) {
  UnreadableFiles files;
  files.AddFile("C:\\x.ini", "[S]\r\na=precious\r\n");
  EXPECT_EQ("D", ini::GetString(files, "S"s, "a"s, "D"s, 255, "C:\\x.ini"));
  EXPECT_EQ(0, ini::WriteString(files, "S"s, "b"s, "1"s, "C:\\x.ini"));
  EXPECT_EQ("[S]\r\na=precious\r\n", files.Content("C:\\x.ini"));
}

TEST_F(IniStoreTest, BadFilesGiveDefaultsAndKeepTheirBytes) {
  ini.Default("D");
  struct Case {
    const char* name;
    std::string bytes;
    bool writable;
  } cases[] = {
      {"binary", "\x00\x01\xff\xfe\x00[\x00]\x00=\x7f"s + std::string(5000, '\0'), true},
      {"one very long line", std::string(3000000, 'x'), true},
      {"no sections", "just=text\r\nand more\r\n", true},
      {"UTF-16 that would not come back the same", "\xff\xfe\x00\xd8[\x00S\x00]\x00"s, false},
      {"UTF-16 of odd length", "\xff\xfe[\x00S\x00]"s, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fp.files.AddFile(kIni, c.bytes);
    EXPECT_EQ("D", Read("a"));
    Write("a", "1");
    EXPECT_EQ(c.writable ? 1 : 0, ini.LastReturnCode());
    const std::string now = fp.files.Content(kIni);
    EXPECT_EQ(c.bytes, now.substr(0, c.bytes.size()));
    if (c.writable) {
      EXPECT_EQ("1", Read("a"));
    }
  }
}

}  // namespace
