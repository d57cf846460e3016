#include "support/LanguageFile.h"

#include "support/mdlTools.h"

LanguageFile::LanguageFile(const plat::Platform& platform)
    : platform_(platform), store_(*platform.files), ini_(platform_) {
  platform_.ini = &store_;  // ini_ reads the platform through this member
  ini_.Path(platform.appDir + "\\" + platform.exeName + ".lng");
}

std::string LanguageFile::GetText(const std::string& Section, const std::string& Key,
                                  const std::string& Default) {
  ini_.Section(Section);
  ini_.Key(Key);
  std::string text = ini_.Value();
  if (text.find_first_not_of(' ') == std::string::npos) {
    ini_.Value(Default);
    text = Default;
  }
  return ReplaceAll(text, "\\n", "\r\n");
}
