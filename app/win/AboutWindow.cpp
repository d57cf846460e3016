#include "app/win/AboutWindow.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/AboutView.h"
#include "app/frmAbout.h"
#include "app/win/Controls.h"
#include "app/win/Window.h"
#include "app/win/resource.h"
#include "platform/win32/WideText.h"
#include "support/Errors.h"

namespace {
const char kClassName[] = "GleisoraAbout";
const char kPanelClass[] = "GleisoraAboutPanel";

// Design layout, in twips.
constexpr long kClientWidth = 5385, kClientHeight = 5100;
constexpr long kPanelTop = 520;
constexpr ui::EtchedLine kLine{3990, -15, 5417, 5417};  // under the tab strip
const COLORREF kDarkRed = RGB(0x80, 0, 0);

enum Id {
  kIdOK = IDOK,
  kIdSysInfo = 1002,
  kIdTabs = 1003,
  kIdProgramPanel = 1010,
  kIdMakerPanel,
  kIdLink1 = 1101,
  kIdLink2,
  kIdMail1,
  kIdMail2,
  kIdTitle = 1201,
  kIdVersion,
  kIdDescription,
  kIdDisclaimer,
  kIdMaker = 1210,  // the maker's plain lines, one id each
};

enum FontIndex { kUi, kTitle, kVersion, kDescription, kName, kSmall, kSmallBold, kFontCount };
// clang-format off
constexpr ui::FontStyle kFonts[kFontCount] = {
    ui::kDialogFont,      {"MS Sans Serif", 120, true}, {"MS Sans Serif", 98, true},
    {"MS Sans Serif", 98, false}, {"Arial", 98, true}, {"Arial", 83, false}, {"Arial", 83, true}};

constexpr DWORD kText = SS_NOPREFIX, kClickable = SS_NOPREFIX | SS_NOTIFY;
constexpr int kOnWindow = 0, kOnProgram = kIdProgramPanel, kOnMaker = kIdMakerPanel;
// Panels above the tab strip, which clips itself against them. The maker's contact
// column starts a little further left than the classic layout so that the addresses
// fit in common fonts.
// clang-format off
const ui::ControlRow kLayout[] = {
    {kIdProgramPanel, kOnWindow, kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
     {210, kPanelTop, 4965, 3180}, nullptr},
    {kIdMakerPanel, kOnWindow, kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
     {-19882, kPanelTop, 4965, 3180}, nullptr},
    {kIdTabs, kOnWindow, WC_TABCONTROLA, WS_TABSTOP | WS_CLIPSIBLINGS | TCS_TOOLTIPS, 0,
     {120, 120, 5175, 3705}, nullptr},
    {kIdTitle, kOnProgram, "STATIC", kClickable, 0, {240, 360, 4095, 480}, "Anwendungstitel",
     kTitle},
    {kIdVersion, kOnProgram, "STATIC", kText, 0, {240, 900, 4095, 225}, "Version", kVersion},
    {kIdDescription, kOnProgram, "STATIC", kClickable, 0, {240, 1320, 4695, 1770},
     "Anwendungsbeschreibung", kDescription},
    {kIdMaker, kOnMaker, "STATIC", kText, 0, {2280, 120, 2535, 240}, maker::kName, kName},
    {kIdMaker + 1, kOnMaker, "STATIC", kText, 0, {2280, 360, 2535, 240}, maker::kCompany1, kName},
    {kIdMaker + 2, kOnMaker, "STATIC", kText, 0, {2280, 600, 2535, 240}, maker::kCompany2, kName},
    {kIdLink1, kOnMaker, "STATIC", kClickable, 0, {240, 1200, 2460, 240}, maker::kWebHost1, kName},
    {kIdLink2, kOnMaker, "STATIC", kClickable, 0, {240, 1440, 2460, 240}, maker::kWebHost2, kName},
    {kIdMaker + 3, kOnMaker, "STATIC", kText, 0, {240, 2280, 2400, 225}, maker::kStreet, kSmall},
    {kIdMaker + 4, kOnMaker, "STATIC", kText, 0, {240, 2520, 2400, 225}, maker::kTown, kSmall},
    {kIdMaker + 5, kOnMaker, "STATIC", kText, 0, {240, 2760, 2400, 225}, maker::kCountry, kSmall},
    {kIdMaker + 6, kOnMaker, "STATIC", kText, 0, {2760, 1200, 1800, 225}, "telefon", kSmallBold},
    {kIdMaker + 7, kOnMaker, "STATIC", kText, 0, {2760, 1440, 2160, 225}, maker::kPhone, kSmall},
    {kIdMaker + 8, kOnMaker, "STATIC", kText, 0, {2760, 1680, 1800, 225}, "telefax", kSmallBold},
    {kIdMaker + 9, kOnMaker, "STATIC", kText, 0, {2760, 1920, 2160, 225}, maker::kFax, kSmall},
    {kIdMaker + 10, kOnMaker, "STATIC", kText, 0, {2760, 2280, 1800, 225}, "e-mail", kSmallBold},
    {kIdMail1, kOnMaker, "STATIC", kClickable, 0, {2760, 2520, 2160, 225}, maker::kMail1, kSmall},
    {kIdMail2, kOnMaker, "STATIC", kClickable, 0, {2760, 2760, 2160, 225}, maker::kMail2, kSmall},
    {kIdDisclaimer, kOnWindow, "STATIC", kClickable, 0, {120, 4185, 3255, 825}, "Warnung: ...",
     kUi},
    {kIdOK, kOnWindow, "BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, {3840, 4200, 1470, 345}, "OK",
     kUi},
    {kIdSysInfo, kOnWindow, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, {3840, 4635, 1455, 345},
     "&System-Info...", kUi},
};
// clang-format on
// clang-format on
const std::pair<int, void (frmAbout::*)()> kClicks[] = {{kIdOK, &frmAbout::cmdOK_Click},
                                                        {kIdSysInfo, &frmAbout::cmdSysInfo_Click},
                                                        {kIdLink1, &frmAbout::lblLink1_Click},
                                                        {kIdLink2, &frmAbout::lblLink2_Click},
                                                        {kIdMail1, &frmAbout::lblMail1_Click},
                                                        {kIdMail2, &frmAbout::lblMail2_Click}};
const std::pair<AboutLabel, int> kLabels[] = {{AboutLabel::lblTitle, kIdTitle},
                                              {AboutLabel::lblVersion, kIdVersion},
                                              {AboutLabel::lblDescription, kIdDescription},
                                              {AboutLabel::lblDisclaimer, kIdDisclaimer}};
const char* const kTabNames[] = {"Anwendung", "Autor"};

bool IsLink(HWND h) {
  const int id = GetDlgCtrlID(h);
  return id >= kIdLink1 && id <= kIdMail2;
}

class AboutWindow : public IAboutView, public ui::Window {
 public:
  AboutWindow(const plat::Platform& platform, LanguageFile& texts)
      : platform_(platform), texts_(texts) {}
  ~AboutWindow() override { Destroy(); }

