// The real file service beyond the file contract: read-only files, and the lookups the
// path helpers rely on (long names for short aliases and any letter case, the first
// match of a wildcard).
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/FileSystemWin32.h"
#include "support/mdlTools.h"

TEST(FileSystemWin32Test, ReadOnlyFilesStayAndLookupsFindStoredNames) {
  FileSystemWin32 fs;
  const std::string dir = "C:\\Gleisora Dateitest";  // a long name, so it has a short alias
  const std::string f = dir + "\\a.ini";
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(fs.WriteAllAtomic(f, "short"));
  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(fs.WriteAllAtomic(f, "new"));
  EXPECT_EQ("short", fs.ReadAll(f));

  // Lookups: the stored name of each part, or nothing.
  char shortBuf[MAX_PATH];
  const std::string shortDir(shortBuf, GetShortPathNameA(dir.c_str(), shortBuf, MAX_PATH));
  ASSERT_NE(dir, shortDir);
  EXPECT_EQ(dir + "\\a.ini", GetLongPath(fs, shortDir + "\\A.INI"));
  EXPECT_EQ(dir + "\\.", GetLongPath(fs, dir + "\\*"));  // "." comes first below the root
  EXPECT_EQ("", GetLongPath(fs, dir + "\\Fehlt\\a.ini"));
  EXPECT_TRUE(FileExists(fs, dir + "\\A.INI"));  // hidden files count
  for (const std::string& no : {dir, dir + "\\a.*", dir + "\\" + std::string(300, 'x')})
    EXPECT_FALSE(FileExists(fs, no)) << no;
  // Nothing else is left behind: the folder is empty once the file is gone.
  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(DeleteFileA(f.c_str()));
  EXPECT_TRUE(RemoveDirectoryA(dir.c_str()));
}
