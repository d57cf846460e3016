#include "support/IniStore.h"

#include <algorithm>

#include "support/Convert.h"

namespace ini {

// The parsed file, brought up to date with the disk unless it holds unwritten changes.
IniStore::Cached& IniStore::Load(const std::string& path) {
  std::string key = UpperAnsi(path);
  std::replace(key.begin(), key.end(), '/', '\\');
  Cached& c = entries_[key];
  if (c.dirty) return c;
  // Inside a batch (one operation) the file is looked at once: N reads of a snapshot
  // cost one look at the disk, not N.
  if (batchDepth_ > 0 && c.loaded && c.checkedInBatch == batches_) return c;
  c.checkedInBatch = batches_;
  const plat::FileStamp now = files_.Stamp(path);
  if (c.loaded && now == c.stamp) return c;
  c.loaded = true;
  c.path = path;
  c.stamp = now;
  c.readable = true;
  if (!now.exists) {
    c.doc = Document();
  } else if (auto bytes = files_.ReadAll(path)) {
    c.doc = Document::Parse(std::move(*bytes));
  } else {
    c.doc = Document();
    c.readable = false;
    c.loaded = false;  // try again next time
  }
  return c;
}

bool IniStore::Store(Cached& c, const std::function<void()>& progress) {
  bool ok = true;
  if (c.dirty && files_.Stamp(c.path) != c.stamp) {
    // Edited from outside during the batch: the batch's changes go onto the new text.
    const auto bytes = files_.ReadAll(c.path);
    Document fresh = bytes ? Document::Parse(*bytes) : Document();
    ok = (bytes || !files_.Stamp(c.path).exists) && fresh.Writable();
    for (const Change& ch : c.pending) Apply(fresh, ch);
    c.doc = std::move(fresh);
  }
  c.pending.clear();
  c.dirty = false;
  if (ok && files_.WriteAllAtomicInSteps(c.path, c.doc.Serialize(), progress)) {
    c.stamp = files_.Stamp(c.path);
    return true;
  }
  // The old file stays; forget the changes so reads show what the disk holds.
  c.loaded = false;
  return false;
}

std::string IniStore::GetString(const Text& section, const Text& key, const Text& def,
                                std::uint32_t bufferSize, const std::string& file) {
  if (bufferSize == 0 || file.empty())
    return ini::GetString(nullptr, section, key, def, bufferSize);
  return ini::GetString(&Load(file).doc, section, key, def, bufferSize);
}

std::int32_t IniStore::WriteString(const Text& section, const Text& key, const Text& value,
                                   const std::string& file) {
  if (!section || file.empty()) return 0;
  Cached& c = Load(file);
  // A file that exists but cannot be read, or would not be written back as it was,
  // is never overwritten.
  if (!c.readable || !c.doc.Writable()) return 0;
  Change ch{*section, key, value};
  if (!Apply(c.doc, ch)) return 1;
  if (batchDepth_ > 0) {
    c.dirty = true;
    c.pending.push_back(std::move(ch));
    return 1;
  }
  return Store(c) ? 1 : 0;
}

bool IniStore::EndBatch() {
  if (batchDepth_ == 0) return true;
  if (--batchDepth_ > 0) return true;
  return FlushBatch();
}

bool IniStore::FlushBatch(const std::function<void()>& progress) {
  bool ok = true;
  for (auto& [key, c] : entries_)
    if (c.dirty) ok = Store(c, progress) && ok;
  return ok;
}

}  // namespace ini
