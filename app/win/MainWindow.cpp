#include "app/win/MainWindow.h"

#include <commctrl.h>

#include "app/frmMain.h"
#include "app/win/AboutWindow.h"
#include "app/win/resource.h"
#include "support/Errors.h"

namespace {
const char kClassName[] = "GleisoraMain";
const char kPanelClass[] = "GleisoraPanel";

// Posted by the list's notifications, so the handlers run after the list has
// finished its own input processing.
constexpr UINT kItemCheckMsg = WM_APP + 1;
constexpr UINT kDblClickMsg = WM_APP + 2;

// Design layout, in twips.
constexpr long kClientWidth = 7935, kClientHeight = 8895;
struct Rect {
  long left, top, width, height;
};
constexpr Rect kPicture[4] = {{120, 120, 1875, 2310}, {2040, 120, 1875, 2310},
                              {3960, 120, 1875, 2310}, {5880, 120, 1875, 2310}};
constexpr Rect kPicVersions{120, 2520, 7695, 2295};
constexpr Rect kTxtLog{120, 5640, 7695, 3135};
struct ButtonDesign {
  Ctl ctl;
  int id;
  Rect rect;
  const char* caption;
  const char* toolTip;
};
// In tab order.
const ButtonDesign kButtons[] = {
    {Ctl::cmdStartEEP, 1001, {120, 4920, 1215, 375}, "EEP starten", "EEP starten"},
    {Ctl::cmdReset, 1002, {1440, 4920, 1815, 375}, "Wiederherstellen",
     "Letzte Einstellungen wiederherstellen"},
    {Ctl::cmdDefault, 1003, {3360, 4920, 1815, 375}, "Standardeinstellungen",
     "Standardeinstellungen laden"},
    {Ctl::cmdInfo, 1004, {5280, 4920, 1215, 375}, "Info", "Info über..."},
    {Ctl::cmdDetails, 1005, {6600, 4920, 1215, 375}, "Details  <<", "Details ein-/ausblenden"},
};
struct ColumnDesign {
  const char* text;
  long width;
};
const ColumnDesign kColumns[] = {{"Bezeichnung", 5292}, {"Typ", 2540}, {"Pfad", 2540}};
// Etched separator: gray line with a white one a pixel below.
constexpr long kLineGrayLeft = -15, kLineGrayRight = 7920, kLineY = 5460;
constexpr long kLineWhiteRight = 7935;

const ButtonDesign* DesignOf(Ctl c) {
  for (const auto& b : kButtons)
    if (b.ctl == c) return &b;
  return nullptr;
}

std::string WindowText(HWND h) {
  if (!h) return {};
  const int n = GetWindowTextLengthA(h);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(h, s.data(), n + 1);
  s.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return s;
}

bool IsWithin(HWND parent, HWND h) { return h && (h == parent || IsChild(parent, h)); }
}  // namespace

MainWindow::MainWindow(const plat::Platform& platform, LanguageFile& texts)
    : platform_(platform), texts_(texts) {}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  for (HBITMAP b : banner_) DeleteObject(b);
  if (font_) DeleteObject(font_);
  if (iconBig_) DestroyIcon(iconBig_);
  if (iconSmall_) DestroyIcon(iconSmall_);
}

int MainWindow::Px(long twips) const { return MulDiv(static_cast<int>(twips), dpi_, 1440); }

long MainWindow::Twips(int pixels) const {
  return static_cast<long>((static_cast<long long>(pixels) * 1440 + dpi_ / 2) / dpi_);
}

