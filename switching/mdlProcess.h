// Is a process with a given executable name running? Lists the executable paths of
// the running processes with the method the platform offers and compares names.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

// One element per process, the full path of its executable; elements of processes
// that could not be read are empty. Never empty: it starts as one empty element.
std::vector<std::string> GetProcessList(plat::IProcessApi& api);
// dwPlatformId: 1 = Windows 95/98/ME, 2 = NT family; 0 when it cannot be read.
std::int32_t GetPlatformId(plat::IProcessApi& api);
// Case-insensitive; with fileNameOnly the folder is ignored and only the text after
// the last backslash counts.
bool IsProcessRunning(plat::IProcessApi& api, std::string exeName, bool fileNameOnly);
