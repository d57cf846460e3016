// The language file beside the program (executable name + ".lng"): one object for
// the whole run, owned by the program's start and handed to whoever shows text.
#pragma once
#include <string>

#include "support/IniStore.h"
#include "support/cInifile.h"

class LanguageFile {
 public:
  explicit LanguageFile(const plat::Platform& platform);
  LanguageFile(const LanguageFile&) = delete;
  LanguageFile& operator=(const LanguageFile&) = delete;

  // The text for Section/Key, or Default (written to the file so that it fills up
  // for translators) when it has none; "\n" becomes CR LF.
  std::string GetText(const std::string& Section, const std::string& Key,
                      const std::string& Default);

 private:
  // The file has a store of its own, so that writing a missing text never joins a
  // write batch of the launcher INI: a language file that cannot be written never
  // stops an operation and is never reported.
  plat::Platform platform_;
  ini::IniStore store_;
  cInifile ini_;
};
