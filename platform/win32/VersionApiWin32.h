// The real version-resource services (version.dll and GetFullPathNameA). version.dll
// is loaded from the system folder by its full path: a copy beside the program is
// never used.
#pragma once
#include <memory>

#include "platform/VersionApi.h"

class VersionApiWin32 : public plat::IVersionApi {
 public:
  VersionApiWin32();
  ~VersionApiWin32() override;
  std::uint32_t FullPathName(const std::string& path, std::uint32_t bufLen, char* buf) override;
  std::uint32_t InfoSize(const std::string& path) override;
  bool InfoData(const std::string& path, std::uint32_t size, void* data) override;
  bool QueryValue(const void* block, const std::string& subBlock, const void** out,
                  std::uint32_t* len) override;
  std::uint32_t LanguageName(std::uint32_t lang, char* buf, std::uint32_t len) override;

 private:
  struct Functions;
  std::unique_ptr<Functions> fn_;
};
