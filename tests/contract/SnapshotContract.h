// The registry and files a snapshot round trip runs on: the fakes natively, the real
// registry and a folder in the temp folder under Wine.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"

struct SnapshotSubject {
  plat::Platform platform;  // registry, environment, files, ini and an empty appDir
  std::shared_ptr<void> services;  // owns what `platform` points to
  // Imports a regedit file as a double click does; empty where there is no regedit.
  std::function<bool(const std::string& path)> import;
};

SnapshotSubject MakeSnapshotSubject();
