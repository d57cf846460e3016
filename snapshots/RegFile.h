// Registry values as a regedit file (REGEDIT4, the form a double click in Explorer
// imports), and the names of the backup files that hold them.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "support/Variant.h"

namespace regfile {

struct Value {
  std::string name;  // "" = the key's default value
  std::uint32_t type = 0;
  ByteArray data;
  bool operator==(const Value&) const = default;
};

struct Key {
  std::string name;  // "HKEY_LOCAL_MACHINE\..."
  std::vector<Value> values;
  bool operator==(const Key&) const = default;
};

// Strings as "text" where the text carries the bytes exactly, DWORDs as dword:,
// everything else as hex: or hex(type): with lines wrapped as regedit wraps them.
std::string Write(const std::vector<Key>& keys);
// nullopt when the text is not a REGEDIT4 file or a line cannot be read.
std::optional<std::vector<Key>> Read(const std::string& text);

// "HKEY_LOCAL_MACHINE\..." or "HKEY_USERS\..." for a key name the system reports
// ("\REGISTRY\MACHINE\..."); nullopt for any other name.
std::optional<std::string> FromSystemName(const std::string& systemName);
// "HKEY_CLASSES_ROOT" for "HKCR", and so on; "" for an unknown root.
std::string LongRootName(const std::string& shortRoot);
// The name the system reports for the key `subKey` of the root `root` ("HKCU" and so
// on as `rootName`): of the key itself, or of its nearest existing parent with the
// rest appended (a key that was cleared is gone); else the long form of the path.
std::string SystemName(plat::IRegistryApi& api, const std::string& rootName, std::int32_t root,
                       const std::string& subKey);

// "2026-12-06_114205_Umschalten_EEP_1.reg"; characters a file name cannot hold
// become "_".
std::string FileName(const plat::LocalTime& t, const std::string& action, const std::string& entry);
// Whether a name has the form FileName gives (so only our own files are pruned).
bool IsBackupName(const std::string& name);

struct BackupName {
  plat::LocalTime time;
  std::string action, entry;  // "Umschalten", "EEP_1"
  int number = 1;             // 2, 3, ... for further files of the same second
};
// The parts of a name FileName gave (a "_2" for a second file of one second left
// off); nullopt for any other name.
std::optional<BackupName> ParseFileName(const std::string& name);

}  // namespace regfile
