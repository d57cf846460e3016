#include "tests/fakes/FakeRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

using namespace plat;
using namespace plat::reg;

namespace {
// Windows-1252 bytes 0x80..0x9F as Unicode; the undefined ones stay as they are.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The registry compares names by their lower-case Unicode form (as Wine does), so
// "_" sorts before the letters and umlauts match regardless of case.
char16_t Folded(unsigned char c) {
  char16_t u = c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c;
  if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) return u + 0x20;
  switch (u) {
    case 0x0160: case 0x0152: case 0x017D: return u + 1;
    case 0x0178: return 0x00FF;
    default: return u;
  }
}
std::u16string Fold(const std::string& s) {
  std::u16string f;
  for (char c : s) f += Folded(static_cast<unsigned char>(c));
  return f;
}
bool SameName(const std::string& a, const std::string& b) { return Fold(a) == Fold(b); }
std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '\\') {
      if (!cur.empty()) parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(cur);
  return parts;
}
bool IsRoot(RegKey k) {
  return k == RootKey(kHKCR) || k == RootKey(kHKCU) || k == RootKey(kHKLM);
}
constexpr long kBadPathname = 161;
}  // namespace

bool FakeRegistry::Less::operator()(const std::string& a, const std::string& b) const {
  return Fold(a) < Fold(b);
}

// Values stay sorted by name as well.
FakeRegistry::ValueList::iterator FakeRegistry::FindValue(ValueList& values,
                                                          const std::string& name) {
  return std::find_if(values.begin(), values.end(),
                      [&](const auto& v) { return SameName(v.first, name); });
}

void FakeRegistry::StoreValue(ValueList& values, const std::string& name, const RawValue& v) {
  auto it = FindValue(values, name);
  if (it != values.end()) {
    it->second = v;  // the first spelling of the name stays
    return;
  }
  auto at = std::find_if(values.begin(), values.end(),
                         [&](const auto& e) { return Fold(name) < Fold(e.first); });
  values.emplace(at, name, v);
}

// The key a handle or predefined root names, if the handle allows `need`.
FakeRegistry::Node* FakeRegistry::Access(RegKey key, std::uint32_t need, long& rc) const {
  std::int32_t root;
  std::vector<std::string> path;
  rc = kInvalidHandle;
  if (!Locate(key, "", root, path)) return nullptr;
  if (const Handle* h = Find(key); h && (h->access & need) != need) {
    rc = kAccessDenied;
    return nullptr;
  }
  Node* n = Resolve(root, path);
  rc = n ? kSuccess : kFileNotFound;  // deleted while open
  return n;
}

FakeRegistry::FakeRegistry() {
  for (auto r : {kHKCR, kHKCU, kHKLM}) roots_[r] = std::make_unique<Node>();
}

FakeRegistry::Node* FakeRegistry::Resolve(std::int32_t root,
                                          const std::vector<std::string>& path) const {
  auto it = roots_.find(root);
  if (it == roots_.end()) return nullptr;
  Node* n = it->second.get();
  for (const auto& part : path) {
    auto c = n->children.find(part);
    if (c == n->children.end()) return nullptr;
    n = c->second.get();
  }
  return n;
}

FakeRegistry::Node* FakeRegistry::Make(std::int32_t root, const std::vector<std::string>& path) {
  Node* n = roots_.at(root).get();
  for (const auto& part : path) {
    auto& slot = n->children[part];
    if (!slot) {
      slot = std::make_unique<Node>();
      slot->name = part;
    }
    n = slot.get();
  }
  return n;
}

