// Placeholder until the snapshot routines land.
#include "app/frmMain.h"

void frmMain::SaveSettings(const std::string&) {}
void frmMain::SaveRegistry(const std::string&, cInifile&) {}
void frmMain::DeleteRegistryKeys(const std::string&) {}
void frmMain::DeleteRegistry(const std::string&) {}
void frmMain::LoadSavedSettings(const std::string&) {}
void frmMain::RestoreRegistry(const std::string&, const std::string&) {}
void frmMain::LoadFactorySettings(const std::string&) {}
