// Running-instance detection with the real process services: a program copied as
// EEP.EXE is seen while it runs and not after it ends; look-alike names never match.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/ProcessApiWin32.h"
#include "switching/mdlProcess.h"

namespace {

// A copy of this program started by the tests below waits here, before any test
// runs, until the test ends it.
const bool kIsWaitingCopy = [] {
  char flag[4];
  if (GetEnvironmentVariableA("GLEISORA_CHILD_WAIT", flag, sizeof flag)) Sleep(INFINITE);
  return false;
}();

std::string TempFolder() {
  char buf[MAX_PATH];
  DWORD n = GetTempPathA(sizeof buf, buf);
  std::string dir = std::string(buf, n) + "gleisora-proc-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

std::string OwnPath() {
  char buf[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return std::string(buf, n);
}

// A copy of this test program, running (it waits, see above) or held suspended.
class Child {
 public:
  Child(const std::string& exe, bool suspended) {
    std::string cmd = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    SetEnvironmentVariableA("GLEISORA_CHILD_WAIT", "1");
    ok_ = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE,
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
  std::string dir = TempFolder();
  ProcessApiWin32 api;

  std::string CopyAs(const std::string& name) {
    const std::string target = dir + "\\" + name;
    EXPECT_TRUE(CopyFileA(OwnPath().c_str(), target.c_str(), FALSE)) << target;
    return target;
  }
  void TearDown() override {
    for (const char* name : {"EEP.EXE", "eep.exe.bak", "myeep.exe"})
      DeleteFileA((dir + "\\" + name).c_str());
    RemoveDirectoryA(dir.c_str());
  }
};

TEST_F(ProcessWin32, RunningCopyIsSeenUntilItEnds) {
  EXPECT_EQ(2, GetPlatformId(api));
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", true));

  const std::string exe = CopyAs("EEP.EXE");
  Child child(exe, false);
  ASSERT_TRUE(child.ok());
  EXPECT_TRUE(IsProcessRunning(api, "eep.exe", true));
  EXPECT_TRUE(IsProcessRunning(api, "EEP.exe", true));
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", false));  // the whole path is compared

  // Our own full path is in the list under its Windows name.
  bool ownFound = false;
  for (const std::string& p : GetProcessList(api))
    if (lstrcmpiA(p.c_str(), OwnPath().c_str()) == 0) ownFound = true;
  EXPECT_TRUE(ownFound);

  child.End();
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", true));
}

TEST_F(ProcessWin32, ProcessWithoutReadableModulesIsFoundByImageName) {
  // A process held before its loader ran has no module list to read, as one we may
  // not open for reading has none for us.
  const std::string exe = CopyAs("EEP.EXE");
  Child child(exe, true);
  ASSERT_TRUE(child.ok());
  // Without the image name the copy would go unseen.
  struct ModulesOnly : ProcessApiWin32 {
    std::string ImageName(std::uint32_t) override { return ""; }
  } modulesOnly;
  EXPECT_FALSE(IsProcessRunning(modulesOnly, "eep.exe", true));

  const std::string image = api.ImageName(child.pid());
  EXPECT_EQ("EEP.EXE", image.substr(image.find_last_of('\\') + 1));
  EXPECT_TRUE(IsProcessRunning(api, "eep.exe", true));
  child.End();
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", true));
}

TEST_F(ProcessWin32, LookAlikeNamesNeverMatch) {
  Child bak(CopyAs("eep.exe.bak"), false);
  Child my(CopyAs("myeep.exe"), false);
  ASSERT_TRUE(bak.ok());
  ASSERT_TRUE(my.ok());
  EXPECT_TRUE(IsProcessRunning(api, "myeep.exe", true));
  EXPECT_FALSE(IsProcessRunning(api, "eep.exe", true));
}

}  // namespace
