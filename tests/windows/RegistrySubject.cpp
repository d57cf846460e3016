#include <windows.h>

#include "platform/win32/EnvironmentWin32.h"
#include "platform/win32/RegistryWin32.h"
#include "tests/contract/RegistryContract.h"

RegistrySubject MakeRegistrySubject() {
  SetEnvironmentVariableA("GLEISORA_CT", "Wert");
  SetEnvironmentVariableA("GLEISORA_NOPE", nullptr);
  return {std::make_shared<RegistryWin32>(), std::make_shared<EnvironmentWin32>()};
}
