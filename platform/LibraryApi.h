// Running component libraries' registration entry points in a child process.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace plat {

class ILibraryApi {
 public:
  virtual ~ILibraryApi() = default;
  // NoProcess: no child could be started. Crashed: the entry point raised a fatal
  // exception. TimedOut: the child did not answer in time and was ended.
  enum class RunResult { Ended, NotLoaded, NoEntryPoint, NoProcess, WaitFailed, Crashed, TimedOut };
  // What a wait does in between, in slices of at most 20 ms: the operation's own yield.
  using Yield = std::function<void()>;
  // Loads the library by its full path in the child process, starting one when none
  // runs, with the child standing in the program's current folder (the library's own
  // folder searched for its dependencies); runs DllRegisterServer or
  // DllUnregisterServer there and waits up to timeoutMs, calling `yield` meanwhile.
  // After TimedOut or WaitFailed the child has been ended. The entry point's own result
  // is not examined.
  virtual RunResult RunInChild(const std::string& path, bool doRegister, std::uint32_t timeoutMs,
                               const Yield& yield) = 0;
  // Ends the child, if one runs, and waits until it has gone: no library stays loaded.
  virtual void EndChild(const Yield& yield) = 0;
};

}  // namespace plat
