// The version reader: number formats, flag and type texts, string tables, fallback,
// and damaged items.
#include <gtest/gtest.h>

#include <array>

#include "support/CFileVersionInfo.h"
#include "tests/fakes/FakeServices.h"

namespace {

const char* const kExe = "C:\\EEP6\\eep.exe";

VersionSpec Full() {
  VersionSpec s;
  s.codePage = 0xFDE9;
  s.fileVersion[0] = 6, s.fileVersion[3] = 8169;
  s.productVersion[0] = 6, s.productVersion[1] = 1, s.productVersion[2] = 2, s.productVersion[3] = 3;
  const char* const names[] = {"Comments", "CompanyName", "FileDescription", "FileVersion", "InternalName",
                               "LegalCopyright", "LegalTrademarks", "OriginalFilename", "ProductName",
                               "ProductVersion", "PrivateBuild", "SpecialBuild", "LegalTrademarks1",
                               "LegalTrademarks2"};
  for (int i = 0; i < 14; ++i) s.strings[names[i]] = "text" + std::to_string(i + 1);
  return s;
}

struct Reader {
  FakePlatform fake;
  CFileVersionInfo info{fake.platform};
  CFileVersionInfo& Read(const VersionSpec& vi, const std::string& path = kExe) {
    fake.version.SetVersion(path, vi);
    info.FullPathName(path);
    return info;
  }
};

}  // namespace

TEST(CFileVersionInfo, VersionNumbersFlagsAndOperatingSystemAsText) {
  // Halves are signed 16-bit numbers; the build follows the minor version without a dot.
  const struct {
    std::array<std::uint16_t, 4> version;
    std::uint32_t flags, os;
    const char* text;  // file version|flags|operating system
  } cases[] = {
      {{1, 2, 3, 4}, 0, 0x00010001, "1.02.0304||DOS-Win16"},
      {{1, 2, 0, 4}, 0x40, 0x00010004, "1.02.0004||DOS-Win32"},
      {{1, 10, 1234, 56}, 0x3F, 0x00020002, "1.10.123456|Debug PreRel Patched Private Info Special|OS/2-16 PM-16"},
      {{0xFFFF, 0, 0, 0}, 0x24, 0x00030003, "-1.00.0000|Patched Special|OS/2-16 PM-32"},
      {{1, 0xFFFF, 0xFFFF, 0xFFFF}, 0, 0x00040004, "1.-01.-0001||NT-Win32"},
      {{1, 2, 0x8000, 5}, 0, 0x00040000, "1.02.0005||Unknown"}};
  for (const auto& c : cases) {
    VersionSpec s;
    std::copy(c.version.begin(), c.version.end(), s.fileVersion);
    s.fileFlags = c.flags, s.fileOS = c.os;
    Reader r;
    r.Read(s);
    EXPECT_EQ(c.text, r.info.VerFile() + "|" + r.info.FileFlags() + "|" + r.info.FileOS());
  }
  Reader r;
  r.Read(Full());
  EXPECT_EQ("6.01.0203|1.0|6.00.8169", r.info.VerProduct() + "|" + r.info.VerStructure() + "|" + r.info.VerFile());
  EXPECT_EQ(0x00060000u, r.info.FileVersionMS());
  EXPECT_EQ(8169u, r.info.FileVersionLS());
}

TEST(CFileVersionInfo, TypeAndSubtypeOnlyWhereTheTableSaysSo) {
  // Read in turn by one object: a subtype outside the table keeps the previous text.
  const std::tuple<std::uint32_t, std::uint32_t, const char*, const char*> cases[] = {
      {3, 9, "Driver", "Sound drv"},     {3, 11, "Driver", "Sound drv"},   {4, 0, "Font", "Sound drv"},
      {4, 1, "Font", "Raster Font"},      {4, 3, "Font", "TrueType Font"}, {4, 4, "Font", "TrueType Font"},
      {1, 2, "Application", "TrueType Font"}, {3, 0, "Driver", "Unknown"}, {3, 10, "Driver", "Comm drv"},
      {0, 1, "Unknown", "Comm drv"},      {2, 1, "DLL", "Comm drv"},      {5, 1, "VxD", "Comm drv"},
      {6, 1, "Unknown", "Comm drv"},      {7, 1, "Lib", "Comm drv"},      {8, 1, "Unknown", "Comm drv"}};
  Reader r;
  for (const auto& [type, subtype, typeText, subtypeText] : cases) {
    VersionSpec s;
    s.fileType = type, s.fileSubtype = subtype;
    r.Read(s);
    EXPECT_EQ(std::string(typeText) + "|" + subtypeText, r.info.FileType() + "|" + r.info.FileSubType())
        << type << "/" << subtype;
  }
}

TEST(CFileVersionInfo, EveryStringEntryByNumberAndName) {
  Reader r;
  CFileVersionInfo& v = r.Read(Full());
  EXPECT_TRUE(v.Available());
  EXPECT_EQ("German (Germany)", v.PredefinedValue(0));
  for (int i = 1; i < 15; ++i) EXPECT_EQ("text" + std::to_string(i), v.PredefinedValue(i)) << i;
  EXPECT_EQ("text1|text2|text3|text9|text10", v.Comments() + "|" + v.CompanyName() + "|" +
                                                  v.FileDescription() + "|" + v.ProductName() + "|" + v.ProductVersion());
  EXPECT_EQ("Language|Company Name|LegalTrademarks2", v.PredefinedName(0) + "|" + v.PredefinedName(2) + "|" + v.PredefinedName(14));
  for (int which : {-1, 15}) EXPECT_EQ("", v.PredefinedName(which) + v.PredefinedValue(which)) << which;
}

