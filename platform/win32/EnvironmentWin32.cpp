#include "platform/win32/EnvironmentWin32.h"

#include <windows.h>

std::uint32_t EnvironmentWin32::ExpandStrings(const std::string& src, char* dst,
                                              std::uint32_t size) {
  return ExpandEnvironmentStringsA(src.c_str(), dst, size);
}
