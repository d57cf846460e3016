// Detection of a running simulator by its executable's file name.
#include <gtest/gtest.h>

#include "switching/mdlProcess.h"
#include "tests/fakes/FakeServices.h"

namespace {

TEST(mdlProcess, MatchesTheFileNameOnlyAndIgnoresCaseAndFolder) {
  struct Case {
    const char* path;
    bool matches;
  };
  const Case cases[] = {
      {"C:\\Sim\\EEP.EXE", true},       {"D:\\Spiele\\EEP6\\eep.exe", true},
      {"C:\\Sim\\eep.exe.bak", false},  {"C:\\Sim\\myeep.exe", false},
      {"C:\\eep.exe\\other.exe", false}, {"eep.exe", false},  // no backslash: no file name
  };
  for (const Case& c : cases) {
    FakeProcessApi api;
    api.Add("C:\\Windows\\explorer.exe");
    api.Add(c.path);
    EXPECT_EQ(c.matches, IsProcessRunning(api, "eep.exe", true)) << c.path;
  }

  // Without fileNameOnly the whole path must equal the name.
  FakeProcessApi api;
  api.Add("C:\\Sim\\eep.exe");
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", false));
  EXPECT_TRUE(IsProcessRunning(api, "c:\\sim\\EEP.exe", false));
}

TEST(mdlProcess, IdBufferDoublesUntilACallLeavesRoom) {
  FakeProcessApi api;
  for (int i = 0; i < 39; ++i) api.Add("C:\\Windows\\svc" + std::to_string(i) + ".exe");
  api.Add("C:\\Sim\\eep.exe");  // the 40th: found only if every id is read

  EXPECT_TRUE(IsProcessRunning(api, "EEP.EXE", true));
  // 40 ids need 160 bytes; 256 is the first size with room to spare.
  EXPECT_EQ((std::vector<std::uint32_t>{16, 32, 64, 128, 256}), api.enumBufferSizes);

  // Filling a buffer exactly is not enough: 32 ids fill 128 bytes, so one more call.
  FakeProcessApi full;
  for (int i = 0; i < 32; ++i) full.Add("C:\\p" + std::to_string(i) + ".exe");
  EXPECT_EQ(32u, GetProcessList(full).size());
  EXPECT_EQ((std::vector<std::uint32_t>{16, 32, 64, 128, 256}), full.enumBufferSizes);
}

TEST(mdlProcess, ListKeepsPositionsAndClosesEveryHandle) {
  // Image names are unknown here too, so unreadable processes stay empty.
  struct Blind : FakeProcessApi {
    std::string ImageName(std::uint32_t) override { return ""; }
  } api;
  api.Add("C:\\a.exe");
  api.Add("C:\\secret.exe", false);
  api.Add("C:\\c.exe");
  api.Add("C:\\hidden.exe", false);

  std::vector<std::string> list = GetProcessList(api);
  EXPECT_EQ((std::vector<std::string>{"C:\\a.exe", "", "C:\\c.exe"}), list);
  EXPECT_EQ(2, api.closed);

  Blind none;
  none.Add("C:\\Sim\\eep.exe", false);
  EXPECT_FALSE(IsProcessRunning(none, "eep.exe", true));
  EXPECT_EQ(std::vector<std::string>{""}, GetProcessList(none));
}

TEST(mdlProcess, ProcessThatCannotBeReadIsFoundByItsImageName) {
  // A simulator running with higher rights than ours refuses query-and-read access.
  FakeProcessApi api;
  api.Add("C:\\Windows\\explorer.exe");
  api.Add("C:\\Programme\\EEP6\\EEP.exe", false);
  EXPECT_TRUE(IsProcessRunning(api, "eep.exe", true));
  EXPECT_EQ("C:\\Programme\\EEP6\\EEP.exe", GetProcessList(api).at(1));

  // When only the bare name is known (no folder), it still counts by file name ...
  FakeProcessApi bare;
  bare.Add("EEP.EXE", false);
  EXPECT_TRUE(IsProcessRunning(bare, "eep.exe", true));
  // ... and look-alikes still do not.
  FakeProcessApi lookAlike;
  lookAlike.Add("myeep.exe", false);
  lookAlike.Add("eep.exe.bak", false);
  EXPECT_FALSE(IsProcessRunning(lookAlike, "eep.exe", true));
}

TEST(mdlProcess, PlatformDecidesTheMethod) {
  FakeProcessApi api;
  api.Add("C:\\WINDOWS\\EXPLORER.EXE");
  api.Add("C:\\SIM\\EEP.EXE");

  api.platformId = 1;  // snapshot: full paths in walk order
  EXPECT_EQ(1, GetPlatformId(api));
  EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\EXPLORER.EXE", "C:\\SIM\\EEP.EXE"}),
            GetProcessList(api));
  EXPECT_TRUE(IsProcessRunning(api, "eep.exe", true));
  EXPECT_TRUE(api.enumBufferSizes.empty());

  api.platformId = 3;  // unknown: nothing is detected
  EXPECT_EQ(std::vector<std::string>{""}, GetProcessList(api));
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", true));

  struct NoVersion : FakeProcessApi {
    bool PlatformId(std::uint32_t&) override { return false; }
  } failing;
  failing.Add("C:\\SIM\\EEP.EXE");
  EXPECT_EQ(0, GetPlatformId(failing));
  EXPECT_FALSE(IsProcessRunning(failing, "eep.exe", true));
}

TEST(mdlProcess, FailingIdEnumerationEndsTheSearch) {
  struct Failing : FakeProcessApi {
    bool EnumProcessIds(std::uint32_t*, std::uint32_t cb, std::uint32_t& needed) override {
      enumBufferSizes.push_back(cb);
      needed = cb;  // would keep the buffer growing if believed
      return false;
    }
  } api;
  api.Add("C:\\SIM\\EEP.EXE");
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", true));
  EXPECT_EQ(std::vector<std::uint32_t>{16}, api.enumBufferSizes);
}

}  // namespace
