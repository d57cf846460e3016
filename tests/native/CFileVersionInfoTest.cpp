#include <gtest/gtest.h>

#include <vector>

#include "support/CFileVersionInfo.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/VersionBlock.h"

namespace {

const char* const kExe = "C:\\EEP6\\eep.exe";

// Passes every call through to the fake and records the sub-blocks asked for.
class RecordingVersionApi : public plat::IVersionApi {
 public:
  explicit RecordingVersionApi(plat::IVersionApi& inner) : inner_(inner) {}
  std::uint32_t FullPathName(const std::string& path, std::uint32_t bufLen, char* buf) override {
    return inner_.FullPathName(path, bufLen, buf);
  }
  std::uint32_t InfoSize(const std::string& path) override {
    ++sizeCalls;
    return inner_.InfoSize(path);
  }
  bool InfoData(const std::string& path, std::uint32_t size, void* data) override {
    return inner_.InfoData(path, size, data);
  }
  bool QueryValue(const void* block, const std::string& subBlock, const void** out,
                  std::uint32_t* len) override {
    queries.push_back(subBlock);
    return inner_.QueryValue(block, subBlock, out, len);
  }
  std::uint32_t LanguageName(std::uint32_t lang, char* buf, std::uint32_t len) override {
    return inner_.LanguageName(lang, buf, len);
  }
  std::vector<std::string> queries;
  int sizeCalls = 0;

 private:
  plat::IVersionApi& inner_;
};

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

std::string VerFileOf(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
  VersionSpec s;
  s.fileVersion[0] = a, s.fileVersion[1] = b, s.fileVersion[2] = c, s.fileVersion[3] = d;
  return Reader().Read(s).VerFile();
}

}  // namespace

TEST(CFileVersionInfo, NewObjectIsEmptyAndUnavailable) {
  FakePlatform fake;
  CFileVersionInfo info(fake.platform);
  EXPECT_FALSE(info.Available());
  EXPECT_EQ("", info.FullPathName());
  for (int i = 0; i < 15; ++i) EXPECT_EQ("", info.PredefinedValue(i)) << i;
  EXPECT_EQ("", info.VerFile());
}

TEST(CFileVersionInfo, VersionNumbersAsText) {
  EXPECT_EQ("1.02.0304", VerFileOf(1, 2, 3, 4));
  EXPECT_EQ("1.02.0004", VerFileOf(1, 2, 0, 4));
  EXPECT_EQ("6.00.8169", VerFileOf(6, 0, 0, 8169));
  EXPECT_EQ("16.01.12345", VerFileOf(16, 1, 12, 345));
  EXPECT_EQ("1.10.123456", VerFileOf(1, 10, 1234, 56));
  // Halves are signed 16-bit numbers.
  EXPECT_EQ("-1.00.0000", VerFileOf(0xFFFF, 0, 0, 0));
  EXPECT_EQ("1.-01.-0001", VerFileOf(1, 0xFFFF, 0xFFFF, 0xFFFF));
  EXPECT_EQ("1.02.0005", VerFileOf(1, 2, 0x8000, 5));
  EXPECT_EQ("1.02.-32768", VerFileOf(1, 2, 0, 0x8000));

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
  Reader r;
  VersionSpec s;
  const auto read = [&](std::uint32_t type, std::uint32_t subtype) {
    s.fileType = type;
    s.fileSubtype = subtype;
    r.Read(s);
  };
  read(3, 9);
  EXPECT_EQ("Driver", r.info.FileType());
  EXPECT_EQ("Sound drv", r.info.FileSubType());
  read(3, 12);  // unknown driver subtype: the old text stays
  EXPECT_EQ("Driver", r.info.FileType());
  EXPECT_EQ("Sound drv", r.info.FileSubType());
  read(4, 0);
  EXPECT_EQ("Font", r.info.FileType());
  EXPECT_EQ("Sound drv", r.info.FileSubType());
  read(4, 3);
  EXPECT_EQ("TrueType Font", r.info.FileSubType());
  read(1, 2);  // applications have no subtype
  EXPECT_EQ("Application", r.info.FileType());
  EXPECT_EQ("TrueType Font", r.info.FileSubType());
  read(3, 0);
  EXPECT_EQ("Unknown", r.info.FileSubType());
  read(3, 10);
  EXPECT_EQ("Comm drv", r.info.FileSubType());
  read(3, 0xFFFFFFFF);
  EXPECT_EQ("Comm drv", r.info.FileSubType());

  const std::pair<std::uint32_t, const char*> types[] = {
      {0, "Unknown"}, {2, "DLL"}, {5, "VxD"}, {6, "Unknown"}, {7, "Lib"}, {8, "Unknown"}};
  for (const auto& [type, text] : types) {
    read(type, 1);
    EXPECT_EQ(text, r.info.FileType()) << type;
  }
}

