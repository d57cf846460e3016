// The folder and listing operations the backups rely on, run natively against the
// fake and under Wine against the real file system.
#pragma once
#include <memory>
#include <string>

#include "platform/FileSystem.h"

struct FileSubject {
  std::shared_ptr<plat::IFileSystem> files;
  std::string dir;  // an existing, empty folder
};

FileSubject MakeFileSubject();
