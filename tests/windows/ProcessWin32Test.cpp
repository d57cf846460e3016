// Running-instance detection with the real process services: a copy of this program
// named EEP.EXE is seen while it runs and not after it ends; look-alikes never match.
#include <windows.h>

#include <gtest/gtest.h>


#include "platform/win32/ProcessApiWin32.h"
#include "switching/mdlProcess.h"

namespace {

// A copy started by the tests below waits here, before any test runs, until ended.
const bool kIsWaitingCopy = [] {
  char flag[4];
  if (GetEnvironmentVariableA("GLEISORA_CHILD_WAIT", flag, sizeof flag)) Sleep(INFINITE);
  return false;
}();

std::string OwnPath() {
  char buf[MAX_PATH * 4];
  return std::string(buf, GetModuleFileNameA(nullptr, buf, sizeof buf));
}

// A copy of this test program under another name, running or held suspended.
class Child {
 public:
  Child(const std::string& exe, bool suspended) {
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    SetEnvironmentVariableA("GLEISORA_CHILD_WAIT", "1");
    ok_ = CopyFileA(OwnPath().c_str(), exe.c_str(), FALSE) &&
          CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE,
                         suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &si, &pi_);
    SetEnvironmentVariableA("GLEISORA_CHILD_WAIT", nullptr);
    if (ok_ && !suspended) WaitForInputIdle(pi_.hProcess, 5000);
  }
  ~Child() { End(); }
  bool ok() const { return ok_; }
  void End() {
    if (!ok_) return;
    TerminateProcess(pi_.hProcess, 0);
    WaitForSingleObject(pi_.hProcess, INFINITE);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    ok_ = false;
  }
  DWORD pid() const { return pi_.dwProcessId; }

 private:
  PROCESS_INFORMATION pi_{};
  bool ok_ = false;
};

class ProcessWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    char buf[MAX_PATH];
    dir = std::string(buf, GetTempPathA(sizeof buf, buf)) + "gleisora-proc-" +
          std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* name : {"EEP.EXE", "eep.exe.bak", "myeep.exe"})
      DeleteFileA((dir + "\\" + name).c_str());
    RemoveDirectoryA(dir.c_str());
  }
  std::string dir;
  ProcessApiWin32 api;
};

TEST_F(ProcessWin32, RunningCopyIsSeenUntilItEnds) {
  EXPECT_EQ(2, GetPlatformId(api));
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", true));
  Child child(dir + "\\EEP.EXE", false);
  ASSERT_TRUE(child.ok());
  EXPECT_TRUE(IsProcessRunning(api, "EEP.exe", true));
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", false));  // the whole path is compared
  bool ownFound = false;  // our own full path, under its Windows name
  for (const std::string& p : GetProcessList(api)) ownFound |= lstrcmpiA(p.c_str(), OwnPath().c_str()) == 0;
  EXPECT_TRUE(ownFound);
  child.End();
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", true));
}

// A process held before its loader ran has no module list to read, as one we may
// not open for reading has none for us: its image name still finds it.
TEST_F(ProcessWin32, ProcessWithoutReadableModulesIsFoundByImageName) {
  Child child(dir + "\\EEP.EXE", true);
  ASSERT_TRUE(child.ok());
  struct ModulesOnly : ProcessApiWin32 {
    std::string ImageName(std::uint32_t) override { return ""; }
  } modulesOnly;
  EXPECT_FALSE(IsProcessRunning(modulesOnly, "eep.exe", true));
  const std::string image = api.ImageName(child.pid());
  EXPECT_EQ("EEP.EXE", image.substr(image.find_last_of('\\') + 1));
  EXPECT_TRUE(IsProcessRunning(api, "eep.exe", true));
}

TEST_F(ProcessWin32, LookAlikeNamesNeverMatch) {
  Child bak(dir + "\\eep.exe.bak", false), my(dir + "\\myeep.exe", false);
  ASSERT_TRUE(bak.ok() && my.ok());
  EXPECT_TRUE(IsProcessRunning(api, "myeep.exe", true));
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", true));
}

}  // namespace
