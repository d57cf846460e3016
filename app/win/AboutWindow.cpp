#include "app/win/AboutWindow.h"

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "app/AboutView.h"
#include "app/frmAbout.h"
#include "app/win/resource.h"
#include "support/Errors.h"

namespace {
const char kClassName[] = "GleisoraAbout";
const char kPanelClass[] = "GleisoraAboutPanel";

// Design layout, in twips.
constexpr long kClientWidth = 5385, kClientHeight = 5100;
constexpr long kPanelTop = 520, kPanelWidth = 4965, kPanelHeight = 3180;
constexpr long kPanelDesignLeft[2] = {210, -19882};
const COLORREF kDarkRed = RGB(0x80, 0, 0);

enum Id {
  kIdOK = IDOK,
  kIdSysInfo = 1002,
  kIdTabs = 1003,
  kIdLink1 = 1101,
  kIdLink2,
  kIdMail1,
  kIdMail2,
};

struct FontStyle {
  const char* face;
  int tenthPoints;
  bool bold;
};
constexpr FontStyle kTitleFont{"MS Sans Serif", 120, true};
constexpr FontStyle kVersionFont{"MS Sans Serif", 98, true};
constexpr FontStyle kDescriptionFont{"MS Sans Serif", 98, false};
constexpr FontStyle kNameFont{"Arial", 98, true};
constexpr FontStyle kSmallFont{"Arial", 83, false};
constexpr FontStyle kSmallBoldFont{"Arial", 83, true};

bool IsWithin(HWND parent, HWND h) { return h && (h == parent || IsChild(parent, h)); }

std::string WindowText(HWND h) {
  const int n = GetWindowTextLengthA(h);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(h, s.data(), n + 1);
  s.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return s;
}

class AboutWindow : public IAboutView {
 public:
  AboutWindow(const plat::Platform& platform, LanguageFile& texts)
      : platform_(platform), texts_(texts) {}
  ~AboutWindow() override {
    if (hwnd_) DestroyWindow(hwnd_);
    for (auto& f : fonts_) DeleteObject(f.second);
    if (uiFont_) DeleteObject(uiFont_);
  }

  void RunModal(HWND owner);

