// Running a component library's registration entry point in a child process.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

class ILibraryApi {
 public:
  virtual ~ILibraryApi() = default;
  // NoProcess: no child could be started. Crashed: the entry point raised a fatal
  // exception. TimedOut: the child did not end in time and was ended.
  enum class RunResult { Ended, NotLoaded, NoEntryPoint, NoProcess, WaitFailed, Crashed, TimedOut };
  // Loads the library by its full path in a child process that has the program's
  // current folder (the library's own folder searched for its dependencies), runs
  // DllRegisterServer or DllUnregisterServer there and waits up to timeoutMs, keeping
  // the calling thread's windows served meanwhile. The entry point's own result is not
  // examined.
  virtual RunResult RunInChild(const std::string& path, bool doRegister,
                               std::uint32_t timeoutMs) = 0;
};

}  // namespace plat
