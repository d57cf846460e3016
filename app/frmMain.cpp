// The main window's start-up, enabling rules, details toggle, busy frame and log.
#include "app/frmMain.h"

#include "support/CFileVersionInfo.h"
#include "support/mdlTools.h"

namespace {
const char kSeparator[] =
    "================================================================================";
const char kCrLf[] = "\r\n";

const char* Name(Ctl c) {
  switch (c) {
    case Ctl::cmdStartEEP: return "cmdStartEEP";
    case Ctl::cmdReset: return "cmdReset";
    case Ctl::cmdDefault: return "cmdDefault";
    case Ctl::cmdInfo: return "cmdInfo";
    case Ctl::cmdDetails: return "cmdDetails";
    default: return "";
  }
}
}  // namespace

frmMain::frmMain(const plat::Platform& platform, IMainView& view) : p_(platform), view_(view) {}

std::string frmMain::Text(const std::string& section, const std::string& key,
                          const std::string& deflt) {
  return GetText(p_, section, key, deflt);
}

std::string frmMain::LauncherIniPath() const { return p_.appDir + "\\" + p_.exeName + ".ini"; }

std::string frmMain::DefinitionFilePath(const std::string& regType) const {
  return p_.appDir + "\\" + regType + ".ini";
}

void frmMain::Form_Load() {
  view_.SetHourglass(true);
  Busy = true;
  Resume([&] { FullHeight = view_.OuterHeight(); });
  Resume([&] { UpdateControls(); });
  CanReset = false;
  Resume([&] {
    CFileVersionInfo own(p_);
    own.FullPathName(p_.exePath);
    // Major "." minor, then the revision with no separator: 1.0.1 reads v1.01.
    const unsigned major = own.FileVersionMS() >> 16, minor = own.FileVersionMS() & 0xFFFF,
                   revision = own.FileVersionLS() >> 16;
    view_.SetCaption(own.ProductName() + " v" + std::to_string(major) + "." +
                     std::to_string(minor) + std::to_string(revision));
  });
  for (Ctl c : {Ctl::cmdDetails, Ctl::cmdInfo, Ctl::cmdDefault, Ctl::cmdReset, Ctl::cmdStartEEP}) {
    Resume([&] {
      const std::string name = Name(c);
      view_.SetControlCaption(c, Text("frmMain", name + ".Caption", view_.ControlCaption(c)));
      view_.SetToolTip(c, Text("frmMain", name + ".ToolTipText", view_.ToolTip(c)));
    });
  }
  Resume([&] {
    for (int i = 1; i <= view_.ColumnCount(); ++i)
      view_.SetColumnText(
          i, Text("frmMain", "lvwVersions." + std::to_string(i) + ".Text", view_.ColumnText(i)));
  });
  ActiveKey.clear();
  EditionSuffix.clear();
  Resume([&] { ReadInstalledVersion(); });
  Resume([&] { LoadVersionList(); });
  Resume([&] {
    // An empty list keeps the design widths.
    if (view_.RowCount() > 0)
      for (int column = 1; column <= 3; ++column) AutoSizeColumnHeader(column, true);
  });
  Busy = false;
  Resume([&] { UpdateControls(); });
  view_.SetHourglass(false);
  LastError = 0;
}

bool frmMain::Form_QueryUnload() {
  if (!Busy) return false;
  view_.MsgBox(Text("Messages", "CANNOT_QUIT",
                    "Gleisora kann im Moment nicht beendet werden!\\nBitte warten Sie einen Moment!"),
               mb::kOk | mb::kIconInformation, view_.Caption());
  return true;
}

void frmMain::cmdDetails_Click() {
  DetailsVisible = !DetailsVisible;
  UpdateControls();
}

void frmMain::cmdInfo_Click() { view_.ShowAbout(); }

void frmMain::UpdateControls() {
  const bool locked = view_.RowCount() == 0 || Busy;
  if (locked) {
    for (Ctl c : {Ctl::picVersions, Ctl::cmdStartEEP, Ctl::cmdDefault, Ctl::cmdReset})
      view_.SetEnabled(c, false);
    view_.SetEnabled(Ctl::cmdInfo, !Busy);
  } else {
    view_.SetEnabled(Ctl::picVersions, true);
    view_.SetEnabled(Ctl::cmdStartEEP, !ActiveKey.empty());
    if (ActiveKey.empty()) {
      view_.SetEnabled(Ctl::cmdDefault, false);
      view_.SetEnabled(Ctl::cmdReset, false);
    } else {
      const int row = view_.FindRow(ActiveKey);
      view_.SetEnabled(Ctl::cmdDefault, row >= 0 && view_.RowSubItem(row, 1) != "DEFAULT");
      view_.SetEnabled(Ctl::cmdReset, CanReset);
    }
    view_.SetEnabled(Ctl::cmdInfo, true);
  }
  view_.SetEnabled(Ctl::cmdDetails, true);

  if (DetailsVisible) {
    view_.SetOuterHeight(FullHeight);
    view_.SetControlCaption(Ctl::cmdDetails,
                            Text("frmMain", "cmdDetails.Hide.Caption", "Details  <<"));
    view_.SetToolTip(Ctl::cmdDetails,
                     Text("frmMain", "cmdDetails.Hide.ToolTipText", "Details ausblenden"));
  } else {
    // The client area ends 120 twips below the button row.
    const long frame = view_.OuterHeight() - view_.ClientHeight();
    view_.SetOuterHeight(view_.ControlHeight(Ctl::cmdDetails) + view_.ControlTop(Ctl::cmdDetails) +
                         120 + frame);
    view_.SetControlCaption(Ctl::cmdDetails,
                            Text("frmMain", "cmdDetails.Show.Caption", "Details  >>"));
    view_.SetToolTip(Ctl::cmdDetails,
                     Text("frmMain", "cmdDetails.Show.ToolTipText", "Details einblenden"));
  }
}

void frmMain::AutoSizeColumnHeader(int column, bool SizeToHeader) {
  view_.SetColumnWidth(column - 1, SizeToHeader ? -2 : -1);
}

void frmMain::LogAction(const std::string& Text) {
  view_.AppendLogText(Text + "...");
  view_.DoEvents();
}

void frmMain::LogResult(long Code) {
  view_.AppendLogText((Code != 0 ? "ERROR: " + std::to_string(Code) : std::string("ok")) + kCrLf);
  LastError = 0;
  view_.DoEvents();
}

void frmMain::AppendLogHeader(const std::string& word, int row) {
  std::string block = kSeparator;
  block += kCrLf;
  block += word + ": " + view_.RowText(row) + kCrLf;
  block += "in " + view_.RowSubItem(row, 2) + kCrLf;
  block += kSeparator;
  block += kCrLf;
  view_.AppendLogText(block);
}

void frmMain::EnterBusy() {
  view_.SetHourglass(true);
  Busy = true;
  UpdateControls();
}

void frmMain::LeaveBusy() {
  Busy = false;
  Resume([&] { UpdateControls(); });
  view_.SetHourglass(false);
}
