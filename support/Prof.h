// Ad-hoc profile: time per named bucket (QueryPerformanceCounter), written at exit.
#pragma once
#ifdef GLEISORA_PROFILE
#include <windows.h>
#include <cstdio>
#include <map>
#include <string>
namespace prof {
struct Bucket { LONGLONG ticks = 0; long calls = 0; };
inline std::map<std::string, Bucket>& All() { static std::map<std::string, Bucket> m; return m; }
struct Scope {
  Bucket& b; LARGE_INTEGER t0;
  explicit Scope(const char* name) : b(All()[name]) { QueryPerformanceCounter(&t0); }
  ~Scope() { LARGE_INTEGER t1; QueryPerformanceCounter(&t1); b.ticks += t1.QuadPart - t0.QuadPart; ++b.calls; }
};
inline void Dump() {
  LARGE_INTEGER f; QueryPerformanceFrequency(&f);
  char tmp[MAX_PATH]; GetTempPathA(MAX_PATH, tmp);
  std::FILE* out = std::fopen((std::string(tmp) + "gleisora-profile.txt").c_str(), "a");
  if (!out) return;
  std::fprintf(out, "----\n");
  for (auto& [n, b] : All())
    std::fprintf(out, "%-28s %9.3f s %8ld calls\n", n.c_str(), double(b.ticks) / f.QuadPart, b.calls);
  std::fclose(out);
  All().clear();
}
}  // namespace prof
#define PROF_CAT2(a, b) a##b
#define PROF_CAT(a, b) PROF_CAT2(a, b)
#define PROF(name) prof::Scope PROF_CAT(prof_, __LINE__)(name)
#define PROF_DUMP() prof::Dump()
#else
#define PROF(name)
#define PROF_DUMP()
#endif
