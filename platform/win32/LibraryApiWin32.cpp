#include "platform/win32/LibraryApiWin32.h"

#include <windows.h>

#include <ole2.h>

#include <algorithm>
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

const char kChildSwitch[] = "/register-components ";
// How long an ended child may take to go before it is stopped.
constexpr DWORD kEndMs = 5000;
// The longest wait between two yields.
constexpr DWORD kSliceMs = 20;

// The child's exit codes are the result codes the log shows for them.
using Run = plat::ILibraryApi::RunResult;
constexpr std::pair<Run, int> kExitCodes[] = {{Run::Ended, 0},         {Run::NotLoaded, -2},
                                              {Run::NoEntryPoint, -3}, {Run::NoProcess, -4},
                                              {Run::WaitFailed, -5},   {Run::Crashed, -6},
                                              {Run::TimedOut, -7}};

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

// Results after which the child's process is not used again.
bool Unsafe(Run result) { return result != Run::Ended && result != Run::NotLoaded; }

HANDLE AsHandle(void* h) { return static_cast<HANDLE>(h); }
void Close(void*& h) {
  if (h) CloseHandle(AsHandle(h));
  h = nullptr;
}
// A decimal number, optionally signed, after any blanks; false when there is none.
// (The C library's parsers would pull in imports that Windows XP's runtime lacks.)
bool NumberFrom(const char*& text, long long& value) {
  while (*text == ' ') ++text;
  const bool negative = *text == '-';
  if (negative) ++text;
  if (*text < '0' || *text > '9') return false;
  value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
  if (negative) value = -value;
  return true;
}
HANDLE HandleFrom(const char*& text) {
  long long value = 0;
  if (!NumberFrom(text, value) || value <= 0) return nullptr;
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

bool WriteAll(HANDLE pipe, const std::string& text) {
  DWORD written = 0;
  for (std::size_t at = 0; at < text.size(); at += written)
    if (!WriteFile(pipe, text.data() + at, static_cast<DWORD>(text.size() - at), &written, nullptr))
      return false;
  return true;
}

// One request: "<1|0>\t<folder>\t<path>".
int Serve(const std::string& request) {
  const auto tab1 = request.find('\t'), tab2 = request.find('\t', tab1 + 1);
  if (request.size() < 2 || (request[0] != '1' && request[0] != '0') || tab1 != 1 ||
      tab2 == std::string::npos)
    return ExitCodeOf(Run::NotLoaded);
  const std::string folder = request.substr(2, tab2 - 2);
  if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());
  return ExitCodeOf(RegisterHere(request.substr(tab2 + 1), request[0] == '1'));
}

DWORD Elapsed(DWORD since) { return GetTickCount() - since; }

struct Spawn {
  std::string program, command;
  PROCESS_INFORMATION info{};
  bool ok = false;
};
// The child's handles are inherited whichever thread creates it.
DWORD WINAPI SpawnChild(LPVOID data) {
  auto& spawn = *static_cast<Spawn*>(data);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  spawn.ok = CreateProcessA(spawn.program.c_str(), spawn.command.data(), nullptr, nullptr, TRUE, 0,
                            nullptr, nullptr, &startup, &spawn.info) != FALSE;
  return 0;
}

}  // namespace

std::optional<int> LibraryApiWin32::ChildRequest(const char* commandLine) {
  if (commandLine == nullptr ||
      std::strncmp(commandLine, kChildSwitch, sizeof kChildSwitch - 1) != 0)
    return std::nullopt;
  // No system dialog from the child: the parent logs what happened.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  // "<requests> <replies> <ready>": the inherited handles.
  const char* rest = commandLine + sizeof kChildSwitch - 1;
  HANDLE requests = HandleFrom(rest), replies = HandleFrom(rest), ready = HandleFrom(rest);
  if (!requests || !replies || !ready) return ExitCodeOf(Run::NoProcess);
  std::string pending;
  char buffer[4096];
  DWORD got = 0;
  for (;;) {
    const auto end = pending.find('\n');
    if (end == std::string::npos) {
      // The parent closed its end: no more components.
      if (!ReadFile(requests, buffer, sizeof buffer, &got, nullptr) || got == 0) return 0;
      pending.append(buffer, got);
      continue;
    }
    const int code = Serve(pending.substr(0, end));
    pending.erase(0, end + 1);
    if (!WriteAll(replies, std::to_string(code) + "\n") || !SetEvent(ready)) return code;
    // A crashed worker or a library that stays loaded: no clean exit is attempted.
    if (Unsafe(ResultOf(static_cast<DWORD>(code))))
      TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  }
}

