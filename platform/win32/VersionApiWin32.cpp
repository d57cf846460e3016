#include "platform/win32/VersionApiWin32.h"

#include <windows.h>

std::uint32_t VersionApiWin32::FullPathName(const std::string& path, std::uint32_t bufLen, char* buf) {
  return GetFullPathNameA(path.c_str(), bufLen, buf, nullptr);
}

std::uint32_t VersionApiWin32::InfoSize(const std::string& path) {
  DWORD handle = 0;
  return GetFileVersionInfoSizeA(path.c_str(), &handle);
}

bool VersionApiWin32::InfoData(const std::string& path, std::uint32_t size, void* data) {
  return GetFileVersionInfoA(path.c_str(), 0, size, data) != 0;
}

bool VersionApiWin32::QueryValue(const void* block, const std::string& subBlock, const void** out,
                                 std::uint32_t* len) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block, subBlock.c_str(), &value, &length)) return false;
  *out = value;
  *len = length;
  return true;
}

std::uint32_t VersionApiWin32::LanguageName(std::uint32_t lang, char* buf, std::uint32_t len) {
  return VerLanguageNameA(lang, buf, len);
}
