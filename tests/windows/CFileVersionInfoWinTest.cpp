// The version reader over the real version functions, on executables built with
// chosen version resources; and the fake's block reader held against them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "platform/win32/VersionApiWin32.h"
#include "support/CFileVersionInfo.h"
#include "tests/fakes/FakeServices.h"
#include "tests/windows/E2eHarness.h"

namespace {

using Fields = std::map<std::string, std::string>;

std::string FixturePath(const std::string& name) { return e2e::FixtureDir() + "\\version\\" + name; }

std::string LanguageNameOf(DWORD id) {
  char buf[256];
  DWORD n = VerLanguageNameA(id, buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

// Everything the reader offers, by name.
Fields Read(const CFileVersionInfo& v) {
  Fields f = {{"Available", v.Available() ? "1" : "0"}, {"Path", v.FullPathName()},
              {"VerFile", v.VerFile()},     {"VerProduct", v.VerProduct()},
              {"VerStructure", v.VerStructure()}, {"FileFlags", v.FileFlags()},
              {"FileOS", v.FileOS()},       {"FileType", v.FileType()},
              {"FileSubType", v.FileSubType()}};
  for (int i = 0; i < 15; ++i) f[v.PredefinedName(i)] = v.PredefinedValue(i);
  return f;
}

void ExpectFields(const Fields& expected, const Fields& actual) {
  for (const auto& [name, value] : expected) EXPECT_EQ(value, actual.at(name)) << name;
}

struct RealReader {
  VersionApiWin32 api;
  plat::Platform platform;
  CFileVersionInfo info{platform};
  RealReader() { platform.version = &api; }
  Fields Load(const std::string& name) {
    info.FullPathName(FixturePath(name));
    return Read(info);
  }
};

}  // namespace

// One reader over several files in turn: each file's items replace the last one's,
// and a file without a table or resource leaves the earlier texts in place.
TEST(CFileVersionInfoWin, ItemsOfEachFileInTurn) {
  RealReader r;
  ExpectFields({{"Available", "1"}, {"Path", FixturePath("v1234.exe")}, {"VerFile", "1.02.0304"},
                {"VerProduct", "1.02.0304"}, {"VerStructure", "1.0"},
                {"Product Name", "Versionsprüfung"}, {"Product Version", "1, 2, 3, 4"},
                {"File Description", "Prüfprogramm für Versionen"},
                {"Company Name", "Gleisora Prüfstand"}, {"Legal Copyright", "© 2026 Gleisora"},
                {"LegalTrademarks1", "Marke Eins"}, {"LegalTrademarks2", ""},
                {"Language", LanguageNameOf(0x0407)}, {"FileOS", "NT-Win32"},
                {"FileType", "Application"}, {"FileFlags", ""}},
               r.Load("v1234.exe"));
  ExpectFields({{"VerFile", "6.00.8169"}, {"Product Name", "Version Six"},
                {"Product Version", "6.0.0.8169"},
                {"File Description", "Version six test program"},
                {"Language", LanguageNameOf(0x0409)}},
               r.Load("v6.exe"));
  EXPECT_EQ(0x00060000u, r.info.FileVersionMS());
  EXPECT_EQ(8169u, r.info.FileVersionLS());
  ExpectFields({{"VerFile", "16.01.12345"}, {"VerProduct", "16.01.0007"},
                {"FileFlags", "Debug PreRel"}, {"FileOS", "Unknown"}, {"FileType", "Driver"},
                {"FileSubType", "Sound drv"}, {"Product Name", "Sechzehn"},
                {"Special Build", "Treiber"}, {"File Description", ""}},
               r.Load("v16.exe"));
  ExpectFields({{"Available", "1"}, {"VerFile", "3.01.0000"}, {"FileType", "DLL"},
                {"Product Name", "Sechzehn"}},
               r.Load("notrans.exe"));
  ExpectFields({{"Available", "0"}, {"Path", FixturePath("noversion.exe")},
                {"VerFile", "3.01.0000"}, {"Product Name", "Sechzehn"}},
               r.Load("noversion.exe"));
  ExpectFields({{"Available", "0"}, {"Product Name", "Sechzehn"}}, r.Load("missing.exe"));
}

TEST(CFileVersionInfoWin, UsEnglishTableKeepsTheFirstLanguage) {
  RealReader r;
  ExpectFields({{"Available", "1"}, {"Company Name", "Fallback Company"},
                {"Product Name", "English Name"}, {"File Description", "English description"},
                {"Product Version", "2.5"}, {"Language", LanguageNameOf(0x0407)}},
               r.Load("fallback.exe"));
  EXPECT_NE(LanguageNameOf(0x0409), r.info.Language());
}

// The fake reads each block the resource compiler built exactly as Windows does.
TEST(CFileVersionInfoWin, FakeReadsCompiledBlocksLikeWindows) {
  for (const char* name : {"v1234.exe", "v6.exe", "v16.exe", "fallback.exe", "notrans.exe"}) {
    SCOPED_TRACE(name);
    const std::string path = FixturePath(name);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 6u);
    std::vector<char> raw(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, raw.data()));
    const std::size_t length = static_cast<unsigned char>(raw[0]) | static_cast<unsigned char>(raw[1]) << 8;
    ASSERT_LE(length, size);

    FakePlatform fake;
    const std::string fakePath = "C:\\f.exe";
    fake.version.SetRawBlock(fakePath, std::string(raw.data(), length));
    for (DWORD id : {0x0407u, 0x0409u}) fake.version.languageNames[id] = LanguageNameOf(id);
    CFileVersionInfo faked(fake.platform);
    faked.FullPathName(fakePath);
    RealReader r;
    Fields real = r.Load(name), fromFake = Read(faked);
    EXPECT_EQ("1", real.at("Available"));
    real.erase("Path");
    fromFake.erase("Path");
    EXPECT_EQ(real, fromFake);

    // The texts, their lengths and where the ANSI copies lie, query by query.
    std::vector<char> fakeBuffer(fake.version.InfoSize(fakePath));
    fake.version.InfoData(fakePath, static_cast<std::uint32_t>(fakeBuffer.size()), fakeBuffer.data());
    for (const char* sub : {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo",
                            "\\StringFileInfo\\040704E4\\CompanyName",
                            "\\StringFileInfo\\040904b0\\productname", "StringFileInfo\\040904B0\\ProductName",
                            "\\StringFileInfo\\040904B0\\Fehlt", "\\Nirgends"}) {
      SCOPED_TRACE(sub);
      void* realValue = nullptr;
      const void* fakeValue = nullptr;
      UINT realLen = 0;
      std::uint32_t fakeLen = 0;
      const bool realOk = VerQueryValueA(raw.data(), sub, &realValue, &realLen) != 0;
      ASSERT_EQ(realOk, fake.version.QueryValue(fakeBuffer.data(), sub, &fakeValue, &fakeLen));
      if (!realOk) continue;
      EXPECT_EQ(realLen, fakeLen);
      EXPECT_EQ(static_cast<char*>(realValue) - raw.data(),
                static_cast<const char*>(fakeValue) - fakeBuffer.data());
      EXPECT_TRUE(realLen == 0 || std::memcmp(realValue, fakeValue, realLen) == 0);
    }
  }
}
