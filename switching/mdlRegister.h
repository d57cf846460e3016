// Registering and unregistering one COM component through its own entry point.
#pragma once
#include <cstdint>
#include <string>

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

// Runs DllRegisterServer or DllUnregisterServer of the component at `path` in a child
// process and waits for it. Returns 0 or one of the codes above.
std::int32_t RegisterComponent(plat::ILibraryApi& library, const std::string& path,
                               bool doRegister);
