// The real file system through the ANSI file functions.
#pragma once
#include "platform/FileSystem.h"

class FileSystemWin32 : public plat::IFileSystem {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool WriteAllAtomic(const std::string& path, const std::string& data) override;
  std::optional<std::string> ReadAllInSteps(const std::string& path,
                                            const Progress& progress) override;
  bool WriteAllAtomicInSteps(const std::string& path, const std::string& data,
                             const Progress& progress) override;
  plat::FileStamp Stamp(const std::string& path) override;
  std::optional<plat::FoundEntry> FindFirst(const std::string& pattern) override;
  bool SetCurrentDir(const std::string& dir) override;
  bool SetCurrentDrive(char letter) override;
  std::string CurrentDir() override;
  bool CreateDir(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& pattern) override;
  plat::LocalTime Now() override;
};
