// The real file service: replacing writes that never leave a partial or stray file.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/FileSystemWin32.h"

TEST(FileSystemWin32Test, WritesReplaceTheWholeFileOrKeepTheOldOne) {
  FileSystemWin32 fs;
  char tmp[MAX_PATH];
  const std::string dir = std::string(tmp, GetTempPathA(MAX_PATH, tmp)) + "gleisora-fs-test";
  const std::string f = dir + "\\a.ini";
  CreateDirectoryA(dir.c_str(), nullptr);
  EXPECT_FALSE(fs.ReadAll(f));
  std::string big(3 << 20, 'x');  // more than one write chunk
  big += std::string("\0\r\n\xff", 4);
  ASSERT_TRUE(fs.WriteAllAtomic(f, big));
  EXPECT_EQ(big, fs.ReadAll(f));
  const plat::FileStamp first = fs.Stamp(f);
  EXPECT_EQ(big.size(), first.size);
  ASSERT_TRUE(fs.WriteAllAtomic(f, "short"));
  EXPECT_EQ("short", fs.ReadAll(f));
  EXPECT_NE(first, fs.Stamp(f));

  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(fs.WriteAllAtomic(f, "new"));
  EXPECT_EQ("short", fs.ReadAll(f));
  EXPECT_FALSE(fs.WriteAllAtomic(dir + "\\missing\\x.ini", "new"));
  EXPECT_FALSE(fs.WriteAllAtomic(dir, "a folder"));
  EXPECT_FALSE(fs.ReadAll(dir));
  // Nothing else is left behind: the folder is empty once the file is gone.
  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(DeleteFileA(f.c_str()));
  EXPECT_TRUE(RemoveDirectoryA(dir.c_str()));
}
