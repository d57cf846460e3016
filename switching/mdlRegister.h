// Registering and unregistering one COM component through its own entry point.
#pragma once
#include <cstdint>
#include <string>

#include "platform/LibraryApi.h"

namespace regcode {
constexpr std::int32_t kMissingFile = -1;  // set by the caller; the file is not there
constexpr std::int32_t kNotLoaded = -2;
constexpr std::int32_t kNoEntryPoint = -3;
constexpr std::int32_t kNoThread = -4;
constexpr std::int32_t kWaitFailed = -5;
constexpr std::int32_t kCrashed = -6;  // the entry point crashed; only its thread ended
}  // namespace regcode

// Loads the component by its full path (its own folder searched for its
// dependencies), runs DllRegisterServer or DllUnregisterServer on a worker thread and
// waits for it. Returns 0 or one of the codes above; the entry point's own result is
// not examined.
std::int32_t RegisterComponent(plat::ILibraryApi& library, const std::string& path,
                               bool doRegister);
