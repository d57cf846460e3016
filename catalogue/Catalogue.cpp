// The catalogue of installations in the launcher INI and the detection of the
// installation the simulator's registry key points to.
#include <cstdint>
#include <limits>
#include <locale>
#include <sstream>
#include <set>

#include "app/frmMain.h"
#include "support/CFileVersionInfo.h"
#include "support/cRegistry.h"
#include "support/mdlTools.h"

namespace {

const char kFullKey[] = "Software\\Software Untergrund\\EEXP";
const char kDemoKey[] = "Software\\Software Untergrund Demo\\EEXP";
constexpr std::int32_t kHkeyClassesRoot = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t kRegSz = 1;
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
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  if (first != std::string::npos) {
    const std::string number = text.substr(first, last - first + 1);
    std::istringstream in(number);
    in.imbue(std::locale::classic());
    double value = 0;
    if (in >> value && in.peek() == std::char_traits<char>::eof()) return value == 1.0;
  }
  throw RuntimeError(err::TypeMismatch, "Gleisora", "Type mismatch");
}

}  // namespace

void frmMain::ReadInstalledVersion() {
  cRegistry reg(p_);
  reg.ClassKey(kHkeyClassesRoot);
  reg.SectionKey(kFullKey);
  reg.ValueKey("AppPath");
  reg.ValueType(kRegSz);
  if (AsText(reg.Value()).empty()) {
    // Only the demo edition: its key stays selected for the reads below.
    reg.SectionKey(kDemoKey);
    if (!AsText(reg.Value()).empty()) EditionSuffix = "D";
  }
  RegAppPath = AsText(reg.Value());
  RegAppDir = GetLongPath(*p_.files, GetDirectory(RegAppPath));
  reg.ValueKey("ResBase");
  reg.ValueType(kRegSz);
  RegResBase = AsText(reg.Value());
}

std::string frmMain::GetRegType(const std::string& AppPath) {
  CFileVersionInfo info(p_);
  info.FullPathName(AppPath);
  std::string version;
  for (char c : info.ProductVersion())
    if (c != ',' && c != ' ') version += c;
  const std::string candidate = "EEP" + version + EditionSuffix;
  return FileExists(*p_.files, DefinitionFilePath(candidate)) ? candidate : "DEFAULT";
}

void frmMain::LoadVersionList() {
  cInifile ini(p_);
  ini.Path(LauncherIniPath());
  ini.Section("Settings");
  ini.Key("Count");
  ini.Default("0");
  std::int32_t count = 0;
  Resume([&] { count = cInifile::CLngDefault(ini.Value(), 0); });

  // Entries above the highest numbered section have no AppPath and would be skipped
  // anyway; walking only up to it keeps a damaged, huge Count from reading the file
  // billions of times. Numbers whose section or snapshot exists are never reissued.
  std::int64_t highest = 0;
  std::set<std::int64_t> taken;
  Resume([&] {
    std::vector<std::string> sections;
    std::int32_t n = 0;
    ini.EnumerateAllSections(sections, n);
    for (const std::string& s : sections) {
      if (std::int64_t k = EntryNumber(s, false)) {
        highest = std::max(highest, k);
        taken.insert(k);
      } else if (std::int64_t k2 = EntryNumber(s, true)) {
        taken.insert(k2);
      }
    }
  });

  const std::int64_t last = std::min<std::int64_t>(count, highest);
  for (std::int64_t n = 1; n <= last; ++n)
    Resume([&] { AddVersionEntry("EEP_" + std::to_string(n)); });

  // The installation in the registry has no entry yet: append one. Only an
  // executable that exists is worth an entry; otherwise every start would add
  // another entry that the user is asked to delete at once.
  if (ActiveKey.empty() && !RegAppPath.empty() && FileExists(*p_.files, RegAppPath)) {
    std::int64_t next = std::max<std::int32_t>(count, 0) + std::int64_t{1};
    while (taken.count(next)) ++next;
    if (next > std::numeric_limits<std::int32_t>::max()) {
      LastError = err::Overflow;  // no number left to issue
    } else {
      count = static_cast<std::int32_t>(next);
      const std::string section = "EEP_" + std::to_string(count);
      Resume([&] {
        ini.Section("Settings");
        ini.Key("Count");
        ini.Value(std::to_string(count));
      });
      CFileVersionInfo info(p_);
      Resume([&] { info.FullPathName(RegAppPath); });
      std::string regType;
      Resume([&] { regType = GetRegType(RegAppPath); });
      auto write = [&](const char* key, const std::string& value) {
        Resume([&] {
          ini.Section(section);
          ini.Key(key);
          ini.Value(value);
        });
      };
      write("Description", MakeDescription(info));
      write("AppDir", RegAppDir);
      write("AppPath", RegAppPath);
      write("ResBase", RegResBase);
      write("ProductName", info.ProductName());
      write("ProductVersion", info.ProductVersion());
      write("RegType", regType);
      if (regType == "DEFAULT")
        Resume([&] {
          view_.MsgBox(std::string("Es wurde keine geeignete ini-Datei für diese Version gefunden!") +
                           kCrLf + "Version: " + info.ProductVersion() + kCrLf +
                           "Es wird die Standard ini-Datei verwendet!",
                       mb::kOk | mb::kIconExclamation, view_.Caption());
        });
      Resume([&] { AddVersionEntry(section); });
    }
  }

  if (!ActiveKey.empty())
    Resume([&] {
      const int row = view_.FindRow(ActiveKey);
      if (row < 0) throw RuntimeError(35601, "Gleisora", "Element not found");
      view_.SetRowChecked(row, true);
    });
}

void frmMain::AddVersionEntry(const std::string& Section) {
  cInifile ini(p_);
  ini.Path(LauncherIniPath());
  ini.Section(Section);
  ini.Default("");
  auto read = [&](const char* key) {
    ini.Key(key);
    return ini.Value();
  };

  const std::string appPath = read("AppPath");
  if (appPath.empty()) return;

  if (FileExists(*p_.files, appPath)) {
    const std::string appDir = read("AppDir");
    std::string description = read("Description");
    const std::string storedType = read("RegType");
    std::string shownType = storedType;

    // An installation that no registry key names (empty or unknown directory)
    // matches no entry.
    if (!RegAppDir.empty() && !RegAppPath.empty() && UpperAnsi(appDir) == UpperAnsi(RegAppDir)) {
      shownType = GetRegType(RegAppPath);
      if (shownType != storedType) {
        // The installation changed since the entry was written.
        CFileVersionInfo info(p_);
        info.FullPathName(RegAppPath);
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
      ActiveKey = Section;
      ini.Default("0");
      CanReset = SavedIsOne(read("Saved"));
    }
    view_.AddRow(Section, description, shownType, appDir);
    return;
  }

  const std::string description = read("Description");
  const std::string appDir = read("AppDir");
  const std::string question =
      description + " " +
      Text("Messages", "ENTRY_NOT_FOUND1", "wurde nicht gefunden!\\nVerzeichnis:\\n") + appDir +
      Text("Messages", "ENTRY_NOT_FOUND2", "\\nSoll der zugehörige Eintrag gelöscht werden?");
  if (view_.MsgBox(question, mb::kYesNo | mb::kIconQuestion, view_.Caption()) == mb::kIdYes) {
    ini.Section(Section);
    ini.DeleteSection();
    ini.Section(Section + "\\Settings");
    ini.DeleteSection();
  }
}
