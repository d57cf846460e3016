// The profile functions (GetPrivateProfileStringA, WritePrivateProfileStringA) over
// the program's INI files, and write batches that replace each changed file once.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace plat {

// A text argument that may be a null pointer, as the profile functions take it.
using IniText = std::optional<std::string>;

class IIniFiles {
 public:
  virtual ~IIniFiles() = default;
  // GetPrivateProfileStringA: the first n characters the call places in a buffer of
  // bufferSize characters (n being its result). A null section lists the sections, a
  // null key the section's keys, each name followed by NUL.
  virtual std::string GetString(const IniText& section, const IniText& key, const IniText& def,
                                std::uint32_t bufferSize, const std::string& file) = 0;
  // WritePrivateProfileStringA: a null value deletes the key, a null key the section.
  // Non-zero on success; a file that cannot be written is left as it was.
  virtual std::int32_t WriteString(const IniText& section, const IniText& key, const IniText& value,
                                   const std::string& file) = 0;
  // While a batch is open, writes only change what later reads see; the files are
  // replaced when the outermost batch ends or is flushed. Both return false when a
  // pending file could not be written.
  // True when the file holds NUL bytes: each line is read only up to its first NUL.
  virtual bool HoldsNul(const std::string& file) = 0;
  virtual void BeginBatch() = 0;
  virtual bool EndBatch() = 0;
  // `progress` runs between the chunks of a large file written.
  virtual bool FlushBatch(const std::function<void()>& progress = nullptr) = 0;
};

}  // namespace plat
