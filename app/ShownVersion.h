// The program's version as the caption and the About window show it.
#pragma once
#include <string>

#include "support/CFileVersionInfo.h"

// Major "." minor, then the revision with no separator: 1.0.1 reads 1.01.
inline std::string ShownVersion(const CFileVersionInfo& own) {
  return std::to_string(own.FileVersionMS() >> 16) + "." +
         std::to_string(own.FileVersionMS() & 0xFFFF) + std::to_string(own.FileVersionLS() >> 16);
}
