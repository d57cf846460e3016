#include "platform/win32/RegistryWin32.h"

#include <windows.h>

using plat::RegKey;

namespace {
HKEY H(RegKey k) { return reinterpret_cast<HKEY>(k); }
RegKey K(HKEY k) { return reinterpret_cast<RegKey>(k); }
}  // namespace

long RegistryWin32::OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                            RegKey& out) {
  HKEY k = nullptr;
  LONG rc = RegOpenKeyExA(H(parent), subKey.c_str(), 0, access, &k);
  out = rc == ERROR_SUCCESS ? K(k) : 0;
  return rc;
}

long RegistryWin32::CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                              RegKey& out) {
  HKEY k = nullptr;
  char noClass[] = "";
  LONG rc = RegCreateKeyExA(H(parent), subKey.c_str(), 0, noClass, 0, access, nullptr, &k,
                            nullptr);
  out = rc == ERROR_SUCCESS ? K(k) : 0;
  return rc;
}

long RegistryWin32::CloseKey(RegKey key) { return RegCloseKey(H(key)); }

long RegistryWin32::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* size) {
  DWORD t = 0, n = size ? *size : 0;
  LONG rc = RegQueryValueExA(H(key), name.c_str(), nullptr, type ? &t : nullptr, data,
                             size ? &n : nullptr);
  if (type) *type = t;
  if (size) *size = n;
  return rc;
}

long RegistryWin32::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExA(H(key), name.c_str(), 0, type, data, size);
}

long RegistryWin32::DeleteValue(RegKey key, const std::string& name) {
  return RegDeleteValueA(H(key), name.c_str());
}

long RegistryWin32::DeleteKey(RegKey parent, const std::string& subKey) {
  return RegDeleteKeyA(H(parent), subKey.c_str());
}

long RegistryWin32::EnumValue(RegKey key, std::uint32_t index, char* name,
                              std::uint32_t* nameLen) {
  DWORD n = *nameLen;
  LONG rc = RegEnumValueA(H(key), index, name, &n, nullptr, nullptr, nullptr, nullptr);
  *nameLen = n;
  return rc;
}

long RegistryWin32::EnumKey(RegKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
  return RegEnumKeyA(H(key), index, name, nameSize);
}

long RegistryWin32::QueryInfoKey(RegKey key, std::uint32_t* maxValueNameLen) {
  DWORD n = 0;
  LONG rc = RegQueryInfoKeyA(H(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, &n, nullptr, nullptr, nullptr);
  if (maxValueNameLen) *maxValueNameLen = n;
  return rc;
}

long RegistryWin32::ConnectRegistry(const std::string& machine, RegKey root, RegKey& out) {
  HKEY k = nullptr;
  LONG rc = RegConnectRegistryA(machine.empty() ? nullptr : machine.c_str(), H(root), &k);
  out = rc == ERROR_SUCCESS ? K(k) : 0;
  return rc;
}
