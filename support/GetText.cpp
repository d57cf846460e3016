// The localised text lookup through the language file beside the program.
#include <memory>

#include "support/cInifile.h"
#include "support/mdlTools.h"

namespace {
// The one language-file object of the process. It is bound to the platform it was
// made for; a call with another platform (only tests do that) makes a fresh one.
std::unique_ptr<cInifile> LanguageFile;
const plat::Platform* LanguagePlatform = nullptr;

bool IsBlankText(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }
}  // namespace

std::string GetText(const plat::Platform& platform, const std::string& Section,
                    const std::string& Key, const std::string& Default) {
  if (!LanguageFile || LanguagePlatform != &platform) {
    LanguageFile = std::make_unique<cInifile>(platform);
    LanguagePlatform = &platform;
  }
  if (LanguageFile->Path().empty())
    LanguageFile->Path(platform.appDir + "\\" + platform.exeName + ".lng");
  LanguageFile->Section(Section);
  LanguageFile->Key(Key);
  std::string text = LanguageFile->Value();
  if (IsBlankText(text)) {
    // A missing or blank text gets the default, so the file fills up for translators.
    LanguageFile->Value(Default);
    text = Default;
  }
  return ReplaceAll(text, "\\n", "\r\n");
}
