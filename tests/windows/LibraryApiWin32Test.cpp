// Component libraries on Windows: entry points on a worker thread, crashes contained
// to that thread, loading by full path, and the registration result codes.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/LibraryApiWin32.h"
#include "switching/mdlRegister.h"
#include "tests/windows/E2eHarness.h"

namespace {
using Run = plat::ILibraryApi::RunResult;

DWORD ranOnThread = 0;
HRESULT STDAPICALLTYPE Succeeds() {
  ranOnThread = GetCurrentThreadId();
  return S_OK;
}
HRESULT STDAPICALLTYPE WritesThroughNull() {
  volatile int* volatile p = nullptr;
  *p = 1;
  return S_OK;
}
// An exception that the component's own handler deals with is not a crash.
constexpr DWORD kOwnException = 0xE0474C53;
LONG WINAPI HandlesOwnException(EXCEPTION_POINTERS* info) {
  return info->ExceptionRecord->ExceptionCode == kOwnException ? EXCEPTION_CONTINUE_EXECUTION
                                                               : EXCEPTION_CONTINUE_SEARCH;
}
HRESULT STDAPICALLTYPE RaisesAndHandles() {
  RaiseException(kOwnException, 0, 0, nullptr);
  return S_OK;
}
plat::ProcAddress Address(HRESULT(STDAPICALLTYPE* f)()) {
  return reinterpret_cast<plat::ProcAddress>(f);
}

std::string Marker(const std::string& name) {
  char buf[1024];
  DWORD size = sizeof buf;
  if (RegGetValueA(HKEY_CURRENT_USER, e2e::kMarkers, name.c_str(), RRF_RT_REG_SZ, nullptr, buf,
                   &size))
    return "<none>";
  return buf;
}
}  // namespace

TEST(LibraryApiWin32, EntryPointsRunOnAWorkerAndACrashEndsOnlyThatThread) {
  const auto before = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(before);
  LibraryApiWin32 lib;
  ranOnThread = 0;
  EXPECT_EQ(Run::Ended, lib.RunOnWorker(Address(Succeeds)));
  EXPECT_NE(0u, ranOnThread);
  EXPECT_NE(GetCurrentThreadId(), ranOnThread);
  EXPECT_EQ(Run::Crashed, lib.RunOnWorker(Address(WritesThroughNull)));
  EXPECT_EQ(Run::Crashed, lib.RunOnWorker(Address(WritesThroughNull)));
  EXPECT_EQ(Run::Ended, lib.RunOnWorker(Address(Succeeds)));
  // The program's own filter is back once the worker has ended.
  const auto after = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(after);
  EXPECT_EQ(before, after);

  PVOID handler = AddVectoredExceptionHandler(1, HandlesOwnException);
  EXPECT_EQ(Run::Ended, lib.RunOnWorker(Address(RaisesAndHandles)));
  RemoveVectoredExceptionHandler(handler);
}

TEST(LibraryApiWin32, RegisterComponentCodesWithFixtures) {
  // Copies in a private folder, loaded by full path while the current folder is another.
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "gleisora-lib-" + std::to_string(GetCurrentProcessId());
  const char* const names[] = {"comp_a.dll", "comp_b.dll", "comp_fail.dll", "comp_noentry.dll",
                               "comp_crash.dll", "notalib.dll"};
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const char* n : names)
    ASSERT_TRUE(CopyFileA((e2e::FixtureDir() + "\\components\\" + n).c_str(),
                          (dir + "\\" + n).c_str(), FALSE)) << n;
  SetCurrentDirectoryA(e2e::SourceDir().c_str());
  LibraryApiWin32 lib;
  auto same = [](const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; };

  EXPECT_EQ(0, RegisterComponent(lib, dir + "\\comp_a.dll", true));
  EXPECT_TRUE(same(dir, Marker("comp_a.dll"))) << Marker("comp_a.dll");
  EXPECT_EQ(0, RegisterComponent(lib, dir + "\\comp_a.dll", false));
  EXPECT_EQ("<none>", Marker("comp_a.dll"));
  EXPECT_EQ(0, RegisterComponent(lib, dir + "\\comp_fail.dll", true));  // result not examined
  EXPECT_EQ(-2, RegisterComponent(lib, dir + "\\notalib.dll", true));
  EXPECT_EQ(-2, RegisterComponent(lib, dir + "\\missing.dll", true));
  EXPECT_EQ(-3, RegisterComponent(lib, dir + "\\comp_noentry.dll", true));
  EXPECT_EQ(-6, RegisterComponent(lib, dir + "\\comp_crash.dll", true));
  // Registering goes on after the crash.
  EXPECT_EQ(0, RegisterComponent(lib, dir + "\\comp_b.dll", true));
  EXPECT_TRUE(same(dir, Marker("comp_b.dll")));
  EXPECT_EQ(0, RegisterComponent(lib, dir + "\\comp_b.dll", false));

  for (const char* n : names) DeleteFileA((dir + "\\" + n).c_str());
  RemoveDirectoryA(dir.c_str());
}
