// The version resource compiled into Gleisora.exe, read back as the About window and
// the caption read it: ANSI texts in Windows-1252 and the 1.1.0 version.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/windows/E2eHarness.h"

namespace {

class OwnVersionResource : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string exe = e2e::ExeDir() + "\\Gleisora.exe";
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
    ASSERT_GT(size, 0u) << exe;
    block.resize(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, block.data()));
  }
  std::string String(const std::string& name) {
    void* p = nullptr;
    UINT len = 0;
    const std::string path = "\\StringFileInfo\\040704E4\\" + name;
    if (!VerQueryValueA(block.data(), path.c_str(), &p, &len) || !p) return "<missing>";
    return std::string(static_cast<const char*>(p));
  }
  std::vector<char> block;
};

}  // namespace

TEST_F(OwnVersionResource, NamesTheProgramInWindows1252) {
  EXPECT_EQ("Gleisora", String("ProductName"));
  // "ü" and "©" must arrive as the single bytes 0xFC and 0xA9.
  EXPECT_EQ("Start-Programm f\xFCr EEP", String("FileDescription"));
  EXPECT_EQ("Copyright \xA9 2026 Gleisora-Projekt", String("LegalCopyright"));
  EXPECT_EQ("Gleisora-Projekt", String("CompanyName"));
}

TEST_F(OwnVersionResource, CarriesVersion110AndGermanTranslation) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  ASSERT_GE(len, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(0x00010001u, fixed->dwFileVersionMS);
  EXPECT_EQ(0x00000000u, fixed->dwFileVersionLS);
  EXPECT_EQ(0x00010001u, fixed->dwProductVersionMS);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &len));
  ASSERT_GE(len, 4u);
  EXPECT_EQ(0x0407, translation[0]);
  EXPECT_EQ(1252, translation[1]);
}
