#include "platform/win32/SystemLibrary.h"

#include <string>

namespace win32 {
namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);

void SetDllDirectory(const char* dir) {
  // Windows XP SP1 brought it.
  if (auto set = As<SetDllDirectoryFn>(KernelFunction("SetDllDirectoryA"))) set(dir);
}

// Both are loaded with the program: no search, no reference taken.
FARPROC LoadedFunction(const char* module, const char* name) {
  HMODULE loaded = GetModuleHandleA(module);
  return loaded ? GetProcAddress(loaded, name) : nullptr;
}
}  // namespace

FARPROC KernelFunction(const char* name) { return LoadedFunction("kernel32.dll", name); }
FARPROC UserFunction(const char* name) { return LoadedFunction("user32.dll", name); }

void RestrictDllSearch() {
  auto setDefault = As<SetDefaultDllDirectoriesFn>(KernelFunction("SetDefaultDllDirectories"));
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_USER_DIRS))
    return;
  SetDllDirectory("");  // at least the current folder is out
}

bool HasSearchFlags() { return KernelFunction("SetDefaultDllDirectories") != nullptr; }

DefaultDllSearch::DefaultDllSearch() { SetDllDirectory(nullptr); }

DefaultDllSearch::~DefaultDllSearch() {
  if (!HasSearchFlags()) SetDllDirectory("");
}

SystemLibrary::SystemLibrary(const char* fileName) {
  char dir[MAX_PATH];
  const UINT n = GetSystemDirectoryA(dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return;
  const std::string path = std::string(dir, n) + "\\" + fileName;
  // Its own dependencies come from the system folder too.
  module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

SystemLibrary::~SystemLibrary() {
  if (module_) FreeLibrary(module_);
}

FARPROC SystemLibrary::Function(const char* name) const {
  return module_ ? GetProcAddress(module_, name) : nullptr;
}

}  // namespace win32
