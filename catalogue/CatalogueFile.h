// The catalogue's layout in the launcher INI: where the file is, its sections and the
// names of their values. Whoever reads or writes the catalogue does so through here:
// the program's own section (Count, KeepBackups), one section per entry (its values
// below, and Saved), and beside each entry its snapshot section, one line per
// registry value.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/cInifile.h"

class CatalogueFile {
 public:
  // The values of an entry's section besides Saved.
  static constexpr char kDescription[] = "Description", kAppDir[] = "AppDir",
                        kAppPath[] = "AppPath", kResBase[] = "ResBase",
                        kProductName[] = "ProductName", kProductVersion[] = "ProductVersion",
                        kRegType[] = "RegType";

  explicit CatalogueFile(const plat::Platform& p);
  static std::string PathFor(const plat::Platform& p);  // beside the program
  const std::string& Path() const { return ini_.Path(); }

  std::vector<std::string> Sections();
  // The entry numbers issued so far: 0 when none or no number.
  std::int32_t Count();
  void Count(std::int64_t issued);
  // How many backups stay: `byDefault` when the file names no number.
  std::int32_t KeepBackups(std::int32_t byDefault);

  // "EEP_" + n, and back: 0 for a section that names no entry (any letter case;
  // decimal, no sign, no leading zero).
  static std::string EntrySection(std::int64_t number);
  static std::int64_t EntryNumber(const std::string& section);
  std::string Read(const std::string& entry, const char* name, const std::string& byDefault = "");
  void Write(const std::string& entry, const char* name, const std::string& value);
  // Whether the entry's snapshot was taken ("Saved" is 1 as a number; absent is 0);
  // nullopt for text that is no number.
  std::optional<bool> Saved(const std::string& entry);
  void MarkSaved(const std::string& entry);
  // The entry and its snapshot go; the other entries keep their numbers.
  void Remove(const std::string& entry);

  // The snapshot section of an entry, and back: the entry whose snapshot a section
  // is (the suffix in any letter case), nullopt for any other section.
  static std::string SnapshotSection(const std::string& entry);
  static std::optional<std::string> SnapshotOf(const std::string& section);
  std::vector<std::string> SnapshotPaths(const std::string& entry);  // file order
  std::string SnapshotLine(const std::string& entry, const std::string& valuePath);
  void WriteSnapshotLine(const std::string& entry, const std::string& valuePath,
                         const std::string& line);
  // `progress` runs after each line removed.
  void ClearSnapshot(const std::string& entry, const std::function<void()>& progress = nullptr);

 private:
  std::vector<std::string> KeysOf(const std::string& section);

  cInifile ini_;
};
