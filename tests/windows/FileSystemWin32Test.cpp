// The real file service: whole-file reads, replacing writes, stamps and lookups.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/FileSystemWin32.h"

namespace {

struct FileSystemWin32Test : ::testing::Test {
  FileSystemWin32 fs;
  std::string dir;
  void SetUp() override {
    char tmp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, tmp);
    dir = std::string(tmp, n) + "gleisora-fs-test";
    CreateDirectoryA(dir.c_str(), nullptr);
  }
  void TearDown() override {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::string p = dir + "\\" + fd.cFileName;
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(p.c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }
  int FilesInDir() {
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
  }
};

TEST_F(FileSystemWin32Test, WritesReplaceTheFileWholeAndLeaveNoTemporaryFile) {
  const std::string f = dir + "\\a.ini";
  EXPECT_FALSE(fs.ReadAll(f));
  EXPECT_FALSE(fs.Stamp(f).exists);
  std::string big(3 << 20, 'x');  // more than one write chunk
  big += std::string("\0\r\n\xff", 4);
  ASSERT_TRUE(fs.WriteAllAtomic(f, big));
  EXPECT_EQ(big, fs.ReadAll(f));
  const plat::FileStamp first = fs.Stamp(f);
  EXPECT_TRUE(first.exists);
  EXPECT_EQ(big.size(), first.size);
  ASSERT_TRUE(fs.WriteAllAtomic(f, "short"));
  EXPECT_EQ("short", fs.ReadAll(f));
  EXPECT_NE(first, fs.Stamp(f));
  ASSERT_TRUE(fs.WriteAllAtomic(f, ""));
  EXPECT_EQ("", fs.ReadAll(f));
  EXPECT_EQ(1, FilesInDir());
}

TEST_F(FileSystemWin32Test, FailedWritesKeepTheOldFile) {
  const std::string f = dir + "\\ro.ini";
  ASSERT_TRUE(fs.WriteAllAtomic(f, "old"));
  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(fs.WriteAllAtomic(f, "new"));
  EXPECT_EQ("old", fs.ReadAll(f));
  EXPECT_FALSE(fs.WriteAllAtomic(dir + "\\missing\\x.ini", "new"));
  EXPECT_FALSE(fs.WriteAllAtomic(dir, "a folder"));
  EXPECT_FALSE(fs.Stamp(dir).exists);
  EXPECT_FALSE(fs.ReadAll(dir));
  EXPECT_EQ(1, FilesInDir());
}

TEST_F(FileSystemWin32Test, FindFirstAndCurrentDirectory) {
  ASSERT_TRUE(fs.WriteAllAtomic(dir + "\\LongName.ini", "x"));
  auto found = fs.FindFirst(dir + "\\longname.INI");
  ASSERT_TRUE(found);
  EXPECT_EQ("LongName.ini", found->name);
  EXPECT_FALSE(found->attributes & plat::fattr::kDirectory);
  EXPECT_TRUE(fs.FindFirst(dir + "\\Long*"));
  EXPECT_FALSE(fs.FindFirst(dir + "\\nothing*"));
  const std::string before = fs.CurrentDir();
  ASSERT_TRUE(fs.SetCurrentDir(dir));
  EXPECT_EQ(0, _stricmp(dir.c_str(), fs.CurrentDir().c_str()));
  EXPECT_FALSE(fs.SetCurrentDir(dir + "\\missing"));
  EXPECT_TRUE(fs.SetCurrentDir(before));
}

}  // namespace
