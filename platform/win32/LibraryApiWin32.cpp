#include "platform/win32/LibraryApiWin32.h"

#include <windows.h>

#include <ole2.h>

#include <atomic>
#include <vector>

#include "platform/win32/SystemLibrary.h"

namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

// One registration runs at a time (the user-interface thread waits for it).
std::atomic<DWORD> workerThread{0};
std::atomic<bool> workerCrashed{false};
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

// Reached only for exceptions that no handler of the thread took: the component has
// crashed. Its own thread ends; the program goes on.
LONG WINAPI WorkerCrashFilter(EXCEPTION_POINTERS* info) {
  if (workerThread.load() != 0 && GetCurrentThreadId() == workerThread.load()) {
    workerCrashed = true;
    ExitThread(info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode
                                             : static_cast<DWORD>(E_FAIL));
  }
  return previousFilter ? previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI RunEntry(LPVOID entry) {
  workerThread = GetCurrentThreadId();
  // COM on the thread, as the system's own registration tool provides it: components
  // built with the common COM frameworks fail to register without it.
  const HRESULT ole = OleInitialize(nullptr);
  const auto result = static_cast<DWORD>(reinterpret_cast<EntryPoint>(entry)());
  if (SUCCEEDED(ole)) OleUninitialize();
  return result;
}

}  // namespace

plat::ModuleHandle LibraryApiWin32::Load(const std::string& path) {
  // The altered search order needs an absolute path (a drive-relative one is made full).
  std::vector<char> full(MAX_PATH);
  DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (n >= full.size()) {
    full.resize(n + 1);
    n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (n == 0 || n >= full.size()) return 0;
  // The component's dependencies come from its own folder and the system folder, never
  // from the program's or the current folder. The program's own folder is left out of
  // the default directories here on purpose.
  const DWORD search = win32::HasSearchFlags()
                           ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32 |
                                 LOAD_LIBRARY_SEARCH_USER_DIRS
                           : LOAD_WITH_ALTERED_SEARCH_PATH;
  // No system dialog for a broken file or a missing dependency: the caller logs it.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryExA(full.data(), nullptr, search);
  SetErrorMode(oldMode);
  return reinterpret_cast<plat::ModuleHandle>(module);
}

plat::ProcAddress LibraryApiWin32::Find(plat::ModuleHandle module, const std::string& name) {
  if (module == 0) return 0;
  return reinterpret_cast<plat::ProcAddress>(
      GetProcAddress(reinterpret_cast<HMODULE>(module), name.c_str()));
}

plat::ILibraryApi::RunResult LibraryApiWin32::RunOnWorker(plat::ProcAddress entry) {
  workerThread = 0;
  workerCrashed = false;
  previousFilter = SetUnhandledExceptionFilter(WorkerCrashFilter);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, RunEntry, reinterpret_cast<LPVOID>(entry), 0, &id);
  RunResult result = RunResult::Ended;
  if (thread == nullptr) {
    result = RunResult::NoThread;
  } else if (WaitForSingleObject(thread, INFINITE) != WAIT_OBJECT_0) {
    result = RunResult::WaitFailed;  // the handle stays open: the thread may still run
  } else {
    CloseHandle(thread);
    if (workerCrashed) result = RunResult::Crashed;
  }
  SetUnhandledExceptionFilter(previousFilter);
  workerThread = 0;
  return result;
}

void LibraryApiWin32::Free(plat::ModuleHandle module) {
  if (module != 0) FreeLibrary(reinterpret_cast<HMODULE>(module));
}
