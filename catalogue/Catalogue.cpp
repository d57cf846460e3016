// The catalogue of installations in the launcher INI and the detection of the
// installation the simulator's registry key points to.
#include <cstdint>
#include <limits>
#include <set>

#include "catalogue/Catalogue.h"

#include "catalogue/CatalogueFile.h"
#include "catalogue/Installation.h"
#include "support/CFileVersionInfo.h"
#include "support/cRegistry.h"
#include "support/mdlTools.h"

namespace {

const char kFullKey[] = "Software\\Software Untergrund\\EEXP";
const char kDemoKey[] = "Software\\Software Untergrund Demo\\EEXP";
const char kCrLf[] = "\r\n";

// A registry value as text. A path never holds a NUL, so a multi-string value
// counts up to its first part.
std::string AsText(const Variant& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return s->substr(0, s->find('\0'));
  if (const auto* i = std::get_if<std::int32_t>(&v)) return std::to_string(*i);
  if (const auto* i = std::get_if<std::int16_t>(&v)) return std::to_string(*i);
  return {};
}

std::string Mid1(const std::string& s, std::size_t position) {  // 1-based, one character
  return position >= 1 && position <= s.size() ? s.substr(position - 1, 1) : std::string();
}

// "Description v6.03" from a file description and a product version "6, 0, 0, 3":
// first, seventh and last character of the version.
std::string MakeDescription(const CFileVersionInfo& info) {
  const std::string& pv = info.ProductVersion();
  return info.FileDescription() + " v" + Mid1(pv, 1) + "." + Mid1(pv, 7) +
         (pv.empty() ? std::string() : pv.substr(pv.size() - 1));
}

// The entry numbers issued so far ("Count") and those whose section or snapshot
// exists: numbers in use are never issued again.
struct Numbers {
  std::int32_t count = 0;
  std::int64_t highest = 0;
  std::set<std::int64_t> taken, entries;
};

Numbers ScanNumbers(CatalogueFile& file) {
  Numbers out;
  Attempt([&] { out.count = file.Count(); });
  Attempt([&] {
    for (const std::string& s : file.Sections()) {
      if (std::int64_t k = CatalogueFile::EntryNumber(s)) {
        out.highest = std::max(out.highest, k);
        out.taken.insert(k);
        out.entries.insert(k);
      } else if (const auto owner = CatalogueFile::SnapshotOf(s)) {
        if (std::int64_t k2 = CatalogueFile::EntryNumber(*owner)) out.taken.insert(k2);
      }
    }
  });
  return out;
}

}  // namespace

// The edition an installation's own files name: its version resource calls a demo
// edition so.
std::string Catalogue::EditionOf(const std::string& AppPath) const {
  CFileVersionInfo info(c_.platform);
  Attempt([&] { info.FullPathName(AppPath); });
  return UpperAnsi(info.ProductName() + " " + info.FileDescription()).find("DEMO") !=
                 std::string::npos
             ? "D"
             : "";
}

void Catalogue::ReadInstalledVersion(InstalledVersion& v) const {
  cRegistry reg(c_.platform);
  reg.ClassKey(plat::kHKCR);
  reg.SectionKey(kFullKey);
  reg.ValueKey("AppPath");
  reg.ValueType(static_cast<std::int32_t>(plat::reg::kRegSz));
  if (AsText(reg.Value()).empty()) {
    // Only the demo edition: its key stays selected for the reads below.
    reg.SectionKey(kDemoKey);
    if (!AsText(reg.Value()).empty()) v.EditionSuffix = "D";
  }
  v.RegAppPath = AsText(reg.Value());
  v.RegAppDir = GetLongPath(*c_.platform.files, GetDirectory(v.RegAppPath));
  reg.ValueKey("ResBase");
  reg.ValueType(static_cast<std::int32_t>(plat::reg::kRegSz));
  v.RegResBase = AsText(reg.Value());
}

std::string Catalogue::GetRegType(const std::string& AppPath,
                                  const std::string& EditionSuffix) const {
  CFileVersionInfo info(c_.platform);
  info.FullPathName(AppPath);
  std::string version;
  for (char c : info.ProductVersion())
    if (c != ',' && c != ' ') version += c;
  const std::string candidate = "EEP" + version + EditionSuffix;
  return FileExists(*c_.platform.files, DefinitionFilePath(c_.platform, candidate)) ? candidate
                                                                                    : "DEFAULT";
}

