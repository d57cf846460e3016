// Placeholder until the version-resource builder and reader land: files have no
// version resource.
#include "tests/fakes/FakeServices.h"

std::string BuildVersionBlock(const VersionSpec&) { return {}; }
void FakeVersionApi::SetVersion(const std::string& path, const VersionSpec& spec) {
  SetRawBlock(path, BuildVersionBlock(spec));
}
void FakeVersionApi::SetRawBlock(const std::string& path, const std::string& block) {
  if (!files_.Exists(path)) files_.AddFile(path, "MZ");
  blocks_[path] = block;
}
std::uint32_t FakeVersionApi::FullPathName(const std::string&, std::uint32_t, char*) { return 0; }
std::uint32_t FakeVersionApi::InfoSize(const std::string&) { return 0; }
bool FakeVersionApi::InfoData(const std::string&, std::uint32_t, void*) { return false; }
bool FakeVersionApi::QueryValue(const void*, const std::string&, const void**, std::uint32_t*) {
  return false;
}
std::uint32_t FakeVersionApi::LanguageName(std::uint32_t, char*, std::uint32_t) { return 0; }
