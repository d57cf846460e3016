#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include "platform/win32/EnvironmentWin32.h"
#include "platform/win32/FileSystemWin32.h"
#include "platform/win32/LibraryApiWin32.h"
#include "platform/win32/ProcessApiWin32.h"
#include "platform/win32/RegistryWin32.h"
#include "platform/win32/ShellWin32.h"
#include "platform/win32/VersionApiWin32.h"

Win32Platform::Win32Platform() {
  registry_ = std::make_unique<RegistryWin32>();
  environment_ = std::make_unique<EnvironmentWin32>();
  files_ = std::make_unique<FileSystemWin32>();
  version_ = std::make_unique<VersionApiWin32>();
  process_ = std::make_unique<ProcessApiWin32>();
  shell_ = std::make_unique<ShellWin32>();
  library_ = std::make_unique<LibraryApiWin32>();

  platform_.registry = registry_.get();
  platform_.environment = environment_.get();
  platform_.files = files_.get();
  platform_.version = version_.get();
  platform_.process = process_.get();
  platform_.library = library_.get();
  platform_.shell = shell_.get();

  char buf[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string exe(buf, n < sizeof buf ? n : 0);
  platform_.exePath = exe;
  auto slash = exe.find_last_of('\\');
  platform_.appDir = slash == std::string::npos ? std::string() : exe.substr(0, slash);
  std::string file = slash == std::string::npos ? exe : exe.substr(slash + 1);
  auto dot = file.find_last_of('.');
  platform_.exeName = dot == std::string::npos ? file : file.substr(0, dot);
}

Win32Platform::~Win32Platform() = default;
