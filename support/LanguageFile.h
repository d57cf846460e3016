// The language file beside the program (executable name + ".lng"): one object for
// the whole run, owned by the program's start and handed to whoever shows text.
#pragma once
#include <string>

#include "support/cInifile.h"

class LanguageFile {
 public:
  explicit LanguageFile(const plat::Platform& platform);
  // The text for Section/Key, or Default (written to the file so that it fills up
  // for translators) when it has none; "\n" becomes CR LF.
  std::string GetText(const std::string& Section, const std::string& Key,
                      const std::string& Default);

 private:
  cInifile ini_;
};
