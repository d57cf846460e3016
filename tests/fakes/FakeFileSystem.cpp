#include "tests/fakes/FakeFileSystem.h"

#include <cctype>

namespace {
// Names fold case as Windows folds them, umlauts included (Windows-1252).
char Fold(char c) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 0x20);
  if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<char>(u - 0x10);
  if (u == 0xFF) return static_cast<char>(0x9F);
  return c;
}
std::string Upper(std::string s) {
  for (auto& c : s) c = Fold(c);
  return s;
}
std::string Parent(const std::string& path) {
  auto p = path.find_last_of('\\');
  return p == std::string::npos ? "" : path.substr(0, p);
}
std::string Leaf(const std::string& path) {
  auto p = path.find_last_of('\\');
  return p == std::string::npos ? path : path.substr(p + 1);
}
// '*' and '?' in the last part of a pattern, as FindFirstFileA matches them.
bool Match(const char* pat, const char* s) {
  if (!*pat) return !*s;
  if (*pat == '*') return Match(pat + 1, s) || (*s && Match(pat, s + 1));
  if (!*s) return false;
  if (*pat == '?' || Fold(*pat) == Fold(*s))
    return Match(pat + 1, s + 1);
  return false;
}
}  // namespace

FakeFileSystem::FakeFileSystem() { AddDrive('C'); }

std::string FakeFileSystem::Key(const std::string& path) const {
  std::string p = path;
  while (p.size() > 3 && p.back() == '\\') p.pop_back();
  if (p.size() == 3 && p[1] == ':' && p[2] == '\\') p.pop_back();
  std::string up = Upper(p);
  // Resolve short-name aliases part by part.
  for (const auto& [alias, target] : shortNames_) {
    if (up == alias || up.rfind(alias + "\\", 0) == 0) up = Upper(target) + up.substr(alias.size());
  }
  return up;
}

void FakeFileSystem::AddDrive(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  drives_.insert(letter);
  std::string root{letter, ':'};
  entries_[root] = Entry{root, true, "", plat::fattr::kDirectory, 0};
}

void FakeFileSystem::AddDir(const std::string& path) {
  std::string k = Key(path);
  if (k.size() <= 2 || entries_.count(k)) return;
  AddDir(Parent(path));
  entries_[k] = Entry{path, true, "", plat::fattr::kDirectory, clock_++};
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& data,
                             std::uint32_t attributes) {
  AddDir(Parent(path));
  entries_[Key(path)] = Entry{path, false, data, attributes, clock_++};
}

void FakeFileSystem::AddShortName(const std::string& shortPath, const std::string& longPath) {
  shortNames_[Upper(shortPath)] = longPath;
}

void FakeFileSystem::Remove(const std::string& path) { entries_.erase(Key(path)); }

bool FakeFileSystem::Exists(const std::string& path) const { return entries_.count(Key(path)) > 0; }

std::string FakeFileSystem::Content(const std::string& path) const {
  auto it = entries_.find(Key(path));
  return it == entries_.end() || it->second.dir ? "" : it->second.data;
}

std::optional<std::string> FakeFileSystem::ReadAll(const std::string& path) {
  ++reads;
  auto it = entries_.find(Key(path));
  if (it == entries_.end() || it->second.dir || locked_.count(Key(path))) return std::nullopt;
  return it->second.data;
}

bool FakeFileSystem::WriteAllAtomic(const std::string& path, const std::string& given) {
  if (failWrites || locked_.count(Key(path))) return false;
  std::string data = given;
  if (onWrite) onWrite(path, data);
  auto parent = entries_.find(Key(Parent(path)));
  if (parent == entries_.end() || !parent->second.dir) return false;
  auto it = entries_.find(Key(path));
  if (it != entries_.end()) {
    if (it->second.dir || (it->second.attributes & plat::fattr::kReadOnly)) return false;
    it->second.data = data;
    it->second.modified = clock_++;
  } else {
    entries_[Key(path)] = Entry{path, false, data, plat::fattr::kArchive, clock_++};
  }
  ++writes;
  return true;
}

plat::FileStamp FakeFileSystem::Stamp(const std::string& path) {
  auto it = entries_.find(Key(path));
  if (it == entries_.end() || it->second.dir) return {};
  return {true, it->second.data.size(), it->second.modified};
}

std::optional<plat::FoundEntry> FakeFileSystem::FindFirst(const std::string& pattern) {
  // The ANSI file functions take at most MAX_PATH - 1 characters.
  if (pattern.size() >= 260) return std::nullopt;
  std::string dirKey = Key(Parent(pattern));
  std::string leaf = Leaf(pattern);
  if (leaf.empty() || !entries_.count(dirKey)) return std::nullopt;
  // An exact (possibly short) name first, then wildcard matches in name order.
  auto exact = entries_.find(Key(pattern));
  if (leaf.find_first_of("*?") == std::string::npos) {
    if (exact == entries_.end() || Key(Parent(exact->second.storedPath)) != dirKey)
      return std::nullopt;
    return plat::FoundEntry{Leaf(exact->second.storedPath), exact->second.attributes};
  }
  // A folder below the root lists its own "." entry first.
  if (dirKey.size() > 2 && Match(leaf.c_str(), "."))
    return plat::FoundEntry{".", plat::fattr::kDirectory};
  for (const auto& [k, e] : entries_) {
    if (k.size() <= 2 || Key(Parent(e.storedPath)) != dirKey) continue;
    if (Match(leaf.c_str(), Leaf(e.storedPath).c_str()))
      return plat::FoundEntry{Leaf(e.storedPath), e.attributes};
  }
  return std::nullopt;
}

bool FakeFileSystem::SetCurrentDir(const std::string& dir) {
  auto it = entries_.find(Key(dir));
  if (it == entries_.end() || !it->second.dir) return false;
  current_ = it->second.storedPath;
  return true;
}

bool FakeFileSystem::SetCurrentDrive(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (!drives_.count(letter)) return false;
  if (std::toupper(static_cast<unsigned char>(current_[0])) != letter)
    current_ = std::string{letter, ':', '\\'};
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
  if (it == entries_.end() || it->second.dir || locked_.count(Key(path))) return false;
  entries_.erase(it);
  return true;
}

std::vector<std::string> FakeFileSystem::ListFiles(const std::string& pattern) {
  std::vector<std::string> names;
  const std::string dirKey = Key(Parent(pattern)), leaf = Leaf(pattern);
  for (const auto& [k, e] : entries_)
    if (!e.dir && Key(Parent(e.storedPath)) == dirKey && Match(leaf.c_str(), Leaf(e.storedPath).c_str()))
      names.push_back(Leaf(e.storedPath));
  return names;
}
