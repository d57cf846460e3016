// The registry and files a snapshot round trip runs on: the fakes natively, the real
// registry and a folder in the temp folder under Wine.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct SnapshotSubject {
  plat::Platform platform;  // registry, environment, files, ini and an empty appDir
  std::shared_ptr<void> services;  // owns what `platform` points to
  // Imports a regedit file as a double click does; empty where there is no regedit.
  std::function<bool(const std::string& path)> import;
};

SnapshotSubject MakeSnapshotSubject();

using Bytes = std::vector<std::uint8_t>;
using Values = std::map<std::string, std::pair<std::uint32_t, Bytes>>;
Bytes Sz(const std::string& s);
// The values of HKCU\<sub> as the registry gives them back; none when it is missing.
Values DumpKey(plat::IRegistryApi& api, const std::string& sub);
