// Loading a component library and running one of its entry points on a worker thread.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

using ModuleHandle = std::uintptr_t;  // 0 = none
using ProcAddress = std::uintptr_t;   // 0 = none

class ILibraryApi {
 public:
  virtual ~ILibraryApi() = default;
  // Loads by full path; the library's own folder is searched for its dependencies.
  virtual ModuleHandle Load(const std::string& path) = 0;
  virtual ProcAddress Find(ModuleHandle module, const std::string& name) = 0;  // GetProcAddress
  // Crashed: the entry point raised a fatal exception and only its thread was ended.
  enum class RunResult { Ended, NoThread, WaitFailed, Crashed };
  // CreateThread at entry (no argument) and WaitForSingleObject(INFINITE).
  virtual RunResult RunOnWorker(ProcAddress entry) = 0;
  virtual void Free(ModuleHandle module) = 0;  // FreeLibrary
};

}  // namespace plat
