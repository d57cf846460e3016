#include "bench/BenchKey.h"

#include <vector>

namespace bench {
namespace {
struct Value {
  std::string name;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
};
}  // namespace

void Fill(plat::IRegistryApi& reg, const KeyPath& key, int n) {
  plat::RegKey k = 0;
  reg.CreateKey(plat::RootKey(key.root), key.path, plat::reg::kKeyAllAccessFull, k);
  for (int i = 0; i < n; ++i) {
    const std::string name = "Value " + std::to_string(i);
    if (i % 2) {
      std::uint32_t v = static_cast<std::uint32_t>(i * 7919);
      reg.SetValue(k, name, plat::reg::kRegDword, reinterpret_cast<std::uint8_t*>(&v), 4);
    } else {
      const std::string text = "C:\\Games\\EEP\\Resourcen\\Setting " + std::to_string(i);
      reg.SetValue(k, name, plat::reg::kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                   static_cast<std::uint32_t>(text.size() + 1));
    }
  }
  reg.CloseKey(k);
}

void Clear(plat::IRegistryApi& reg, const KeyPath& key) {
  plat::RegKey k = 0;
  if (reg.OpenKey(plat::RootKey(key.root), key.path, plat::reg::kKeyAllAccessFull, k) == 0) {
    char name[512];
    for (;;) {
      std::uint32_t len = sizeof name;
      if (reg.EnumValue(k, 0, name, &len) != 0) break;
      reg.DeleteValue(k, std::string(name, len));
    }
    reg.CloseKey(k);
  }
  reg.DeleteKey(plat::RootKey(key.root), key.path);
}

int CountValues(plat::IRegistryApi& reg, const KeyPath& key) {
  plat::RegKey k = 0;
  if (reg.OpenKey(plat::RootKey(key.root), key.path, plat::reg::kKeyQueryValue, k) != 0) return 0;
  int n = 0;
  char name[512];
  for (;; ++n) {
    std::uint32_t len = sizeof name;
    if (reg.EnumValue(k, static_cast<std::uint32_t>(n), name, &len) != 0) break;
  }
  reg.CloseKey(k);
  return n;
}

BareTimes Bare(const plat::Platform& p, const KeyPath& key, const std::string& file) {
  plat::IRegistryApi& reg = *p.registry;
  BareTimes times;
  auto t = Clock::now();
  std::vector<Value> values;
  std::string text = "[Bare]\r\n";
  plat::RegKey k = 0;
  reg.OpenKey(plat::RootKey(key.root), key.path, plat::reg::kKeyQueryValue, k);
  char name[512];
  for (std::uint32_t i = 0;; ++i) {
    std::uint32_t len = sizeof name;
    if (reg.EnumValue(k, i, name, &len) != 0) break;
    Value v{std::string(name, len), 0, std::vector<std::uint8_t>(1024)};
    std::uint32_t size = 1024;
    reg.QueryValue(k, v.name, &v.type, v.data.data(), &size);
    v.data.resize(size);
    text += key.path + "\\" + v.name + "=" +
            (v.type == plat::reg::kRegDword ? "REG_DWORD:" : "REG_SZ:") + std::to_string(size) +
            "\r\n";
    values.push_back(std::move(v));
  }
  reg.CloseKey(k);
  p.files->WriteAllAtomic(file, text);
  times.save = Seconds(t);

  t = Clock::now();
  Clear(reg, key);
  times.del = Seconds(t);

  t = Clock::now();
  reg.CreateKey(plat::RootKey(key.root), key.path, plat::reg::kKeyAllAccessFull, k);
  for (const auto& v : values)
    reg.SetValue(k, v.name, v.type, v.data.data(), static_cast<std::uint32_t>(v.data.size()));
  reg.CloseKey(k);
  times.restore = Seconds(t);
  return times;
}

}  // namespace bench