bool MainWindow::Create(HINSTANCE instance) {
  instance_ = instance;
  HDC screen = GetDC(nullptr);
  dpi_ = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;

  iconBig_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_GLEISORA), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON),
                                           GetSystemMetrics(SM_CYICON), 0));
  iconSmall_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_GLEISORA), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hIcon = iconBig_;
  wc.hIconSm = iconSmall_;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExA(&wc);
  WNDCLASSEXA panel = wc;
  panel.lpfnWndProc = ContainerProc;
  panel.hIcon = panel.hIconSm = nullptr;
  panel.lpszClassName = kPanelClass;
  RegisterClassExA(&panel);

  // Fixed-size dialog-style frame: no sizing border, no minimise or maximise box.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_CONTROLPARENT;
  RECT r{0, 0, Px(kClientWidth), Px(kClientHeight)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int width = r.right - r.left, height = r.bottom - r.top;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + (work.right - work.left - width) / 2;
  const int y = work.top + (work.bottom - work.top - height) / 2;
  hwnd_ = CreateWindowExA(exStyle, kClassName, "Gleisora", style, x, y, width, height, nullptr,
                          nullptr, instance, this);
  if (!hwnd_) return false;
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconBig_));
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_));

  // The classic 8-point dialog font: the design widths were made for it.
  font_ = CreateFontA(-MulDiv(8, dpi_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_SWISS, "MS Shell Dlg");
  HFONT font = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto child = [&](DWORD ex, const char* cls, const char* text, DWORD st, const Rect& d,
                   HWND parent, int id) {
    HWND h = CreateWindowExA(ex, cls, text, WS_CHILD | WS_VISIBLE | st, Px(d.left), Px(d.top),
                             Px(d.width), Px(d.height), parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
  };

  // Creation order is the tab order: banner, buttons, log, list.
  for (int i = 0; i < 4; ++i) {
    HWND pic = child(0, "STATIC", nullptr, SS_BITMAP, kPicture[i], hwnd_, 900 + i);
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(IDB_BANNER1 + i),
                                                  IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (bmp) {
      banner_.push_back(bmp);
      SendMessageA(pic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp));
    }
  }
  tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance, nullptr);
  for (const auto& b : kButtons) {
    HWND h = child(0, "BUTTON", b.caption, WS_TABSTOP | BS_PUSHBUTTON, b.rect, hwnd_, b.id);
    buttons_[b.ctl] = h;
    if (tips_) {
      TOOLINFOA ti{};
      ti.cbSize = sizeof ti;
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = hwnd_;
      ti.uId = reinterpret_cast<UINT_PTR>(h);
      ti.lpszText = const_cast<char*>(b.toolTip);
      SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    toolTips_[b.ctl] = b.toolTip;
  }
  log_ = child(WS_EX_CLIENTEDGE, "EDIT", "",
               WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, kTxtLog,
               hwnd_, 1010);
  SendMessageA(log_, EM_SETLIMITTEXT, 0, 0);
  // The edit's own procedure is kept in its user data.
  SetWindowLongPtrA(log_, GWLP_USERDATA,
                    SetWindowLongPtrA(log_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LogProc)));
  container_ = child(WS_EX_CONTROLPARENT, kPanelClass, nullptr, WS_CLIPCHILDREN, kPicVersions,
                     hwnd_, 1020);
  list_ = child(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr,
                WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                {0, 0, kPicVersions.width, kPicVersions.height}, container_, 1021);
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const auto& c : kColumns) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<char*>(c.text);
    col.cx = Px(c.width);
    col.iSubItem = index;
    SendMessageA(list_, LVM_INSERTCOLUMNA, index++, reinterpret_cast<LPARAM>(&col));
  }
  return true;
}

void MainWindow::Show(int showCommand) {
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) SetFocus(first);
}

bool MainWindow::PreTranslate(MSG& msg) {
  return hwnd_ && IsWithin(hwnd_, msg.hwnd) && IsDialogMessageA(hwnd_, &msg);
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  return self->OnMessage(msg, wp, lp);
}

// The list's container passes the list's notifications on to the main window.
LRESULT CALLBACK MainWindow::ContainerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY || msg == WM_COMMAND)
    return SendMessageA(GetParent(hwnd), msg, wp, lp);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// The read-only log passes Tab on, so the keyboard moves through it like through a
// single-line box.
// The read-only log passes Tab on, so the keyboard moves through it as through a
// single-line box instead of staying inside it.
LRESULT CALLBACK MainWindow::LogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto edit = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!edit) return DefWindowProcA(hwnd, msg, wp, lp);
  const LRESULT result = CallWindowProcA(edit, hwnd, msg, wp, lp);
  return msg == WM_GETDLGCODE ? result & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB) : result;
}

template <class F>
void MainWindow::Run(F&& handler) {
  if (!form_) return;
  Attempt(handler);
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) OnCommand(LOWORD(wp));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case kItemCheckMsg: {
      const int row = static_cast<int>(wp);
      if (!form_ || row < 0 || row >= RowCount()) return 0;
      if (form_->Busy()) {
        // Input that slipped past the disabled list: put the mark back.
        SetRowChecked(row, !RowChecked(row));
        return 0;
      }
      Run([&] { form_->lvwVersions_ItemCheck(row); });
      return 0;
    }
    case kDblClickMsg:
      if (form_ && !form_->Busy()) Run([&] { form_->lvwVersions_DblClick(); });
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) == log_) {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_SETCURSOR:
      if (hourglass_) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // As a dialog does: keep the focused control across activation.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && IsChild(hwnd_, f)) lastFocus_ = f;
      } else {
        HWND target = lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) &&
                              IsWindowEnabled(GetParent(lastFocus_))
                          ? lastFocus_
                          : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
        if (target) SetFocus(target);
      }
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE: {
      bool cancel = form_ && form_->Busy();
      Run([&] { cancel = form_->Form_QueryUnload(); });
      if (!cancel) DestroyWindow(hwnd_);
      return 0;
    }
    case WM_DESTROY:
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

