// Text in the ANSI code page as the wide text the Unicode-only functions take.
#pragma once
#include <windows.h>

#include <string>

namespace win32 {

inline std::wstring Wide(const std::string& text) {
  std::wstring out(text.size() + 1, L'\0');
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()));
  out.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
  return out;
}

}  // namespace win32
