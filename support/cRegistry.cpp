#include "support/cRegistry.h"

#include <algorithm>
#include <cstring>

#include "support/Convert.h"

using namespace plat;
using namespace plat::reg;

namespace {

// Only the predefined roots (HKEY_CLASSES_ROOT .. HKEY_DYN_DATA) are passed on:
// any other number could be the value of some unrelated open handle.
bool IsPredefinedRoot(std::int32_t classKey) {
  auto u = static_cast<std::uint32_t>(classKey);
  return u >= 0x80000000u && u <= 0x80000006u;
}

// Growing a buffer on ERROR_MORE_DATA stops here (registry names are far shorter).
constexpr std::uint32_t kNameLimit = 65536;
// A value that keeps changing size while it is read is given up after this many tries.
constexpr int kReadAttempts = 8;

// The text of a variant, as a string conversion gives it.
std::string Text(const Variant& v) {
  if (auto* s = std::get_if<std::string>(&v)) return *s;
  if (auto* i = std::get_if<std::int32_t>(&v)) return std::to_string(*i);
  if (auto* i = std::get_if<std::int16_t>(&v)) return std::to_string(*i);
  if (auto* b = std::get_if<ByteArray>(&v)) return std::string(b->begin(), b->end());
  return {};
}

// The value as an error description shows it; bytes as hex pairs so that the
// description stays readable text.
std::string Shown(const Variant& v) {
  if (auto* b = std::get_if<ByteArray>(&v)) return ToHex(*b);
  return Text(v);
}

// A "%" and another "%" at least two characters further on make the text an
// environment reference.
bool HasReference(const std::string& s) {
  auto first = s.find('%');
  if (first == std::string::npos) return false;
  return s.find('%', first + 2) != std::string::npos;
}

std::string Expand(IEnvironment* env, const std::string& src) {
  if (!env) return src;
  std::uint32_t need = env->ExpandStrings(src, nullptr, 0);
  for (int attempt = 0; attempt < kReadAttempts && need > 0; ++attempt) {
    std::vector<char> buf(need, '\0');
    std::uint32_t got = env->ExpandStrings(src, buf.data(), need);
    if (got == 0) break;
    if (got <= need) return std::string(buf.data(), strnlen(buf.data(), need));
    need = got;  // the environment grew in between
  }
  return src;
}

}  // namespace

// An open key, or a root handed out by ConnectRegistry, closed at scope end; the
// local predefined roots are not owned and never closed.
class cRegistry::Key {
 public:
  explicit Key(IRegistryApi* api) : api_(api) {}
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key && owned) api_->CloseKey(key);
  }
  RegKey key = 0;
  bool owned = true;

 private:
  IRegistryApi* api_;
};

cRegistry::cRegistry(const plat::Platform& platform) : platform_(&platform) {}

struct cRegistry::Held {
  IRegistryApi* api;
  RegKey key;
  std::int32_t root;
  std::string section;
  std::uint32_t access;
  bool created;
  ~Held() { api->CloseKey(key); }
};

void cRegistry::KeepKeyOpen(bool on) {
  keepOpen_ = on;
  if (!on) held_.reset();
}

long cRegistry::Acquire(Key& key, std::uint32_t access, bool create) const {
  IRegistryApi* api = platform_->registry;
  const bool keep = keepOpen_ && machine_.empty();
  if (keep && held_ && held_->root == classKey_ && held_->section == sectionKey_ &&
      held_->access == access && held_->created == create) {
    key.key = held_->key;
    key.owned = false;
    return kSuccess;
  }
  Key root(api);
  long rc = OpenRoot(root);
  if (rc != kSuccess) return rc;
  rc = create ? api->CreateKey(root.key, sectionKey_, access, key.key)
              : api->OpenKey(root.key, sectionKey_, access, key.key);
  if (rc == kSuccess && keep) {
    held_.reset(new Held{api, key.key, classKey_, sectionKey_, access, create});
    key.owned = false;
  }
  return rc;
}