VersionList Catalogue::LoadVersionList(const InstalledVersion& v) const {
  const plat::Platform& p = c_.platform;
  VersionList list;
  CatalogueFile file(p);
  const Numbers numbers = ScanNumbers(file);
  // Entries above the highest numbered section have no AppPath and would be skipped
  // anyway; walking only up to it keeps a damaged, huge Count from reading the file
  // billions of times.
  const std::int64_t last = std::min<std::int64_t>(numbers.count, numbers.highest);
  for (std::int64_t n = 1; n <= last; ++n)
    Attempt([&] { AddVersionEntry(CatalogueFile::EntrySection(n), v, list); });

  // The installation in the registry has no entry yet: append one. Only an
  // executable that exists is worth an entry; otherwise every start would add
  // another entry that the user is asked to delete at once.
  if (!list.activeKey.empty() || v.RegAppPath.empty() || !FileExists(*p.files, v.RegAppPath))
    return list;
  if (const auto section = AppendEntry(v)) Attempt([&] { AddVersionEntry(*section, v, list); });
  return list;
}

// Writes a new entry for the installation under the first number never issued.
std::optional<std::string> Catalogue::AppendEntry(const InstalledVersion& v) const {
  const plat::Platform& p = c_.platform;
  CatalogueFile file(p);
  const Numbers numbers = ScanNumbers(file);
  std::int64_t next = std::max<std::int32_t>(numbers.count, 0) + std::int64_t{1};
  while (numbers.taken.count(next)) ++next;
  if (next > std::numeric_limits<std::int32_t>::max()) return std::nullopt;  // no number left
  const std::string section = CatalogueFile::EntrySection(next);
  Attempt([&] { file.Count(next); });
  CFileVersionInfo info(p);
  Attempt([&] { info.FullPathName(v.RegAppPath); });
  std::string regType;
  Attempt([&] { regType = GetRegType(v.RegAppPath, v.EditionSuffix); });
  auto write = [&](const char* name, const std::string& value) {
    Attempt([&] { file.Write(section, name, value); });
  };
  write(CatalogueFile::kDescription, MakeDescription(info));
  write(CatalogueFile::kAppDir, v.RegAppDir);
  write(CatalogueFile::kAppPath, v.RegAppPath);
  write(CatalogueFile::kResBase, v.RegResBase);
  write(CatalogueFile::kProductName, info.ProductName());
  write(CatalogueFile::kProductVersion, info.ProductVersion());
  write(CatalogueFile::kRegType, regType);
  if (regType == "DEFAULT")
    Attempt([&] {
      c_.ask(std::string("Es wurde keine geeignete ini-Datei für diese Version gefunden!") + kCrLf +
                 "Version: " + info.ProductVersion() + kCrLf +
                 "Es wird die Standard ini-Datei verwendet!",
             mb::kOk | mb::kIconExclamation);
    });
  return section;
}

std::optional<CatalogueRow> Catalogue::AddInstallation(const std::string& AppPath) const {
  const plat::Platform& p = c_.platform;
  const auto refuse = [&] {
    c_.ask(c_.texts.GetText("Messages", "NOT_ADDED",
                            "Diese Datei kann nicht hinzugefügt werden: Entweder gibt es sie "
                            "nicht mehr, ihr Pfad enthält Zeichen, die Gleisora nicht verarbeiten "
                            "kann, oder die Liste der Installationen lässt sich nicht schreiben."
                            "\\nBitte wählen Sie eine eep.exe in einem Ordner, dessen Name nur "
                            "gewöhnliche Buchstaben enthält, oder prüfen Sie, ob Gleisora in "
                            "seinen Ordner schreiben darf. Datei:") +
               kCrLf + AppPath,
           mb::kOk | mb::kIconExclamation);
    return std::nullopt;
  };
  if (!FileExists(*p.files, AppPath)) return refuse();
  InstalledVersion v;
  v.RegAppPath = GetLongPath(*p.files, AppPath);
  v.RegAppDir = GetDirectory(v.RegAppPath);

  CatalogueFile file(p);
  for (std::int64_t n : ScanNumbers(file).entries) {
    // A value the entry lacks reads as "0" here, so no folder matches it.
    const std::string section = CatalogueFile::EntrySection(n);
    if (UpperAnsi(file.Read(section, CatalogueFile::kAppDir, "0")) != UpperAnsi(v.RegAppDir))
      continue;
    c_.ask(file.Read(section, CatalogueFile::kDescription, "0") + kCrLf + v.RegAppDir + kCrLf +
               c_.texts.GetText("Messages", "ALREADY_LISTED",
                                "Diese Installation steht bereits in der Liste!"),
           mb::kOk | mb::kIconExclamation);
    return std::nullopt;
  }

  // What detection reads from the simulator's key comes from the installation itself.
  const auto resources = p.files->FindFirst(v.RegAppDir + "\\Resourcen");
  if (resources && (resources->attributes & plat::fattr::kDirectory))
    v.RegResBase = v.RegAppDir + "\\" + resources->name;
  v.EditionSuffix = EditionOf(v.RegAppPath);

  // An entry that does not read back (the catalogue cannot be written) is not added.
  VersionList list;
  if (const auto section = AppendEntry(v)) AddVersionEntry(*section, InstalledVersion{}, list);
  if (list.rows.empty()) return refuse();
  return list.rows.front();
}

