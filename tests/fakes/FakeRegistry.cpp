#include "tests/fakes/FakeRegistry.h"

#include <algorithm>
#include <cstring>

#include "support/Convert.h"

using namespace plat;
using namespace plat::reg;

namespace {
constexpr long kInvalidParameter = 87, kBadNetPath = 53, kBadPathname = 161;

// Lower case in Windows-1252, so "_" sorts before the letters and umlauts match.
std::string Fold(std::string s) {
  for (auto& c : s) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) c = static_cast<char>(u + 0x20);
    else if (u == 0x8A || u == 0x8C || u == 0x8E) c = static_cast<char>(u + 0x10);
    else if (u == 0x9F) c = static_cast<char>(0xFF);
  }
  return s;
}
std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  for (std::size_t b = 0, e; b <= path.size(); b = e + 1) {
    e = std::min(path.find('\\', b), path.size());
    if (e > b) parts.push_back(path.substr(b, e - b));
  }
  return parts;
}
std::string Join(std::string base, const std::vector<std::string>& parts) {
  for (const auto& p : parts) base += "\\" + Fold(p);
  return base;
}
bool IsRoot(RegKey k) { return k == RootKey(kHKCR) || k == RootKey(kHKCU) || k == RootKey(kHKLM); }
std::string RootPath(RegKey k) { return std::to_string(static_cast<std::intptr_t>(k)); }

FakeRegistry::ValueList::iterator FindValue(FakeRegistry::ValueList& values, const std::string& name) {
  return std::find_if(values.begin(), values.end(),
                      [&](const auto& v) { return Fold(v.first) == Fold(name); });
}
void StoreValue(FakeRegistry::ValueList& values, const std::string& name, FakeRegistry::RawValue v) {
  auto it = FindValue(values, name);
  if (it != values.end()) {
    it->second = std::move(v);  // the first spelling of the name stays
    return;
  }
  auto at = std::find_if(values.begin(), values.end(),
                         [&](const auto& e) { return Fold(name) < Fold(e.first); });
  values.emplace(at, name, std::move(v));
}
}  // namespace

FakeRegistry::FakeRegistry() {
  for (auto r : {kHKCR, kHKCU, kHKLM}) keys_[RootPath(RootKey(r))];
}

long FakeRegistry::Locate(RegKey parent, const std::string& sub, std::string& base,
                          std::vector<std::string>& parts) const {
  if (!sub.empty() && sub[0] == '\\') return kBadPathname;
  auto h = handles_.find(parent);
  if (!IsRoot(parent) && h == handles_.end()) return kInvalidHandle;
  base = IsRoot(parent) ? RootPath(parent) : h->second;
  parts = Split(sub);
  return kSuccess;
}

FakeRegistry::Key* FakeRegistry::Open(RegKey key, long& rc) {
  auto h = handles_.find(key);
  auto it = keys_.find(IsRoot(key) ? RootPath(key) : h == handles_.end() ? "" : h->second);
  // A handle of a key deleted while open finds nothing.
  rc = !IsRoot(key) && h == handles_.end() ? kInvalidHandle : it == keys_.end() ? kFileNotFound : kSuccess;
  return rc == kSuccess ? &it->second : nullptr;
}

std::vector<const FakeRegistry::Key*> FakeRegistry::Children(const std::string& path) const {
  std::vector<const Key*> out;
  const std::string prefix = path + "\\";
  for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.starts_with(prefix); ++it)
    if (it->first.find('\\', prefix.size()) == std::string::npos) out.push_back(&it->second);
  return out;
}

FakeRegistry::Key& FakeRegistry::Make(std::string base, const std::vector<std::string>& parts) {
  Key* k = &keys_[base];
  for (const auto& part : parts) {
    base += "\\" + Fold(part);
    auto [it, fresh] = keys_.try_emplace(base);
    if (fresh) it->second.name = part;
    k = &it->second;
  }
  return *k;
}

