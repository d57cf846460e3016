// The path helpers over the real file system.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/FileSystemWin32.h"
#include "support/mdlTools.h"

namespace {

const std::string kRoot = "C:\\GleisoraPfade", kDir = kRoot + "\\Programme Lang\\EEP6";
const std::pair<const char*, DWORD> kFiles[] = {{"eep.exe", FILE_ATTRIBUTE_NORMAL},
                                               {"Versteckt.ini", FILE_ATTRIBUTE_HIDDEN},
                                               {"Ein sehr langer Dateiname.txt", FILE_ATTRIBUTE_NORMAL},
                                               {"Ölwagen.dat", FILE_ATTRIBUTE_NORMAL}};

class mdlToolsWin : public ::testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    for (const std::string& d : {kRoot, kRoot + "\\Programme Lang", kDir})
      ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr)) << d;
    for (auto [name, attributes] : kFiles) {
      HANDLE h = CreateFileA((kDir + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             attributes, nullptr);
      ASSERT_NE(INVALID_HANDLE_VALUE, h) << name;
      CloseHandle(h);
    }
  }
  void TearDown() override {
    for (auto [name, attributes] : kFiles) {
      SetFileAttributesA((kDir + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((kDir + "\\" + name).c_str());
    }
    for (const std::string& d : {kDir, kRoot + "\\Programme Lang", kRoot}) RemoveDirectoryA(d.c_str());
  }
  static std::string Short(const std::string& path) {
    char buf[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return n && n < sizeof buf ? std::string(buf, n) : std::string();
  }
  FileSystemWin32 files;
};

}  // namespace

TEST_F(mdlToolsWin, GetLongPathGivesStoredNamesOrNothing) {
  EXPECT_EQ(kDir + "\\eep.exe", GetLongPath(files, "C:\\gleisorapfade\\PROGRAMME LANG\\eep6\\EEP.EXE"));
  EXPECT_EQ("c:\\GleisoraPfade", GetLongPath(files, "c:\\GLEISORAPFADE"));
  const std::string shortDir = Short(kDir);  // as the file system names it
  ASSERT_NE("", shortDir);
  EXPECT_NE(kDir, shortDir);
  EXPECT_EQ(kDir, GetLongPath(files, shortDir));
  EXPECT_EQ(kDir + "\\.", GetLongPath(files, kDir + "\\*"));  // "." comes first below the root
  EXPECT_EQ("", GetLongPath(files, kRoot + "\\Fehlt\\EEP6"));
  EXPECT_EQ("", GetLongPath(files, kDir + "\\Fehlt"));
  EXPECT_EQ("", GetLongPath(files, kDir + "\\" + std::string(300, 'x')));
  EXPECT_EQ("\\", GetLongPath(files, ""));
  EXPECT_EQ("C:", GetLongPath(files, "C:"));
}

TEST_F(mdlToolsWin, FileExistsOnlyForFilesUnderTheirOwnName) {
  for (const char* name : {"eep.exe", "EEP.EXE", "Versteckt.ini", "versteckt.INI", "ölwagen.DAT"})
    EXPECT_TRUE(FileExists(files, kDir + "\\" + name)) << name;
  for (const std::string& path : {kDir, kRoot, kDir + "\\", kDir + "\\fehlt.exe", kDir + "\\eep.*",
                                  std::string(), kDir + "\\" + std::string(300, 'x')})
    EXPECT_FALSE(FileExists(files, path)) << path;
  // A file named by its short alias is not taken for the file.
  const std::string shortName = Short(kDir + "\\Ein sehr langer Dateiname.txt");
  ASSERT_NE("", shortName);
  EXPECT_FALSE(FileExists(files, shortName));
}
