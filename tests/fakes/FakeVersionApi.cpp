#include <algorithm>
#include <cstring>

#include "support/Convert.h"
#include "tests/fakes/FakeServices.h"

namespace {
std::string Raw32(std::uint32_t v) {
  const ByteArray b = DwordBytes(v);
  return std::string(b.begin(), b.end());
}
std::string TablePath(std::uint32_t id) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s = "\\STRINGFILEINFO\\00000000\\";
  for (int i = 23; i >= 16; --i, id >>= 4) s[i] = digits[id & 0xF];
  return s;
}
std::string Normal(const std::string& subBlock) {
  return UpperAnsi(subBlock.starts_with("\\") ? subBlock : "\\" + subBlock);
}
}  // namespace

void FakeVersionApi::SetVersion(const std::string& path, const VersionSpec& vi) {
  if (!files_.Exists(path)) files_.AddFile(path, "MZ");
  const auto pack = [](const std::uint16_t* v) { return static_cast<std::uint32_t>(v[0]) << 16 | v[1]; };
  Items& items = resources_[UpperAnsi(path)] = {};
  items["\\"] = Raw32(0xFEEF04BD) + Raw32(0x00010000) + Raw32(pack(vi.fileVersion)) +
                Raw32(pack(vi.fileVersion + 2)) + Raw32(pack(vi.productVersion)) +
                Raw32(pack(vi.productVersion + 2)) + Raw32(0x3F) + Raw32(vi.fileFlags) +
                Raw32(vi.fileOS) + Raw32(vi.fileType) + Raw32(vi.fileSubtype) + Raw32(0) + Raw32(0);
  if (vi.translation)
    items["\\VARFILEINFO\\TRANSLATION"] = Raw32(static_cast<std::uint32_t>(vi.codePage) << 16 | vi.language);
  auto table = [&](std::uint32_t id, const std::map<std::string, std::string>& entries) {
    for (const auto& [name, text] : entries) items[TablePath(id) + UpperAnsi(name)] = text + '\0';
  };
  table(static_cast<std::uint32_t>(vi.language) << 16 | vi.codePage, vi.strings);
  for (const auto& [id, entries] : vi.extraTables) table(static_cast<std::uint32_t>(id.first) << 16 | id.second, entries);
}

void FakeVersionApi::SetItem(const std::string& path, const std::string& subBlock,
                             const std::string& bytes) {
  resources_[UpperAnsi(path)][Normal(subBlock)] = bytes;
}

std::uint32_t FakeVersionApi::FullPathName(const std::string& path, std::uint32_t bufLen, char* buf) {
  if (path.empty()) return 0;
  std::string full = path;
  if (path.size() < 2 || path[1] != ':') {
    const std::string dir = files_.CurrentDir();
    full = dir + (dir.ends_with("\\") ? "" : "\\") + path;
  }
  const auto n = static_cast<std::uint32_t>(full.size());
  if (n >= bufLen) return n + 1;
  std::memcpy(buf, full.c_str(), n + 1);
  return n;
}

std::uint32_t FakeVersionApi::InfoSize(const std::string& path) {
  const bool known = files_.Exists(path) && resources_.count(UpperAnsi(path));
  return known ? static_cast<std::uint32_t>(path.size() + 1) : 0;
}

// The buffer holds the path, so that a query knows the file it is about.
bool FakeVersionApi::InfoData(const std::string& path, std::uint32_t size, void* data) {
  const std::string key = UpperAnsi(path);
  if (!resources_.count(key) || size <= key.size()) return false;
  std::memcpy(data, key.c_str(), key.size() + 1);
  return true;
}

bool FakeVersionApi::QueryValue(const void* block, const std::string& subBlock, const void** out,
                                std::uint32_t* len) {
  auto file = resources_.find(static_cast<const char*>(block));
  if (file == resources_.end()) return false;
  auto item = file->second.find(Normal(subBlock));
  if (item == file->second.end()) return false;
  *out = item->second.data();
  *len = static_cast<std::uint32_t>(item->second.size());
  return true;
}

std::uint32_t FakeVersionApi::LanguageName(std::uint32_t lang, char* buf, std::uint32_t len) {
  auto it = languageNames.find(lang);
  if (it == languageNames.end() || len == 0) return 0;
  const std::size_t n = std::min<std::size_t>(it->second.size(), len - 1);
  std::memcpy(buf, it->second.data(), n);
  buf[n] = 0;
  return static_cast<std::uint32_t>(n);
}
