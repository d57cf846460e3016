// The real Windows services, passing straight through to the ANSI functions.
#pragma once
#include "platform/Platform.h"

class EnvironmentWin32 : public plat::IEnvironment {
 public:
  std::uint32_t ExpandStrings(const std::string& src, char* dst, std::uint32_t size) override;
};
