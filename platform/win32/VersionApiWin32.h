// The real version-resource services (version.dll and GetFullPathNameA).
#pragma once
#include "platform/VersionApi.h"

class VersionApiWin32 : public plat::IVersionApi {
 public:
  std::uint32_t FullPathName(const std::string& path, std::uint32_t bufLen, char* buf) override;
  std::uint32_t InfoSize(const std::string& path) override;
  bool InfoData(const std::string& path, std::uint32_t size, void* data) override;
  bool QueryValue(const void* block, const std::string& subBlock, const void** out,
                  std::uint32_t* len) override;
  std::uint32_t LanguageName(std::uint32_t lang, char* buf, std::uint32_t len) override;
};
