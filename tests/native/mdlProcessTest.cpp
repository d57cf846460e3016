// Detection of a running simulator by its executable's file name, over process lists
// as the system gives them.
#include <gtest/gtest.h>

#include <optional>

#include "switching/mdlProcess.h"
#include "tests/fakes/FakeServices.h"

namespace {

using Procs = std::vector<std::pair<std::string, bool>>;  // path, readable
using Names = std::vector<std::string>;

Procs Many(int n, const std::string& last) {
  Procs p;
  for (int i = 0; i < n - 1; ++i) p.push_back({"C:\\Windows\\svc" + std::to_string(i) + ".exe", true});
  p.push_back({last, true});
  return p;
}

const Procs kExplorer{{"C:\\Windows\\explorer.exe", true}};
Procs With(const std::string& path, bool readable = true) {
  Procs p = kExplorer;
  p.push_back({path, readable});
  return p;
}

TEST(mdlProcess, FindsTheSimulatorByFileNameHoweverTheListIsRead) {
  const struct {
    const char* what;
    Procs procs;
    const char* exe;
    bool running;
    std::optional<Names> list = {};
    std::vector<std::uint32_t> sizes = {16};  // cb of each EnumProcessIds call
    bool fileNameOnly = true;
    std::uint32_t platformId = 2;
  } cases[] = {
      {"upper case", With("C:\\Sim\\EEP.EXE"), "eep.exe", true},
      {"another folder", With("D:\\Spiele\\EEP6\\eep.exe"), "eep.exe", true},
      {"longer name", With("C:\\Sim\\eep.exe.bak"), "eep.exe", false},
      {"prefixed name", With("C:\\Sim\\myeep.exe"), "eep.exe", false},
      {"name of a folder", With("C:\\eep.exe\\other.exe"), "eep.exe", false},
      {"no backslash, no file name", With("eep.exe"), "eep.exe", false},
      {"whole path wanted", With("C:\\Sim\\eep.exe"), "eep.exe", false, {}, {16}, false},
      {"whole path given", With("C:\\Sim\\eep.exe"), "c:\\sim\\EEP.exe", true, {}, {16}, false},
      // 40 ids need 160 bytes; 256 is the first size with room to spare.
      {"the 40th process", Many(40, "C:\\Sim\\eep.exe"), "EEP.EXE", true, {}, {16, 32, 64, 128, 256}},
      // 32 ids fill 128 bytes exactly: not enough, one more call.
      {"a buffer filled exactly", Many(32, "C:\\p.exe"), "p.exe", true, {}, {16, 32, 64, 128, 256}},
      // Raised rights refuse query-and-read access; the image name still tells.
      {"unreadable", With("C:\\Programme\\EEP6\\EEP.exe", false), "eep.exe", true,
       Names{"C:\\Windows\\explorer.exe", "C:\\Programme\\EEP6\\EEP.exe"}},
      {"unreadable, bare name", {{"EEP.EXE", false}}, "eep.exe", true, Names{"\\EEP.EXE"}},
      {"unreadable look-alikes", {{"myeep.exe", false}, {"eep.exe.bak", false}}, "eep.exe", false},
      {"unreadable, no name: positions kept",
       {{"C:\\a.exe", true}, {"", false}, {"C:\\c.exe", true}, {"", false}}, "a.exe", true,
       Names{"C:\\a.exe", "", "C:\\c.exe"}, {16, 32}},
      {"nothing readable", {{"", false}}, "eep.exe", false, Names{""}},
      {"snapshot: full paths in walk order", {{"C:\\W\\EXPLORER.EXE", true}, {"C:\\SIM\\EEP.EXE", true}},
       "eep.exe", true, Names{"C:\\W\\EXPLORER.EXE", "C:\\SIM\\EEP.EXE"}, {}, true, 1},
      {"unknown platform", With("C:\\SIM\\EEP.EXE"), "eep.exe", false, Names{""}, {}, true, 3},
      {"no platform", With("C:\\SIM\\EEP.EXE"), "eep.exe", false, Names{""}, {}, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeProcessApi api;
    api.platformId = c.platformId;
    for (const auto& [path, readable] : c.procs) api.Add(path, readable);
    EXPECT_EQ(c.running, IsProcessRunning(api, c.exe, c.fileNameOnly));
    EXPECT_EQ(c.sizes, api.enumBufferSizes);
    EXPECT_EQ(static_cast<std::int32_t>(c.platformId), GetPlatformId(api));
    const Names list = GetProcessList(api);
    if (c.list) { EXPECT_EQ(*c.list, list); }
    int readable = 0;
    for (const auto& p : c.procs) readable += p.second;
    if (c.platformId == 2) { EXPECT_EQ(2 * readable, api.closed) << "a handle left open"; }
  }
}

}  // namespace
