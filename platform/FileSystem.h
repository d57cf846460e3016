// File services: whole-file reads, crash-safe whole-file writes, directory lookup.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace plat {

struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // in the file system's own units; only compared
  bool operator==(const FileStamp&) const = default;
};

struct FoundEntry {
  std::string name;  // long name as stored, no directory
  std::uint32_t attributes = 0;
};

namespace fattr {
constexpr std::uint32_t kReadOnly = 0x01, kHidden = 0x02, kSystem = 0x04, kDirectory = 0x10,
                        kArchive = 0x20, kNormal = 0x80;
}

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  // The whole file; nullopt when it is missing or cannot be read.
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  // Writes a new file beside the old one and replaces the old one in one step;
  // on failure the old file is untouched and false is returned.
  virtual bool WriteAllAtomic(const std::string& path, const std::string& data) = 0;
  // The same two, calling `progress` between the chunks of a large file: a caller
  // that serves a window meanwhile passes it. By default one plain call.
  using Progress = std::function<void()>;
  virtual std::optional<std::string> ReadAllInSteps(const std::string& path,
                                                    const Progress& progress) {
    (void)progress;
    return ReadAll(path);
  }
  virtual bool WriteAllAtomicInSteps(const std::string& path, const std::string& data,
                                     const Progress& progress) {
    (void)progress;
    return WriteAllAtomic(path, data);
  }
  virtual FileStamp Stamp(const std::string& path) = 0;
  // FindFirstFileA: the first entry matching the pattern (files and directories).
  virtual std::optional<FoundEntry> FindFirst(const std::string& pattern) = 0;
  virtual bool SetCurrentDir(const std::string& dir) = 0;  // SetCurrentDirectoryA
  virtual bool SetCurrentDrive(char letter) = 0;           // the drive's current directory
  virtual std::string CurrentDir() = 0;
  virtual bool CreateDir(const std::string& path) = 0;   // true also when it exists
  virtual bool RemoveFile(const std::string& path) = 0;  // DeleteFileA
  // The names (no folder) of the files, not folders, that match the pattern.
  virtual std::vector<std::string> ListFiles(const std::string& pattern) = 0;
  virtual LocalTime Now() = 0;  // GetLocalTime: stamps the names of files written now
};

}  // namespace plat
