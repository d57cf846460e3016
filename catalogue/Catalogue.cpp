// Placeholder until the catalogue lands.
#include "app/frmMain.h"

void frmMain::ReadInstalledVersion() {}
void frmMain::LoadVersionList() {}
void frmMain::AddVersionEntry(const std::string&) {}
std::string frmMain::GetRegType(const std::string&) { return "DEFAULT"; }
void frmMain::cmdStartEEP_Click() {}
