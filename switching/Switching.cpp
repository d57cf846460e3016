// Placeholder until switching lands.
#include "app/frmMain.h"

void frmMain::lvwVersions_ItemCheck(int) {}
void frmMain::lvwVersions_DblClick() {}
void frmMain::cmdDefault_Click() {}
void frmMain::cmdReset_Click() {}
void frmMain::RegisterComponents(const std::string&, bool) {}
