// The version reader over the real version functions, on executables built with
// chosen version resources; and the fake's block reader held against them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/VersionApiWin32.h"
#include "support/CFileVersionInfo.h"
#include "tests/fakes/FakeServices.h"

namespace {

std::string FixturePath(const std::string& name) {
  std::string dir = "Z:" GLEISORA_FIXTURE_DIR "/version/";
  std::replace(dir.begin(), dir.end(), '/', '\\');
  return dir + name;
}

std::string LanguageNameOf(DWORD id) {
  char buf[256];
  DWORD n = VerLanguageNameA(id, buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

struct RealReader {
  VersionApiWin32 api;
  plat::Platform platform;
  CFileVersionInfo info{platform};
  RealReader() { platform.version = &api; }
  CFileVersionInfo& Read(const std::string& name) {
    info.FullPathName(FixturePath(name));
    return info;
  }
};

}  // namespace

TEST(CFileVersionInfoWin, VersionNumbersAndTexts) {
  RealReader r;
  CFileVersionInfo& v = r.Read("v1234.exe");
  ASSERT_TRUE(v.Available());
  EXPECT_EQ(FixturePath("v1234.exe"), v.FullPathName());
  EXPECT_EQ("1.02.0304", v.VerFile());
  EXPECT_EQ("1.02.0304", v.VerProduct());
  EXPECT_EQ("1.0", v.VerStructure());
  EXPECT_EQ("Versionsprüfung", v.ProductName());
  EXPECT_EQ("1, 2, 3, 4", v.ProductVersion());
  EXPECT_EQ("Prüfprogramm für Versionen", v.FileDescription());
  EXPECT_EQ("Gleisora Prüfstand", v.CompanyName());
  EXPECT_EQ("© 2026 Gleisora", v.LegalCopyright());
  EXPECT_EQ("Marke Eins", v.PredefinedValue(13));
  EXPECT_EQ("", v.PredefinedValue(14));
  EXPECT_EQ(LanguageNameOf(0x0407), v.Language());
  EXPECT_NE("", v.Language());
  EXPECT_EQ("NT-Win32", v.FileOS());
  EXPECT_EQ("Application", v.FileType());
  EXPECT_EQ("", v.FileFlags());

  r.Read("v6.exe");
  EXPECT_EQ("6.00.8169", v.VerFile());
  EXPECT_EQ("Version Six", v.ProductName());
  EXPECT_EQ("6.0.0.8169", v.ProductVersion());
  EXPECT_EQ("Version six test program", v.FileDescription());
  EXPECT_EQ(LanguageNameOf(0x0409), v.Language());
  EXPECT_EQ(0x00060000u, v.FileVersionMS());
  EXPECT_EQ(8169u, v.FileVersionLS());

  r.Read("v16.exe");
  EXPECT_EQ("16.01.12345", v.VerFile());
  EXPECT_EQ("16.01.0007", v.VerProduct());
  EXPECT_EQ("Debug PreRel", v.FileFlags());
  EXPECT_EQ("Unknown", v.FileOS());
  EXPECT_EQ("Driver", v.FileType());
  EXPECT_EQ("Sound drv", v.FileSubType());
  EXPECT_EQ("Sechzehn", v.ProductName());
  EXPECT_EQ("Treiber", v.SpecialBuild());
  EXPECT_EQ("", v.FileDescription());  // the earlier file's text is overwritten
}

TEST(CFileVersionInfoWin, UsEnglishTableKeepsTheFirstLanguage) {
  RealReader r;
  CFileVersionInfo& v = r.Read("fallback.exe");
  ASSERT_TRUE(v.Available());
  EXPECT_EQ("Fallback Company", v.CompanyName());
  EXPECT_EQ("English Name", v.ProductName());
  EXPECT_EQ("English description", v.FileDescription());
  EXPECT_EQ("2.5", v.ProductVersion());
  EXPECT_EQ(LanguageNameOf(0x0407), v.Language());
  EXPECT_NE(LanguageNameOf(0x0409), v.Language());
}

TEST(CFileVersionInfoWin, FilesWithoutTableOrResourceKeepEarlierTexts) {
  RealReader r;
  CFileVersionInfo& v = r.Read("v1234.exe");
  ASSERT_TRUE(v.Available());

  r.Read("notrans.exe");
  EXPECT_TRUE(v.Available());
  EXPECT_EQ("3.01.0000", v.VerFile());
  EXPECT_EQ("DLL", v.FileType());
  EXPECT_EQ("Versionsprüfung", v.ProductName());
  EXPECT_EQ(LanguageNameOf(0x0407), v.Language());

  r.Read("noversion.exe");
  EXPECT_FALSE(v.Available());
  EXPECT_EQ(FixturePath("noversion.exe"), v.FullPathName());
  EXPECT_EQ("3.01.0000", v.VerFile());
  EXPECT_EQ("Versionsprüfung", v.ProductName());

  r.Read("v6.exe");
  ASSERT_TRUE(v.Available());
  r.Read("missing.exe");
  EXPECT_FALSE(v.Available());
  EXPECT_EQ("Version Six", v.ProductName());
}

TEST(CFileVersionInfoWin, RelativeAndOverlongPaths) {
  char before[MAX_PATH];
  GetCurrentDirectoryA(sizeof before, before);
  ASSERT_TRUE(SetCurrentDirectoryA(FixturePath("").c_str()));
  RealReader r;
  r.info.FullPathName("..\\version\\v6.exe");
  SetCurrentDirectoryA(before);
  EXPECT_EQ(FixturePath("v6.exe"), r.info.FullPathName());
  EXPECT_EQ("Version Six", r.info.ProductName());

  r.info.FullPathName("C:\\" + std::string(300, 'x') + "\\eep.exe");
  EXPECT_EQ(FixturePath("v6.exe"), r.info.FullPathName());
  EXPECT_TRUE(r.info.Available());
  r.info.FullPathName("");
  EXPECT_EQ(FixturePath("v6.exe"), r.info.FullPathName());
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
    fake.version.SetRawBlock("C:\\f.exe", std::string(raw.data(), length));
    for (DWORD id : {0x0407u, 0x0409u}) fake.version.languageNames[id] = LanguageNameOf(id);
    CFileVersionInfo faked(fake.platform);
    faked.FullPathName("C:\\f.exe");

    RealReader r;
    CFileVersionInfo& real = r.Read(name);
    ASSERT_TRUE(real.Available());
    EXPECT_EQ(real.Available(), faked.Available());
    EXPECT_EQ(real.VerFile(), faked.VerFile());
    EXPECT_EQ(real.VerProduct(), faked.VerProduct());
    EXPECT_EQ(real.VerStructure(), faked.VerStructure());
    EXPECT_EQ(real.FileFlags(), faked.FileFlags());
    EXPECT_EQ(real.FileOS(), faked.FileOS());
    EXPECT_EQ(real.FileType(), faked.FileType());
    EXPECT_EQ(real.FileSubType(), faked.FileSubType());
    for (int i = 0; i < 15; ++i) EXPECT_EQ(real.PredefinedValue(i), faked.PredefinedValue(i)) << i;

    // The texts, their lengths and where the ANSI copies lie, query by query.
    std::vector<char> fakeBuffer(fake.version.InfoSize("C:\\f.exe"));
    fake.version.InfoData("C:\\f.exe", static_cast<std::uint32_t>(fakeBuffer.size()), fakeBuffer.data());
    for (const char* sub : {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo",
                            "\\StringFileInfo\\040704E4\\CompanyName",
                            "\\StringFileInfo\\040904b0\\productname", "StringFileInfo\\040904B0\\ProductName",
                            "\\StringFileInfo\\040904B0\\Fehlt", "\\Nirgends"}) {
      SCOPED_TRACE(sub);
      void* realValue = nullptr;
      UINT realLen = 0;
      const bool realOk = VerQueryValueA(raw.data(), sub, &realValue, &realLen) != 0;
      const void* fakeValue = nullptr;
      std::uint32_t fakeLen = 0;
      const bool fakeOk = fake.version.QueryValue(fakeBuffer.data(), sub, &fakeValue, &fakeLen);
      ASSERT_EQ(realOk, fakeOk);
      if (!realOk) continue;
      EXPECT_EQ(realLen, fakeLen);
      EXPECT_EQ(static_cast<char*>(realValue) - raw.data(),
                static_cast<const char*>(fakeValue) - fakeBuffer.data());
      if (realLen) {
        EXPECT_EQ(0, std::memcmp(realValue, fakeValue, realLen));
      }
    }
  }
}
