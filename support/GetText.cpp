// Placeholder until the language file lands.
#include "support/mdlTools.h"

std::string GetText(const plat::Platform&, const std::string&, const std::string&,
                    const std::string& Default) {
  return ReplaceAll(Default, "\\n", "\r\n");
}
