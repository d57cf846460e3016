// Environment-reference expansion through ExpandEnvironmentStringsA.
#pragma once
#include "platform/Registry.h"

class EnvironmentWin32 : public plat::IEnvironment {
 public:
  std::uint32_t ExpandStrings(const std::string& src, char* dst, std::uint32_t size) override;
};
