// Process-list services, one operation per Windows function.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

using ProcHandle = std::uintptr_t;  // 0 = none

class IProcessApi {
 public:
  virtual ~IProcessApi() = default;
  // GetVersionExA: false when the call fails.
  virtual bool PlatformId(std::uint32_t& id) = 0;
  // CreateToolhelp32Snapshot + Process32First/Next: the szExeFile texts in walk
  // order; false when no snapshot could be taken.
  virtual bool SnapshotExeFiles(std::vector<std::string>& exeFiles) = 0;
  // EnumProcesses: cb = buffer size in bytes; needed = bytes written.
  virtual bool EnumProcessIds(std::uint32_t* ids, std::uint32_t cb, std::uint32_t& needed) = 0;
  virtual ProcHandle Open(std::uint32_t access, std::uint32_t pid) = 0;  // OpenProcess
  // EnumProcessModules with room for `count` handles; the first is the executable.
  virtual bool FirstModule(ProcHandle process, std::uint32_t count, std::uintptr_t& module) = 0;
  // GetModuleFileNameExA: characters written.
  virtual std::uint32_t ModuleFileName(ProcHandle process, std::uintptr_t module, char* buf,
                                       std::uint32_t size) = 0;
  // QueryFullProcessImageNameA with the least access that yields it; "" when unknown.
  virtual std::string ImageName(std::uint32_t pid) = 0;
  virtual void Close(ProcHandle process) = 0;  // CloseHandle
};

}  // namespace plat