  void RunModal(HWND owner);

  // IAboutView
  std::string Caption() override { return ui::WindowText(ui::Window::Handle()); }
  void SetCaption(const std::string& text) override {
    SetWindowTextA(ui::Window::Handle(), text.c_str());
  }
  std::string LabelText(AboutLabel l) override { return ui::WindowText(Label(l)); }
  void SetLabelText(AboutLabel l, const std::string& text) override {
    SetWindowTextA(Label(l), text.c_str());
  }
  std::string LabelToolTip(AboutLabel l) override { return tips_.Text(Label(l)); }
  void SetLabelToolTip(AboutLabel l, const std::string& text) override {
    tips_.Set(Label(l), text);
  }
  int TabCount() override { return static_cast<int>(SendMessageA(tabs_, TCM_GETITEMCOUNT, 0, 0)); }
  std::string TabCaption(int tab) override;
  void SetTabCaption(int tab, const std::string& text) override;
  std::string TabToolTip(int tab) override {
    return tab >= 1 && tab <= static_cast<int>(tabTips_.size()) ? tabTips_[tab - 1] : "";
  }
  void SetTabToolTip(int tab, const std::string& text) override {
    if (tab >= 1 && tab <= static_cast<int>(tabTips_.size())) tabTips_[tab - 1] = text;
  }
  int SelectedTab() override {
    return static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)) + 1;
  }
  void SelectTab(int tab) override { SendMessageA(tabs_, TCM_SETCURSEL, tab - 1, 0); }
  void MovePanel(int index, long left) override {
    if (index >= 0 && index < 2)
      SetWindowPos(Panel(index), nullptr, scale_.Px(left), scale_.Px(kPanelTop), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void SetPanelEnabled(int index, bool enabled) override {
    if (index >= 0 && index < 2) EnableWindow(Panel(index), enabled ? TRUE : FALSE);
  }
  std::uintptr_t Handle() override {
    return reinterpret_cast<std::uintptr_t>(ui::Window::Handle());
  }
  int MsgBox(const std::string& text, unsigned style, const std::string& title) override {
    return MessageBoxA(ui::Window::Handle(), text.c_str(), title.c_str(), style);
  }
  void Close() override { done_ = true; }

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
  LRESULT OnNotify(LPARAM lp);
  bool Build(HWND owner);
  HWND Label(AboutLabel l) const {
    for (const auto& [label, id] : kLabels)
      if (label == l) return controls_[id];
    return nullptr;
  }
  HWND Panel(int index) const { return controls_[kIdProgramPanel + index]; }
  void PaintMakerPanel(HDC dc);
  template <class F>
  void Run(F&& handler) {
    if (form_) Attempt(handler);
  }

  const plat::Platform& platform_;
  LanguageFile& texts_;
  frmAbout* form_ = nullptr;
  ui::Scale scale_{96};
  std::optional<ui::Font> fonts_[kFontCount];
  ui::Controls controls_;
  ui::ToolTips tips_;
  HWND tabs_ = nullptr;
  std::vector<std::string> tabTips_;
  const std::string empty_;
  std::wstring wideTip_;
  bool done_ = false;
};

bool AboutWindow::Build(HWND owner) {
  scale_ = ui::Scale::System();
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_GLEISORA));
  ui::RegisterPanelClass(kPanelClass);
  RECT area{};
  if (!owner || !GetWindowRect(owner, &area)) area = ui::WorkArea();
  if (!Create({kClassName, icon}, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, "Info",
              {scale_.Px(kClientWidth), scale_.Px(kClientHeight)}, area, owner))
    return false;
  HWND hwnd = ui::Window::Handle();
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

  for (int i = 0; i < kFontCount; ++i) fonts_[i].emplace(kFonts[i], scale_);
  tips_.Create(hwnd);
  for (const ui::ControlRow& row : kLayout)
    controls_.Add(hwnd, row, scale_, fonts_[row.font]->Handle());
  for (const auto& [id, click] : kClicks)
    controls_.OnClick(id, [this, click = click] { Run([&] { (form_->*click)(); }); });
  tabs_ = controls_[kIdTabs];
  for (int i = 0; i < 2; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(kTabNames[i]);
    SendMessageA(tabs_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  tabTips_.assign(2, std::string());
  SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

std::string AboutWindow::TabCaption(int tab) {
  return ui::ItemText<TCITEMA>(tabs_, TCM_GETITEMA, tab - 1, TCIF_TEXT);
}

void AboutWindow::SetTabCaption(int tab, const std::string& text) {
  ui::SetItemText<TCITEMA>(tabs_, TCM_SETITEMA, tab - 1, TCIF_TEXT, text);
}

void AboutWindow::RunModal(HWND owner) {
  if (!Build(owner)) return;
  HWND hwnd = ui::Window::Handle();
  frmAbout form(platform_, texts_, *this);
  form_ = &form;
  form.Form_Load();
  SetFocus(nullptr);

  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetFocus(controls_[kIdOK]);
  MSG msg;
  bool quit = false;
  while (!done_) {
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
      quit = true;
      break;
    }
    const bool tabKey = (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
                        msg.wParam == VK_TAB && ui::IsWithin(hwnd, msg.hwnd);
    // Ctrl+Tab switches tabs wherever the focus is in the window.
    if (tabKey && GetKeyState(VK_CONTROL) < 0) {
      const int shift = (GetKeyState(VK_SHIFT) < 0 ? frmAbout::kShiftMask : 0) |
                        frmAbout::kCtrlMask | (GetKeyState(VK_MENU) < 0 ? frmAbout::kAltMask : 0);
      Run([&] { form.Form_KeyDown(frmAbout::kKeyTab, shift); });
      continue;
    }
    if (IsDialogMessageA(hwnd, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (owner) EnableWindow(owner, TRUE);
  form_ = nullptr;
  Destroy();
  if (owner) SetActiveWindow(owner);
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
}

void AboutWindow::PaintMakerPanel(HDC dc) {
  HPEN red = CreatePen(PS_SOLID, 1, kDarkRed);
  HPEN gray = CreatePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
  HGDIOBJ old = SelectObject(dc, red);
  // Line under the name lines.
  MoveToEx(dc, 0, scale_.Px(960), nullptr);
  LineTo(dc, scale_.Px(4920), scale_.Px(960));
  // Emblem: a short piece of track.
  const int left = scale_.Px(240), right = scale_.Px(2040), top = scale_.Px(240),
            bottom = scale_.Px(720);
  SelectObject(dc, gray);
  for (int x = left + 4; x < right - 2; x += scale_.Px(180)) {
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, bottom);
  }
  SelectObject(dc, red);
  for (int y : {top + scale_.Px(90), bottom - scale_.Px(90)}) {
    MoveToEx(dc, left, y, nullptr);
    LineTo(dc, right, y);
  }
  SelectObject(dc, old);
  DeleteObject(red);
  DeleteObject(gray);
}

LRESULT AboutWindow::OnNotify(LPARAM lp) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
  if (hdr->hwndFrom == tabs_ && hdr->code == TCN_SELCHANGE) {
    Run([&] { form_->tbsAbout_Click(); });
  } else if ((hdr->code == TTN_GETDISPINFOA || hdr->code == TTN_GETDISPINFOW) && tabs_ &&
             hdr->hwndFrom == reinterpret_cast<HWND>(SendMessageA(tabs_, TCM_GETTOOLTIPS, 0, 0))) {
    const std::size_t tab = hdr->idFrom;
    const std::string& tip = tab < tabTips_.size() ? tabTips_[tab] : empty_;
    if (hdr->code == TTN_GETDISPINFOA) {
      reinterpret_cast<NMTTDISPINFOA*>(lp)->lpszText = const_cast<char*>(tip.c_str());
    } else {
      wideTip_ = win32::Wide(tip);
      reinterpret_cast<NMTTDISPINFOW*>(lp)->lpszText = wideTip_.data();
    }
  }
  return 0;
}

LRESULT AboutWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
  HWND hwnd = ui::Window::Handle();
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL) done_ = true;
      controls_.Command(wp);
      return 0;
    case WM_NOTIFY: return OnNotify(lp);
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      const auto label = reinterpret_cast<HWND>(lp);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      // The labels on the tabs in the button text colour, links in dark red.
      if (GetParent(label) != hwnd)
        SetTextColor(dc, IsLink(label) ? kDarkRed : GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (IsLink(reinterpret_cast<HWND>(wp))) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      kLine.Paint(dc, scale_);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case ui::kPaintPanel:
      if (reinterpret_cast<HWND>(lp) == Panel(1)) PaintMakerPanel(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_CLOSE: done_ = true; return 0;
  }
  return ui::Window::OnMessage(msg, wp, lp);
}
}  // namespace

void ShowAboutWindow(HWND owner, const plat::Platform& platform, LanguageFile& texts) {
  AboutWindow window(platform, texts);
  window.RunModal(owner);
}
