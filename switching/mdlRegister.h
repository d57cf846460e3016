// Registering and unregistering COM components through their own entry points.
#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "platform/LibraryApi.h"

namespace regcode {
constexpr std::int32_t kMissingFile = -1;  // set by the caller; the file is not there
constexpr std::int32_t kNotLoaded = -2;
constexpr std::int32_t kNoEntryPoint = -3;
constexpr std::int32_t kNoThread = -4;  // the registration could not be started
constexpr std::int32_t kWaitFailed = -5;
constexpr std::int32_t kCrashed = -6;   // the entry point crashed; only its process ended
constexpr std::int32_t kTimedOut = -7;  // it did not return in time and was ended
}  // namespace regcode

// How long one entry point may run before it counts as hanging.
constexpr std::uint32_t kRegisterTimeoutMs = 60000;

// The components of one list share one child process. A component that crashed, hung
// or whose library stays loaded ends it, and the next one gets a fresh child; the last
// child is ended with the object, so that no component's library stays locked.
class ComponentChild {
 public:
  ComponentChild(plat::ILibraryApi& library, plat::ILibraryApi::Yield yield)
      : library_(library), yield_(std::move(yield)) {}
  ~ComponentChild();
  ComponentChild(const ComponentChild&) = delete;
  ComponentChild& operator=(const ComponentChild&) = delete;

  // Runs DllRegisterServer or DllUnregisterServer of the component at `path` and waits
  // for it, yielding meanwhile. Returns 0 or one of the codes above.
  std::int32_t Register(const std::string& path, bool doRegister);

 private:
  plat::ILibraryApi& library_;
  plat::ILibraryApi::Yield yield_;
};
