#include "tests/contract/FileContract.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(FileContract, WritesReplaceTheWholeFileOrKeepTheOldOne) {
  const FileSubject s = MakeFileSubject();
  plat::IFileSystem& fs = *s.files;
  const std::string f = s.dir + "\\a.ini";
  EXPECT_FALSE(fs.ReadAll(f));
  EXPECT_FALSE(fs.Stamp(f).exists);
  std::string big(5 << 20, 'x');  // more than one write chunk and one read slice
  big += std::string("\0\r\n\xff", 4);
  ASSERT_TRUE(fs.WriteAllAtomic(f, big));
  EXPECT_EQ(big, fs.ReadAll(f));
  const plat::FileStamp first = fs.Stamp(f);
  EXPECT_EQ(big.size(), first.size);
  ASSERT_TRUE(fs.WriteAllAtomic(f, "short"));
  EXPECT_EQ("short", fs.ReadAll(f));
  EXPECT_NE(first, fs.Stamp(f));
  EXPECT_FALSE(fs.WriteAllAtomic(s.dir + "\\missing\\x.ini", "new"));
  EXPECT_FALSE(fs.WriteAllAtomic(s.dir, "a folder"));
  EXPECT_FALSE(fs.ReadAll(s.dir));
  EXPECT_TRUE(fs.RemoveFile(f));
}

TEST(FileContract, FoldersListingsAndRemoval) {
  const FileSubject s = MakeFileSubject();
  plat::IFileSystem& fs = *s.files;
  const std::string sub = s.dir + "\\Backups";
  EXPECT_FALSE(fs.CreateDir(s.dir + "\\missing\\sub"));
  EXPECT_TRUE(fs.CreateDir(sub));
  EXPECT_TRUE(fs.CreateDir(sub));  // one that exists is fine
  for (const char* name : {"b.reg", "a.reg", "c.txt"}) ASSERT_TRUE(fs.WriteAllAtomic(sub + "\\" + name, name));
  EXPECT_TRUE(fs.CreateDir(sub + "\\d.reg"));
  EXPECT_FALSE(fs.CreateDir(sub + "\\a.reg"));  // a file is in the way
  auto names = fs.ListFiles(sub + "\\*.reg");
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"a.reg", "b.reg"}), names);  // files only
  EXPECT_TRUE(fs.RemoveFile(sub + "\\a.reg"));
  EXPECT_FALSE(fs.RemoveFile(sub + "\\a.reg"));
  EXPECT_FALSE(fs.RemoveFile(sub + "\\d.reg"));  // a folder
  EXPECT_EQ((std::vector<std::string>{"b.reg"}), fs.ListFiles(sub + "\\*.reg"));
}
