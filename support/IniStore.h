// The INI files of one file system as the profile functions see them, over a parsed
// copy of each file kept between calls and checked against the file's size and time
// before every operation (once per batch inside one): N reads cost one file read, and
// an edit made from outside is seen by the next call. Writes change the parsed copy
// and replace the file in one step (or once at the end of a write batch).
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/IniFiles.h"
#include "support/IniProfile.h"

namespace ini {

class IniStore : public plat::IIniFiles {
 public:
  explicit IniStore(plat::IFileSystem& files) : files_(files) {}
  IniStore(const IniStore&) = delete;
  IniStore& operator=(const IniStore&) = delete;

  std::string GetString(const Text& section, const Text& key, const Text& def,
                        std::uint32_t bufferSize, const std::string& file) override;
  std::int32_t WriteString(const Text& section, const Text& key, const Text& value,
                           const std::string& file) override;
  bool HoldsNul(const std::string& file) override { return Load(file).doc.HoldsNul(); }
  void BeginBatch() override {
    if (batchDepth_++ == 0) ++batches_;
  }
  bool EndBatch() override;
  bool FlushBatch(const std::function<void()>& progress = nullptr) override;

 private:
  struct Cached {
    plat::FileStamp stamp;
    bool loaded = false;          // false: read the file before the next use
    bool readable = true;         // false: the file exists but could not be read
    bool dirty = false;           // changed inside a batch, not yet written
    unsigned checkedInBatch = 0;  // the batch that last compared it with the disk
    std::string path;
    Document doc;
    std::vector<Change> pending;  // the batch's changes, in order
  };
  Cached& Load(const std::string& path);
  bool Store(Cached& c, const std::function<void()>& progress = nullptr);

  plat::IFileSystem& files_;
  std::map<std::string, Cached> entries_;  // by folded path
  int batchDepth_ = 0;
  unsigned batches_ = 0;  // outermost batches begun
};

}  // namespace ini