void MainWindow::OnCommand(int id) {
  if (!form_) return;
  switch (id) {
    case 1001: Run([&] { form_->cmdStartEEP_Click(); }); break;
    case 1002: Run([&] { form_->cmdReset_Click(); }); break;
    case 1003: Run([&] { form_->cmdDefault_Click(); }); break;
    case 1004: Run([&] { form_->cmdInfo_Click(); }); break;
    case 1005: Run([&] { form_->cmdDetails_Click(); }); break;
  }
}

LRESULT MainWindow::OnNotify(const NMHDR& hdr) {
  if (hdr.hwndFrom != list_) return 0;
  if (hdr.code == LVN_ITEMCHANGED) {
    const auto& nm = reinterpret_cast<const NMLISTVIEW&>(hdr);
    if (nm.iItem < 0 || !(nm.uChanged & LVIF_STATE) || settingChecks_) return 0;
    const UINT before = (nm.uOldState & LVIS_STATEIMAGEMASK) >> 12;
    const UINT after = (nm.uNewState & LVIS_STATEIMAGEMASK) >> 12;
    // Image 0 -> 1 is a new item receiving its check box, not a toggle.
    if (before == after || before == 0 || after == 0) return 0;
    PostMessageA(hwnd_, kItemCheckMsg, static_cast<WPARAM>(nm.iItem), 0);
  } else if (hdr.code == NM_DBLCLK) {
    PostMessageA(hwnd_, kDblClickMsg, 0, 0);
  }
  return 0;
}

void MainWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  const int y = Px(kLineY);
  HPEN gray = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
  HPEN white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, gray);
  MoveToEx(dc, Px(kLineGrayLeft), y, nullptr);
  LineTo(dc, Px(kLineGrayRight), y);
  SelectObject(dc, white);
  MoveToEx(dc, 0, y + 1, nullptr);
  LineTo(dc, Px(kLineWhiteRight), y + 1);
  SelectObject(dc, old);
  DeleteObject(gray);
  DeleteObject(white);
  EndPaint(hwnd_, &ps);
}

HWND MainWindow::Control(Ctl c) const {
  switch (c) {
    case Ctl::picVersions: return container_;
    case Ctl::lvwVersions: return list_;
    case Ctl::txtLog: return log_;
    default: {
      auto it = buttons_.find(c);
      return it == buttons_.end() ? nullptr : it->second;
    }
  }
}

std::string MainWindow::Caption() { return WindowText(hwnd_); }
void MainWindow::SetCaption(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }

void MainWindow::SetHourglass(bool on) {
  if (!on) FlushLog();  // the operation is over: its whole log shows
  hourglass_ = on;
  POINT p;
  if (hwnd_ && GetCursorPos(&p) && IsWithin(hwnd_, WindowFromPoint(p)))
    SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

long MainWindow::OuterHeight() {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return Twips(r.bottom - r.top);
}

long MainWindow::ClientHeight() {
  RECT r{};
  GetClientRect(hwnd_, &r);
  return Twips(r.bottom - r.top);
}

void MainWindow::SetOuterHeight(long twips) {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, Px(twips),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

long MainWindow::ControlTop(Ctl c) {
  if (const auto* b = DesignOf(c)) return b->rect.top;
  if (c == Ctl::picVersions) return kPicVersions.top;
  if (c == Ctl::txtLog) return kTxtLog.top;
  return 0;  // the list sits at the top of its container
}

long MainWindow::ControlHeight(Ctl c) {
  if (const auto* b = DesignOf(c)) return b->rect.height;
  if (c == Ctl::txtLog) return kTxtLog.height;
  return kPicVersions.height;
}

void MainWindow::SetEnabled(Ctl c, bool enabled) {
  HWND h = Control(c);
  if (!h) return;
  // Keyboard focus must not stay in a control that no longer takes input.
  if (!enabled && IsWithin(h, GetFocus())) {
    EnableWindow(h, FALSE);
    SetFocus(Control(Ctl::cmdDetails));
    return;
  }
  EnableWindow(h, enabled ? TRUE : FALSE);
}

bool MainWindow::Enabled(Ctl c) {
  HWND h = Control(c);
  return h && IsWindowEnabled(h);
}

std::string MainWindow::ControlCaption(Ctl c) { return DesignOf(c) ? WindowText(Control(c)) : ""; }

void MainWindow::SetControlCaption(Ctl c, const std::string& text) {
  if (DesignOf(c)) SetWindowTextA(Control(c), text.c_str());
}

std::string MainWindow::ToolTip(Ctl c) {
  auto it = toolTips_.find(c);
  return it == toolTips_.end() ? std::string() : it->second;
}

void MainWindow::SetToolTip(Ctl c, const std::string& text) {
  HWND h = Control(c);
  if (!DesignOf(c) || !h) return;
  toolTips_[c] = text;
  if (!tips_) return;
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = hwnd_;
  ti.uId = reinterpret_cast<UINT_PTR>(h);
  ti.lpszText = const_cast<char*>(toolTips_[c].c_str());
  SendMessageA(tips_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

int MainWindow::ColumnCount() {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string MainWindow::ColumnText(int column) {
  char buf[1024] = {};
  LVCOLUMNA col{};
  col.mask = LVCF_TEXT;
  col.pszText = buf;
  col.cchTextMax = sizeof buf;
  SendMessageA(list_, LVM_GETCOLUMNA, column - 1, reinterpret_cast<LPARAM>(&col));
  return buf;
}

void MainWindow::SetColumnText(int column, const std::string& text) {
  LVCOLUMNA col{};
  col.mask = LVCF_TEXT;
  col.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list_, LVM_SETCOLUMNA, column - 1, reinterpret_cast<LPARAM>(&col));
}

void MainWindow::SetColumnWidth(int index, int widthCode) {
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, index, MAKELPARAM(widthCode, 0));
}

int MainWindow::RowCount() { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

void MainWindow::AddRow(const std::string& key, const std::string& text, const std::string& sub1,
                        const std::string& sub2) {
  settingChecks_ = true;
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = RowCount();
  item.pszText = const_cast<char*>(text.c_str());
  item.lParam = static_cast<LPARAM>(keys_.size());
  const int row = static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0,
                                                reinterpret_cast<LPARAM>(&item)));
  if (row >= 0) {
    keys_.push_back(key);
    const std::string* subs[] = {&sub1, &sub2};
    for (int s = 1; s <= 2; ++s) {
      LVITEMA si{};
      si.iSubItem = s;
      si.pszText = const_cast<char*>(subs[s - 1]->c_str());
      SendMessageA(list_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&si));
    }
  }
  settingChecks_ = false;
}

int MainWindow::FindRow(const std::string& key) {
  const int n = RowCount();
  for (int row = 0; row < n; ++row)
    if (RowKey(row) == key) return row;
  return -1;
}

std::string MainWindow::RowKey(int row) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return {};
  const auto index = static_cast<std::size_t>(item.lParam);
  return index < keys_.size() ? keys_[index] : std::string();
}

