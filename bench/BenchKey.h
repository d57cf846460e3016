// A registry key of N values for the benchmarks, and the bare limit: the same values
// enumerated, written to one file, deleted and written back with plain registry calls.
#pragma once
#include <chrono>
#include <string>

#include "platform/Platform.h"

namespace bench {

using Clock = std::chrono::steady_clock;
inline double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

struct KeyPath {
  std::int32_t root;
  std::string path;
};

// N values named "Value <i>": text and DWORD by turns.
void Fill(plat::IRegistryApi& reg, const KeyPath& key, int n);
void Clear(plat::IRegistryApi& reg, const KeyPath& key);  // the values, then the key
int CountValues(plat::IRegistryApi& reg, const KeyPath& key);

struct BareTimes {
  double save = 0, del = 0, restore = 0;
  double Total() const { return save + del + restore; }
};
// One pass of plain registry calls and one file write per step; the key ends as it began.
BareTimes Bare(const plat::Platform& p, const KeyPath& key, const std::string& file);

}  // namespace bench
