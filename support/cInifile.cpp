// Placeholder until the INI engine lands.
#include "support/cInifile.h"

cInifile::cInifile(const plat::Platform& platform) : platform_(&platform) {}
std::string cInifile::Value() const { return default_; }
void cInifile::Value(std::string&) {}
void cInifile::Value(const std::string&) {}
void cInifile::DeleteKey() {}
void cInifile::DeleteSection() {}
std::string cInifile::INISection() const { return default_; }
void cInifile::INISection(const std::string&) {}
std::string cInifile::Sections() const { return default_; }
void cInifile::EnumerateCurrentSection(std::vector<std::string>& list, std::int32_t& iCount) const {
  list.clear();
  iCount = 0;
}
void cInifile::EnumerateAllSections(std::vector<std::string>& list, std::int32_t& iCount) const {
  list.clear();
  iCount = 0;
}
void cInifile::SaveFormPosition(IFormGeometry&) {}
void cInifile::LoadFormPosition(IFormGeometry&, long, long) {}
std::int32_t cInifile::CLngDefault(const std::string&, std::int32_t lDefault) { return lDefault; }
IniWriteBatch::IniWriteBatch(const plat::Platform& platform) : platform_(&platform), outermost_(true) {}
IniWriteBatch::~IniWriteBatch() = default;
bool IniWriteBatch::Flush() { return true; }
