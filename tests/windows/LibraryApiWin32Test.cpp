// Component libraries on Windows: loading by full path, entry points on a worker
// thread, crashes contained to that thread, and the registration result codes with
// the component fixtures.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/LibraryApiWin32.h"
#include "switching/mdlRegister.h"

namespace {
using Run = plat::ILibraryApi::RunResult;

DWORD ranOnThread = 0;
HRESULT STDAPICALLTYPE Succeeds() {
  ranOnThread = GetCurrentThreadId();
  return S_OK;
}
HRESULT STDAPICALLTYPE Fails() { return E_FAIL; }
HRESULT STDAPICALLTYPE WritesThroughNull() {
  volatile int* volatile p = nullptr;
  *p = 1;
  return S_OK;
}
// An exception that the component's own handler deals with is not a crash.
constexpr DWORD kOwnException = 0xE0474C53;
int handledRaised = 0;
LONG WINAPI HandlesOwnException(EXCEPTION_POINTERS* info) {
  if (info->ExceptionRecord->ExceptionCode != kOwnException) return EXCEPTION_CONTINUE_SEARCH;
  ++handledRaised;
  return EXCEPTION_CONTINUE_EXECUTION;
}
HRESULT STDAPICALLTYPE RaisesAndHandles() {
  RaiseException(kOwnException, 0, 0, nullptr);
  return S_OK;
}

plat::ProcAddress Address(HRESULT(STDAPICALLTYPE* f)()) {
  return reinterpret_cast<plat::ProcAddress>(f);
}

std::string WinPath(std::string unixPath) {
  for (auto& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}
std::string Component(const std::string& name) {
  return WinPath(GLEISORA_FIXTURE_DIR) + "\\components\\" + name;
}

// A private folder in the temp directory with copies of the named components.
struct CopyFolder {
  std::string dir;
  explicit CopyFolder(std::initializer_list<const char*> names) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = std::string(temp) + "gleisora-lib-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const char* n : names) CopyFileA(Component(n).c_str(), (dir + "\\" + n).c_str(), FALSE);
  }
  ~CopyFolder() {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do DeleteFileA((dir + "\\" + fd.cFileName).c_str());
      while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }
};

const char kMarkerKey[] = "Software\\Gleisora Tests\\Components";
std::string Marker(const std::string& name) {
  char buf[1024];
  DWORD size = sizeof buf, type = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, kMarkerKey, name.c_str(), RRF_RT_REG_SZ, &type, buf, &size) !=
      ERROR_SUCCESS)
    return "<none>";
  return buf;
}
bool SameText(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
         CSTR_EQUAL;
}
}  // namespace

TEST(LibraryApiWin32, EntryPointRunsOnItsOwnThreadAndItsResultIsNotExamined) {
  LibraryApiWin32 lib;
  ranOnThread = 0;
  EXPECT_EQ(Run::Ended, lib.RunOnWorker(Address(Succeeds)));
  EXPECT_NE(0u, ranOnThread);
  EXPECT_NE(GetCurrentThreadId(), ranOnThread);
  EXPECT_EQ(Run::Ended, lib.RunOnWorker(Address(Fails)));
}

TEST(LibraryApiWin32, CrashEndsOnlyTheWorkerThread) {
  LibraryApiWin32 lib;
  const auto before = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(before);
  EXPECT_EQ(Run::Crashed, lib.RunOnWorker(Address(WritesThroughNull)));
  EXPECT_EQ(Run::Crashed, lib.RunOnWorker(Address(WritesThroughNull)));
  EXPECT_EQ(Run::Ended, lib.RunOnWorker(Address(Succeeds)));
  // The program's own filter is back once the worker has ended.
  const auto after = SetUnhandledExceptionFilter(nullptr);
  SetUnhandledExceptionFilter(after);
  EXPECT_EQ(before, after);
}

TEST(LibraryApiWin32, HandledExceptionsInTheComponentAreNotCrashes) {
  LibraryApiWin32 lib;
  PVOID handler = AddVectoredExceptionHandler(1, HandlesOwnException);
  handledRaised = 0;
  EXPECT_EQ(Run::Ended, lib.RunOnWorker(Address(RaisesAndHandles)));
  EXPECT_EQ(1, handledRaised);
  RemoveVectoredExceptionHandler(handler);
}

TEST(LibraryApiWin32, LoadNeedsARealLibrary) {
  LibraryApiWin32 lib;
  EXPECT_EQ(0u, lib.Load(Component("no-such.dll")));
  EXPECT_EQ(0u, lib.Load(Component("notalib.dll")));
  const plat::ModuleHandle m = lib.Load(Component("comp_a.dll"));
  ASSERT_NE(0u, m);
  EXPECT_NE(0u, lib.Find(m, "DllRegisterServer"));
  EXPECT_EQ(0u, lib.Find(m, "NoSuchEntry"));
  lib.Free(m);
}

TEST(LibraryApiWin32, RegisterComponentCodesWithFixtures) {
  CopyFolder folder({"comp_a.dll", "comp_b.dll", "comp_fail.dll", "comp_noentry.dll",
                     "comp_crash.dll", "notalib.dll"});
  LibraryApiWin32 lib;
  // Loaded by full path even when neither the current folder nor the program's holds it.
  SetCurrentDirectoryA(WinPath(GLEISORA_SOURCE_DIR).c_str());
  EXPECT_EQ(0, RegisterComponent(lib, folder.dir + "\\comp_a.dll", true));
  EXPECT_TRUE(SameText(folder.dir, Marker("comp_a.dll"))) << Marker("comp_a.dll");
  EXPECT_EQ(0, RegisterComponent(lib, folder.dir + "\\comp_a.dll", false));
  EXPECT_EQ("<none>", Marker("comp_a.dll"));

  EXPECT_EQ(0, RegisterComponent(lib, folder.dir + "\\comp_fail.dll", true));
  EXPECT_EQ(-2, RegisterComponent(lib, folder.dir + "\\notalib.dll", true));
  EXPECT_EQ(-2, RegisterComponent(lib, folder.dir + "\\missing.dll", true));
  EXPECT_EQ(-3, RegisterComponent(lib, folder.dir + "\\comp_noentry.dll", true));
  EXPECT_EQ(-6, RegisterComponent(lib, folder.dir + "\\comp_crash.dll", true));
  // The program goes on registering after the crash.
  EXPECT_EQ(0, RegisterComponent(lib, folder.dir + "\\comp_b.dll", true));
  EXPECT_TRUE(SameText(folder.dir, Marker("comp_b.dll")));
  EXPECT_EQ(0, RegisterComponent(lib, folder.dir + "\\comp_b.dll", false));
}
