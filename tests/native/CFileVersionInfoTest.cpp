// The version reader: number formats, flag and type texts, string tables and fallback.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/CFileVersionInfo.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/VersionBlock.h"

namespace {

const char* const kExe = "C:\\EEP6\\eep.exe";

VersionSpec Full() {
  VersionSpec s;
  s.fileVersion[0] = 6, s.fileVersion[1] = 0, s.fileVersion[2] = 0, s.fileVersion[3] = 8169;
  s.productVersion[0] = 6, s.productVersion[1] = 1, s.productVersion[2] = 2, s.productVersion[3] = 3;
  s.strings = {{"Comments", "Bemerkung"},           {"CompanyName", "Trend"},
               {"FileDescription", "Eisenbahn"},    {"FileVersion", "6.0.0.8169"},
               {"InternalName", "EEP"},             {"LegalCopyright", "(c) Trend"},
               {"LegalTrademarks", "TM"},           {"OriginalFilename", "eep.exe"},
               {"ProductName", "EEP 6"},            {"ProductVersion", "6, 0, 0, 3"},
               {"PrivateBuild", "privat"},          {"SpecialBuild", "spezial"},
               {"LegalTrademarks1", "TM1"},         {"LegalTrademarks2", "TM2"}};
  return s;
}

struct Reader {
  FakePlatform fake;
  CFileVersionInfo info{fake.platform};
  // Gives the file `path` this version resource and reads it.
  CFileVersionInfo& Read(const VersionSpec& vi, const std::string& path = kExe) {
    fake.version.SetVersion(path, vi);
    info.FullPathName(path);
    return info;
  }
};

}  // namespace

TEST(CFileVersionInfo, VersionNumbersAsText) {
  // Halves are signed 16-bit numbers.
  const std::pair<std::array<std::uint16_t, 4>, const char*> cases[] = {
      {{1, 2, 3, 4}, "1.02.0304"},         {{1, 2, 0, 4}, "1.02.0004"},
      {{16, 1, 12, 345}, "16.01.12345"},   {{1, 10, 1234, 56}, "1.10.123456"},
      {{0xFFFF, 0, 0, 0}, "-1.00.0000"},   {{1, 0xFFFF, 0xFFFF, 0xFFFF}, "1.-01.-0001"},
      {{1, 2, 0x8000, 5}, "1.02.0005"},    {{1, 2, 0, 0x8000}, "1.02.-32768"}};
  for (const auto& [v, text] : cases) {
    VersionSpec s;
    for (int i = 0; i < 4; ++i) s.fileVersion[i] = v[i];
    EXPECT_EQ(text, Reader().Read(s).VerFile()) << text;
  }
  Reader r;
  VersionSpec s = Full();
  r.Read(s);
  EXPECT_EQ("6.00.8169", r.info.VerFile());
  EXPECT_EQ("6.01.0203", r.info.VerProduct());
  EXPECT_EQ("1.0", r.info.VerStructure());
  // The raw fields, for the program's own caption.
  EXPECT_EQ(0x00060000u, r.info.FileVersionMS());
  EXPECT_EQ(8169u, r.info.FileVersionLS());
}

TEST(CFileVersionInfo, FlagsAndOperatingSystem) {
  const std::pair<std::uint32_t, const char*> flags[] = {
      {0x03, "Debug PreRel"}, {0x02, "PreRel"}, {0, ""}, {0x40, ""},
      {0x3F, "Debug PreRel Patched Private Info Special"}, {0x64, "Patched Special"}};
  for (const auto& [bits, text] : flags) {
    VersionSpec s;
    s.fileFlags = bits;
    EXPECT_EQ(text, Reader().Read(s).FileFlags()) << std::hex << bits;
  }
  const std::pair<std::uint32_t, const char*> oses[] = {
      {0x00010001, "DOS-Win16"},     {0x00010004, "DOS-Win32"}, {0x00020002, "OS/2-16 PM-16"},
      {0x00030003, "OS/2-16 PM-32"}, {0x00040004, "NT-Win32"},  {0x00000004, "Unknown"},
      {0x00040000, "Unknown"}};
  for (const auto& [os, text] : oses) {
    VersionSpec s;
    s.fileOS = os;
    EXPECT_EQ(text, Reader().Read(s).FileOS()) << std::hex << os;
  }
}

