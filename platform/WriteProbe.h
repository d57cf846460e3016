// Whether the program may write a registry key, asked before an operation instead of
// learnt from one refused write per value.
#pragma once
#include <string>

#include "platform/Registry.h"

namespace plat {

// Opens the key, or where it does not exist yet the nearest parent that does, for
// setting values and creating subkeys. kSuccess, or the error that refused it
// (kAccessDenied without administrator rights on a key of the machine).
long ProbeWrite(IRegistryApi& registry, RegKey root, std::string path);

}  // namespace plat
