#include "catalogue/CatalogueFile.h"

#include "support/Convert.h"

namespace {
const char kSettings[] = "Settings";  // the program's own section
const char kCount[] = "Count", kKeepBackups[] = "KeepBackups", kSaved[] = "Saved";
const char kEntryPrefix[] = "EEP_";
const char kSnapshotSuffix[] = "\\Settings";
}  // namespace

CatalogueFile::CatalogueFile(const plat::Platform& p) : ini_(p) { ini_.Path(PathFor(p)); }

std::string CatalogueFile::PathFor(const plat::Platform& p) {
  return p.appDir + "\\" + p.exeName + ".ini";
}

std::vector<std::string> CatalogueFile::Sections() {
  std::vector<std::string> sections;
  std::int32_t count = 0;
  ini_.EnumerateAllSections(sections, count);
  return sections;
}

std::int32_t CatalogueFile::Count() {
  ini_.Section(kSettings);
  ini_.Key(kCount);
  ini_.Default("0");
  return cInifile::CLngDefault(ini_.Value(), 0);
}

void CatalogueFile::Count(std::int64_t issued) {
  ini_.Section(kSettings);
  ini_.Key(kCount);
  ini_.Value(std::to_string(issued));
}

std::int32_t CatalogueFile::KeepBackups(std::int32_t byDefault) {
  ini_.Section(kSettings);
  ini_.Key(kKeepBackups);
  ini_.Default("");
  return cInifile::CLngDefault(ini_.Value(), byDefault);
}

std::string CatalogueFile::EntrySection(std::int64_t number) {
  return kEntryPrefix + std::to_string(number);
}

std::int64_t CatalogueFile::EntryNumber(const std::string& section) {
  const std::string name = UpperAnsi(section);
  if (name.size() < 5 || name.size() > 14 || name.compare(0, 4, kEntryPrefix) != 0 ||
      name[4] == '0')
    return 0;
  std::int64_t n = 0;
  for (std::size_t i = 4; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

std::string CatalogueFile::Read(const std::string& entry, const char* name,
                                const std::string& byDefault) {
  ini_.Section(entry);
  ini_.Key(name);
  ini_.Default(byDefault);
  return ini_.Value();
}

void CatalogueFile::Write(const std::string& entry, const char* name, const std::string& value) {
  ini_.Section(entry);
  ini_.Key(name);
  ini_.Value(value);
}

std::optional<bool> CatalogueFile::Saved(const std::string& entry) {
  const auto n = NumberValue(Read(entry, kSaved, "0"));
  if (!n) return std::nullopt;
  return *n == 1.0;
}

void CatalogueFile::MarkSaved(const std::string& entry) { Write(entry, kSaved, "1"); }

void CatalogueFile::Remove(const std::string& entry) {
  ini_.Section(entry);
  ini_.DeleteSection();
  ini_.Section(SnapshotSection(entry));
  ini_.DeleteSection();
}

std::string CatalogueFile::SnapshotSection(const std::string& entry) {
  return entry + kSnapshotSuffix;
}

std::optional<std::string> CatalogueFile::SnapshotOf(const std::string& section) {
  const std::string suffix = UpperAnsi(kSnapshotSuffix);
  if (section.size() <= suffix.size() ||
      UpperAnsi(section.substr(section.size() - suffix.size())) != suffix)
    return std::nullopt;
  return section.substr(0, section.size() - suffix.size());
}

std::vector<std::string> CatalogueFile::KeysOf(const std::string& section) {
  ini_.Section(section);
  std::vector<std::string> names;
  std::int32_t count = 0;
  ini_.EnumerateCurrentSection(names, count);
  names.resize(static_cast<std::size_t>(count));
  return names;
}

std::vector<std::string> CatalogueFile::SnapshotPaths(const std::string& entry) {
  return KeysOf(SnapshotSection(entry));
}

std::string CatalogueFile::SnapshotLine(const std::string& entry, const std::string& valuePath) {
  ini_.Section(SnapshotSection(entry));
  ini_.Key(valuePath);
  ini_.Default("");
  return ini_.Value();
}

void CatalogueFile::WriteSnapshotLine(const std::string& entry, const std::string& valuePath,
                                      const std::string& line) {
  ini_.Section(SnapshotSection(entry));
  ini_.Key(valuePath);
  ini_.Value(line);
}

void CatalogueFile::ClearSnapshot(const std::string& entry, const std::function<void()>& progress) {
  for (const auto& name : SnapshotPaths(entry)) {
    ini_.Key(name);
    ini_.DeleteKey();
    if (progress) progress();
  }
}
