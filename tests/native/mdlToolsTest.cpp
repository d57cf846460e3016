#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/Errors.h"
#include "support/mdlTools.h"
#include "tests/fakes/FakeFileSystem.h"

using plat::fattr::kArchive;
using plat::fattr::kHidden;
using plat::fattr::kSystem;

TEST(mdlTools, FileNameAndDirectorySplitAtTheLastBackslash) {
  EXPECT_EQ("", GetFileName("eep.exe"));
  EXPECT_EQ("", GetDirectory("eep.exe"));
  EXPECT_EQ("eep.exe", GetFileName("C:\\Programme\\EEP6\\eep.exe"));
  EXPECT_EQ("C:\\Programme\\EEP6", GetDirectory("C:\\Programme\\EEP6\\eep.exe"));
  EXPECT_EQ("C:", GetDirectory("C:\\eep.exe"));
  EXPECT_EQ("", GetFileName("C:\\EEP6\\"));
  EXPECT_EQ("C:\\EEP6", GetDirectory("C:\\EEP6\\"));
  EXPECT_EQ("", GetFileName(""));
  EXPECT_EQ("", GetDirectory(""));
  EXPECT_EQ("b", GetFileName("\\b"));
}

TEST(mdlTools, ReplaceAllDoesNotRescanWhatItInserted) {
  EXPECT_EQ("a\r\nb\r\nc", ReplaceAll("a\\nb\\nc", "\\n", "\r\n"));
  EXPECT_EQ("xaax", ReplaceAll("xax", "a", "aa"));
  EXPECT_EQ("abc", ReplaceAll("abc", "", "z"));
}

class GetLongPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs.AddDir("C:\\Programme\\EEP6");
    fs.AddFile("C:\\Programme\\EEP6\\eep.exe");
    fs.AddShortName("C:\\PROGRA~1", "C:\\Programme");
    fs.AddFile("C:\\Programme\\Versteckt\\x.txt");
    fs.AddFile("C:\\Programme\\Geheim.dat", "", kHidden | kSystem);
    fs.AddDrive('D');
  }
  FakeFileSystem fs;
};

TEST_F(GetLongPathTest, StoredNamesOrEmptyForMissingParts) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\PROGRA~1\\EEP6", "C:\\Programme\\EEP6"},
      {"C:\\programme\\eep6", "C:\\Programme\\EEP6"},
      {"C:\\PROGRA~1\\EEP6\\EEP.EXE", "C:\\Programme\\EEP6\\eep.exe"},
      {"C:\\Programme\\geheim.dat", "C:\\Programme\\Geheim.dat"},
      {"c:\\programme", "c:\\Programme"},  // the drive as written
      {"C:\\Programme\\EEP7", ""},         {"C:\\Fehlt\\EEP6", ""},
      {"D:\\Fehlt", ""},                    {"Q:\\Programme", ""},
      {"C:\\Programme\\EEP6\\", ""},       // an empty last part
      {"", "\\"},                          {"C:", "C:"},
      {"D:", "D:"},
      // Wildcards take the first match, and only in the last part; a folder below
      // the root answers "*" with its own "." first.
      {"C:\\Programme\\*", "C:\\Programme\\."},
      {"C:\\Programme\\EEP?", "C:\\Programme\\EEP6"},
      {"C:\\Prog*\\EEP6", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(out, GetLongPath(fs, in)) << in;
}

TEST_F(GetLongPathTest, PartsTooLongForTheFileFunctionsAreMissing) {
  const std::string deep = "C:\\Programme\\" + std::string(200, 'd') + "\\" + std::string(50, 'e');
  fs.AddDir(deep);
  ASSERT_EQ(264u, deep.size());
  // Every prefix up to the last part is short enough; the whole path is not.
  EXPECT_EQ("", GetLongPath(fs, deep));
  EXPECT_EQ("C:\\Programme\\" + std::string(200, 'd'), GetLongPath(fs, GetDirectory(deep)));
}