const FakeRegistry::Handle* FakeRegistry::Find(RegKey key) const {
  auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

bool FakeRegistry::Locate(RegKey parent, const std::string& sub, std::int32_t& root,
                          std::vector<std::string>& path) const {
  if (IsRoot(parent)) {
    root = static_cast<std::int32_t>(static_cast<std::intptr_t>(parent));
    path.clear();
  } else if (const Handle* h = Find(parent)) {
    root = h->root;
    path = h->path;
  } else {
    return false;
  }
  for (auto& p : Split(sub)) path.push_back(p);
  return true;
}

long FakeRegistry::LocatePath(RegKey parent, const std::string& sub, std::int32_t& root,
                              std::vector<std::string>& path) const {
  if (!sub.empty() && sub[0] == '\\') return kBadPathname;
  return Locate(parent, sub, root, path) ? kSuccess : kInvalidHandle;
}

long FakeRegistry::OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                           RegKey& out) {
  out = 0;
  std::int32_t root;
  std::vector<std::string> path;
  if (long rc = LocatePath(parent, subKey, root, path)) return rc;
  Node* n = Resolve(root, path);
  if (!n) return kFileNotFound;
  if (n->denied) return kAccessDenied;
  out = next_++;
  handles_[out] = Handle{root, path, access};
  return kSuccess;
}

long FakeRegistry::CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                             RegKey& out) {
  out = 0;
  std::int32_t root;
  std::vector<std::string> path;
  if (long rc = LocatePath(parent, subKey, root, path)) return rc;
  // A denied key refuses creation below it as well.
  std::vector<std::string> prefix;
  for (const auto& part : path) {
    prefix.push_back(part);
    if (Node* n = Resolve(root, prefix); n && n->denied) return kAccessDenied;
  }
  Make(root, path);
  out = next_++;
  handles_[out] = Handle{root, path, access};
  return kSuccess;
}

long FakeRegistry::CloseKey(RegKey key) {
  if (IsRoot(key)) return kSuccess;
  return handles_.erase(key) ? kSuccess : kInvalidHandle;
}

long FakeRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) {
  long rc;
  Node* n = Access(key, kKeyQueryValue, rc);
  if (!n) return rc;
  auto it = FindValue(n->values, name);
  if (it == n->values.end()) return kFileNotFound;
  const RawValue& v = it->second;
  if (type) *type = v.type;
  auto need = static_cast<std::uint32_t>(v.data.size());
  if (!size) return data ? 87 : kSuccess;  // ERROR_INVALID_PARAMETER
  if (!data) {
    *size = need;
    return kSuccess;
  }
  if (*size < need) {
    *size = need;
    return kMoreData;
  }
  if (need) std::memcpy(data, v.data.data(), need);
  *size = need;
  return kSuccess;
}

long FakeRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) {
  long rc;
  Node* n = Access(key, kKeySetValue, rc);
  if (!n) return rc;
  StoreValue(n->values, name, RawValue{type, std::vector<std::uint8_t>(data, data + size)});
  return kSuccess;
}

long FakeRegistry::DeleteValue(RegKey key, const std::string& name) {
  long rc;
  Node* n = Access(key, kKeySetValue, rc);
  if (!n) return rc;
  auto it = FindValue(n->values, name);
  if (it == n->values.end()) return kFileNotFound;
  n->values.erase(it);
  return kSuccess;
}

long FakeRegistry::DeleteKey(RegKey parent, const std::string& subKey) {
  std::int32_t root;
  std::vector<std::string> path;
  if (long rc = LocatePath(parent, subKey, root, path)) return rc;
  if (path.empty()) return kAccessDenied;
  std::vector<std::string> up(path.begin(), path.end() - 1);
  Node* p = Resolve(root, up);
  Node* n = Resolve(root, path);
  if (!p || !n) return kFileNotFound;
  if (n->denied || !n->children.empty()) return kAccessDenied;
  p->children.erase(path.back());
  return kSuccess;
}

long FakeRegistry::EnumValue(RegKey key, std::uint32_t index, char* name,
                             std::uint32_t* nameLen) {
  long rc;
  Node* n = Access(key, kKeyQueryValue, rc);
  if (!n) return rc;
  if (index >= n->values.size()) return kNoMoreItems;
  const std::string& v = n->values[index].first;
  if (*nameLen <= v.size()) return kMoreData;
  std::memcpy(name, v.c_str(), v.size() + 1);
  *nameLen = static_cast<std::uint32_t>(v.size());
  return kSuccess;
}

long FakeRegistry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
  long rc;
  Node* n = Access(key, kKeyEnumerateSubKeys, rc);
  if (!n) return rc;
  if (index >= n->children.size()) return kNoMoreItems;
  auto it = n->children.begin();
  std::advance(it, index);
  const std::string& s = it->second->name;
  if (nameSize <= s.size()) return kMoreData;
  std::memcpy(name, s.c_str(), s.size() + 1);
  return kSuccess;
}