long FakeRegistry::OpenKey(RegKey parent, const std::string& subKey, std::uint32_t, RegKey& out) {
  out = 0;
  std::string base;
  std::vector<std::string> parts;
  if (long rc = Locate(parent, subKey, base, parts)) return rc;
  auto it = keys_.find(Join(base, parts));
  if (it == keys_.end()) return kFileNotFound;
  if (it->second.denied) return kAccessDenied;
  handles_[out = next_++] = it->first;
  return kSuccess;
}

long FakeRegistry::CreateKey(RegKey parent, const std::string& subKey, std::uint32_t, RegKey& out) {
  out = 0;
  std::string base;
  std::vector<std::string> parts;
  if (long rc = Locate(parent, subKey, base, parts)) return rc;
  for (std::size_t n = 1; n <= parts.size(); ++n) {
    auto it = keys_.find(Join(base, {parts.begin(), parts.begin() + n}));
    if (it != keys_.end() && it->second.denied) return kAccessDenied;
  }
  Make(base, parts);
  handles_[out = next_++] = Join(base, parts);
  return kSuccess;
}

long FakeRegistry::CloseKey(RegKey key) {
  return IsRoot(key) || handles_.erase(key) ? kSuccess : kInvalidHandle;
}

long FakeRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) {
  long rc;
  Key* k = Open(key, rc);
  if (!k) return rc;
  auto it = FindValue(k->values, name);
  if (it == k->values.end()) return kFileNotFound;
  const RawValue& v = it->second;
  if (type) *type = v.type;
  const auto need = static_cast<std::uint32_t>(v.data.size());
  if (!size) return data ? kInvalidParameter : kSuccess;
  rc = data && *size < need ? kMoreData : kSuccess;
  if (data && rc == kSuccess && need) std::memcpy(data, v.data.data(), need);
  *size = need;
  return rc;
}

long FakeRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) {
  long rc;
  Key* k = Open(key, rc);
  if (k) StoreValue(k->values, name, RawValue{type, std::vector<std::uint8_t>(data, data + size)});
  return rc;
}

long FakeRegistry::DeleteValue(RegKey key, const std::string& name) {
  long rc;
  Key* k = Open(key, rc);
  if (!k) return rc;
  auto it = FindValue(k->values, name);
  if (it == k->values.end()) return kFileNotFound;
  k->values.erase(it);
  return kSuccess;
}

long FakeRegistry::DeleteKey(RegKey parent, const std::string& subKey) {
  std::string base;
  std::vector<std::string> parts;
  if (long rc = Locate(parent, subKey, base, parts)) return rc;
  if (parts.empty()) return kAccessDenied;
  auto it = keys_.find(Join(base, parts));
  if (it == keys_.end()) return kFileNotFound;
  if (it->second.denied || !Children(it->first).empty()) return kAccessDenied;
  keys_.erase(it);
  return kSuccess;
}

long FakeRegistry::EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) {
  long rc;
  Key* k = Open(key, rc);
  if (!k) return rc;
  if (index >= k->values.size()) return kNoMoreItems;
  const std::string& v = k->values[index].first;
  if (*nameLen <= v.size()) return kMoreData;
  std::memcpy(name, v.c_str(), v.size() + 1);
  *nameLen = static_cast<std::uint32_t>(v.size());
  return kSuccess;
}

long FakeRegistry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
  long rc;
  if (!Open(key, rc)) return rc;
  const auto children = Children(IsRoot(key) ? RootPath(key) : handles_[key]);
  if (index >= children.size()) return kNoMoreItems;
  const std::string& s = children[index]->name;
  if (nameSize <= s.size()) return kMoreData;
  std::memcpy(name, s.c_str(), s.size() + 1);
  return kSuccess;
}

long FakeRegistry::QueryInfoKey(RegKey key, std::uint32_t* maxValueNameLen) {
  long rc;
  Key* k = Open(key, rc);
  if (!k) return rc;
  std::size_t m = 0;
  for (auto& v : k->values) m = std::max(m, v.first.size());
  if (maxValueNameLen) *maxValueNameLen = static_cast<std::uint32_t>(m);
  return kSuccess;
}

