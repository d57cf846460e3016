// The Start button: launches the simulator the registry key names.
#include "app/frmMain.h"
#include "switching/mdlProcess.h"

void frmMain::cmdStartEEP_Click() {
  if (IsProcessRunning(p_, "eep.exe", true) &&
      view_.MsgBox(Text("Messages", "ALREADY_RUNNING",
                        "Achtung EEP läuft bereits! Wollen Sie wirklich EEP ein weiteres Mal "
                        "starten?"),
                   mb::kYesNo | mb::kIconQuestion, view_.Caption()) != mb::kIdYes)
    return;
  // Owner 0 is the desktop window; results up to 32 are the shell's failure codes.
  const std::intptr_t result = p_.shell->Execute(0, "Open", RegAppPath, "", RegAppDir, 1);
  if (result <= 32)
    view_.MsgBox(Text("Messages", "CANNOT_START_EEP", "EEP konnte nicht gestartet werden!\\nPfad:") +
                     " '" + RegAppPath + "'",
                 mb::kOk | mb::kIconStop, view_.Caption());
}