TEST(CFileVersionInfo, EveryStringEntryThroughItsPropertyAndByNumber) {
  Reader r;
  CFileVersionInfo& v = r.Read(Full());
  EXPECT_TRUE(v.Available());
  EXPECT_EQ("Trend", v.CompanyName());
  EXPECT_EQ("EEP 6", v.ProductName());
  EXPECT_EQ("6, 0, 0, 3", v.ProductVersion());
  EXPECT_EQ("Eisenbahn", v.FileDescription());
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

TEST(CFileVersionInfo, TextsAreAnsiUpToTheirFirstNul) {
  Reader r;
  VersionSpec s;
  s.strings = {{"CompanyName", "Gleisbau Müller & Söhne"},
               {"ProductName", "Zug\x80 \x96 Spur"},  // euro sign and en dash
               {"FileDescription", std::string("vorn\0hinten", 11)}};
  r.Read(s);
  EXPECT_EQ("Gleisbau Müller & Söhne", r.info.CompanyName());
  EXPECT_EQ("Zug\x80 \x96 Spur", r.info.ProductName());
  EXPECT_EQ("vorn", r.info.FileDescription());
}

TEST(CFileVersionInfo, SubBlocksNamedWithUppercaseHex) {
  FakePlatform fake;
  RecordingVersionApi spy(fake.version);
  fake.platform.version = &spy;
  CFileVersionInfo info(fake.platform);
  VersionSpec s;
  s.language = 0x0409;
  s.codePage = 0xFDE9;
  s.strings = {{"CompanyName", "Utf"}};
  fake.version.SetVersion(kExe, s);
  info.FullPathName(kExe);
  ASSERT_GE(spy.queries.size(), 4u);
  EXPECT_EQ("\\", spy.queries[0]);
  EXPECT_EQ("\\VarFileInfo\\Translation", spy.queries[1]);
  EXPECT_EQ("\\StringFileInfo\\0409FDE9\\CompanyName", spy.queries[2]);
  EXPECT_EQ("\\StringFileInfo\\0409FDE9\\LegalTrademarks2", spy.queries.back());
  EXPECT_EQ("Utf", info.CompanyName());

  spy.queries.clear();
  s.language = 0x0409;
  s.codePage = 0x04B0;
  fake.version.SetVersion(kExe, s);
  info.Refresh();
  ASSERT_GE(spy.queries.size(), 3u);
  EXPECT_EQ("\\StringFileInfo\\040904B0\\CompanyName", spy.queries[2]);
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

TEST(CFileVersionInfo, UnknownLanguageGivesEmptyLanguage) {
  Reader r;
  r.Read(Full());
  VersionSpec s = Full();
  s.language = 0x0C1A;
  s.extraTables[{0x0C1A, 0x04E4}] = s.strings;
  r.Read(s);
  EXPECT_EQ("", r.info.Language());
  EXPECT_EQ("Trend", r.info.CompanyName());
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
  RecordingVersionApi spy(r.fake.version);
  r.fake.platform.version = &spy;
  CFileVersionInfo info(r.fake.platform);
  info.FullPathName(kExe);
  ASSERT_EQ(1, spy.sizeCalls);
  info.FullPathName("");
  EXPECT_EQ(kExe, info.FullPathName());
  EXPECT_TRUE(info.Available());
  EXPECT_EQ(1, spy.sizeCalls);

  // 259 characters fit the buffer with their NUL; 260 do not.
  const std::string dir = "C:\\" + std::string(240, 'd');
  const std::string fits = dir + "\\" + std::string(259 - dir.size() - 1, 'f');
  const std::string tooLong = fits + "g";
  ASSERT_EQ(259u, fits.size());
  r.fake.version.SetVersion(fits, Full());
  r.fake.version.SetVersion(tooLong, Full());
  info.FullPathName(fits);
  EXPECT_EQ(fits, info.FullPathName());
  EXPECT_EQ(2, spy.sizeCalls);
  info.FullPathName(tooLong);
  EXPECT_EQ(fits, info.FullPathName());
  EXPECT_EQ(2, spy.sizeCalls);
}

TEST(CFileVersionInfo, BlocksWithoutAUsableFixedRecord) {
  Reader r;
  r.Read(Full());
  std::string block = BuildVersionBlock(Full());

  // A root that carries no value: no record, so no version information.
  std::string noRecord;
  verblock::AppendNode(noRecord, "VS_VERSION_INFO", "", 0, 0, "");
  r.fake.version.SetRawBlock(kExe, noRecord);
  r.info.Refresh();
  EXPECT_FALSE(r.info.Available());
  EXPECT_EQ("6.00.8169", r.info.VerFile());

  // A record cut to 48 bytes is not read past its end.
  std::string shortRecord;
  verblock::AppendNode(shortRecord, "VS_VERSION_INFO", block.substr(40, 48), 48, 0, "");
  r.fake.version.SetRawBlock(kExe, shortRecord);
  r.info.Refresh();
  EXPECT_FALSE(r.info.Available());

  // A block cut inside its header.
  r.fake.version.SetRawBlock(kExe, block.substr(0, 5));
  r.info.Refresh();
  EXPECT_FALSE(r.info.Available());
  EXPECT_EQ("EEP 6", r.info.ProductName());
}

TEST(CFileVersionInfo, TranslationTableShorterThanOneEntryCountsAsMissing) {
  Reader r;
  r.Read(Full());
  VersionSpec s = Full();
  s.translation = false;
  s.strings["CompanyName"] = "Other";
  std::string var, vfi;
  verblock::AppendNode(var, "Translation", std::string("\x07\x04", 2), 2, 0, "");
  verblock::AppendNode(vfi, "VarFileInfo", "", 0, 1, var);
  // Append VarFileInfo to the root and correct the root's length.
  std::string block = BuildVersionBlock(s);
  while (block.size() % 4) block.push_back('\0');
  block += vfi;
  block[0] = static_cast<char>(block.size() & 0xFF);
  block[1] = static_cast<char>(block.size() >> 8);
  r.fake.version.SetRawBlock(kExe, block);
  r.info.Refresh();
  EXPECT_TRUE(r.info.Available());
  EXPECT_EQ("Trend", r.info.CompanyName());
}
