// The path helpers over the real file system.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/FileSystemWin32.h"
#include "support/mdlTools.h"

namespace {

class mdlToolsWin : public ::testing::Test {
 protected:
  static constexpr const char* kRoot = "C:\\GleisoraPfade";
  const std::string dir = std::string(kRoot) + "\\Programme Lang\\EEP6";

  void SetUp() override {
    Clean();
    ASSERT_TRUE(CreateDirectoryA(kRoot, nullptr));
    ASSERT_TRUE(CreateDirectoryA((std::string(kRoot) + "\\Programme Lang").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    Touch(dir + "\\eep.exe", FILE_ATTRIBUTE_NORMAL);
    Touch(dir + "\\Versteckt.ini", FILE_ATTRIBUTE_HIDDEN);
    Touch(dir + "\\Ein sehr langer Dateiname.txt", FILE_ATTRIBUTE_NORMAL);
    Touch(dir + "\\Ölwagen.dat", FILE_ATTRIBUTE_NORMAL);
  }
  void TearDown() override { Clean(); }

  static void Touch(const std::string& path, DWORD attributes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    CloseHandle(h);
  }
  void Clean() {
    const std::string lang = std::string(kRoot) + "\\Programme Lang";
    for (const char* f : {"eep.exe", "Versteckt.ini", "Ein sehr langer Dateiname.txt", "Ölwagen.dat"}) {
      SetFileAttributesA((dir + "\\" + f).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((dir + "\\" + f).c_str());
    }
    RemoveDirectoryA(dir.c_str());
    RemoveDirectoryA(lang.c_str());
    RemoveDirectoryA(kRoot);
  }
  std::string Short(const std::string& path) {
    char buf[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return n && n < sizeof buf ? std::string(buf, n) : std::string();
  }

  FileSystemWin32 files;
};

}  // namespace

TEST_F(mdlToolsWin, GetLongPathGivesStoredNames) {
  EXPECT_EQ(dir, GetLongPath(files, dir));
  EXPECT_EQ("C:\\GleisoraPfade\\Programme Lang\\EEP6\\eep.exe",
            GetLongPath(files, "C:\\gleisorapfade\\PROGRAMME LANG\\eep6\\EEP.EXE"));
  EXPECT_EQ("c:\\GleisoraPfade", GetLongPath(files, "c:\\GLEISORAPFADE"));
  // The short form of the folder, as the file system names it.
  const std::string shortDir = Short(dir);
  ASSERT_NE("", shortDir);
  EXPECT_NE(dir, shortDir);
  EXPECT_EQ(dir, GetLongPath(files, shortDir));
  // A folder below the root lists "." first.
  EXPECT_EQ(dir + "\\.", GetLongPath(files, dir + "\\*"));
}

TEST_F(mdlToolsWin, GetLongPathOfAMissingPartIsEmpty) {
  EXPECT_EQ("", GetLongPath(files, std::string(kRoot) + "\\Fehlt\\EEP6"));
  EXPECT_EQ("", GetLongPath(files, dir + "\\Fehlt"));
  EXPECT_EQ("\\", GetLongPath(files, ""));
  EXPECT_EQ("C:", GetLongPath(files, "C:"));
  EXPECT_EQ("", GetLongPath(files, dir + "\\" + std::string(300, 'x')));
}

TEST_F(mdlToolsWin, FileExistsOnlyForFilesUnderTheirOwnName) {
  EXPECT_TRUE(FileExists(files, dir + "\\eep.exe"));
  EXPECT_TRUE(FileExists(files, dir + "\\EEP.EXE"));
  EXPECT_TRUE(FileExists(files, dir + "\\Versteckt.ini"));
  EXPECT_TRUE(FileExists(files, dir + "\\versteckt.INI"));
  EXPECT_TRUE(FileExists(files, dir + "\\ölwagen.DAT"));
  EXPECT_FALSE(FileExists(files, dir));
  EXPECT_FALSE(FileExists(files, kRoot));
  EXPECT_FALSE(FileExists(files, dir + "\\"));
  EXPECT_FALSE(FileExists(files, dir + "\\fehlt.exe"));
  EXPECT_FALSE(FileExists(files, dir + "\\eep.*"));
  EXPECT_FALSE(FileExists(files, ""));
  EXPECT_FALSE(FileExists(files, dir + "\\" + std::string(300, 'x')));
  // A file named by its short alias is not taken for the file.
  const std::string shortName = Short(dir + "\\Ein sehr langer Dateiname.txt");
  ASSERT_NE("", shortName);
  EXPECT_FALSE(FileExists(files, shortName));
}