std::string cRegistry::Source() const { return platform_->exeName + ".cRegistry"; }

std::string cRegistry::SetFailure(const std::string& shown) const {
  return "Failed to set registry value Key: '" + std::to_string(classKey_) + "',Section: '" +
         sectionKey_ + "',Key: '" + valueKey_ + "' to value: '" + shown + "'";
}

void cRegistry::Machine(const std::string& name) {
  if (name.size() < 3) machine_.clear();
  else if (name.compare(0, 2, "\\\\") == 0) machine_ = name;
  else machine_ = "\\\\" + name;
}

// The root the value members work on: the local predefined key, or the same root of
// the computer named by Machine.
long cRegistry::OpenRoot(Key& root) const {
  if (!IsPredefinedRoot(classKey_)) return kInvalidHandle;
  if (machine_.empty()) {
    root.key = RootKey(classKey_);
    root.owned = false;
    return kSuccess;
  }
  return platform_->registry->ConnectRegistry(machine_, RootKey(classKey_), root.key);
}

bool cRegistry::KeyExists() const {
  if (!IsPredefinedRoot(classKey_)) return false;
  Key key(platform_->registry);
  return platform_->registry->OpenKey(RootKey(classKey_), sectionKey_, kKeyQueryValue, key.key) ==
         kSuccess;
}

bool cRegistry::CreateKey() {
  Key key(platform_->registry);
  if (!IsPredefinedRoot(classKey_) ||
      platform_->registry->CreateKey(RootKey(classKey_), sectionKey_, kKeyAllAccess, key.key) !=
          kSuccess)
    throw RuntimeError(err::RegistryFailure, Source(),
                       "Failed to create registry Key: '" + sectionKey_);
  return true;
}

bool cRegistry::DeleteKey() {
  held_.reset();
  // An empty path would name the root itself.
  if (!IsPredefinedRoot(classKey_) || sectionKey_.empty() ||
      platform_->registry->DeleteKey(RootKey(classKey_), sectionKey_) != kSuccess)
    throw RuntimeError(err::RegistryFailure, Source(),
                       "Failed to delete registry Key: '" + std::to_string(classKey_) +
                           "',Section: '" + sectionKey_);
  return true;
}

bool cRegistry::DeleteValue() {
  Key key(platform_->registry);
  if (!IsPredefinedRoot(classKey_) ||
      (keepOpen_ ? Acquire(key, kKeyAllAccess, false)
                 : platform_->registry->OpenKey(RootKey(classKey_), sectionKey_, kKeyAllAccess,
                                                key.key)) != kSuccess)
    throw RuntimeError(err::RegistryFailure, Source(),
                       "Failed to open key '" + std::to_string(classKey_) + "',Section: '" +
                           sectionKey_ + "' for delete access");
  if (platform_->registry->DeleteValue(key.key, valueKey_) != kSuccess)
    throw RuntimeError(err::RegistryFailure, Source(),
                       "Failed to delete registry Key: '" + std::to_string(classKey_) +
                           "',Section: '" + sectionKey_ + "',Key: '" + valueKey_);
  return true;
}

// Reads the stored type and all of the data of ValueKey, however long: the size
// comes from a first query, and a value that grew in between is read again.
long cRegistry::Fetch(std::uint32_t& type, ByteArray& data) const {
  IRegistryApi* api = platform_->registry;
  Key key(api);
  long rc = Acquire(key, kKeyQueryValue, false);
  if (rc != kSuccess) return rc;
  // Most values fit a small buffer: one query reads them; a larger one reports its
  // size and is read again.
  std::uint32_t size = 256;
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    // Never a null buffer: an empty value that grew meanwhile must report more data.
    data.assign(std::max<std::uint32_t>(size, 1), 0);
    std::uint32_t got = size;
    rc = api->QueryValue(key.key, valueKey_, &type, data.data(), &got);
    if (rc == kSuccess) {
      data.resize(std::min(got, size));
      return kSuccess;
    }
    if (rc != kMoreData) return rc;
    size = got > size ? got : size * 2 + 16;
  }
  return kMoreData;
}

