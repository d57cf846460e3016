// In-memory Windows file system: drive-letter paths, names that ignore case (umlauts
// included) and keep their stored case, and attributes.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

class FakeFileSystem : public plat::IFileSystem {
 public:
  FakeFileSystem() { AddDir("C:"); }

  std::optional<std::string> ReadAll(const std::string& path) override;
  bool WriteAllAtomic(const std::string& path, const std::string& data) override;
  plat::FileStamp Stamp(const std::string& path) override;
  // Exact names only; wildcards and short aliases are left to the real file system.
  std::optional<plat::FoundEntry> FindFirst(const std::string& pattern) override;
  bool SetCurrentDir(const std::string& dir) override;
  bool SetCurrentDrive(char letter) override;
  std::string CurrentDir() override { return current_; }
  bool CreateDir(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  std::vector<std::string> ListFiles(const std::string& pattern) override;
  plat::LocalTime Now() override { return now; }

  void AddDir(const std::string& path);  // with its parents
  void AddFile(const std::string& path, const std::string& data = "",
               std::uint32_t attributes = plat::fattr::kArchive);  // creates the folders
  void Remove(const std::string& path);
  bool Exists(const std::string& path) const { return entries_.count(Key(path)) > 0; }
  std::string Content(const std::string& path) const;  // "" when missing

  plat::LocalTime now{2026, 12, 6, 11, 42, 5};

 private:
  struct Entry {
    std::string path;  // as stored
    bool dir = false;
    std::string data;
    std::uint32_t attributes = 0;
    std::int64_t modified = 0;
  };
  static std::string Key(const std::string& path);
  const Entry* File(const std::string& path) const;
  std::map<std::string, Entry> entries_;
  std::string current_ = "C:\\";
  // Shared by every instance, so a file time is never repeated within a process.
  static inline std::int64_t clock_ = 1;
};
