// Placeholder until the version reader lands.
#include "support/CFileVersionInfo.h"

CFileVersionInfo::CFileVersionInfo(const plat::Platform& platform) : platform_(&platform) {}
void CFileVersionInfo::FullPathName(const std::string& NewVal) { fullPathName_ = NewVal; }
std::string CFileVersionInfo::PredefinedName(std::int32_t) const { return {}; }
std::string CFileVersionInfo::PredefinedValue(std::int32_t) const { return {}; }
void CFileVersionInfo::Refresh() {}
