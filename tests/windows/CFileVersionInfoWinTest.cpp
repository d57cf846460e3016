// The version fake held against the real version functions: the reader gives the same
// items for executables built with chosen version resources as for the fake given
// the same resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "platform/win32/VersionApiWin32.h"
#include "support/CFileVersionInfo.h"
#include "tests/fakes/FakeServices.h"
#include "tests/windows/E2eHarness.h"

namespace {
std::map<std::string, std::string> Items(const CFileVersionInfo& v) {
  std::map<std::string, std::string> f = {
      {"Available", v.Available() ? "1" : "0"}, {"VerFile", v.VerFile()}, {"VerProduct", v.VerProduct()},
      {"VerStructure", v.VerStructure()}, {"FileFlags", v.FileFlags()}, {"FileOS", v.FileOS()},
      {"FileType", v.FileType()}, {"FileSubType", v.FileSubType()}};
  for (int i = 0; i < 15; ++i) f[v.PredefinedName(i)] = v.PredefinedValue(i);
  return f;
}

VersionSpec Resource(std::array<std::uint16_t, 8> versions, std::uint32_t flags, std::uint32_t os,
                 std::uint32_t type, std::uint32_t subtype, std::uint16_t language, std::uint16_t codePage,
                 bool translation, std::map<std::string, std::string> strings) {
  VersionSpec s;
  std::copy(versions.begin(), versions.begin() + 4, s.fileVersion);
  std::copy(versions.begin() + 4, versions.end(), s.productVersion);
  s.fileFlags = flags, s.fileOS = os, s.fileType = type, s.fileSubtype = subtype;
  s.language = language, s.codePage = codePage, s.translation = translation, s.strings = std::move(strings);
  return s;
}
}  // namespace

TEST(CFileVersionInfoWin, TheFakeGivesTheItemsOfCompiledResources) {
  VersionSpec fallback = Resource({2, 5, 0, 1, 2, 5, 0, 1}, 0, 0x40004, 1, 0, 0x407, 1200, true,
                              {{"FileDescription", "Deutsche Beschreibung"}, {"ProductName", "Deutscher Name"}});
  fallback.extraTables[{0x409, 1200}] = {{"CompanyName", "Fallback Company"},
                                         {"FileDescription", "English description"},
                                         {"ProductName", "English Name"}, {"ProductVersion", "2.5"}};
  const std::pair<const char*, std::optional<VersionSpec>> cases[] = {
      {"v16.exe", Resource({16, 1, 12, 345, 16, 1, 0, 7}, 3, 4, 3, 9, 0x407, 1252, true,
                       {{"CompanyName", "Gleisora"}, {"ProductName", "Sechzehn"},
                        {"ProductVersion", "16.1"}, {"SpecialBuild", "Treiber"}})},
      {"fallback.exe", fallback},
      {"notrans.exe", Resource({3, 1, 0, 0, 3, 1, 0, 0}, 0, 0x40004, 2, 0, 0x409, 1200, false,
                           {{"CompanyName", "Nobody"}, {"ProductName", "No Translation"}})},
      {"noversion.exe", std::nullopt}};
  for (const auto& [name, resource] : cases) {
    SCOPED_TRACE(name);
    VersionApiWin32 api;
    plat::Platform real;
    real.version = &api;
    CFileVersionInfo fromWindows(real);
    fromWindows.FullPathName(e2e::FixtureDir() + "\\version\\" + name);

    FakePlatform fake;
    for (DWORD id : {0x0407u, 0x0409u}) {
      char buf[256];
      const DWORD n = VerLanguageNameA(id, buf, sizeof buf);
      fake.version.languageNames[id] = std::string(buf, n < sizeof buf ? n : 0);
    }
    if (resource) fake.version.SetVersion("C:\\f.exe", *resource);
    CFileVersionInfo fromFake(fake.platform);
    fromFake.FullPathName("C:\\f.exe");
    EXPECT_EQ(resource ? "1" : "0", Items(fromWindows).at("Available"));
    EXPECT_EQ(Items(fromWindows), Items(fromFake));
  }
}