TEST(mdlTools, FileExistsFindsFilesOnlyUnderTheirOwnName) {
  FakeFileSystem fs;
  fs.AddFile("C:\\EEP6\\eep.exe");
  fs.AddFile("C:\\EEP6\\Versteckt.ini", "", kHidden);
  fs.AddFile("C:\\EEP6\\System.dll", "", kSystem | kArchive);
  fs.AddFile("C:\\EEP6\\Ölwagen.dat");
  fs.AddFile("C:\\EEP6\\Resourcen.txt");
  fs.AddShortName("C:\\EEP6\\RESOUR~1.TXT", "C:\\EEP6\\Resourcen.txt");
  fs.AddShortName("C:\\PROGRA~1", "C:\\EEP6");

  EXPECT_TRUE(FileExists(fs, "C:\\EEP6\\eep.exe"));
  EXPECT_TRUE(FileExists(fs, "c:\\eep6\\EEP.EXE"));
  EXPECT_TRUE(FileExists(fs, "C:\\EEP6\\versteckt.ini"));
  EXPECT_TRUE(FileExists(fs, "C:\\EEP6\\System.dll"));
  EXPECT_TRUE(FileExists(fs, "C:\\EEP6\\ölwagen.DAT"));  // umlauts fold too
  EXPECT_TRUE(FileExists(fs, "C:\\PROGRA~1\\eep.exe"));  // only the last part is compared

  EXPECT_FALSE(FileExists(fs, ""));
  EXPECT_FALSE(FileExists(fs, "C:\\EEP6"));
  EXPECT_FALSE(FileExists(fs, "C:\\EEP6\\"));
  EXPECT_FALSE(FileExists(fs, "C:\\EEP6\\fehlt.exe"));
  EXPECT_FALSE(FileExists(fs, "Q:\\EEP6\\eep.exe"));
  EXPECT_FALSE(FileExists(fs, "C:\\EEP6\\RESOUR~1.TXT"));  // a short alias
  fs.AddFile("C:\\Ein sehr langer Dateiname.txt");
  fs.AddShortName("C:\\EINSEH~1.TXT", "C:\\Ein sehr langer Dateiname.txt");
  EXPECT_FALSE(FileExists(fs, "C:\\EINSEH~1.TXT"));  // the name is longer than the path
  EXPECT_FALSE(FileExists(fs, "C:\\EEP6\\eep.*"));
  EXPECT_FALSE(FileExists(fs, "C:\\EEP6\\*"));
  EXPECT_FALSE(FileExists(fs, "C:\\" + std::string(300, 'x')));
}

namespace {
std::vector<std::string> Sorted(std::vector<std::string> items, int low, int high) {
  SortStrings(items, low, high);
  return items;
}
std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

TEST(mdlTools, SortStringsIgnoresCaseAndKeepsOutsideTheBounds) {
  using V = std::vector<std::string>;
  EXPECT_EQ((V{"x", "A", "b", "c"}), Sorted({"x", "b", "A", "c"}, 1, 3));
  EXPECT_EQ((V{"z", "y", "a", "b", "w"}), Sorted({"z", "y", "b", "a", "w"}, 2, 3));
  EXPECT_EQ((V{"b", "a"}), Sorted({"b", "a"}, 1, 1));
  EXPECT_EQ((V{"b", "a"}), Sorted({"b", "a"}, 1, 0));
  EXPECT_EQ((V{"Ab", "aC", "AD", "b"}), Sorted({"b", "AD", "aC", "Ab"}, 0, 3));
  // Ordinal on the upper-cased text: "_" (0x5F) sorts after the letters, "1" before.
  EXPECT_EQ((V{"1", "a", "Z", "_"}), Sorted({"_", "Z", "a", "1"}, 0, 3));
  // Umlauts sort by their code, after every ASCII letter.
  EXPECT_EQ((V{"Zug", "ärger", "Öl"}), Sorted({"Öl", "ärger", "Zug"}, 0, 2));
}

TEST(mdlTools, SortStringsOrdersLargeAndAwkwardInputs) {
  std::mt19937 rng(99);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::string> items;
    const int n = 1 + round % 37;
    for (int i = 0; i < n; ++i) {
      std::string s;
      for (int k = 0, len = 1 + static_cast<int>(rng() % 4); k < len; ++k)
        s.push_back("aAbBcC_"[rng() % 7]);
      items.push_back(s);
    }
    std::vector<std::string> before = items;
    SortStrings(items, 0, n - 1);
    ASSERT_TRUE(std::is_permutation(items.begin(), items.end(), before.begin())) << round;
    for (int i = 1; i < n; ++i) ASSERT_LE(Upper(items[i - 1]), Upper(items[i])) << round;
  }
}

TEST(mdlTools, SortStringsRefusesIndicesOutsideTheArray) {
  std::vector<std::string> items{"b", "a"};
  try {
    SortStrings(items, 0, 2);
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(9, e.Number);
  }
  EXPECT_THROW(SortStrings(items, -1, 1), RuntimeError);
  EXPECT_EQ((std::vector<std::string>{"b", "a"}), items);
  EXPECT_NO_THROW(SortStrings(items, 5, 2));  // nothing to sort
}