std::string Catalogue::AppPath(const std::string& Section) const {
  return CatalogueFile(c_.platform).Read(Section, CatalogueFile::kAppPath);
}

void Catalogue::RemoveEntry(const std::string& Section) const {
  CatalogueFile(c_.platform).Remove(Section);
}

Installation::Lines Catalogue::FirstSettings(const Installation& inst) const {
  CatalogueFile file(c_.platform);
  if (file.Saved(inst.entry) == true) return {};
  // Snapshot lines without the mark (a catalogue edited by hand) are still the
  // entry's own settings: nothing is written over them.
  if (!file.SnapshotPaths(inst.entry).empty()) return {};
  Installation::Lines lines;
  for (const auto& [path, value] : inst.factory)
    lines.emplace_back(path, ReplaceAll(value, "{AppDir}", inst.appDir));
  if (inst.appPath.empty()) return lines;
  const std::string key =
      std::string("HKCR\\") + (EditionOf(inst.appPath).empty() ? kFullKey : kDemoKey);
  lines.emplace_back(key + "\\AppPath", "REG_SZ:" + inst.appPath);
  if (!inst.resBase.empty()) lines.emplace_back(key + "\\ResBase", "REG_SZ:" + inst.resBase);
  return lines;
}

void Catalogue::AddVersionEntry(const std::string& Section, const InstalledVersion& v,
                                VersionList& list) const {
  const plat::Platform& p = c_.platform;
  CatalogueFile file(p);
  auto read = [&](const char* name) { return file.Read(Section, name); };

  const std::string appPath = read(CatalogueFile::kAppPath);
  if (appPath.empty()) return;

  if (FileExists(*p.files, appPath)) {
    const std::string appDir = read(CatalogueFile::kAppDir);
    std::string description = read(CatalogueFile::kDescription);
    const std::string storedType = read(CatalogueFile::kRegType);
    std::string shownType = storedType;

    // An installation that no registry key names (empty or unknown directory)
    // matches no entry.
    if (!v.RegAppDir.empty() && !v.RegAppPath.empty() &&
        UpperAnsi(appDir) == UpperAnsi(v.RegAppDir)) {
      shownType = GetRegType(v.RegAppPath, v.EditionSuffix);
      if (shownType != storedType) {
        // The installation changed since the entry was written.
        CFileVersionInfo info(p);
        info.FullPathName(v.RegAppPath);
        description = MakeDescription(info);
        file.Write(Section, CatalogueFile::kDescription, description);
        file.Write(Section, CatalogueFile::kRegType, shownType);
        file.Write(Section, CatalogueFile::kProductName, info.ProductName());
        file.Write(Section, CatalogueFile::kProductVersion, info.ProductVersion());
      }
      list.activeKey = Section;
      const std::optional<bool> saved = file.Saved(Section);
      if (!saved) throw RuntimeError(err::TypeMismatch, "Gleisora", "Type mismatch");
      list.canReset = *saved;
    }
    list.rows.push_back({Section, description, shownType, appDir});
    return;
  }

  const std::string description = read(CatalogueFile::kDescription);
  const std::string appDir = read(CatalogueFile::kAppDir);
  const std::string question =
      description + " " +
      c_.texts.GetText("Messages", "ENTRY_NOT_FOUND1", "wurde nicht gefunden!\\nVerzeichnis:\\n") +
      appDir +
      c_.texts.GetText("Messages", "ENTRY_NOT_FOUND2",
                       "\\nSoll der zugehörige Eintrag gelöscht werden?");
  if (c_.ask(question, mb::kYesNo | mb::kIconQuestion) == mb::kIdYes) RemoveEntry(Section);
}