long FakeRegistry::ConnectRegistry(const std::string& machine, RegKey root, RegKey& out) {
  out = machine.empty() ? root : 0;  // no remote machines here
  return machine.empty() ? kSuccess : kBadNetPath;
}

std::uint32_t FakeRegistry::ExpandStrings(const std::string& src, char* dst, std::uint32_t size) {
  std::string out;
  for (std::size_t i = 0; i < src.size();) {
    const auto j = src[i] == '%' ? src.find('%', i + 1) : std::string::npos;
    if (j == std::string::npos) {
      out += src[i++];
      continue;
    }
    auto it = env.find(UpperAnsi(src.substr(i + 1, j - i - 1)));
    // An unknown reference is kept whole; scanning goes on behind it.
    out += it != env.end() ? it->second : src.substr(i, j - i + 1);
    i = j + 1;
  }
  const auto need = static_cast<std::uint32_t>(out.size() + 1);
  if (dst && size >= need) std::memcpy(dst, out.c_str(), need);
  return need;
}

void FakeRegistry::Put(std::int32_t root, const std::string& path, const std::string& name,
                       std::uint32_t type, const std::vector<std::uint8_t>& data) {
  StoreValue(Make(RootPath(RootKey(root)), Split(path)).values, name, RawValue{type, data});
}

void FakeRegistry::PutString(std::int32_t root, const std::string& path, const std::string& name,
                             const std::string& text, std::uint32_t type) {
  Put(root, path, name, type, std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1));
}

void FakeRegistry::PutDword(std::int32_t root, const std::string& path, const std::string& name,
                            std::uint32_t value) {
  Put(root, path, name, kRegDword, DwordBytes(value));
}

const FakeRegistry::Key* FakeRegistry::Find(std::int32_t root, const std::string& path) const {
  auto it = keys_.find(Join(RootPath(RootKey(root)), Split(path)));
  return it == keys_.end() ? nullptr : &it->second;
}

std::optional<FakeRegistry::RawValue> FakeRegistry::Get(std::int32_t root, const std::string& path,
                                                        const std::string& name) const {
  const Key* k = Find(root, path);
  if (!k) return std::nullopt;
  for (auto& e : k->values)
    if (Fold(e.first) == Fold(name)) return e.second;
  return std::nullopt;
}

bool FakeRegistry::HasKey(std::int32_t root, const std::string& path) const {
  return Find(root, path) != nullptr;
}

void FakeRegistry::MakeKey(std::int32_t root, const std::string& path) {
  Make(RootPath(RootKey(root)), Split(path));
}

void FakeRegistry::Deny(std::int32_t root, const std::string& path) {
  Make(RootPath(RootKey(root)), Split(path)).denied = true;
}

FakeRegistry::ValueList FakeRegistry::Values(std::int32_t root, const std::string& path) const {
  const Key* k = Find(root, path);
  return k ? k->values : ValueList{};
}

long FakeRegistry::KeyName(RegKey key, std::string& name) {
  long rc;
  if (!Open(key, rc)) return rc;
  const std::string path = IsRoot(key) ? RootPath(key) : handles_[key];
  const std::string root = path.substr(0, path.find('\\'));
  name = root == RootPath(RootKey(kHKCR))   ? "\\REGISTRY\\MACHINE\\SOFTWARE\\Classes"
         : root == RootPath(RootKey(kHKCU)) ? "\\REGISTRY\\USER\\S-1-5-21-1000"
                                            : "\\REGISTRY\\MACHINE";
  // Each part as first created.
  for (auto p = path.find('\\'); p != std::string::npos; p = path.find('\\', p + 1))
    name += "\\" + keys_[path.substr(0, path.find('\\', p + 1))].name;
  return kSuccess;
}

long FakeRegistry::FlushKey(RegKey key) {
  long rc;
  return Open(key, rc) ? kSuccess : rc;
}
