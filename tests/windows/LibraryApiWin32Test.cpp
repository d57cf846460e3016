// Component entry points on Windows: run on a worker thread, a crash contained to that
// thread. Loading and registering real components is covered end to end.
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include "platform/win32/LibraryApiWin32.h"

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
plat::ProcAddress Address(HRESULT(STDAPICALLTYPE* f)()) {
  return reinterpret_cast<plat::ProcAddress>(f);
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
