// The profile functions' rules over one parsed file: what a read places in a buffer
// of a given size, and what a write does to the file.
#pragma once
#include <cstdint>
#include <string>

#include "platform/IniFiles.h"
#include "support/IniDocument.h"

namespace ini {

using Text = plat::IniText;

// GetPrivateProfileStringA on `doc`; a null doc stands for an empty file name.
std::string GetString(const Document* doc, const Text& section, const Text& key, const Text& def,
                      std::uint32_t bufferSize);

// One WritePrivateProfileStringA call with a section.
struct Change {
  std::string section;
  Text key, value;
};
// False when the document stays as it was.
bool Apply(Document& doc, const Change& change);

}  // namespace ini
