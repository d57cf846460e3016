#include "platform/win32/LibraryApiWin32.h"

#include <windows.h>

#include <ole2.h>

#include <atomic>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/win32/SystemLibrary.h"

namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

// One registration runs at a time (the child's main thread waits for it).
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

const char kChildSwitch[] = "/register-component ";

// The child's exit codes are the result codes the log shows for them.
using Run = plat::ILibraryApi::RunResult;
constexpr std::pair<Run, int> kExitCodes[] = {
    {Run::Ended, 0},       {Run::NotLoaded, -2}, {Run::NoEntryPoint, -3}, {Run::NoProcess, -4},
    {Run::WaitFailed, -5}, {Run::Crashed, -6},   {Run::TimedOut, -7}};

int ExitCodeOf(Run result) {
  for (const auto& [run, code] : kExitCodes)
    if (run == result) return code;
  return -6;
}

// Anything else ended the child abnormally: an exception that its own filter did not
// catch, or an ExitProcess from the component.
Run ResultOf(DWORD exitCode) {
  for (const auto& [run, code] : kExitCodes)
    if (static_cast<DWORD>(code) == exitCode) return run;
  return Run::Crashed;
}

Run RegisterHere(const std::string& path, bool doRegister) {
  const auto module = LibraryApiWin32::Load(path);
  if (module == 0) return Run::NotLoaded;
  const auto entry =
      LibraryApiWin32::Find(module, doRegister ? "DllRegisterServer" : "DllUnregisterServer");
  if (entry == 0) return Run::NoEntryPoint;
  const Run result = LibraryApiWin32::RunOnWorker(entry);
  // After a crash or a failed wait the library is left as it is; the process ends anyway.
  if (result == Run::Ended) LibraryApiWin32::Free(module);
  return result;
}

struct ChildProcess {
  PROCESS_INFORMATION info{};
  ~ChildProcess() {
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
  }
};

// Serves the thread's windows until the child ends or the time is up: the window stays
// painted and the log keeps moving. A quit request is kept for the main loop.
DWORD WaitServingWindows(HANDLE process, std::uint32_t timeoutMs) {
  const DWORD start = GetTickCount();
  bool quit = false;
  WPARAM quitCode = 0;
  DWORD wait;
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) {
      wait = WAIT_TIMEOUT;
      break;
    }
    wait = MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    if (wait != WAIT_OBJECT_0 + 1) {
      if (wait == WAIT_TIMEOUT) continue;
      break;
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return wait;
}

}  // namespace

std::optional<int> LibraryApiWin32::ChildRequest(const char* commandLine) {
  if (commandLine == nullptr ||
      std::strncmp(commandLine, kChildSwitch, sizeof kChildSwitch - 1) != 0)
    return std::nullopt;
  // No system dialog from the child: the parent logs what happened.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  // "<1|0> "<full path>""
  const std::string rest = commandLine + sizeof kChildSwitch - 1;
  if (rest.size() < 5 || (rest[0] != '1' && rest[0] != '0') || rest.compare(1, 2, " \"") != 0 ||
      rest.back() != '"')
    return ExitCodeOf(Run::NotLoaded);
  return ExitCodeOf(RegisterHere(rest.substr(3, rest.size() - 4), rest[0] == '1'));
}

plat::ILibraryApi::RunResult LibraryApiWin32::RunInChild(const std::string& path,
                                                         bool doRegister,
                                                         std::uint32_t timeoutMs) {
  std::string program = program_;
  if (program.empty()) {
    std::vector<char> own(MAX_PATH);
    DWORD n;
    while ((n = GetModuleFileNameA(nullptr, own.data(), static_cast<DWORD>(own.size()))) ==
               own.size() &&
           own.size() < 32768)
      own.resize(own.size() * 2);
    if (n == 0 || n >= own.size()) return Run::NoProcess;
    program.assign(own.data(), n);
  }
  std::string command = "\"" + program + "\" " + kChildSwitch + (doRegister ? "1" : "0") +
                        " \"" + path + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  ChildProcess child;
  // The current folder is passed on: the component is loaded where the parent stands.
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &child.info))
    return Run::NoProcess;
  const DWORD wait = WaitServingWindows(child.info.hProcess, timeoutMs);
  if (wait != WAIT_OBJECT_0) {
    TerminateProcess(child.info.hProcess, static_cast<UINT>(ExitCodeOf(Run::TimedOut)));
    WaitForSingleObject(child.info.hProcess, 5000);
    return wait == WAIT_TIMEOUT ? Run::TimedOut : Run::WaitFailed;
  }
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(child.info.hProcess, &exitCode)) return Run::WaitFailed;
  return ResultOf(exitCode);
}

LibraryApiWin32::ModuleHandle LibraryApiWin32::Load(const std::string& path) {
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
  return reinterpret_cast<ModuleHandle>(module);
}

LibraryApiWin32::ProcAddress LibraryApiWin32::Find(ModuleHandle module, const std::string& name) {
  if (module == 0) return 0;
  return reinterpret_cast<ProcAddress>(
      GetProcAddress(reinterpret_cast<HMODULE>(module), name.c_str()));
}

plat::ILibraryApi::RunResult LibraryApiWin32::RunOnWorker(ProcAddress entry) {
  workerThread = 0;
  workerCrashed = false;
  previousFilter = SetUnhandledExceptionFilter(WorkerCrashFilter);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, RunEntry, reinterpret_cast<LPVOID>(entry), 0, &id);
  RunResult result = RunResult::Ended;
  if (thread == nullptr) {
    result = RunResult::NoProcess;
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

void LibraryApiWin32::Free(ModuleHandle module) {
  if (module != 0) FreeLibrary(reinterpret_cast<HMODULE>(module));
}
