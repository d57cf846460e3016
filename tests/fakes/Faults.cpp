#include "tests/fakes/Faults.h"

using namespace plat;

namespace fault {

Rule Nth(const std::string& op, int n, Act act) {
  return [=](Call& c) { return c.op == op && (n == 0 || c.n == n) ? act : Act::Pass; };
}

Act Switch::Ask(Call& c) {
  c.n = ++calls[c.op];
  return rule ? rule(c) : Act::Pass;
}

// Asks about a call; passes it on with what the rule left of its path and data, or
// gives the answer of a failed or refused call.
template <class R, class F>
R Switch::Run(Call c, R failed, R refused, F&& call) {
  const Act a = Ask(c);
  return a == Act::Pass ? call(c) : a == Act::Refuse ? refused : failed;
}

// --- files -------------------------------------------------------------------------

std::optional<std::string> Files::ReadAll(const std::string& path) {
  return Run<std::optional<std::string>>({"ReadAll", path}, {}, {}, [&](Call& c) { return in_.ReadAll(c.path); });
}

bool Files::WriteAllAtomic(const std::string& path, const std::string& data) {
  std::string bytes = data;
  return Run({"WriteAllAtomic", path, "", &bytes}, false, true,
             [&](Call& c) { return in_.WriteAllAtomic(c.path, bytes); });
}

FileStamp Files::Stamp(const std::string& path) {
  return Run<FileStamp>({"Stamp", path}, {}, {}, [&](Call& c) { return in_.Stamp(c.path); });
}

std::optional<FoundEntry> Files::FindFirst(const std::string& pattern) {
  return Run<std::optional<FoundEntry>>({"FindFirst", pattern}, {}, {}, [&](Call& c) { return in_.FindFirst(c.path); });
}

bool Files::SetCurrentDir(const std::string& dir) {
  return Run({"SetCurrentDir", dir}, false, false, [&](Call& c) { return in_.SetCurrentDir(c.path); });
}

bool Files::CreateDir(const std::string& path) {
  return Run({"CreateDir", path}, false, true, [&](Call& c) { return in_.CreateDir(c.path); });
}

bool Files::RemoveFile(const std::string& path) {
  return Run({"RemoveFile", path}, false, true, [&](Call& c) { return in_.RemoveFile(c.path); });
}

std::vector<std::string> Files::ListFiles(const std::string& pattern) {
  return Run<std::vector<std::string>>({"ListFiles", pattern}, {}, {}, [&](Call& c) { return in_.ListFiles(c.path); });
}

// --- registry ----------------------------------------------------------------------

namespace {
constexpr long kFailed = reg::kAccessDenied, kDone = reg::kSuccess;
}

std::string Registry::PathOf(RegKey key) const {
  if (key == RootKey(kHKCR)) return "HKCR";
  if (key == RootKey(kHKCU)) return "HKCU";
  if (key == RootKey(kHKLM)) return "HKLM";
  auto it = open_.find(key);
  return it == open_.end() ? "" : it->second;
}

long Registry::Open(const char* op, RegKey parent, const std::string& sub, RegKey& out,
                    const std::function<long(const std::string&)>& call) {
  out = 0;
  return Run({op, PathOf(parent), sub}, kFailed, kFailed, [&](Call& c) {
    const long rc = call(c.name);
    if (rc == kDone) open_[out] = c.path + "\\" + c.name;
    return rc;
  });
}

long Registry::OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access, RegKey& out) {
  return Open("OpenKey", parent, subKey, out, [&](const std::string& s) { return in_.OpenKey(parent, s, access, out); });
}

long Registry::CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access, RegKey& out) {
  return Open("CreateKey", parent, subKey, out,
              [&](const std::string& s) { return in_.CreateKey(parent, s, access, out); });
}

long Registry::ConnectRegistry(const std::string& machine, RegKey root, RegKey& out) {
  return Open("ConnectRegistry", root, machine, out,
              [&](const std::string& m) { return in_.ConnectRegistry(m, root, out); });
}

long Registry::CloseKey(RegKey key) {
  open_.erase(key);
  return in_.CloseKey(key);
}

long Registry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* size) {
  return Run({"QueryValue", PathOf(key), name}, kFailed, kFailed,
             [&](Call& c) { return in_.QueryValue(key, c.name, type, data, size); });
}

long Registry::SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), data ? size : 0);
  return Run({"SetValue", PathOf(key), name, &bytes}, kFailed, kDone, [&](Call& c) {
    return in_.SetValue(key, c.name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                        static_cast<std::uint32_t>(bytes.size()));
  });
}

long Registry::DeleteValue(RegKey key, const std::string& name) {
  return Run({"DeleteValue", PathOf(key), name}, kFailed, kDone, [&](Call& c) { return in_.DeleteValue(key, c.name); });
}

long Registry::DeleteKey(RegKey parent, const std::string& subKey) {
  return Run({"DeleteKey", PathOf(parent), subKey}, kFailed, kDone,
             [&](Call& c) { return in_.DeleteKey(parent, c.name); });
}

long Registry::EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) {
  return Run({"EnumValue", PathOf(key)}, kFailed, kFailed, [&](Call&) { return in_.EnumValue(key, index, name, nameLen); });
}

long Registry::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
  return Run({"EnumKey", PathOf(key)}, kFailed, kFailed, [&](Call&) { return in_.EnumKey(key, index, name, nameSize); });
}

long Registry::QueryInfoKey(RegKey key, std::uint32_t* maxValueNameLen) {
  return Run({"QueryInfoKey", PathOf(key)}, kFailed, kFailed, [&](Call&) { return in_.QueryInfoKey(key, maxValueNameLen); });
}

long Registry::FlushKey(RegKey key) {
  return Run({"FlushKey", PathOf(key)}, kFailed, kDone, [&](Call&) { return in_.FlushKey(key); });
}

std::uint32_t Registry::ExpandStrings(const std::string& src, char* dst, std::uint32_t size) {
  return Run<std::uint32_t>({"ExpandStrings", src}, 0, 0, [&](Call& c) { return env_.ExpandStrings(c.path, dst, size); });
}

}  // namespace fault
