// frmAbout: the About window's texts, tab switching, links and the start of the
// system information program, free of Win32. The real window (app/win) forwards
// its events here; tests drive it through a fake view.
#pragma once
#include <cstdint>
#include <string>

#include "app/AboutView.h"
#include "platform/Platform.h"
#include "support/LanguageFile.h"

// The maker's contact data shown on the second tab.
namespace maker {
inline constexpr const char* kName = "Gleisora-Projekt";
inline constexpr const char* kCompany1 = "Freie Software";
inline constexpr const char* kCompany2 = "für Modellbahner";
inline constexpr const char* kWebHost1 = "gleisora.example.org";
inline constexpr const char* kWebHost2 = "download.example.org";
inline constexpr const char* kMail1 = "info@example.org";
inline constexpr const char* kMail2 = "hilfe@example.org";
inline constexpr const char* kStreet = "Am Prellbock 0";
inline constexpr const char* kTown = "00000 Weichenhausen";
inline constexpr const char* kCountry = "Nirgendland";
inline constexpr const char* kPhone = "+49 30 23125 000";
inline constexpr const char* kFax = "+49 30 23125 001";
}  // namespace maker

class frmAbout {
 public:
  frmAbout(const plat::Platform& platform, LanguageFile& texts, IAboutView& view);

  static constexpr long kPanelShownLeft = 210, kPanelHiddenLeft = -20000;
  // Shift-state bits of Form_KeyDown.
  static constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;
  static constexpr int kKeyTab = 9;

  void Form_Load();
  void tbsAbout_Click();
  void Form_KeyDown(int KeyCode, int Shift);
  void lblLink1_Click();
  void lblLink2_Click();
  void lblMail1_Click();
  void lblMail2_Click();
  void cmdOK_Click();
  void cmdSysInfo_Click();
  void StartSysInfo();
  // One registry value as text; false (and KeyVal empty) when the key or value is missing.
  bool GetKeyValue(std::int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                   std::string& KeyVal);

 private:
  void OpenLink(const std::string& host);
  void OpenMail(const std::string& address);
  std::string ProductName();

  const plat::Platform& p_;
  LanguageFile& texts_;
  IAboutView& view_;
  std::string productName_;
  bool productNameRead_ = false;
};