  // IAboutView
  std::string Caption() override { return WindowText(hwnd_); }
  void SetCaption(const std::string& text) override { SetWindowTextA(hwnd_, text.c_str()); }
  std::string LabelText(AboutLabel l) override { return WindowText(labels_[l]); }
  void SetLabelText(AboutLabel l, const std::string& text) override {
    SetWindowTextA(labels_[l], text.c_str());
  }
  std::string LabelToolTip(AboutLabel l) override { return labelTips_[l]; }
  void SetLabelToolTip(AboutLabel l, const std::string& text) override;
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
      SetWindowPos(panels_[index], nullptr, Px(left), Px(kPanelTop), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void SetPanelEnabled(int index, bool enabled) override {
    if (index >= 0 && index < 2) EnableWindow(panels_[index], enabled ? TRUE : FALSE);
  }
  std::uintptr_t Handle() override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
  int MsgBox(const std::string& text, unsigned style, const std::string& title) override {
    return MessageBoxA(hwnd_, text.c_str(), title.c_str(), style);
  }
  void Close() override { done_ = true; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool Build(HWND owner);
  HWND Label(HWND parent, const char* text, long left, long top, long width, long height,
             const FontStyle& font, int id = -1, DWORD style = 0);
  HFONT Font(const FontStyle& style);
  void PaintForm(HDC dc);
  void PaintPanel(HWND panel, HDC dc);
  bool IsLink(HWND h) const {
    for (HWND l : links_)
      if (l == h) return true;
    return false;
  }
  template <class F>
  void Run(F&& handler) {
    if (form_) Attempt(handler);
  }
  int Px(long twips) const { return MulDiv(static_cast<int>(twips), dpi_, 1440); }

  const plat::Platform& platform_;
  LanguageFile& texts_;
  frmAbout* form_ = nullptr;
  HWND hwnd_ = nullptr, tabs_ = nullptr, tips_ = nullptr;
  HWND panels_[2] = {};
  std::map<AboutLabel, HWND> labels_;
  std::map<AboutLabel, std::string> labelTips_;
  std::vector<std::string> tabTips_;
  const std::string empty_;
  std::wstring wideTip_;
  std::vector<HWND> links_;
  std::map<std::string, HFONT> fonts_;
  HFONT uiFont_ = nullptr;
  int dpi_ = 96;
  bool done_ = false;
};

HFONT AboutWindow::Font(const FontStyle& style) {
  const std::string key =
      std::string(style.face) + "/" + std::to_string(style.tenthPoints) + (style.bold ? "b" : "");
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  HFONT f = CreateFontA(-MulDiv(style.tenthPoints, dpi_, 720), 0, 0, 0,
                        style.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, style.face);
  fonts_[key] = f;
  return f;
}

HWND AboutWindow::Label(HWND parent, const char* text, long left, long top, long width,
                        long height, const FontStyle& font, int id, DWORD style) {
  HWND h = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | style,
                           Px(left), Px(top), Px(width), Px(height), parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(Font(font)), FALSE);
  return h;
}

bool AboutWindow::Build(HWND owner) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HDC screen = GetDC(nullptr);
  dpi_ = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_GLEISORA));
  RegisterClassExA(&wc);
  WNDCLASSEXA pc = wc;
  pc.lpfnWndProc = PanelProc;
  pc.hIcon = nullptr;
  pc.lpszClassName = kPanelClass;
  RegisterClassExA(&pc);

  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT r{0, 0, Px(kClientWidth), Px(kClientHeight)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int width = r.right - r.left, height = r.bottom - r.top;
  RECT area{};
  if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const int x = area.left + (area.right - area.left - width) / 2;
  const int y = area.top + (area.bottom - area.top - height) / 2;
  hwnd_ = CreateWindowExA(exStyle, kClassName, "Info", style, x, y, width, height, owner, nullptr,
                          instance, this);
  if (!hwnd_) return false;
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(wc.hIcon));

  uiFont_ = CreateFontA(-MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, "MS Shell Dlg");
  HFONT ui = uiFont_ ? uiFont_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance, nullptr);

  // Panels above the tab strip, which clips itself against them.
  for (int i = 0; i < 2; ++i) {
    panels_[i] = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                 Px(kPanelDesignLeft[i]), Px(kPanelTop), Px(kPanelWidth),
                                 Px(kPanelHeight), hwnd_, nullptr, instance, this);
  }
  tabs_ = CreateWindowExA(0, WC_TABCONTROLA, nullptr,
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TCS_TOOLTIPS,
                          Px(120), Px(120), Px(5175), Px(3705), hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdTabs)), instance,
                          nullptr);
  SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(ui), FALSE);
  const char* tabNames[] = {"Anwendung", "Autor"};
  for (int i = 0; i < 2; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(tabNames[i]);
    SendMessageA(tabs_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  tabTips_.assign(2, std::string());
  SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  // Tab 1: the program.
  HWND p0 = panels_[0];
  labels_[AboutLabel::lblTitle] =
      Label(p0, "Anwendungstitel", 240, 360, 4095, 480, kTitleFont, -1, SS_NOTIFY);
  labels_[AboutLabel::lblVersion] = Label(p0, "Version", 240, 900, 4095, 225, kVersionFont);
  labels_[AboutLabel::lblDescription] = Label(p0, "Anwendungsbeschreibung", 240, 1320, 4695, 1770,
                                              kDescriptionFont, -1, SS_NOTIFY);

  // Tab 2: the maker. The contact column starts a little further left than the
  // classic layout so that the addresses fit in common fonts.
  HWND p1 = panels_[1];
  Label(p1, maker::kName, 2280, 120, 2535, 240, kNameFont);
  Label(p1, maker::kCompany1, 2280, 360, 2535, 240, kNameFont);
  Label(p1, maker::kCompany2, 2280, 600, 2535, 240, kNameFont);
  links_.push_back(Label(p1, maker::kWebHost1, 240, 1200, 2460, 240, kNameFont, kIdLink1, SS_NOTIFY));
  links_.push_back(Label(p1, maker::kWebHost2, 240, 1440, 2460, 240, kNameFont, kIdLink2, SS_NOTIFY));
  Label(p1, maker::kStreet, 240, 2280, 2400, 225, kSmallFont);
  Label(p1, maker::kTown, 240, 2520, 2400, 225, kSmallFont);
  Label(p1, maker::kCountry, 240, 2760, 2400, 225, kSmallFont);
  Label(p1, "telefon", 2760, 1200, 1800, 225, kSmallBoldFont);
  Label(p1, maker::kPhone, 2760, 1440, 2160, 225, kSmallFont);
  Label(p1, "telefax", 2760, 1680, 1800, 225, kSmallBoldFont);
  Label(p1, maker::kFax, 2760, 1920, 2160, 225, kSmallFont);
  Label(p1, "e-mail", 2760, 2280, 1800, 225, kSmallBoldFont);
  links_.push_back(Label(p1, maker::kMail1, 2760, 2520, 2160, 225, kSmallFont, kIdMail1, SS_NOTIFY));
  links_.push_back(Label(p1, maker::kMail2, 2760, 2760, 2160, 225, kSmallFont, kIdMail2, SS_NOTIFY));

  labels_[AboutLabel::lblDisclaimer] =
      CreateWindowExA(0, "STATIC", "Warnung: ...", WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_NOTIFY,
                      Px(120), Px(4185), Px(3255), Px(825), hwnd_, nullptr, instance, nullptr);
  SendMessageA(labels_[AboutLabel::lblDisclaimer], WM_SETFONT, reinterpret_cast<WPARAM>(ui), FALSE);
  HWND ok = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                            Px(3840), Px(4200), Px(1470), Px(345), hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdOK)), instance, nullptr);
  HWND sys = CreateWindowExA(0, "BUTTON", "&System-Info...",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, Px(3840),
                             Px(4635), Px(1455), Px(345), hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSysInfo)), instance,
                             nullptr);
  SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(ui), FALSE);
  SendMessageA(sys, WM_SETFONT, reinterpret_cast<WPARAM>(ui), FALSE);
  return true;
}

