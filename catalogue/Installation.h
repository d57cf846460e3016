// An installation's definition: what its definition file beside the program selects,
// read once per operation.
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

std::string DefinitionFilePath(const plat::Platform& p, const std::string& regType);

struct Installation {
  using Lines = std::vector<std::pair<std::string, std::string>>;  // name, value; file order

  std::string entry;             // the catalogue section, "EEP_" + n
  std::string regType;           // "DEFAULT" when the entry names none
  std::string appDir;            // the entry's folder ("" when it has none)
  std::string appPath, resBase;  // its eep.exe and resource folder ("" when none)
  std::string definitionPath;
  std::vector<std::string> keys;       // the "Registry Keys" that are selected
  Lines factory;                       // "Factory Settings"
  Lines registerList, unregisterList;  // "Register" and "Unregister", values unread as truth
  std::vector<std::string> cutFiles;   // the launcher INI or definition when a NUL cut lines
};

// A definition file's switch: a number (0 = false, anything else = true) or the word
// True/False in any letter case, blanks around allowed; nullopt for anything else
// (the empty text included). A "Registry Keys" entry selects its key unless false.
std::optional<bool> TruthValue(const std::string& text);

Installation ReadInstallation(const plat::Platform& p, const std::string& entry);