TEST(CFileVersionInfo, TypeAndSubtypeOnlyWhereTheTableSaysSo) {
  // Read in turn by one object: a subtype outside the table keeps the previous text.
  const struct {
    std::uint32_t type, subtype;
    const char *typeText, *subtypeText;
  } cases[] = {{3, 9, "Driver", "Sound drv"},     {3, 12, "Driver", "Sound drv"},
               {4, 0, "Font", "Sound drv"},        {4, 3, "Font", "TrueType Font"},
               {1, 2, "Application", "TrueType Font"}, {3, 0, "Driver", "Unknown"},
               {3, 10, "Driver", "Comm drv"},      {3, 0xFFFFFFFF, "Driver", "Comm drv"},
               {0, 1, "Unknown", "Comm drv"},      {2, 1, "DLL", "Comm drv"},
               {5, 1, "VxD", "Comm drv"},          {6, 1, "Unknown", "Comm drv"},
               {7, 1, "Lib", "Comm drv"},          {8, 1, "Unknown", "Comm drv"}};
  Reader r;
  for (const auto& c : cases) {
    VersionSpec s;
    s.fileType = c.type;
    s.fileSubtype = c.subtype;
    r.Read(s);
    EXPECT_EQ(c.typeText, r.info.FileType()) << c.type << "/" << c.subtype;
    EXPECT_EQ(c.subtypeText, r.info.FileSubType()) << c.type << "/" << c.subtype;
  }
}

TEST(CFileVersionInfo, EveryStringEntryThroughItsPropertyAndByNumber) {
  Reader r;
  CFileVersionInfo& v = r.Read(Full());
  EXPECT_TRUE(v.Available());
  EXPECT_EQ("Trend|EEP 6|6, 0, 0, 3|Eisenbahn",
            v.CompanyName() + "|" + v.ProductName() + "|" + v.ProductVersion() + "|" + v.FileDescription());
  // Items 1 to 14 in the order of their numbers; each has its own value in Full().
  const char* const values[] = {"Bemerkung", "Trend", "Eisenbahn", "6.0.0.8169", "EEP", "(c) Trend",
                                "TM", "eep.exe", "EEP 6", "6, 0, 0, 3", "privat", "spezial", "TM1", "TM2"};
  EXPECT_EQ("German (Germany)", v.PredefinedValue(0));
  for (int i = 1; i < 15; ++i) EXPECT_EQ(values[i - 1], v.PredefinedValue(i)) << i;
  EXPECT_EQ("Company Name", v.PredefinedName(2));
  EXPECT_EQ("LegalTrademarks2", v.PredefinedName(14));
  for (int which : {-1, 15, -2147483647 - 1, 2147483647}) {
    EXPECT_EQ("", v.PredefinedName(which)) << which;
    EXPECT_EQ("", v.PredefinedValue(which)) << which;
  }
}

TEST(CFileVersionInfo, UsEnglishTableWhenTheFirstHasNoCompanyName) {
  VersionSpec s;
  s.language = 0x0407;
  s.codePage = 0x04B0;
  s.strings = {{"ProductName", "Deutsch"}, {"FileDescription", "Beschreibung"}};
  s.extraTables[{0x0409, 0x04B0}] = {{"CompanyName", "Maker"}, {"ProductName", "English"}};
  s.extraTables[{0x0409, 0x04E4}] = {{"CompanyName", "Wrong page"}};
  {
    Reader r;
    r.Read(s);
    EXPECT_EQ("Maker", r.info.CompanyName());
    EXPECT_EQ("English", r.info.ProductName());
    EXPECT_EQ("", r.info.FileDescription());  // only in the first table
    EXPECT_EQ("German (Germany)", r.info.Language());
  }
  // Neither table names a maker: the texts come from the first table.
  s.extraTables[{0x0409, 0x04B0}] = {{"ProductName", "English"}};
  {
    Reader r;
    r.Read(s);
    EXPECT_EQ("", r.info.CompanyName());
    EXPECT_EQ("Deutsch", r.info.ProductName());
    EXPECT_EQ("Beschreibung", r.info.FileDescription());
  }
  // A US-English table of another code page is not taken.
  s.extraTables.erase({0x0409, 0x04B0});
  {
    Reader r;
    r.Read(s);
    EXPECT_EQ("", r.info.CompanyName());
    EXPECT_EQ("Deutsch", r.info.ProductName());
  }
}

