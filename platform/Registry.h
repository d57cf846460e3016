// Registry and environment services, one operation per ANSI Windows function.
// Results are Win32 error codes (0 = ERROR_SUCCESS), exactly as Windows gives them.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// An open key, or a predefined root given by its 32-bit handle value.
using RegKey = std::uintptr_t;

constexpr std::int32_t kHKCR = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t kHKCU = static_cast<std::int32_t>(0x80000001u);
constexpr std::int32_t kHKLM = static_cast<std::int32_t>(0x80000002u);

// Predefined roots are sign-extended, as Windows defines them on 64-bit.
inline RegKey RootKey(std::int32_t classKey) {
  return static_cast<RegKey>(static_cast<std::intptr_t>(classKey));
}

namespace reg {
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kKeyAllAccess = 0x3F;  // as the registry class passes it
constexpr std::uint32_t kKeyAllAccessFull = 0xF003F;
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
constexpr std::uint32_t kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4,
                        kRegDwordBigEndian = 5, kRegLink = 6, kRegMultiSz = 7, kRegQword = 11;
}  // namespace reg

class IRegistryApi {
 public:
  virtual ~IRegistryApi() = default;
  virtual long OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                       RegKey& out) = 0;  // RegOpenKeyExA
  virtual long CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                         RegKey& out) = 0;  // RegCreateKeyExA
  virtual long CloseKey(RegKey key) = 0;    // RegCloseKey
  // RegQueryValueExA: data may be null to ask for type and size only.
  virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                          std::uint8_t* data, std::uint32_t* size) = 0;
  virtual long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                        const std::uint8_t* data, std::uint32_t size) = 0;  // RegSetValueExA
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;        // RegDeleteValueA
  virtual long DeleteKey(RegKey parent, const std::string& subKey) = 0;     // RegDeleteKeyA
  // RegEnumValueA without type or data: nameLen in = buffer size, out = characters.
  virtual long EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) = 0;
  virtual long EnumKey(RegKey key, std::uint32_t index, char* name,
                       std::uint32_t nameSize) = 0;                           // RegEnumKeyA
  virtual long QueryInfoKey(RegKey key, std::uint32_t* maxValueNameLen) = 0;  // RegQueryInfoKeyA
  virtual long ConnectRegistry(const std::string& machine, RegKey root,
                               RegKey& out) = 0;  // RegConnectRegistryA
  // NtQueryKey's KeyNameInformation: the name the system gives an open key, as
  // "\REGISTRY\MACHINE\SOFTWARE\..." (a redirected view shows where it really is).
  // Not kSuccess where the system has no such call.
  virtual long KeyName(RegKey key, std::string& name) = 0;
  virtual long FlushKey(RegKey key) = 0;  // RegFlushKey
};

class IEnvironment {
 public:
  virtual ~IEnvironment() = default;
  // ExpandEnvironmentStringsA: returns the size needed including the NUL, 0 on failure.
  virtual std::uint32_t ExpandStrings(const std::string& src, char* dst, std::uint32_t size) = 0;
};

}  // namespace plat
