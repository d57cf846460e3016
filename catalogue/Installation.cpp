#include "catalogue/Installation.h"

#include "catalogue/CatalogueFile.h"
#include "support/Convert.h"
#include "support/cInifile.h"

std::string DefinitionFilePath(const plat::Platform& p, const std::string& regType) {
  return p.appDir + "\\" + regType + ".ini";
}

std::optional<bool> TruthValue(const std::string& text) {
  const std::string t = UpperAscii(TrimBlanks(text));
  if (t == "TRUE") return true;
  if (t == "FALSE") return false;
  if (auto n = NumberValue(t)) return *n != 0.0;
  return std::nullopt;
}

namespace {
Installation::Lines SectionLines(cInifile& ini, const std::string& section) {
  ini.Section(section);
  std::vector<std::string> names;
  std::int32_t count = 0;
  ini.EnumerateCurrentSection(names, count);
  names.resize(static_cast<std::size_t>(count));
  Installation::Lines lines;
  for (const auto& name : names) {
    ini.Key(name);
    lines.emplace_back(name, ini.Value());
  }
  return lines;
}
}  // namespace

Installation ReadInstallation(const plat::Platform& p, const std::string& entry) {
  Installation inst;
  inst.entry = entry;
  CatalogueFile launcher(p);
  inst.regType = launcher.Read(entry, CatalogueFile::kRegType, "DEFAULT");
  inst.appDir = launcher.Read(entry, CatalogueFile::kAppDir);
  inst.appPath = launcher.Read(entry, CatalogueFile::kAppPath);
  inst.resBase = launcher.Read(entry, CatalogueFile::kResBase);

  inst.definitionPath = DefinitionFilePath(p, inst.regType);
  cInifile definition(p);
  definition.Path(inst.definitionPath);
  for (auto& [name, value] : SectionLines(definition, "Registry Keys"))
    if (TruthValue(value) != false) inst.keys.push_back(name);
  inst.factory = SectionLines(definition, "Factory Settings");
  inst.registerList = SectionLines(definition, "Register");
  inst.unregisterList = SectionLines(definition, "Unregister");
  for (const std::string& file : {launcher.Path(), inst.definitionPath})
    if (p.ini->HoldsNul(file)) inst.cutFiles.push_back(file);
  return inst;
}
