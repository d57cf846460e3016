// The About window's texts, tabs, links and system information start.
#include "app/frmAbout.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "app/MainView.h"
#include "support/CFileVersionInfo.h"
#include "support/Errors.h"
#include "app/ShownVersion.h"
#include "support/mdlTools.h"

namespace {
const char kSection[] = "frmAbout";
const char kSysInfoMissing[] = "Systeminformationsprogramm zur Zeit nicht verfügbar.";
// The access mask the system information lookup opens its keys with.
constexpr std::uint32_t kKeyAllAccess = 0x2003F;
constexpr std::uint32_t kValueBufferSize = 1024;

const char* Name(AboutLabel l) {
  switch (l) {
    case AboutLabel::lblTitle: return "lblTitle";
    case AboutLabel::lblVersion: return "lblVersion";
    case AboutLabel::lblDescription: return "lblDescription";
    case AboutLabel::lblDisclaimer: return "lblDisclaimer";
  }
  return "";
}
}  // namespace

frmAbout::frmAbout(const plat::Platform& platform, LanguageFile& texts, IAboutView& view)
    : p_(platform), texts_(texts), view_(view) {}

std::string frmAbout::ProductName() {
  if (!productNameRead_) {
    Attempt([&] {
      CFileVersionInfo own(p_);
      own.FullPathName(p_.exePath);
      productName_ = own.ProductName();
    });
    productNameRead_ = true;
  }
  return productName_;
}

void frmAbout::Form_Load() {
  // Each step is skipped on failure, leaving the design text in place.
  Attempt([&] {
    CFileVersionInfo own(p_);
    own.FullPathName(p_.exePath);
    productName_ = own.ProductName();
    productNameRead_ = true;
    view_.SetCaption("Info über " + productName_);
    view_.SetLabelText(AboutLabel::lblVersion, "Version " + ShownVersion(own));
    view_.SetLabelText(AboutLabel::lblTitle, productName_);
    view_.SetLabelText(AboutLabel::lblDisclaimer, own.LegalCopyright());
    view_.SetLabelText(AboutLabel::lblDescription, own.FileDescription());
  });

  Attempt([&] { view_.SetCaption(texts_.GetText(kSection, "Caption", view_.Caption())); });
  for (AboutLabel l :
       {AboutLabel::lblTitle, AboutLabel::lblDisclaimer, AboutLabel::lblDescription}) {
    Attempt([&] {
      const std::string name = Name(l);
      view_.SetLabelText(l, texts_.GetText(kSection, name + ".Caption", view_.LabelText(l)));
      view_.SetLabelToolTip(l,
                            texts_.GetText(kSection, name + ".ToolTipText", view_.LabelToolTip(l)));
    });
  }
  Attempt([&] {
    for (int tab = 1; tab <= view_.TabCount(); ++tab) {
      const std::string key = std::string("tbsAbout.") + std::to_string(tab);
      view_.SetTabCaption(tab, texts_.GetText(kSection, key + ".Caption", view_.TabCaption(tab)));
      view_.SetTabToolTip(tab,
                          texts_.GetText(kSection, key + ".ToolTipText", view_.TabToolTip(tab)));
    }
  });
}

void frmAbout::tbsAbout_Click() {
  const int selected = view_.SelectedTab();
  for (int i = 0; i < view_.TabCount(); ++i) {
    // Panels are moved out of sight and disabled, never hidden.
    const bool shown = i == selected - 1;
    view_.MovePanel(i, shown ? kPanelShownLeft : kPanelHiddenLeft);
    view_.SetPanelEnabled(i, shown);
  }
}

void frmAbout::Form_KeyDown(int KeyCode, int Shift) {
  if (KeyCode != kKeyTab) return;
  const int count = view_.TabCount();
  if (count <= 0) return;
  const int current = view_.SelectedTab();
  int next;
  switch (Shift & (kShiftMask | kCtrlMask)) {
    case kCtrlMask: next = current >= count ? 1 : current + 1; break;
    case kCtrlMask | kShiftMask: next = current <= 1 ? count : current - 1; break;
    default: return;
  }
  view_.SelectTab(next);
  tbsAbout_Click();
}

void frmAbout::OpenLink(const std::string& host) {
  if (p_.shell) p_.shell->Execute(view_.Handle(), "open", "http://" + host + "/", "", "", 1);
}

void frmAbout::OpenMail(const std::string& address) {
  // The product name goes into the address as it is, without URL encoding.
  if (p_.shell)
    p_.shell->Execute(view_.Handle(), "open", "mailto:" + address + "?subject=" + ProductName(), "",
                      "", 1);
}

void frmAbout::lblLink1_Click() { OpenLink(maker::kWebHost1); }
void frmAbout::lblLink2_Click() { OpenLink(maker::kWebHost2); }
void frmAbout::lblMail1_Click() { OpenMail(maker::kMail1); }
void frmAbout::lblMail2_Click() { OpenMail(maker::kMail2); }
void frmAbout::cmdOK_Click() { view_.Close(); }
void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
  bool started = false;
  Attempt([&] {
    std::string path;
    if (!GetKeyValue(plat::kHKLM, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", path)) {
      std::string dir;
      if (!GetKeyValue(plat::kHKLM, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", dir))
        return;
      if (!p_.files) throw std::runtime_error("no file system");
      path = dir + "\\MSINFO32.EXE";
      const auto found = p_.files->FindFirst(path);
      if (!found || (found->attributes & plat::fattr::kDirectory)) return;
    }
    if (!p_.shell) throw std::runtime_error("no shell");
    started = p_.shell->StartProgram(path);
  });
  if (!started) {
    std::string title = ProductName();
    if (title.empty()) title = p_.exeName;
    view_.MsgBox(kSysInfoMissing, mb::kOk, title);
  }
}

bool frmAbout::GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName,
                           const std::string& SubKeyRef, std::string& KeyVal) {
  if (!p_.registry) throw std::runtime_error("no registry");
  plat::IRegistryApi& reg = *p_.registry;
  plat::RegKey key = 0;
  if (reg.OpenKey(plat::RootKey(KeyRoot), KeyName, kKeyAllAccess, key) != plat::reg::kSuccess) {
    KeyVal.clear();
    return false;
  }
  std::vector<std::uint8_t> buf(kValueBufferSize, 0);
  std::uint32_t type = 0, size = kValueBufferSize;
  const long rc = reg.QueryValue(key, SubKeyRef, &type, buf.data(), &size);
  bool ok = rc == plat::reg::kSuccess;
  if (!ok) {
    KeyVal.clear();
  } else {
    const auto* text = reinterpret_cast<const char*>(buf.data());
    const std::string value(text, strnlen(text, buf.size()));
    if (type == plat::reg::kRegSz) {
      KeyVal = value;
    } else if (type == plat::reg::kRegDword) {
      std::uint32_t dword = 0;
      std::memcpy(&dword, buf.data(), sizeof dword);
      char hex[16];
      std::snprintf(hex, sizeof hex, "&h%X", static_cast<unsigned>(dword));
      KeyVal = hex;
    }
    // Any other type leaves KeyVal as the caller passed it.
  }
  reg.CloseKey(key);
  return ok;
}