Variant cRegistry::Value() {
  std::uint32_t type = 0;
  ByteArray data;
  if (Fetch(type, data) != kSuccess) return default_;
  valueType_ = static_cast<std::int32_t>(type);
  switch (type) {
    case kRegSz:
    case kRegMultiSz:
    case kRegExpandSz: {
      // The terminating zero is not part of the text; the zeros between the parts
      // of a REG_MULTI_SZ are.
      std::string s(data.begin(), data.end());
      if (!s.empty() && s.back() == '\0') s.pop_back();
      if (type == kRegExpandSz) return Expand(platform_->environment, s);
      return s;
    }
    case kRegDword:
    case kRegDwordBigEndian: {
      data.resize(4);
      if (type == kRegDwordBigEndian) std::reverse(data.begin(), data.end());
      return static_cast<std::int32_t>(DwordValue(data));
    }
    default:
      data.push_back(0);  // indices 0 to size
      return data;
  }
}

void cRegistry::OpenForWrite(Key& key, const std::function<std::string()>& shown) {
  const long rc = Acquire(key, kKeyAllAccess, true);
  if (rc != kSuccess) throw RuntimeError(err::RegistryFailure, Source(), SetFailure(shown()));
}

void cRegistry::Value(const Variant& value) {
  IRegistryApi* api = platform_->registry;
  Key key(api);
  OpenForWrite(key, [&] { return Shown(value); });
  long rc = kSuccess;
  switch (static_cast<std::uint32_t>(valueType_)) {
    case kRegSz:
    case kRegExpandSz: {
      std::string s = Text(value);
      ByteArray bytes(s.begin(), s.end());
      bytes.push_back(0);
      rc = api->SetValue(key.key, valueKey_, HasReference(s) ? kRegExpandSz : kRegSz, bytes.data(),
                         static_cast<std::uint32_t>(bytes.size()));
      break;
    }
    case kRegBinary: {
      auto* bytes = std::get_if<ByteArray>(&value);
      if (!bytes)
        throw RuntimeError(err::RegistryFailure, platform_->exeName,
                           "Application-defined or object-defined error");
      rc = api->SetValue(key.key, valueKey_, kRegBinary, bytes->data(),
                         static_cast<std::uint32_t>(bytes->size()));
      break;
    }
    case kRegDword:
    case kRegDwordBigEndian: {
      std::int32_t n;
      if (auto* i = std::get_if<std::int32_t>(&value)) n = *i;
      else if (auto* w = std::get_if<std::int16_t>(&value)) n = *w;
      else return;  // not a number: nothing is stored, and that is no error
      ByteArray bytes = DwordBytes(static_cast<std::uint32_t>(n));
      rc = api->SetValue(key.key, valueKey_, kRegDword, bytes.data(), 4);
      break;
    }
    default: rc = err::TypeMismatch;
  }
  if (rc != kSuccess) throw RuntimeError(err::SetValueFailure, Source(), SetFailure(Shown(value)));
}

bool cRegistry::ReadRaw(std::uint32_t& type, ByteArray& data) {
  std::uint32_t t = 0;
  ByteArray d;
  if (Fetch(t, d) != kSuccess) return false;
  type = t;
  data = std::move(d);
  valueType_ = static_cast<std::int32_t>(t);
  return true;
}

void cRegistry::WriteRaw(std::uint32_t type, const ByteArray& data) {
  IRegistryApi* api = platform_->registry;
  Key key(api);
  OpenForWrite(key, [&] { return ToHex(data); });
  if (api->SetValue(key.key, valueKey_, type, data.data(),
                    static_cast<std::uint32_t>(data.size())) != kSuccess)
    throw RuntimeError(err::SetValueFailure, Source(), SetFailure(ToHex(data)));
}

