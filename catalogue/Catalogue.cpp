// The catalogue of installations in the launcher INI and the detection of the
// installation the simulator's registry key points to.
#include <cstdint>
#include <limits>
#include <set>

#include "catalogue/Catalogue.h"

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

// The entry number of a section named "EEP_" + n (n written as the catalogue writes
// it: decimal, no sign, no leading zero); 0 for any other name. With `snapshot`, the
// name must end in "\Settings" instead.
std::int64_t EntryNumber(const std::string& section, bool snapshot) {
  std::string name = UpperAnsi(section);
  const std::string suffix = "\\SETTINGS";
  if (snapshot) {
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
      return 0;
    name.resize(name.size() - suffix.size());
  }
  if (name.size() < 5 || name.size() > 14 || name.compare(0, 4, "EEP_") != 0 || name[4] == '0')
    return 0;
  std::int64_t n = 0;
  for (std::size_t i = 4; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

// "Saved" compared with 1 as a number; text that is no number is a type mismatch.
bool SavedIsOne(const std::string& text) {
  if (const auto n = NumberValue(text)) return *n == 1.0;
  throw RuntimeError(err::TypeMismatch, "Gleisora", "Type mismatch");
}

// The entry numbers issued so far ("Count") and those whose section or snapshot
// exists: numbers in use are never issued again.
struct Numbers {
  std::int32_t count = 0;
  std::int64_t highest = 0;
  std::set<std::int64_t> taken, entries;
};

Numbers ScanNumbers(cInifile& ini) {
  Numbers out;
  ini.Section("Settings");
  ini.Key("Count");
  ini.Default("0");
  Attempt([&] { out.count = cInifile::CLngDefault(ini.Value(), 0); });
  Attempt([&] {
    std::vector<std::string> sections;
    std::int32_t n = 0;
    ini.EnumerateAllSections(sections, n);
    for (const std::string& s : sections) {
      if (std::int64_t k = EntryNumber(s, false)) {
        out.highest = std::max(out.highest, k);
        out.taken.insert(k);
        out.entries.insert(k);
      } else if (std::int64_t k2 = EntryNumber(s, true)) {
        out.taken.insert(k2);
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
  cInifile ini(p);
  ini.Path(LauncherIniPath(p));
  const Numbers numbers = ScanNumbers(ini);
  // Entries above the highest numbered section have no AppPath and would be skipped
  // anyway; walking only up to it keeps a damaged, huge Count from reading the file
  // billions of times.
  const std::int64_t last = std::min<std::int64_t>(numbers.count, numbers.highest);
  for (std::int64_t n = 1; n <= last; ++n)
    Attempt([&] { AddVersionEntry("EEP_" + std::to_string(n), v, list); });

  // The installation in the registry has no entry yet: append one. Only an
  // executable that exists is worth an entry; otherwise every start would add
  // another entry that the user is asked to delete at once.
  if (!list.activeKey.empty() || v.RegAppPath.empty() || !FileExists(*p.files, v.RegAppPath))
    return list;
  if (const auto section = AppendEntry(v))
    Attempt([&] { AddVersionEntry(*section, v, list); });
  return list;
}

// Writes a new entry for the installation under the first number never issued.
std::optional<std::string> Catalogue::AppendEntry(const InstalledVersion& v) const {
  const plat::Platform& p = c_.platform;
  cInifile ini(p);
  ini.Path(LauncherIniPath(p));
  const Numbers numbers = ScanNumbers(ini);
  std::int64_t next = std::max<std::int32_t>(numbers.count, 0) + std::int64_t{1};
  while (numbers.taken.count(next)) ++next;
  if (next > std::numeric_limits<std::int32_t>::max()) return std::nullopt;  // no number left
  const std::string section = "EEP_" + std::to_string(next);
  Attempt([&] {
    ini.Section("Settings");
    ini.Key("Count");
    ini.Value(std::to_string(next));
  });
  CFileVersionInfo info(p);
  Attempt([&] { info.FullPathName(v.RegAppPath); });
  std::string regType;
  Attempt([&] { regType = GetRegType(v.RegAppPath, v.EditionSuffix); });
  auto write = [&](const char* key, const std::string& value) {
    Attempt([&] {
      ini.Section(section);
      ini.Key(key);
      ini.Value(value);
    });
  };
  write("Description", MakeDescription(info));
  write("AppDir", v.RegAppDir);
  write("AppPath", v.RegAppPath);
  write("ResBase", v.RegResBase);
  write("ProductName", info.ProductName());
  write("ProductVersion", info.ProductVersion());
  write("RegType", regType);
  if (regType == "DEFAULT")
    Attempt([&] {
      c_.ask(std::string("Es wurde keine geeignete ini-Datei für diese Version gefunden!") +
                         kCrLf + "Version: " + info.ProductVersion() + kCrLf +
                         "Es wird die Standard ini-Datei verwendet!",
                     mb::kOk | mb::kIconExclamation);
    });
  return section;
}

std::optional<CatalogueRow> Catalogue::AddInstallation(const std::string& AppPath) const {
  const plat::Platform& p = c_.platform;
  const auto refuse = [&] {
    c_.ask(c_.texts.GetText("Messages", "NOT_ADDED", "Diese Datei kann nicht hinzugefügt werden:") +
               kCrLf + AppPath,
           mb::kOk | mb::kIconExclamation);
    return std::nullopt;
  };
  if (!FileExists(*p.files, AppPath)) return refuse();
  InstalledVersion v;
  v.RegAppPath = GetLongPath(*p.files, AppPath);
  v.RegAppDir = GetDirectory(v.RegAppPath);

  cInifile ini(p);
  ini.Path(LauncherIniPath(p));
  ini.Default("");
  for (std::int64_t n : ScanNumbers(ini).entries) {
    ini.Section("EEP_" + std::to_string(n));
    ini.Key("AppDir");
    if (UpperAnsi(ini.Value()) != UpperAnsi(v.RegAppDir)) continue;
    ini.Key("Description");
    c_.ask(ini.Value() + kCrLf + v.RegAppDir + kCrLf +
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
  cInifile ini(c_.platform);
  ini.Path(LauncherIniPath(c_.platform));
  ini.Section(Section);
  ini.Key("AppPath");
  ini.Default("");
  return ini.Value();
}

void Catalogue::RemoveEntry(const std::string& Section) const {
  cInifile ini(c_.platform);
  ini.Path(LauncherIniPath(c_.platform));
  ini.Section(Section);
  ini.DeleteSection();
  ini.Section(Section + "\\Settings");
  ini.DeleteSection();
}

Installation::Lines Catalogue::FirstSettings(const Installation& inst) const {
  cInifile ini(c_.platform);
  ini.Path(LauncherIniPath(c_.platform));
  ini.Section(inst.entry);
  ini.Default("0");
  ini.Key("Saved");
  if (const auto saved = NumberValue(ini.Value()); saved && *saved == 1.0) return {};
  // Snapshot lines without the mark (a catalogue edited by hand) are still the
  // entry's own settings: nothing is written over them.
  std::vector<std::string> snapshot;
  std::int32_t count = 0;
  ini.Section(inst.entry + "\\Settings");
  ini.EnumerateCurrentSection(snapshot, count);
  if (count > 0) return {};
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
  cInifile ini(p);
  ini.Path(LauncherIniPath(p));
  ini.Section(Section);
  ini.Default("");
  auto read = [&](const char* key) {
    ini.Key(key);
    return ini.Value();
  };

  const std::string appPath = read("AppPath");
  if (appPath.empty()) return;

  if (FileExists(*p.files, appPath)) {
    const std::string appDir = read("AppDir");
    std::string description = read("Description");
    const std::string storedType = read("RegType");
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
        auto write = [&](const char* key, const std::string& value) {
          ini.Key(key);
          ini.Value(value);
        };
        write("Description", description);
        write("RegType", shownType);
        write("ProductName", info.ProductName());
        write("ProductVersion", info.ProductVersion());
      }
      list.activeKey = Section;
      ini.Default("0");
      list.canReset = SavedIsOne(read("Saved"));
    }
    list.rows.push_back({Section, description, shownType, appDir});
    return;
  }

  const std::string description = read("Description");
  const std::string appDir = read("AppDir");
  const std::string question =
      description + " " +
      c_.texts.GetText("Messages", "ENTRY_NOT_FOUND1", "wurde nicht gefunden!\\nVerzeichnis:\\n") +
      appDir +
      c_.texts.GetText("Messages", "ENTRY_NOT_FOUND2",
                       "\\nSoll der zugehörige Eintrag gelöscht werden?");
  if (c_.ask(question, mb::kYesNo | mb::kIconQuestion) == mb::kIdYes) {
    ini.Section(Section);
    ini.DeleteSection();
    ini.Section(Section + "\\Settings");
    ini.DeleteSection();
  }
}