bool LibraryApiWin32::Start(const Yield& yield) {
  std::string program = program_;
  if (program.empty()) {
    std::vector<char> own(MAX_PATH);
    DWORD n;
    while ((n = GetModuleFileNameA(nullptr, own.data(), static_cast<DWORD>(own.size()))) ==
               own.size() &&
           own.size() < 32768)
      own.resize(own.size() * 2);
    if (n == 0 || n >= own.size()) return false;
    program.assign(own.data(), n);
  }
  // Only the child's ends are inheritable; the parent's are not, so that the child sees
  // the end of the requests once the parent closes them.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE requestRead = nullptr, requestWrite = nullptr, replyRead = nullptr, replyWrite = nullptr;
  HANDLE ready = CreateEventA(&inherit, FALSE, FALSE, nullptr);
  bool ok = ready && CreatePipe(&requestRead, &requestWrite, &inherit, 0) &&
            CreatePipe(&replyRead, &replyWrite, &inherit, 0) &&
            SetHandleInformation(requestWrite, HANDLE_FLAG_INHERIT, 0) &&
            SetHandleInformation(replyRead, HANDLE_FLAG_INHERIT, 0);
  PROCESS_INFORMATION info{};
  if (ok) {
    const auto number = [](HANDLE h) {
      return std::to_string(static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(h)));
    };
    std::string command = "\"" + program + "\" " + kChildSwitch + number(requestRead) + " " +
                          number(replyWrite) + " " + number(ready);
    Spawn spawn{program, command};
    // Creating a process can take a tenth of a second and more (under Wine it waits
    // for the child's start-up): a short-lived thread does it while the wait yields.
    HANDLE thread = CreateThread(nullptr, 0, SpawnChild, &spawn, 0, nullptr);
    if (thread == nullptr) {
      SpawnChild(&spawn);
    } else {
      while (WaitForSingleObject(thread, kSliceMs) == WAIT_TIMEOUT) yield();
      CloseHandle(thread);
    }
    ok = spawn.ok;
    info = spawn.info;
  }
  for (HANDLE h : {requestRead, replyWrite})
    if (h) CloseHandle(h);
  if (!ok) {
    for (HANDLE h : {requestWrite, replyRead, ready})
      if (h) CloseHandle(h);
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  requests_ = requestWrite;
  replies_ = replyRead;
  ready_ = ready;
  reply_.clear();
  return true;
}

void LibraryApiWin32::Drop() {
  Close(requests_);
  Close(replies_);
  Close(ready_);
  Close(process_);
}

plat::ILibraryApi::RunResult LibraryApiWin32::RunInChild(const std::string& path, bool doRegister,
                                                         std::uint32_t timeoutMs,
                                                         const Yield& yield) {
  if (process_ && WaitForSingleObject(AsHandle(process_), 0) != WAIT_TIMEOUT) EndChild(yield);
  if (!process_ && !Start(yield)) return Run::NoProcess;
  // The child stands where the parent stands: the component's folder.
  std::vector<char> folder(MAX_PATH);
  DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
  if (n >= folder.size()) {
    folder.resize(n + 1);
    n = GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
  }
  const std::string request = std::string(doRegister ? "1" : "0") + "\t" +
                              std::string(folder.data(), n < folder.size() ? n : 0) + "\t" + path +
                              "\n";
  const DWORD start = GetTickCount();
  if (!WriteAll(AsHandle(requests_), request)) {
    EndChild(yield);
    return Run::NoProcess;
  }
  HANDLE process = AsHandle(process_), replies = AsHandle(replies_);
  const HANDLE both[2] = {AsHandle(ready_), process};
  for (;;) {
    const DWORD elapsed = Elapsed(start);
    const DWORD wait = elapsed >= timeoutMs
                           ? WAIT_TIMEOUT
                           : WaitForMultipleObjects(2, both, FALSE,
                                                    std::min<DWORD>(kSliceMs, timeoutMs - elapsed));
    if (wait == WAIT_FAILED) {
      TerminateProcess(process, static_cast<UINT>(ExitCodeOf(Run::WaitFailed)));
      EndChild(yield);
      return Run::WaitFailed;
    }
    // The reply may be there even when the process has ended since.
    DWORD available = 0;
    char buffer[64];
    DWORD got = 0;
    while (PeekNamedPipe(replies, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ReadFile(replies, buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr) &&
           got > 0)
      reply_.append(buffer, got);
    if (const auto end = reply_.find('\n'); end != std::string::npos) {
      const std::string line = reply_.substr(0, end);
      reply_.erase(0, end + 1);
      const char* text = line.c_str();
      long long code = 0;
      return NumberFrom(text, code) ? ResultOf(static_cast<DWORD>(code)) : Run::Crashed;
    }
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
      // Ended without a reply: the component took the whole process down.
      DWORD exitCode = 0;
      const bool known = GetExitCodeProcess(process, &exitCode) != FALSE;
      EndChild(yield);
      return known ? ResultOf(exitCode) : Run::WaitFailed;
    }
    if (Elapsed(start) >= timeoutMs) {
      TerminateProcess(process, static_cast<UINT>(ExitCodeOf(Run::TimedOut)));
      EndChild(yield);
      return Run::TimedOut;
    }
    yield();
  }
}

void LibraryApiWin32::EndChild(const Yield& yield) {
  if (!process_) return;
  // The end of the requests lets the child leave by itself, its libraries freed.
  Close(requests_);
  HANDLE process = AsHandle(process_);
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process, kSliceMs) == WAIT_TIMEOUT) {
    if (Elapsed(start) >= kEndMs) {
      TerminateProcess(process, static_cast<UINT>(ExitCodeOf(Run::TimedOut)));
      WaitForSingleObject(process, kEndMs);
      break;
    }
    yield();
  }
  Drop();
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
