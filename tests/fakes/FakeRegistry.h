// In-memory registry with the Win32 results the program relies on (held honest by
// the registry contract tests, which run the same cases under Wine). Names compare
// and sort by their lower-case form, as Wine keeps them.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
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

  // Set-up and inspection, by root handle value and key path.
  struct RawValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const RawValue&) const = default;
  };
  using ValueList = std::vector<std::pair<std::string, RawValue>>;  // in enumeration order
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
  // Opens of this key (and creation below it) fail with ERROR_ACCESS_DENIED.
  void Deny(std::int32_t root, const std::string& path);
  ValueList Values(std::int32_t root, const std::string& path) const;
  std::map<std::string, std::string> env;  // upper-case name -> value, for ExpandStrings
  int openHandles() const { return static_cast<int>(handles_.size()); }

 private:
  struct Key {
    std::string name;  // the last part as first created
    ValueList values;
    bool denied = false;
  };
  // The folded path of `sub` below `parent` (root first), and its parts as written.
  long Locate(plat::RegKey parent, const std::string& sub, std::string& base,
              std::vector<std::string>& parts) const;
  Key* Open(plat::RegKey key, long& rc);
  std::vector<const Key*> Children(const std::string& path) const;
  Key& Make(std::string base, const std::vector<std::string>& parts);
  const Key* Find(std::int32_t root, const std::string& path) const;

  std::map<std::string, Key> keys_;         // by folded path, root first
  std::map<plat::RegKey, std::string> handles_;  // open key -> its folded path
  plat::RegKey next_ = 0x1000;
};
