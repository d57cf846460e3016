#include "platform/win32/ShellWin32.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/SystemLibrary.h"

std::intptr_t ShellWin32::Execute(std::uintptr_t owner, const std::string& verb,
                                  const std::string& file, const std::string& params,
                                  const std::string& dir, int show) {
  HWND window = owner ? reinterpret_cast<HWND>(owner) : GetDesktopWindow();
  // The simulator starts with Windows' own DLL search, not the program's.
  win32::DefaultDllSearch started;
  HINSTANCE result = ShellExecuteA(window, verb.c_str(), file.c_str(), params.c_str(),
                                   dir.c_str(), show);
  return reinterpret_cast<std::intptr_t>(result);
}

bool ShellWin32::StartProgram(const std::string& path) {
  if (path.empty()) return false;
  win32::DefaultDllSearch started;
  HINSTANCE result =
      ShellExecuteA(GetDesktopWindow(), "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result) > 32;
}