void AboutWindow::SetLabelToolTip(AboutLabel l, const std::string& text) {
  labelTips_[l] = text;
  if (!tips_) return;
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(labels_[l]);
  ti.lpszText = const_cast<char*>(labelTips_[l].c_str());
  SendMessageA(tips_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  if (!text.empty()) SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

std::string AboutWindow::TabCaption(int tab) {
  char buf[512] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = buf;
  item.cchTextMax = sizeof buf;
  SendMessageA(tabs_, TCM_GETITEMA, tab - 1, reinterpret_cast<LPARAM>(&item));
  return buf;
}

void AboutWindow::SetTabCaption(int tab, const std::string& text) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(tabs_, TCM_SETITEMA, tab - 1, reinterpret_cast<LPARAM>(&item));
}

void AboutWindow::RunModal(HWND owner) {
  if (!Build(owner)) return;
  frmAbout form(platform_, texts_, *this);
  form_ = &form;
  form.Form_Load();
  SetFocus(nullptr);

  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  SetFocus(GetDlgItem(hwnd_, kIdOK));
  MSG msg;
  bool quit = false;
  while (!done_) {
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
      quit = true;
      break;
    }
    const bool tabKey = (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
                        msg.wParam == VK_TAB && IsWithin(hwnd_, msg.hwnd);
    // Ctrl+Tab switches tabs wherever the focus is in the window.
    if (tabKey && GetKeyState(VK_CONTROL) < 0) {
      const int shift = (GetKeyState(VK_SHIFT) < 0 ? frmAbout::kShiftMask : 0) |
                        frmAbout::kCtrlMask |
                        (GetKeyState(VK_MENU) < 0 ? frmAbout::kAltMask : 0);
      Run([&] { form.Form_KeyDown(frmAbout::kKeyTab, shift); });
      continue;
    }
    if (IsDialogMessageA(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (owner) EnableWindow(owner, TRUE);
  form_ = nullptr;
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  if (owner) SetActiveWindow(owner);
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
}

LRESULT CALLBACK AboutWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
  auto* self = reinterpret_cast<AboutWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  return self ? self->OnMessage(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK AboutWindow::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
  auto* self = reinterpret_cast<AboutWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_COMMAND:
      return self->OnMessage(self->hwnd_, msg, wp, lp);
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, self->IsLink(reinterpret_cast<HWND>(lp)) ? kDarkRed
                                                                 : GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (self->IsLink(reinterpret_cast<HWND>(wp))) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      self->PaintPanel(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void AboutWindow::PaintPanel(HWND panel, HDC dc) {
  if (panel != panels_[1]) return;
  HPEN red = CreatePen(PS_SOLID, 1, kDarkRed);
  HPEN gray = CreatePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
  HGDIOBJ old = SelectObject(dc, red);
  // Line under the name lines.
  MoveToEx(dc, 0, Px(960), nullptr);
  LineTo(dc, Px(4920), Px(960));
  // Emblem: a short piece of track.
  const int left = Px(240), right = Px(2040), top = Px(240), bottom = Px(720);
  SelectObject(dc, gray);
  for (int x = left + 4; x < right - 2; x += Px(180)) {
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, bottom);
  }
  SelectObject(dc, red);
  for (int y : {top + Px(90), bottom - Px(90)}) {
    MoveToEx(dc, left, y, nullptr);
    LineTo(dc, right, y);
  }
  SelectObject(dc, old);
  DeleteObject(red);
  DeleteObject(gray);
}

void AboutWindow::PaintForm(HDC dc) {
  // Etched separator under the tab strip.
  HPEN gray = CreatePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
  HPEN white = CreatePen(PS_SOLID, 1, RGB(0xFF, 0xFF, 0xFF));
  const int y = Px(3990);
  HGDIOBJ old = SelectObject(dc, gray);
  MoveToEx(dc, Px(-15), y, nullptr);
  LineTo(dc, Px(5417), y);
  SelectObject(dc, white);
  MoveToEx(dc, 0, y + 1, nullptr);
  LineTo(dc, Px(5417), y + 1);
  SelectObject(dc, old);
  DeleteObject(gray);
  DeleteObject(white);
}

LRESULT AboutWindow::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kIdOK: Run([&] { form_->cmdOK_Click(); }); return 0;
        case IDCANCEL: done_ = true; return 0;
        case kIdSysInfo: Run([&] { form_->cmdSysInfo_Click(); }); return 0;
        case kIdLink1: Run([&] { form_->lblLink1_Click(); }); return 0;
        case kIdLink2: Run([&] { form_->lblLink2_Click(); }); return 0;
        case kIdMail1: Run([&] { form_->lblMail1_Click(); }); return 0;
        case kIdMail2: Run([&] { form_->lblMail2_Click(); }); return 0;
      }
      return 0;
    case WM_NOTIFY: {
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
          const int n = MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, nullptr, 0);
          wideTip_.assign(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
          if (n > 0) MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, wideTip_.data(), n);
          reinterpret_cast<NMTTDISPINFOW*>(lp)->lpszText = wideTip_.data();
        }
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      PaintForm(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      done_ = true;
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}
}  // namespace

void ShowAboutWindow(HWND owner, const plat::Platform& platform, LanguageFile& texts) {
  AboutWindow window(platform, texts);
  window.RunModal(owner);
}
