// Version-resource services (GetFullPathNameA, GetFileVersionInfo*A, VerQueryValueA,
// VerLanguageNameA), one operation each with the Windows meaning.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

class IVersionApi {
 public:
  virtual ~IVersionApi() = default;
  // GetFullPathNameA: characters written (without NUL), or the size needed
  // (with NUL) when the buffer is too small, 0 on failure.
  virtual std::uint32_t FullPathName(const std::string& path, std::uint32_t bufLen, char* buf) = 0;
  virtual std::uint32_t InfoSize(const std::string& path) = 0;  // GetFileVersionInfoSizeA
  virtual bool InfoData(const std::string& path, std::uint32_t size, void* data) = 0;
  // VerQueryValueA on a block filled by InfoData.
  virtual bool QueryValue(const void* block, const std::string& subBlock, const void** out,
                          std::uint32_t* len) = 0;
  virtual std::uint32_t LanguageName(std::uint32_t lang, char* buf, std::uint32_t len) = 0;
};

}  // namespace plat
