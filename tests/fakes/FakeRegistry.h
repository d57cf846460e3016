// In-memory registry with the Win32 results the program relies on (held honest by
// the registry contract tests, which run the same cases under Wine). Not modelled:
// RegSetValueExA's habit of counting a string's zero when the byte just past the
// given size is zero, and the zero it appends on reading a string stored without one.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"

class FakeRegistry : public plat::IRegistryApi, public plat::IEnvironment {
 public:
  FakeRegistry();

  long OpenKey(plat::RegKey parent, const std::string& subKey, std::uint32_t access,
               plat::RegKey& out) override;
  long CreateKey(plat::RegKey parent, const std::string& subKey, std::uint32_t access,
                 plat::RegKey& out) override;
  long CloseKey(plat::RegKey key) override;
  long QueryValue(plat::RegKey key, const std::string& name, std::uint32_t* type,
                  std::uint8_t* data, std::uint32_t* size) override;
  long SetValue(plat::RegKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) override;
  long DeleteValue(plat::RegKey key, const std::string& name) override;
  long DeleteKey(plat::RegKey parent, const std::string& subKey) override;
  long EnumValue(plat::RegKey key, std::uint32_t index, char* name,
                 std::uint32_t* nameLen) override;
  long EnumKey(plat::RegKey key, std::uint32_t index, char* name,
               std::uint32_t nameSize) override;
  long QueryInfoKey(plat::RegKey key, std::uint32_t* maxValueNameLen) override;
  long ConnectRegistry(const std::string& machine, plat::RegKey root,
                       plat::RegKey& out) override;
  // HKCR as the machine's classes, HKCU under a user's SID, as Windows names them.
  long KeyName(plat::RegKey key, std::string& name) override;
  long FlushKey(plat::RegKey key) override;

  std::uint32_t ExpandStrings(const std::string& src, char* dst, std::uint32_t size) override;

  // Test set-up and inspection, by root handle value and key path.
  struct RawValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const RawValue&) const = default;
  };
  void Put(std::int32_t root, const std::string& path, const std::string& name,
           std::uint32_t type, const std::vector<std::uint8_t>& data);
  void PutString(std::int32_t root, const std::string& path, const std::string& name,
                 const std::string& text, std::uint32_t type = plat::reg::kRegSz);
  void PutDword(std::int32_t root, const std::string& path, const std::string& name,
                std::uint32_t value);
  std::optional<RawValue> Get(std::int32_t root, const std::string& path,
                              const std::string& name) const;
  bool HasKey(std::int32_t root, const std::string& path) const;
  void MakeKey(std::int32_t root, const std::string& path);
  // Opens of this key (and writes below it) fail with ERROR_ACCESS_DENIED.
  void Deny(std::int32_t root, const std::string& path);
  // Names and data of a key's values, in enumeration order (sorted by name, as Wine
  // keeps them; Windows itself enumerates values in creation order).
  std::vector<std::pair<std::string, RawValue>> Values(std::int32_t root,
                                                       const std::string& path) const;
  std::map<std::string, std::string> env;  // for ExpandStrings
  int openHandles() const { return static_cast<int>(handles_.size()); }

 private:
  struct Node;
  struct Less {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  struct Node {
    std::string name;
    std::map<std::string, std::unique_ptr<Node>, Less> children;
    std::vector<std::pair<std::string, RawValue>> values;
    bool denied = false;
  };
  struct Handle {
    std::int32_t root;
    std::vector<std::string> path;
    std::uint32_t access;
  };
  using ValueList = std::vector<std::pair<std::string, RawValue>>;
  static ValueList::iterator FindValue(ValueList& values, const std::string& name);
  static void StoreValue(ValueList& values, const std::string& name, const RawValue& v);
  Node* Access(plat::RegKey key, std::uint32_t need, long& rc) const;
  long LocatePath(plat::RegKey parent, const std::string& sub, std::int32_t& root,
                  std::vector<std::string>& path) const;
  Node* Resolve(std::int32_t root, const std::vector<std::string>& path) const;
  bool Locate(plat::RegKey parent, const std::string& sub, std::int32_t& root,
              std::vector<std::string>& path) const;
  Node* Make(std::int32_t root, const std::vector<std::string>& path);
  const Handle* Find(plat::RegKey key) const;

  std::map<std::int32_t, std::unique_ptr<Node>> roots_;
  std::map<plat::RegKey, Handle> handles_;
  plat::RegKey next_ = 0x1000;
};
