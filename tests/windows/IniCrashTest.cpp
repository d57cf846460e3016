// A writer killed while saving leaves the launcher INI complete: old or new content,
// never a cut file. A copy of this program writes in a loop until it is terminated.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32Platform.h"
#include "support/cInifile.h"
#include "tests/windows/E2eHarness.h"

namespace {

const char kWriterVar[] = "GLEISORA_INI_WRITER";
const std::string kPad(200000, 'p');

std::string Content(long generation) {
  return "[S]\r\npad=" + kPad + "\r\ngen=" + std::to_string(generation) + "\r\nend=1\r\n";
}

// Whether `data` is the file of some generation.
bool Complete(const std::string& data) {
  const std::size_t at = data.find("\r\ngen=") + 6, eol = data.find("\r\n", at);
  if (at < 6 || eol == std::string::npos || eol == at) return false;
  const std::string gen = data.substr(at, eol - at);
  return gen.find_first_not_of("0123456789") == std::string::npos && data == Content(std::stol(gen));
}

std::string ReadFileBytes(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string data;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) data.append(buf, got);
  CloseHandle(h);
  return data;
}

// The child: with the variable set, rewrites the file until it is killed.
TEST(IniCrashChild, WritesInALoop) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA(kWriterVar, path, MAX_PATH)) GTEST_SKIP() << "only as a child";
  Win32Platform real;
  cInifile ini(real.Get());
  ini.Path(path);
  ini.Section("S");
  ini.Key("gen");
  for (long n = 1; n < 1000000; ++n) {
    ini.Value(std::to_string(n));
    ASSERT_TRUE(ini.Success());
  }
}

TEST(IniCrashSafety, AWriterKilledMidwayLeavesACompleteFile) {
  char tmp[MAX_PATH], self[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, tmp);
  const std::string dir = std::string(tmp, n) + "gleisora-crash";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string file = dir + "\\Gleisora.ini";
  GetModuleFileNameA(nullptr, self, MAX_PATH);

  int changed = 0;
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string old = Content(0);
    ASSERT_TRUE(e2e::WriteTextFile(file, old));

    SetEnvironmentVariableA(kWriterVar, file.c_str());
    std::string cmd = "\"" + std::string(self) + "\" --gtest_filter=IniCrashChild.*";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = INVALID_HANDLE_VALUE;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                       nullptr, &si, &pi);
    SetEnvironmentVariableA(kWriterVar, nullptr);
    ASSERT_TRUE(started);
    // Let it write for a while, a different time each round, then kill it.
    for (int i = 0; i < 3000 && ReadFileBytes(file) == old; ++i) Sleep(10);
    Sleep(37 * round + 5);
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    const std::string now = ReadFileBytes(file);
    EXPECT_TRUE(Complete(now)) << "size " << now.size();
    if (now != old) ++changed;
  }
  // The child did write: the check above saw new generations, not only the old file.
  EXPECT_GT(changed, 0);

  // A killed writer may leave its temporary file beside the INI.
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do DeleteFileA((dir + "\\" + fd.cFileName).c_str());
    while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

}  // namespace
