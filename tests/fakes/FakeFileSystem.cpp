#include "tests/fakes/FakeFileSystem.h"

#include "support/Convert.h"

namespace {
std::string Parent(const std::string& path) {
  auto p = path.find_last_of('\\');
  return p == std::string::npos ? "" : path.substr(0, p);
}
std::string Leaf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }
// Wildcards as FindFirstFile takes them: '*' any run, '?' one character; case-blind.
bool Match(const char* pat, const char* s) {
  if (!*pat) return !*s;
  if (*pat == '*') return Match(pat + 1, s) || (*s && Match(pat, s + 1));
  if (!*s || (*pat != '?' && UpperAnsi({*pat}) != UpperAnsi({*s}))) return false;
  return Match(pat + 1, s + 1);
}
}  // namespace

std::string FakeFileSystem::Key(const std::string& path) {
  std::string p = UpperAnsi(path);
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p;
}

const FakeFileSystem::Entry* FakeFileSystem::File(const std::string& path) const {
  auto it = entries_.find(Key(path));
  return it == entries_.end() || it->second.dir ? nullptr : &it->second;
}

void FakeFileSystem::AddDir(const std::string& path) {
  if (path.empty() || entries_.count(Key(path))) return;
  AddDir(Parent(path));
  entries_[Key(path)] = Entry{path, true, "", plat::fattr::kDirectory, clock_++};
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& data,
                             std::uint32_t attributes) {
  AddDir(Parent(path));
  entries_[Key(path)] = Entry{path, false, data, attributes, clock_++};
}

void FakeFileSystem::Remove(const std::string& path) { entries_.erase(Key(path)); }

std::string FakeFileSystem::Content(const std::string& path) const {
  const Entry* e = File(path);
  return e ? e->data : "";
}

std::optional<std::string> FakeFileSystem::ReadAll(const std::string& path) {
  const Entry* e = File(path);
  if (!e) return std::nullopt;
  return e->data;
}

bool FakeFileSystem::WriteAllAtomic(const std::string& path, const std::string& data) {
  auto parent = entries_.find(Key(Parent(path)));
  if (parent == entries_.end() || !parent->second.dir) return false;
  Entry& e = entries_[Key(path)];
  if (e.dir || (e.attributes & plat::fattr::kReadOnly)) return false;
  if (e.path.empty()) e = Entry{path, false, "", plat::fattr::kArchive, 0};
  e.data = data;
  e.modified = clock_++;
  return true;
}

plat::FileStamp FakeFileSystem::Stamp(const std::string& path) {
  const Entry* e = File(path);
  if (!e) return {};
  return {true, e->data.size(), e->modified};
}

std::optional<plat::FoundEntry> FakeFileSystem::FindFirst(const std::string& pattern) {
  // The ANSI file functions take at most MAX_PATH - 1 characters.
  auto it = entries_.find(Key(pattern));
  if (pattern.empty() || pattern.size() >= 260 || pattern.back() == '\\' || it == entries_.end()) return std::nullopt;
  const std::string& stored = it->second.path;
  return plat::FoundEntry{stored.substr(stored.find_last_of('\\') + 1), it->second.attributes};
}

bool FakeFileSystem::SetCurrentDir(const std::string& dir) {
  auto it = entries_.find(Key(dir));
  if (it == entries_.end() || !it->second.dir) return false;
  current_ = it->second.path;
  return true;
}

bool FakeFileSystem::SetCurrentDrive(char letter) {
  const std::string drive = UpperAnsi(std::string{letter, ':'});
  if (!entries_.count(drive)) return false;
  if (Key(current_.substr(0, 2)) != drive) current_ = drive + "\\";
  return true;
}

bool FakeFileSystem::CreateDir(const std::string& path) {
  auto parent = entries_.find(Key(Parent(path)));
  if (parent == entries_.end() || !parent->second.dir) return false;
  auto it = entries_.find(Key(path));
  if (it != entries_.end()) return it->second.dir;
  AddDir(path);
  return true;
}

bool FakeFileSystem::RemoveFile(const std::string& path) {
  auto it = entries_.find(Key(path));
  if (it == entries_.end() || it->second.dir) return false;
  entries_.erase(it);
  return true;
}

std::vector<std::string> FakeFileSystem::ListFiles(const std::string& pattern) {
  std::vector<std::string> names;
  const std::string dirKey = Key(Parent(pattern)), leaf = Leaf(pattern);
  for (const auto& [k, e] : entries_)
    if (!e.dir && Key(Parent(e.path)) == dirKey && Match(leaf.c_str(), Leaf(e.path).c_str()))
      names.push_back(Leaf(e.path));
  return names;
}
