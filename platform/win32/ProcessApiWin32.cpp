#include "platform/win32/ProcessApiWin32.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <vector>

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

// QueryFullProcessImageNameA exists from Vista on; looked up so that older systems
// still start.
using QueryImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
QueryImageNameFn QueryImageName() {
  static const QueryImageNameFn fn = reinterpret_cast<QueryImageNameFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
  return fn;
}

}  // namespace

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
  if (!EnumProcesses(reinterpret_cast<DWORD*>(ids), cb, &got)) return false;
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
  if (!EnumProcessModules(reinterpret_cast<HANDLE>(process), modules.data(),
                          static_cast<DWORD>(count * sizeof(HMODULE)), &needed) ||
      needed == 0)
    return false;
  module = reinterpret_cast<std::uintptr_t>(modules[0]);
  return true;
}

std::uint32_t ProcessApiWin32::ModuleFileName(plat::ProcHandle process, std::uintptr_t module,
                                              char* buf, std::uint32_t size) {
  return GetModuleFileNameExA(reinterpret_cast<HANDLE>(process),
                              reinterpret_cast<HMODULE>(module), buf, size);
}

std::string ProcessApiWin32::ImageName(std::uint32_t pid) {
  if (QueryImageNameFn query = QueryImageName()) {
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