std::string MainWindow::RowText(int row, int sub) {
  std::string buf(512, '\0');
  for (;;) {
    LVITEMA item{};
    item.iSubItem = sub;
    item.pszText = buf.data();
    item.cchTextMax = static_cast<int>(buf.size());
    const int n = static_cast<int>(
        SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
    if (n < static_cast<int>(buf.size()) - 1) return std::string(buf.data(), n > 0 ? n : 0);
    buf.resize(buf.size() * 2);  // the text filled the buffer: it may be longer
  }
}

std::string MainWindow::RowText(int row) { return RowText(row, 0); }
std::string MainWindow::RowSubItem(int row, int sub) { return RowText(row, sub); }

bool MainWindow::RowChecked(int row) {
  const auto state = static_cast<UINT>(
      SendMessageA(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void MainWindow::SetRowChecked(int row, bool checked) {
  // Index -1 would mean every row to the list view.
  if (row < 0 || row >= RowCount()) return;
  settingChecks_ = true;
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  settingChecks_ = false;
}

int MainWindow::SelectedRow() {
  return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                       LVNI_SELECTED));
}

void MainWindow::SelectRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageA(list_, LVM_ENSUREVISIBLE, row, FALSE);
}

std::string MainWindow::LogText() {
  FlushLog();
  return WindowText(log_);
}

void MainWindow::SetLogText(const std::string& text) {
  pendingLog_.clear();
  SetWindowTextA(log_, text.c_str());
}

void MainWindow::AppendLogText(const std::string& text) {
  // Every insert into a long multi-line edit lays it out anew, which makes a log of
  // thousands of lines quadratic; lines are gathered and go in every 100 ms, and
  // whenever the log is read, a message box opens or the operation ends.
  pendingLog_ += text;
  if (GetTickCount() - lastLogFlush_ >= 100) FlushLog();
}

void MainWindow::FlushLog() {
  lastLogFlush_ = GetTickCount();
  if (pendingLog_.empty()) return;
  // Replacing the empty selection at the end appends without re-sending the whole log.
  const LRESULT end = SendMessageA(log_, WM_GETTEXTLENGTH, 0, 0);
  SendMessageA(log_, EM_SETSEL, end, end);
  SendMessageA(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pendingLog_.c_str()));
  pendingLog_.clear();
}

void MainWindow::DoEvents() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
      return;
    }
    if (!PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

int MainWindow::MsgBox(const std::string& text, unsigned style, const std::string& title) {
  FlushLog();
  return MessageBoxA(hwnd_, text.c_str(), title.c_str(), style);
}

void MainWindow::ShowAbout() { ShowAboutWindow(hwnd_, platform_, texts_); }
