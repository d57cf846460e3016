// The Start button with the real shell and process list: it starts the registered
// executable, asks before starting a second one, and names a missing file.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frmMain.h"
#include "platform/win32/Win32Platform.h"
#include "tests/fakes/FakeMainView.h"

namespace {

// A copy of this program started by the shell notes its working directory beside
// itself and waits here until the test ends it.
const bool kIsStartedCopy = [] {
  char flag[4];
  if (!GetEnvironmentVariableA("GLEISORA_START_WAIT", flag, sizeof flag)) return false;
  char self[MAX_PATH * 4], cwd[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  DWORD c = GetCurrentDirectoryA(sizeof cwd, cwd);
  std::string note(self, n);
  note = note.substr(0, note.find_last_of('\\')) + "\\cwd.txt";
  HANDLE h = CreateFileA(note.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, cwd, c, &written, nullptr);
  CloseHandle(h);
  Sleep(INFINITE);
  return true;
}();

std::string ReadNote(const std::string& path) {
  std::string text;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return text;
  char buf[1024];
  DWORD got = 0;
  if (ReadFile(h, buf, sizeof buf, &got, nullptr)) text.assign(buf, got);
  CloseHandle(h);
  return text;
}

std::string OwnPath() {
  char buf[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return std::string(buf, n);
}

// Ids of the processes whose image is `path`.
std::vector<DWORD> ProcessesOf(const std::string& path) {
  std::vector<DWORD> ids;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e)) {
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, e.th32ProcessID);
    if (!h) continue;
    char buf[MAX_PATH * 4];
    DWORD size = sizeof buf;
    if (QueryFullProcessImageNameA(h, 0, buf, &size) && lstrcmpiA(buf, path.c_str()) == 0)
      ids.push_back(e.th32ProcessID);
    CloseHandle(h);
  }
  CloseHandle(snap);
  return ids;
}

class ProcessWin32Start : public ::testing::Test {
 protected:
  Win32Platform real;
  plat::Platform platform = real.Get();
  FakeMainView view;
  std::string dir;
  std::string exe;

  void SetUp() override {
    char buf[MAX_PATH];
    DWORD n = GetTempPathA(sizeof buf, buf);
    dir = std::string(buf, n) + "gleisora-start-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    exe = dir + "\\EEP.EXE";
    ASSERT_TRUE(CopyFileA(OwnPath().c_str(), exe.c_str(), FALSE));
    platform.appDir = dir;  // the language file, if any, lands here
    platform.exeName = "Gleisora";
    view.caption = "Gleisora v1.10";
    SetEnvironmentVariableA("GLEISORA_START_WAIT", "1");
  }
  void TearDown() override {
    SetEnvironmentVariableA("GLEISORA_START_WAIT", nullptr);
    for (DWORD pid : ProcessesOf(exe)) {
      if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
        TerminateProcess(h, 0);
        WaitForSingleObject(h, INFINITE);
        CloseHandle(h);
      }
    }
    DeleteFileA(exe.c_str());
    DeleteFileA((dir + "\\cwd.txt").c_str());
    DeleteFileA((dir + "\\Gleisora.lng").c_str());
    RemoveDirectoryA(dir.c_str());
  }
  // The shell returns once the program is launched; wait (bounded) until it shows.
  std::size_t WaitForCount(std::size_t wanted) {
    std::size_t n = 0;
    for (int i = 0; i < 200 && (n = ProcessesOf(exe).size()) < wanted; ++i) Sleep(25);
    return n;
  }
};

TEST_F(ProcessWin32Start, StartsOnceAndAsksBeforeASecondStart) {
  frmMain form(platform, view);
  form.RegAppPath = exe;
  form.RegAppDir = dir;

  form.cmdStartEEP_Click();
  EXPECT_TRUE(view.boxes.empty());
  ASSERT_EQ(1u, WaitForCount(1));
  // It runs in its own folder, whatever ours is.
  std::string cwd;
  for (int i = 0; i < 200 && (cwd = ReadNote(dir + "\\cwd.txt")).empty(); ++i) Sleep(25);
  EXPECT_EQ(0, lstrcmpiA(dir.c_str(), cwd.c_str())) << cwd;

  view.answers = {mb::kIdNo};
  form.cmdStartEEP_Click();
  ASSERT_EQ(1u, view.boxes.size());
  EXPECT_EQ(mb::kYesNo | mb::kIconQuestion, view.boxes[0].style);
  Sleep(200);
  EXPECT_EQ(1u, ProcessesOf(exe).size());

  view.answers = {mb::kIdYes};
  form.cmdStartEEP_Click();
  EXPECT_EQ(2u, WaitForCount(2));
}

TEST_F(ProcessWin32Start, MissingExecutableIsNamedInTheMessage) {
  frmMain form(platform, view);
  form.RegAppPath = dir + "\\fehlt\\eep.exe";
  form.RegAppDir = dir + "\\fehlt";
  form.cmdStartEEP_Click();
  ASSERT_EQ(1u, view.boxes.size());
  EXPECT_EQ("EEP konnte nicht gestartet werden!\r\nPfad: '" + form.RegAppPath + "'",
            view.boxes[0].text);
  EXPECT_EQ(mb::kOk | mb::kIconStop, view.boxes[0].style);
}

}  // namespace
