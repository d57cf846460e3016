#include "platform/win32/RegistryWin32.h"

#include <windows.h>

#include <vector>

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
  LONG rc = RegCreateKeyExA(H(parent), subKey.c_str(), 0, noClass, 0, access, nullptr, &k, nullptr);
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

long RegistryWin32::EnumValue(RegKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) {
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
  LONG rc = RegQueryInfoKeyA(H(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &n, nullptr, nullptr, nullptr);
  if (maxValueNameLen) *maxValueNameLen = n;
  return rc;
}

long RegistryWin32::ConnectRegistry(const std::string& machine, RegKey root, RegKey& out) {
  HKEY k = nullptr;
  LONG rc = RegConnectRegistryA(machine.empty() ? nullptr : machine.c_str(), H(root), &k);
  out = rc == ERROR_SUCCESS ? K(k) : 0;
  return rc;
}

long RegistryWin32::KeyName(RegKey key, std::string& name) {
  // ntdll's NtQueryKey exists from Windows NT on; Windows 9x has none.
  using QueryKey = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const auto query = ntdll ? reinterpret_cast<QueryKey>(
                                 reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtQueryKey")))
                           : nullptr;
  if (!query) return ERROR_CALL_NOT_IMPLEMENTED;
  const int kKeyNameInformation = 3;
  std::vector<ULONG> buf(1024);  // a ULONG length, then the UTF-16 name
  ULONG got = 0;
  LONG status = query(H(key), kKeyNameInformation, buf.data(),
                      static_cast<ULONG>(buf.size() * sizeof(ULONG)), &got);
  if (status < 0 && got > buf.size() * sizeof(ULONG)) {
    buf.resize(got / sizeof(ULONG) + 1);
    status = query(H(key), kKeyNameInformation, buf.data(),
                   static_cast<ULONG>(buf.size() * sizeof(ULONG)), &got);
  }
  if (status < 0) return ERROR_INVALID_HANDLE;
  const auto* wide = reinterpret_cast<const WCHAR*>(&buf[1]);
  const int chars = static_cast<int>(buf[0] / sizeof(WCHAR));
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, chars, nullptr, 0, nullptr, nullptr);
  name.assign(static_cast<std::size_t>(n), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide, chars, name.data(), n, nullptr, nullptr);
  return ERROR_SUCCESS;
}

long RegistryWin32::FlushKey(RegKey key) { return RegFlushKey(H(key)); }
