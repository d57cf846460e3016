#include "platform/win32/VersionApiWin32.h"

#include <windows.h>

#include "platform/win32/SystemLibrary.h"

struct VersionApiWin32::Functions {
  win32::SystemLibrary dll{"version.dll"};
  using InfoSizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  using LanguageFn = DWORD(WINAPI*)(DWORD, LPSTR, DWORD);
  InfoSizeFn infoSize = win32::As<InfoSizeFn>(dll.Function("GetFileVersionInfoSizeA"));
  InfoFn info = win32::As<InfoFn>(dll.Function("GetFileVersionInfoA"));
  QueryFn query = win32::As<QueryFn>(dll.Function("VerQueryValueA"));
  LanguageFn language = win32::As<LanguageFn>(dll.Function("VerLanguageNameA"));
};

VersionApiWin32::VersionApiWin32() : fn_(std::make_unique<Functions>()) {}
VersionApiWin32::~VersionApiWin32() = default;

std::uint32_t VersionApiWin32::FullPathName(const std::string& path, std::uint32_t bufLen,
                                            char* buf) {
  return GetFullPathNameA(path.c_str(), bufLen, buf, nullptr);
}

// Without version.dll every call fails as it would for a file without a version.
std::uint32_t VersionApiWin32::InfoSize(const std::string& path) {
  DWORD handle = 0;
  return fn_->infoSize ? fn_->infoSize(path.c_str(), &handle) : 0;
}

bool VersionApiWin32::InfoData(const std::string& path, std::uint32_t size, void* data) {
  return fn_->info && fn_->info(path.c_str(), 0, size, data) != 0;
}

bool VersionApiWin32::QueryValue(const void* block, const std::string& subBlock, const void** out,
                                 std::uint32_t* len) {
  void* value = nullptr;
  UINT length = 0;
  if (!fn_->query || !fn_->query(block, subBlock.c_str(), &value, &length)) return false;
  *out = value;
  *len = length;
  return true;
}

std::uint32_t VersionApiWin32::LanguageName(std::uint32_t lang, char* buf, std::uint32_t len) {
  return fn_->language ? fn_->language(lang, buf, len) : 0;
}