long FakeRegistry::QueryInfoKey(RegKey key, std::uint32_t* maxValueNameLen) {
  long rc;
  Node* n = Access(key, kKeyQueryValue, rc);
  if (!n) return rc;
  std::uint32_t m = 0;
  for (auto& v : n->values) m = std::max<std::uint32_t>(m, static_cast<std::uint32_t>(v.first.size()));
  if (maxValueNameLen) *maxValueNameLen = m;
  return kSuccess;
}

long FakeRegistry::ConnectRegistry(const std::string& machine, RegKey root, RegKey& out) {
  out = 0;
  if (!machine.empty()) return 53;  // ERROR_BAD_NETPATH: no remote machines here
  out = root;
  return kSuccess;
}

std::uint32_t FakeRegistry::ExpandStrings(const std::string& src, char* dst, std::uint32_t size) {
  std::string out;
  for (std::size_t i = 0; i < src.size();) {
    if (src[i] == '%') {
      auto j = src.find('%', i + 1);
      if (j != std::string::npos) {
        auto it = env.find(Upper(src.substr(i + 1, j - i - 1)));
        if (it != env.end()) {
          out += it->second;
          i = j + 1;
          continue;
        }
        out += src.substr(i, j - i + 1);  // unknown: kept whole, scanning goes on behind it
        i = j + 1;
        continue;
      }
    }
    out += src[i++];
  }
  auto need = static_cast<std::uint32_t>(out.size() + 1);
  if (dst && size >= need) std::memcpy(dst, out.c_str(), need);
  return need;
}

void FakeRegistry::Put(std::int32_t root, const std::string& path, const std::string& name,
                       std::uint32_t type, const std::vector<std::uint8_t>& data) {
  StoreValue(Make(root, Split(path))->values, name, RawValue{type, data});
}

void FakeRegistry::PutString(std::int32_t root, const std::string& path, const std::string& name,
                             const std::string& text, std::uint32_t type) {
  std::vector<std::uint8_t> d(text.begin(), text.end());
  d.push_back(0);
  Put(root, path, name, type, d);
}

void FakeRegistry::PutDword(std::int32_t root, const std::string& path, const std::string& name,
                            std::uint32_t value) {
  Put(root, path, name, kRegDword,
      {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
       static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

std::optional<FakeRegistry::RawValue> FakeRegistry::Get(std::int32_t root, const std::string& path,
                                                        const std::string& name) const {
  Node* n = Resolve(root, Split(path));
  if (!n) return std::nullopt;
  for (auto& e : n->values)
    if (SameName(e.first, name)) return e.second;
  return std::nullopt;
}

bool FakeRegistry::HasKey(std::int32_t root, const std::string& path) const {
  return Resolve(root, Split(path)) != nullptr;
}

void FakeRegistry::MakeKey(std::int32_t root, const std::string& path) { Make(root, Split(path)); }

void FakeRegistry::Deny(std::int32_t root, const std::string& path) {
  Make(root, Split(path))->denied = true;
}

std::vector<std::pair<std::string, FakeRegistry::RawValue>> FakeRegistry::Values(
    std::int32_t root, const std::string& path) const {
  Node* n = Resolve(root, Split(path));
  return n ? n->values : std::vector<std::pair<std::string, RawValue>>{};
}

long FakeRegistry::KeyName(RegKey key, std::string& name) {
  const Handle* h = Find(key);
  if (!h) return kInvalidHandle;
  name = h->root == kHKCR   ? "\\REGISTRY\\MACHINE\\SOFTWARE\\Classes"
         : h->root == kHKCU ? "\\REGISTRY\\USER\\S-1-5-21-1000"
                            : "\\REGISTRY\\MACHINE";
  for (const auto& part : h->path) name += "\\" + part;
  return kSuccess;
}

long FakeRegistry::FlushKey(RegKey key) {
  long rc;
  return Access(key, 0, rc) ? kSuccess : rc;
}
