// Placeholder until the registry class lands.
#include "support/cRegistry.h"

cRegistry::cRegistry(const plat::Platform& platform) : platform_(&platform) {}
void cRegistry::Machine(const std::string&) {}
bool cRegistry::KeyExists() const { return false; }
bool cRegistry::CreateKey() { return false; }
bool cRegistry::DeleteKey() { return false; }
bool cRegistry::DeleteValue() { return false; }
Variant cRegistry::Value() { return default_; }
void cRegistry::Value(const Variant&) {}
bool cRegistry::ReadRaw(std::uint32_t&, ByteArray&) { return false; }
void cRegistry::WriteRaw(std::uint32_t, const ByteArray&) {}
bool cRegistry::EnumerateValues(std::vector<std::string>& n, std::int32_t& c) const { n.clear(); c = 0; return true; }
bool cRegistry::EnumerateSections(std::vector<std::string>& n, std::int32_t& c) const { n.clear(); c = 0; return true; }
void cRegistry::DeleteEXEAssociation(const std::string&, const std::string&, const std::string&, const std::string&) {}
void cRegistry::CreateEXEAssociation(const std::string&, const std::string&, const std::string&, const std::string&,
                                     const std::string&, bool, const std::string&, bool, const std::string&, bool,
                                     const std::string&, long) {}
void cRegistry::CreateAdditionalEXEAssociations(const std::string&, const std::vector<Variant>&) {}
Variant cRegistry::ValueEx(std::int32_t, const std::string&, const std::string&, std::int32_t, const Variant& d) { return d; }
void cRegistry::ValueEx(std::int32_t, const std::string&, const std::string&, std::int32_t, const Variant&, const Variant&) {}
std::int32_t cRegistry::RootFromName(const std::string&) { return 0; }