bool cRegistry::EnumerateValues(std::vector<std::string>& names, std::int32_t& count,
                                const std::function<void()>& progress) const {
  count = 0;
  names.clear();
  if (!IsPredefinedRoot(classKey_)) return true;
  IRegistryApi* api = platform_->registry;
  Key key(api);
  if (api->OpenKey(RootKey(classKey_), sectionKey_, kKeyQueryValue, key.key) != kSuccess)
    return true;
  std::uint32_t longest = 0;
  if (api->QueryInfoKey(key.key, &longest) != kSuccess) longest = 0;
  std::vector<char> buf(std::max<std::uint32_t>(longest + 1, 1));
  for (std::uint32_t index = 0;;) {
    std::uint32_t len = static_cast<std::uint32_t>(buf.size());
    long rc = api->EnumValue(key.key, index, buf.data(), &len);
    // A name longer than announced (added meanwhile, or wider in the code page) is
    // read again with more room rather than ending the list early.
    if (rc == kMoreData && buf.size() < kNameLimit) {
      buf.resize(buf.size() * 2);
      continue;
    }
    if (rc != kSuccess) break;
    names.emplace_back(buf.data(), std::min<std::size_t>(len, buf.size()));
    ++count;
    ++index;
    if (progress) progress();
  }
  return true;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& sections, std::int32_t& count) const {
  count = 0;
  sections.clear();
  if (!IsPredefinedRoot(classKey_)) return true;
  IRegistryApi* api = platform_->registry;
  Key key(api);
  if (api->OpenKey(RootKey(classKey_), sectionKey_, kKeyEnumerateSubKeys, key.key) != kSuccess)
    return true;
  // Room for the longest key name (255 characters) and its terminating zero.
  std::vector<char> buf(256);
  for (std::uint32_t index = 0;;) {
    long rc = api->EnumKey(key.key, index, buf.data(), static_cast<std::uint32_t>(buf.size()));
    if (rc == kMoreData && buf.size() < kNameLimit) {
      buf.resize(buf.size() * 2);
      continue;
    }
    if (rc != kSuccess) break;
    sections.emplace_back(buf.data(), strnlen(buf.data(), buf.size()));
    ++count;
    ++index;
  }
  return true;
}

Variant cRegistry::ValueEx(std::int32_t classKey, const std::string& sectionKey,
                           const std::string& valueKey, std::int32_t valueType,
                           const Variant& deflt) {
  classKey_ = classKey;
  sectionKey_ = sectionKey;
  valueKey_ = valueKey;
  valueType_ = valueType;
  default_ = deflt;
  return Value();
}

void cRegistry::ValueEx(std::int32_t classKey, const std::string& sectionKey,
                        const std::string& valueKey, std::int32_t valueType, const Variant& deflt,
                        const Variant& value) {
  classKey_ = classKey;
  sectionKey_ = sectionKey;
  valueKey_ = valueKey;
  valueType_ = valueType;
  default_ = deflt;
  if (static_cast<std::uint32_t>(valueType) == kRegSz && Text(value).empty())
    Value(Variant(default_));
  else Value(value);
}

// --- file-type associations ------------------------------------------------------

namespace {
// Each association key lives under HKEY_CLASSES_ROOT and under the machine's classes.
struct ClassesBase {
  std::int32_t root;
  const char* prefix;
};
constexpr ClassesBase kClassesBases[] = {{kHKCR, ""}, {kHKLM, "SOFTWARE\\Classes\\"}};

struct Verb {
  const char* key;
  const char* caption;
  const char* option;
};
constexpr Verb kOpen{"open", "&Open", ""};
constexpr Verb kPrint{"print", "&Print", "/p "};
constexpr Verb kNew{"new", "&New", "/n "};
constexpr Verb kInstall{"add", "&Install ", "/a "};
}  // namespace

void cRegistry::WriteDefault(std::int32_t root, const std::string& path, const std::string& text) {
  cRegistry r(*platform_);
  r.ValueEx(root, path, "", static_cast<std::int32_t>(kRegSz), Variant(), Variant(text));
}

