#include "platform/win32/ProcessApiWin32.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "platform/win32/SystemLibrary.h"

namespace {

constexpr DWORD kQueryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION

struct Snapshot {
  HANDLE h = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  ~Snapshot() {
    if (h != INVALID_HANDLE_VALUE && h != nullptr) CloseHandle(h);
  }
  bool ok() const { return h != INVALID_HANDLE_VALUE && h != nullptr; }
};

// Walks a process snapshot; `visit` returns false to stop.
template <class F>
bool WalkSnapshot(F&& visit) {
  Snapshot snap;
  if (!snap.ok()) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;  // 296 in the ANSI layout
  for (BOOL more = Process32First(snap.h, &entry); more; more = Process32Next(snap.h, &entry)) {
    entry.szExeFile[sizeof entry.szExeFile - 1] = 0;
    if (!visit(entry)) break;
  }
  return true;
}

}  // namespace

struct ProcessApiWin32::Functions {
  using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
  using EnumModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);
  using ModuleFileNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
  using QueryImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

  Functions() {
    enumProcesses = win32::As<EnumProcessesFn>(win32::KernelFunction("K32EnumProcesses"));
    enumModules = win32::As<EnumModulesFn>(win32::KernelFunction("K32EnumProcessModules"));
    moduleFileName = win32::As<ModuleFileNameFn>(win32::KernelFunction("K32GetModuleFileNameExA"));
    if (!enumProcesses || !enumModules || !moduleFileName) {  // before Windows 7
      psapi = std::make_unique<win32::SystemLibrary>("psapi.dll");
      enumProcesses = win32::As<EnumProcessesFn>(psapi->Function("EnumProcesses"));
      enumModules = win32::As<EnumModulesFn>(psapi->Function("EnumProcessModules"));
      moduleFileName = win32::As<ModuleFileNameFn>(psapi->Function("GetModuleFileNameExA"));
    }
  }

  std::unique_ptr<win32::SystemLibrary> psapi;
  EnumProcessesFn enumProcesses = nullptr;
  EnumModulesFn enumModules = nullptr;
  ModuleFileNameFn moduleFileName = nullptr;
  // Vista and later; older systems fall back on the snapshot.
  QueryImageNameFn queryImageName =
      win32::As<QueryImageNameFn>(win32::KernelFunction("QueryFullProcessImageNameA"));
};

ProcessApiWin32::ProcessApiWin32() : fn_(std::make_unique<Functions>()) {}
ProcessApiWin32::~ProcessApiWin32() = default;

bool ProcessApiWin32::PlatformId(std::uint32_t& id) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  id = info.dwPlatformId;
  return true;
}

bool ProcessApiWin32::SnapshotExeFiles(std::vector<std::string>& exeFiles) {
  exeFiles.clear();
  return WalkSnapshot([&](const PROCESSENTRY32& e) {
    exeFiles.emplace_back(e.szExeFile);
    return true;
  });
}

bool ProcessApiWin32::EnumProcessIds(std::uint32_t* ids, std::uint32_t cb, std::uint32_t& needed) {
  DWORD got = 0;
  if (!fn_->enumProcesses || !fn_->enumProcesses(reinterpret_cast<DWORD*>(ids), cb, &got))
    return false;
  needed = got;
  return true;
}

plat::ProcHandle ProcessApiWin32::Open(std::uint32_t access, std::uint32_t pid) {
  return reinterpret_cast<plat::ProcHandle>(OpenProcess(access, FALSE, pid));
}

bool ProcessApiWin32::FirstModule(plat::ProcHandle process, std::uint32_t count,
                                  std::uintptr_t& module) {
  std::vector<HMODULE> modules(count ? count : 1);
  DWORD needed = 0;
  if (!fn_->enumModules ||
      !fn_->enumModules(reinterpret_cast<HANDLE>(process), modules.data(),
                        static_cast<DWORD>(count * sizeof(HMODULE)), &needed) ||
      needed == 0)
    return false;
  module = reinterpret_cast<std::uintptr_t>(modules[0]);
  return true;
}

std::uint32_t ProcessApiWin32::ModuleFileName(plat::ProcHandle process, std::uintptr_t module,
                                              char* buf, std::uint32_t size) {
  if (!fn_->moduleFileName) return 0;
  return fn_->moduleFileName(reinterpret_cast<HANDLE>(process), reinterpret_cast<HMODULE>(module),
                             buf, size);
}

std::string ProcessApiWin32::ImageName(std::uint32_t pid) {
  if (auto query = fn_->queryImageName) {
    if (HANDLE h = OpenProcess(kQueryLimited, FALSE, pid)) {
      char buf[MAX_PATH * 4];
      DWORD size = sizeof buf;
      const BOOL ok = query(h, 0, buf, &size);
      CloseHandle(h);
      if (ok && size > 0) return std::string(buf, size);
    }
  }
  // The snapshot names every process, though without its folder.
  std::string name;
  WalkSnapshot([&](const PROCESSENTRY32& e) {
    if (e.th32ProcessID != pid) return true;
    name = e.szExeFile;
    return false;
  });
  return name;
}

void ProcessApiWin32::Close(plat::ProcHandle process) {
  if (process) CloseHandle(reinterpret_cast<HANDLE>(process));
}