TEST(CFileVersionInfo, UsEnglishTableOfTheSameCodePageWhenTheFirstNamesNoMaker) {
  VersionSpec s;
  s.codePage = 0x04B0;
  s.strings = {{"ProductName", "Deutsch"}, {"FileDescription", "Beschreibung"}};
  s.extraTables[{0x0409, 0x04E4}] = {{"CompanyName", "Wrong page"}};
  const std::pair<std::map<std::string, std::string>, std::string> cases[] = {
      {{{"CompanyName", "Maker"}, {"ProductName", "English"}}, "Maker|English||German (Germany)"},
      {{{"ProductName", "English"}}, "|Deutsch|Beschreibung|German (Germany)"}};
  for (const auto& [english, expected] : cases) {
    s.extraTables[{0x0409, 0x04B0}] = english;
    Reader r;
    CFileVersionInfo& v = r.Read(s);
    EXPECT_EQ(expected, v.CompanyName() + "|" + v.ProductName() + "|" + v.FileDescription() + "|" + v.Language());
  }
}

TEST(CFileVersionInfo, WhatEachKindOfFileLeavesInPlace) {
  Reader r;
  r.Read(Full());
  // No version information, or no file: only Available and the path change.
  r.fake.files.AddFile("C:\\EEP6\\plain.exe", "MZ");
  for (const char* path : {"C:\\EEP6\\plain.exe", "C:\\EEP6\\missing.exe"}) {
    r.info.FullPathName(path);
    EXPECT_FALSE(r.info.Available());
    EXPECT_EQ(path, r.info.FullPathName());
    EXPECT_EQ("text2|6.00.8169|German (Germany)", r.info.CompanyName() + "|" + r.info.VerFile() + "|" + r.info.Language());
  }
  // A fixed record cut short counts as no version information.
  r.fake.version.SetVersion("C:\\EEP6\\cut.exe", Full());
  r.fake.version.SetItem("C:\\EEP6\\cut.exe", "\\", std::string(51, '\0'));
  r.info.FullPathName("C:\\EEP6\\cut.exe");
  EXPECT_FALSE(r.info.Available());
  // No translation table, or one too short: the fixed record is renewed, texts stay.
  VersionSpec noTable;
  noTable.fileVersion[0] = 2, noTable.translation = false;
  noTable.strings = {{"CompanyName", "Other"}};
  r.Read(noTable, "C:\\EEP6\\lib.dll");
  EXPECT_EQ("1|2.00.0000|text2", std::to_string(r.info.Available()) + "|" + r.info.VerFile() + "|" + r.info.CompanyName());
  r.fake.version.SetVersion("C:\\EEP6\\short.dll", noTable);
  r.fake.version.SetItem("C:\\EEP6\\short.dll", "\\VarFileInfo\\Translation", "\x07\x04\xe4");
  r.info.FullPathName("C:\\EEP6\\short.dll");
  EXPECT_EQ("text2", r.info.CompanyName());
  // A file with a table renews every entry; texts end at their first NUL or length.
  VersionSpec few;
  few.language = 0x0409, few.strings = {{"CompanyName", "New"}, {"Comments", "a"}};
  r.fake.version.SetVersion("C:\\EEP6\\few.exe", few);
  r.fake.version.SetItem("C:\\EEP6\\few.exe", "\\StringFileInfo\\040904E4\\ProductName", std::string("cut\0off", 7));
  r.fake.version.SetItem("C:\\EEP6\\few.exe", "\\StringFileInfo\\040904E4\\InternalName", "noNul");
  r.fake.version.SetItem("C:\\EEP6\\few.exe", "\\StringFileInfo\\040904E4\\Comments", "");
  r.info.FullPathName("C:\\EEP6\\few.exe");
  EXPECT_EQ("New|English (United States)|cut|noNul|", r.info.CompanyName() + "|" + r.info.Language() + "|" +
                                                   r.info.ProductName() + "|" + r.info.InternalName() + "|" + r.info.Comments());
  for (int i : {6, 7, 8, 10, 11, 12, 13, 14}) EXPECT_EQ("", r.info.PredefinedValue(i)) << i;
}
TEST(CFileVersionInfo, APathThatCannotBeFormedOrDoesNotFitChangesNothing) {
  Reader r;
  r.fake.files.AddDir("C:\\EEP6");
  ASSERT_TRUE(r.fake.files.SetCurrentDir("C:\\EEP6"));
  r.fake.version.SetVersion(kExe, Full());
  r.info.FullPathName("eep.exe");
  EXPECT_EQ(kExe, r.info.FullPathName());
  // 259 characters fit the buffer with their NUL; 260 do not.
  const std::string fits = "C:\\" + std::string(240, 'd') + "\\" + std::string(15, 'f');
  ASSERT_EQ(259u, fits.size());
  VersionSpec other;
  other.strings = {{"CompanyName", "Other"}};
  r.fake.version.SetVersion(fits + "g", other);
  for (const std::string& bad : {std::string(), fits + "g"}) {
    r.info.FullPathName(bad);
    EXPECT_EQ(kExe, r.info.FullPathName());
    EXPECT_EQ("text2", r.info.CompanyName());
  }
  r.info.FullPathName(fits);
  EXPECT_EQ(fits, r.info.FullPathName());
}

