// The fixtures other tests rely on exist and are what those tests take them for.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/windows/E2eHarness.h"

TEST(Fixtures, AllArePresent) {
  const std::string dir = e2e::FixtureDir();
  for (const char* f : {"eep.exe", "components\\comp_a.dll", "components\\comp_b.dll",
                        "components\\comp_fail.dll", "components\\comp_crash.dll",
                        "components\\comp_noentry.dll", "components\\notalib.dll",
                        "version\\v1234.exe", "version\\v6.exe", "version\\fallback.exe"})
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir + "\\" + f).c_str())) << f;
  // The broken components are broken in the way their names say.
  EXPECT_EQ(nullptr, LoadLibraryA((dir + "\\components\\notalib.dll").c_str()));
  HMODULE noEntry = LoadLibraryA((dir + "\\components\\comp_noentry.dll").c_str());
  ASSERT_NE(nullptr, noEntry);
  EXPECT_EQ(nullptr, GetProcAddress(noEntry, "DllRegisterServer"));
  FreeLibrary(noEntry);
}
