// The registry and environment services the contract tests run against: the
// in-memory fake natively, the real Win32 services under Wine.
#pragma once
#include <memory>

#include "platform/Registry.h"

struct RegistrySubject {
  std::shared_ptr<plat::IRegistryApi> registry;
  // Knows the variable GLEISORA_CT with the value "Wert", and not GLEISORA_NOPE.
  std::shared_ptr<plat::IEnvironment> environment;
};

RegistrySubject MakeRegistrySubject();
