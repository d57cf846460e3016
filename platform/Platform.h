// The bundle of Windows services the program logic runs on: the Win32
// implementations in the program, in-memory fakes in the native tests.
#pragma once
#include <string>

#include "platform/FileSystem.h"
#include "platform/IniFiles.h"
#include "platform/LibraryApi.h"
#include "platform/ProcessApi.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/VersionApi.h"

namespace plat {

struct Platform {
  IRegistryApi* registry = nullptr;
  IEnvironment* environment = nullptr;
  IFileSystem* files = nullptr;
  IVersionApi* version = nullptr;
  IProcessApi* process = nullptr;
  ILibraryApi* library = nullptr;
  IShell* shell = nullptr;
  IIniFiles* ini = nullptr;  // over `files`; one per program, so every reader shares its cache
  std::string appDir;        // the program's folder, no trailing backslash
  std::string exeName;       // the executable's name without extension ("Gleisora")
  std::string exePath;       // full path of the executable (its own version resource)
};

}  // namespace plat
