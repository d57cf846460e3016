// The registry through the ANSI advapi32 functions, one call per operation.
#pragma once
#include "platform/Registry.h"

class RegistryWin32 : public plat::IRegistryApi {
 public:
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
  long EnumKey(plat::RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
  long QueryInfoKey(plat::RegKey key, std::uint32_t* maxValueNameLen) override;
  long ConnectRegistry(const std::string& machine, plat::RegKey root, plat::RegKey& out) override;
  long KeyName(plat::RegKey key, std::string& name) override;
  long FlushKey(plat::RegKey key) override;
};
