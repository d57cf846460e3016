// Whether a process with a given executable name runs.
#pragma once
#include <string>

#include "platform/ProcessApi.h"

bool IsProcessRunning(plat::IProcessApi& process, const std::string& exeName, bool fileNameOnly);