void cRegistry::AssociationsChanged() {
  if (platform_->shell) platform_->shell->NotifyAssociationsChanged();
}

void cRegistry::CreateEXEAssociation(const std::string& exePath, const std::string& className,
                                     const std::string& classDescription,
                                     const std::string& association, const std::string& openCaption,
                                     bool supportPrint, const std::string& printCaption,
                                     bool supportNew, const std::string& newCaption,
                                     bool supportInstall, const std::string& installCaption,
                                     long defaultIcon) {
  const std::string quoted = "\"" + exePath + "\" ";
  for (const auto& base : kClassesBases) {
    const std::string cls = base.prefix + className;
    WriteDefault(base.root, base.prefix + ("." + association), className);
    WriteDefault(base.root, cls, classDescription);
    auto verb = [&](const Verb& v, const std::string& caption) {
      const std::string key = cls + "\\shell\\" + v.key;
      WriteDefault(base.root, key, caption);
      WriteDefault(base.root, key + "\\command", quoted + v.option + "\"%1\"");
    };
    verb(kOpen, openCaption.empty() ? kOpen.caption : openCaption);
    if (supportPrint) verb(kPrint, printCaption.empty() ? kPrint.caption : printCaption);
    if (supportNew) verb(kNew, newCaption.empty() ? kNew.caption : newCaption);
    if (supportInstall)
      verb(kInstall, installCaption.empty() ? kInstall.caption + classDescription : installCaption);
    WriteDefault(base.root, cls + "\\DefaultIcon", exePath + "," + std::to_string(defaultIcon));
  }
  AssociationsChanged();
}

void cRegistry::DeleteEXEAssociation(const std::string& /*exePath*/, const std::string& className,
                                     const std::string& /*classDescription*/,
                                     const std::string& association) {
  IRegistryApi* api = platform_->registry;
  for (const auto& base : kClassesBases) {
    const std::string cls = base.prefix + className;
    const RegKey root = RootKey(base.root);
    // Every verb, also those added later, so that the class key can go as well.
    cRegistry shell(*platform_);
    shell.ClassKey(base.root);
    shell.SectionKey(cls + "\\shell");
    std::vector<std::string> verbs;
    std::int32_t n = 0;
    shell.EnumerateSections(verbs, n);
    for (const auto& v : verbs) {
      api->DeleteKey(root, cls + "\\shell\\" + v + "\\command");
      api->DeleteKey(root, cls + "\\shell\\" + v);
    }
    api->DeleteKey(root, cls + "\\shell");
    api->DeleteKey(root, cls + "\\DefaultIcon");
    api->DeleteKey(root, cls);
    if (!association.empty()) api->DeleteKey(root, base.prefix + ("." + association));
  }
  AssociationsChanged();
}

void cRegistry::CreateAdditionalEXEAssociations(const std::string& className,
                                                const std::vector<Variant>& items) {
  if (items.size() % 3 != 0)
    throw RuntimeError(
        err::BadAssociationList, Source(),
        "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");
  cRegistry cls(*platform_);
  cls.ClassKey(kHKCR);
  cls.SectionKey(className);
  if (className.empty() || !cls.KeyExists())
    throw RuntimeError(err::AssociationClassMissing, Source(),
                       "Error - attempt to create additional associations before class defined.");
  for (const auto& base : kClassesBases) {
    for (std::size_t i = 0; i < items.size(); i += 3) {
      const std::string key = base.prefix + className + "\\shell\\" + Text(items[i]);
      WriteDefault(base.root, key, Text(items[i + 1]));
      WriteDefault(base.root, key + "\\command", Text(items[i + 2]));
    }
  }
  AssociationsChanged();
}

std::int32_t cRegistry::RootFromName(const std::string& name) {
  if (name == "HKCR") return kHKCR;
  if (name == "HKCU") return kHKCU;
  if (name == "HKLM") return kHKLM;
  return 0;
}