TEST(CFileVersionInfo, WhatEachKindOfFileLeavesInPlace) {
  Reader r;
  r.Read(Full());

  // No version information at all: only Available changes.
  r.fake.files.AddFile("C:\\EEP6\\plain.exe", "MZ");
  r.info.FullPathName("C:\\EEP6\\plain.exe");
  EXPECT_FALSE(r.info.Available());
  EXPECT_EQ("C:\\EEP6\\plain.exe", r.info.FullPathName());
  EXPECT_EQ("EEP 6", r.info.ProductName());
  EXPECT_EQ("6.00.8169", r.info.VerFile());
  EXPECT_EQ("German (Germany)", r.info.Language());

  // A missing file reads the same way.
  r.info.FullPathName("C:\\EEP6\\missing.exe");
  EXPECT_FALSE(r.info.Available());
  EXPECT_EQ("Trend", r.info.CompanyName());

  // No translation table: the fixed record is renewed, texts and language stay.
  VersionSpec noTable;
  noTable.fileVersion[0] = 2;
  noTable.fileType = 2;
  noTable.translation = false;
  noTable.strings = {{"CompanyName", "Other"}};
  r.Read(noTable, "C:\\EEP6\\lib.dll");
  EXPECT_TRUE(r.info.Available());
  EXPECT_EQ("2.00.0000", r.info.VerFile());
  EXPECT_EQ("DLL", r.info.FileType());
  EXPECT_EQ("Trend", r.info.CompanyName());
  EXPECT_EQ("German (Germany)", r.info.Language());

  // A file with a table overwrites every entry, missing ones with the empty text.
  VersionSpec few;
  few.language = 0x0409;
  few.strings = {{"CompanyName", "New"}};
  r.Read(few, "C:\\EEP6\\few.exe");
  EXPECT_EQ("New", r.info.CompanyName());
  EXPECT_EQ("English (United States)", r.info.Language());
  for (int i = 3; i < 15; ++i) EXPECT_EQ("", r.info.PredefinedValue(i)) << i;
  EXPECT_EQ("", r.info.Comments());
}

TEST(CFileVersionInfo, FullPathIsFormedAndKeptOnFailure) {
  Reader r;
  r.fake.files.AddDir("C:\\EEP6");
  ASSERT_TRUE(r.fake.files.SetCurrentDir("C:\\EEP6"));
  r.fake.version.SetVersion(kExe, Full());
  r.info.FullPathName("..\\EEP6\\.\\eep.exe");
  EXPECT_EQ(kExe, r.info.FullPathName());
  EXPECT_TRUE(r.info.Available());

  // A path that cannot be formed changes nothing and reads nothing.
  VersionSpec other;
  other.strings = {{"CompanyName", "Other"}};
  r.fake.version.SetVersion(kExe, other);
  for (const std::string& bad : {std::string(), "C:\\" + std::string(300, 'x')}) {
    r.info.FullPathName(bad);
    EXPECT_EQ(kExe, r.info.FullPathName());
    EXPECT_EQ("Trend", r.info.CompanyName());
  }
  // 259 characters fit the buffer with their NUL; 260 do not.
  const std::string fits = "C:\\" + std::string(240, 'd') + "\\" + std::string(15, 'f');
  ASSERT_EQ(259u, fits.size());
  r.fake.version.SetVersion(fits, Full());
  r.fake.version.SetVersion(fits + "g", other);
  r.info.FullPathName(fits);
  EXPECT_EQ(fits, r.info.FullPathName());
  r.info.FullPathName(fits + "g");
  EXPECT_EQ(fits, r.info.FullPathName());
  EXPECT_EQ("Trend", r.info.CompanyName());
}
