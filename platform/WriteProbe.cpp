#include "platform/WriteProbe.h"

namespace plat {

long ProbeWrite(IRegistryApi& registry, RegKey root, std::string path) {
  constexpr std::uint32_t kWrite = reg::kKeySetValue | 0x0004;  // KEY_CREATE_SUB_KEY
  for (;;) {
    RegKey key = 0;
    const long rc = registry.OpenKey(root, path, kWrite, key);
    if (rc == reg::kSuccess) registry.CloseKey(key);
    if (rc != reg::kFileNotFound || path.empty()) return rc;
    const auto slash = path.find_last_of('\\');
    path.erase(slash == std::string::npos ? 0 : slash);
  }
}

}  // namespace plat
