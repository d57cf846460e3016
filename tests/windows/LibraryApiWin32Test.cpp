// Component entry points on Windows: run in a child process of the program, there on a
// worker thread with a crash contained to that thread. Registering real components is
// covered end to end.
#include <windows.h>

#include <objbase.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/LibraryApiWin32.h"
#include "switching/mdlRegister.h"

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
// Succeeds only where COM is already set up on the calling thread.
bool comWasThere = false;
HRESULT STDAPICALLTYPE NeedsCom() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(hr)) CoUninitialize();
  comWasThere = hr == S_FALSE;
  return comWasThere ? S_OK : CO_E_NOTINITIALIZED;
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
LibraryApiWin32::ProcAddress Address(HRESULT(STDAPICALLTYPE* f)()) {
  return reinterpret_cast<LibraryApiWin32::ProcAddress>(f);
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

  EXPECT_EQ(Run::Ended, lib.RunOnWorker(Address(NeedsCom)));
  EXPECT_TRUE(comWasThere);

  PVOID handler = AddVectoredExceptionHandler(1, HandlesOwnException);
  EXPECT_EQ(Run::Ended, lib.RunOnWorker(Address(RaisesAndHandles)));
  RemoveVectoredExceptionHandler(handler);
}

namespace {
std::string WinePath(std::string p) {
  std::replace(p.begin(), p.end(), '/', '\\');
  return "Z:" + p;
}
bool ChildLeft() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    found |= entry.th32ParentProcessID == GetCurrentProcessId() &&
             lstrcmpiA(entry.szExeFile, "Gleisora.exe") == 0;
  CloseHandle(snapshot);
  return found;
}
}  // namespace

TEST(LibraryApiWin32, TheChildReportsHowTheEntryPointEnded) {
  LibraryApiWin32 lib(WinePath(GLEISORA_EXE_DIR) + "\\Gleisora.exe");
  const std::string dir = WinePath(GLEISORA_FIXTURE_DIR) + "\\components\\";
  int yields = 0;
  const auto yield = [&] { ++yields; };
  const std::pair<const char*, plat::ILibraryApi::RunResult> cases[] = {
      {"comp_a.dll", Run::Ended},           {"notalib.dll", Run::NotLoaded},
      {"comp_noentry.dll", Run::NoEntryPoint}, {"comp_crash.dll", Run::Crashed},
      {"comp_hang.dll", Run::TimedOut}};
  for (const auto& [file, expected] : cases) {
    EXPECT_EQ(expected, lib.RunInChild(dir + file, true, 5000, yield)) << file;
    lib.EndChild(yield);
    EXPECT_FALSE(ChildLeft()) << file;
  }
  // The hang was waited for in slices, the window served in between.
  EXPECT_GT(yields, 1);
  EXPECT_EQ(Run::NoProcess, LibraryApiWin32(dir + "missing.exe").RunInChild(dir + "comp_a.dll", true, 5000, yield));
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Gleisora Tests\\Components");
}

// One list in one child: a crash in the middle costs only that component, the next
// one registers in a fresh child, and no child is left afterwards.
TEST(LibraryApiWin32, AComponentAfterACrashStillRegisters) {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Gleisora Tests\\Components");
  LibraryApiWin32 lib(WinePath(GLEISORA_EXE_DIR) + "\\Gleisora.exe");
  const std::string dir = WinePath(GLEISORA_FIXTURE_DIR) + "\\components";
  SetCurrentDirectoryA(dir.c_str());
  std::vector<std::int32_t> results;
  {
    ComponentChild child(lib, [] {});
    for (const char* file : {"comp_a.dll", "comp_crash.dll", "comp_b.dll"})
      results.push_back(child.Register(dir + "\\" + file, true));
  }
  EXPECT_EQ((std::vector<std::int32_t>{0, -6, 0}), results);
  EXPECT_FALSE(ChildLeft());
  char folder[MAX_PATH] = "";
  DWORD size = sizeof folder;
  EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, "Software\\Gleisora Tests\\Components",
                                        "comp_b.dll", RRF_RT_REG_SZ, nullptr, folder, &size));
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Gleisora Tests\\Components");
}
