#include "tests/contract/RegistryContract.h"
#include "tests/fakes/FakeRegistry.h"

RegistrySubject MakeRegistrySubject() {
  auto fake = std::make_shared<FakeRegistry>();
  fake->env["GLEISORA_CT"] = "Wert";
  return {fake, fake};
}
