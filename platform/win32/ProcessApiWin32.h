// The process list through the version, tool-help and psapi functions. The psapi
// functions are kernel32's K32 names where Windows has them (7 and later), else those
// of psapi.dll, loaded from the system folder by its full path.
#pragma once
#include <memory>

#include "platform/ProcessApi.h"

class ProcessApiWin32 : public plat::IProcessApi {
 public:
  ProcessApiWin32();
  ~ProcessApiWin32() override;
  bool PlatformId(std::uint32_t& id) override;
  bool SnapshotExeFiles(std::vector<std::string>& exeFiles) override;
  bool EnumProcessIds(std::uint32_t* ids, std::uint32_t cb, std::uint32_t& needed) override;
  plat::ProcHandle Open(std::uint32_t access, std::uint32_t pid) override;
  bool FirstModule(plat::ProcHandle process, std::uint32_t count, std::uintptr_t& module) override;
  std::uint32_t ModuleFileName(plat::ProcHandle process, std::uintptr_t module, char* buf,
                               std::uint32_t size) override;
  std::string ImageName(std::uint32_t pid) override;
  void Close(plat::ProcHandle process) override;

 private:
  struct Functions;
  std::unique_ptr<Functions> fn_;
};
