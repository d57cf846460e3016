#include "app/win/MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "app/frmMain.h"
#include "app/win/AboutWindow.h"
#include "app/win/SingleInstance.h"
#include "app/win/RowMenu.h"
#include "app/win/resource.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"
#include "support/Errors.h"

namespace {
const char kClassName[] = "GleisoraMain";
const char kPanelClass[] = "GleisoraPanel";

// Posted by the list's notifications, so the handlers run after the list has
// finished its own input processing.
constexpr UINT kItemCheckMsg = WM_APP + 1;
constexpr UINT kDblClickMsg = WM_APP + 2;
// Posted when a second start's command line was taken, so that it runs after the
// second start has its answer.
constexpr UINT kHandOverMsg = WM_APP + 20;

// Design layout, in twips.
constexpr long kClientWidth = 7935, kClientHeight = 8895;
constexpr ui::EtchedLine kLine{5460, -15, 7920, 7935};
constexpr int kIdLog = 1010, kIdPanel = 1020, kIdList = 1021;
// The busy bar sits in the gap between the list (bottom 4815) and the buttons (top
// 4920): visible with the details shown or hidden, and no control moves.
constexpr ui::TwipsRect kBusyBar{120, 4845, 7695, 45};
// Busy for longer than this shows the busy bar and the taskbar button's progress.
constexpr UINT_PTR kBusyTimer = 1;
constexpr UINT kBusyAfterMs = 500;

struct MainControl {
  ui::ControlRow row;
  std::optional<Ctl> ctl;
  const char* toolTip = nullptr;
  void (frmMain::*click)() = nullptr;
  int bitmap = 0;
};
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
// In tab order: banner, buttons, log, list.
const MainControl kLayout[] = {
    {{900, 0, "STATIC", SS_BITMAP, 0, {120, 120, 1875, 2310}, nullptr}, {}, {}, {}, IDB_BANNER1},
    {{901, 0, "STATIC", SS_BITMAP, 0, {2040, 120, 1875, 2310}, nullptr}, {}, {}, {}, IDB_BANNER2},
    {{902, 0, "STATIC", SS_BITMAP, 0, {3960, 120, 1875, 2310}, nullptr}, {}, {}, {}, IDB_BANNER3},
    {{903, 0, "STATIC", SS_BITMAP, 0, {5880, 120, 1875, 2310}, nullptr}, {}, {}, {}, IDB_BANNER4},
    {{1001, 0, "BUTTON", kButton, 0, {120, 4920, 1215, 375}, "EEP starten"},
     Ctl::cmdStartEEP, "EEP starten", &frmMain::cmdStartEEP_Click},
    {{1002, 0, "BUTTON", kButton, 0, {1440, 4920, 1815, 375}, "Wiederherstellen"},
     Ctl::cmdReset, "Letzte Einstellungen wiederherstellen", &frmMain::cmdReset_Click},
    {{1003, 0, "BUTTON", kButton, 0, {3360, 4920, 1815, 375}, "Standardeinstellungen"},
     Ctl::cmdDefault, "Standardeinstellungen laden", &frmMain::cmdDefault_Click},
    {{1004, 0, "BUTTON", kButton, 0, {5280, 4920, 1215, 375}, "Info"},
     Ctl::cmdInfo, "Info über...", &frmMain::cmdInfo_Click},
    {{1005, 0, "BUTTON", kButton, 0, {6600, 4920, 1215, 375}, "Details  <<"},
     Ctl::cmdDetails, "Details ein-/ausblenden", &frmMain::cmdDetails_Click},
    {{kIdLog, 0, "EDIT", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
      WS_EX_CLIENTEDGE, {120, 5640, 7695, 3135}, ""},
     Ctl::txtLog},
    {{kIdPanel, 0, kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, {120, 2520, 7695, 2295},
      nullptr},
     Ctl::picVersions},
    {{kIdList, kIdPanel, WC_LISTVIEWA, WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
      WS_EX_CLIENTEDGE, {0, 0, 7695, 2295}, nullptr},
     Ctl::lvwVersions},
};
struct ColumnDesign {
  const char* text;
  long width;
};
const ColumnDesign kColumns[] = {{"Bezeichnung", 5292}, {"Typ", 2540}, {"Pfad", 2540}};

const MainControl* DesignOf(Ctl c) {
  for (const auto& d : kLayout)
    if (d.ctl == c) return &d;
  return nullptr;
}
bool IsButton(Ctl c) {
  const MainControl* d = DesignOf(c);
  return d && d->click;
}

// The whole log text, which the log box answers with when asked for its text (it may
// hold only the newest lines for a while).
const char kLogTextProp[] = "GleisoraLogText";
// While busy the log box keeps at most this many lines, then starts again with the
// newest ones: every line the box takes costs a layout (about 0.1 ms under Wine),
// which a switch of thousands of values cannot afford. The older lines go back in
// afterwards, a slice at a time, while the window is idle.
constexpr int kBusyLines = 1000, kTailLines = 200, kFillLines = 300;
constexpr UINT_PTR kFillTimer = 2;

// Where the line `lines` lines before `end` starts (0 at most).
std::size_t LinesBefore(const std::string& text, std::size_t end, int lines) {
  std::size_t at = end;
  while (at > 0 && lines >= 0) {
    at = text.rfind('\n', at - 1);
    if (at == std::string::npos) return 0;
    if (--lines < 0) return at + 1;
  }
  return at;
}

int LineBreaks(const std::string& text, std::size_t from, std::size_t to) {
  return static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(from),
                                     text.begin() + static_cast<std::ptrdiff_t>(to), '\n'));
}

// The read-only log passes Tab on, so the keyboard moves through it as through a
// single-line box instead of staying inside it, and gives its whole text. The edit's
// own procedure is kept in its user data.
LRESULT CALLBACK LogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto edit = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!edit) return DefWindowProcA(hwnd, msg, wp, lp);
  if (const auto* text = static_cast<const std::string*>(GetPropA(hwnd, kLogTextProp))) {
    if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(text->size());
    if (msg == WM_GETTEXT) {
      if (wp == 0 || !lp) return 0;
      const std::size_t n = std::min<std::size_t>(text->size(), wp - 1);
      std::memcpy(reinterpret_cast<char*>(lp), text->data(), n);
      reinterpret_cast<char*>(lp)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
  }
  if (msg == WM_NCDESTROY) RemovePropA(hwnd, kLogTextProp);
  const LRESULT result = CallWindowProcA(edit, hwnd, msg, wp, lp);
  return msg == WM_GETDLGCODE ? result & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB) : result;
}
}  // namespace

MainWindow::MainWindow(const plat::Platform& platform, LanguageFile& texts)
    : platform_(platform), texts_(texts) {}

const char* MainWindow::ClassName() { return kClassName; }

MainWindow::~MainWindow() {
  Destroy();
  for (HBITMAP b : banner_) DeleteObject(b);
  if (iconBig_) DestroyIcon(iconBig_);
  if (iconSmall_) DestroyIcon(iconSmall_);
}

bool MainWindow::Create(HINSTANCE instance) {
  scale_ = ui::Scale::System();
  auto icon = [&](int cx, int cy) {
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_GLEISORA), IMAGE_ICON,
                                         GetSystemMetrics(cx), GetSystemMetrics(cy), 0));
  };
  iconBig_ = icon(SM_CXICON, SM_CYICON);
  iconSmall_ = icon(SM_CXSMICON, SM_CYSMICON);
  ui::RegisterPanelClass(kPanelClass);

  // Fixed-size dialog-style frame: no sizing border, no minimise or maximise box.
  if (!ui::Window::Create({kClassName, iconBig_, iconSmall_}, WS_EX_CONTROLPARENT,
                          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, "Gleisora",
                          {scale_.Px(kClientWidth), scale_.Px(kClientHeight)}, ui::WorkArea(),
                          nullptr))
    return false;
  HWND hwnd = Handle();
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconBig_));
  SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_));

  font_.emplace(ui::kDialogFont, scale_);
  tips_.Create(hwnd);
  for (const MainControl& d : kLayout) {
    HWND h = controls_.Add(hwnd, d.row, scale_, font_->Handle());
    if (d.bitmap) {
      HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(d.bitmap),
                                                    IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
      if (bmp) {
        banner_.push_back(bmp);
        SendMessageA(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp));
      }
    }
    if (d.toolTip) tips_.Set(h, d.toolTip);
    if (d.click)
      controls_.OnClick(d.row.id, [this, click = d.click] { Run([&] { (form_->*click)(); }); });
  }
  busyBar_.Create(hwnd, kBusyBar, scale_);
  taskbar_.Allow(hwnd);
  list_ = controls_[kIdList];
  log_ = controls_[kIdLog];
  SendMessageA(log_, EM_SETLIMITTEXT, 0, 0);
  SetWindowLongPtrA(log_, GWLP_USERDATA,
                    SetWindowLongPtrA(log_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LogProc)));
  SetPropA(log_, kLogTextProp, &logText_);
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const auto& c : kColumns) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<char*>(c.text);
    col.cx = scale_.Px(c.width);
    col.iSubItem = index;
    SendMessageA(list_, LVM_INSERTCOLUMNA, index++, reinterpret_cast<LPARAM>(&col));
  }
  return true;
}

void MainWindow::Show(int showCommand) {
  ShowWindow(Handle(), showCommand);
  UpdateWindow(Handle());
  if (HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE)) SetFocus(first);
}

bool MainWindow::PreTranslate(MSG& msg) {
  HWND hwnd = Handle();
  if (!hwnd || !ui::IsWithin(hwnd, msg.hwnd)) return false;
  // Ctrl+N adds an installation from anywhere in the window, also with an empty list.
  if (msg.message == WM_KEYDOWN && msg.wParam == 'N' && GetKeyState(VK_CONTROL) < 0 &&
      GetKeyState(VK_MENU) >= 0) {
    if (form_ && !form_->Busy()) Run([&] { form_->mnuAdd_Click(); });
    return true;
  }
  return IsDialogMessageA(hwnd, &msg);
}

template <class F>
void MainWindow::Run(F&& handler) {
  if (!form_) return;
  Attempt(handler);
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (taskbar_.ButtonCreated(Handle(), msg)) {
    if (busyBar_.Shown()) taskbar_.Busy(true);
    return 0;
  }
  switch (msg) {
    case WM_TIMER:
      if (wp == kFillTimer) {
        FillLog();
        return 0;
      }
      if (wp != kBusyTimer) break;
      KillTimer(Handle(), kBusyTimer);
      if (hourglass_) {
        busyBar_.Show(true);
        taskbar_.Busy(true);
      }
      return 0;
    case WM_COMMAND:
      controls_.Command(wp);
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
    case WM_COPYDATA: {
      const auto line = SingleInstance::Received(lp);
      if (!line || !command_) return FALSE;
      // Busy, or a modal window open: the second start says so itself.
      if (!form_ || form_->Busy() || !IsWindowEnabled(Handle()) || handedOver_)
        return SingleInstance::kBusy;
      handedOver_ = *line;
      PostMessageA(Handle(), kHandOverMsg, 0, 0);
      return SingleInstance::kTaken;
    }
    case kHandOverMsg: {
      const std::string line = handedOver_.value_or("");
      handedOver_.reset();
      if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
      SetForegroundWindow(Handle());
      Run([&] { command_(line); });
      return 0;
    }
    case WM_CONTEXTMENU:
      // From the list (mouse, Shift+F10 or the menu key), passed on through its panel,
      // which may name itself as the source.
      if (ui::IsWithin(Control(Ctl::picVersions), reinterpret_cast<HWND>(wp)) && form_ &&
          !form_->Busy()) {
        int row = -1;
        const POINT at = ui::MenuPlace(list_, lp, row);
        Run([&] {
          ui::ShowMenu(Handle(), at, form_->RowMenu(row),
                       [&](const std::function<void()>& command) { Run(command); });
        });
        return 0;
      }
      break;
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
        if (f && IsChild(Handle(), f)) lastFocus_ = f;
      } else {
        HWND target = lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) &&
                              IsWindowEnabled(GetParent(lastFocus_))
                          ? lastFocus_
                          : GetNextDlgTabItem(Handle(), nullptr, FALSE);
        if (target) SetFocus(target);
      }
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      kLine.Paint(dc, scale_);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_QUERYENDSESSION:
      // Never a message box here: the answer must come at once.
      return form_ && form_->Busy() ? FALSE : TRUE;
    case WM_ENDSESSION:
      // Ending anyway: the progress record of a switch is already on disk, so the
      // next start finishes it.
      return 0;
    case WM_CLOSE: {
      bool cancel = form_ && form_->Busy();
      Run([&] { cancel = form_->Form_QueryUnload(); });
      if (!cancel) Destroy();
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return ui::Window::OnMessage(msg, wp, lp);
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
    PostMessageA(Handle(), kItemCheckMsg, static_cast<WPARAM>(nm.iItem), 0);
  } else if (hdr.code == NM_DBLCLK) {
    PostMessageA(Handle(), kDblClickMsg, 0, 0);
  }
  return 0;
}

HWND MainWindow::Control(Ctl c) const {
  const MainControl* d = DesignOf(c);
  return d ? controls_[d->row.id] : nullptr;
}

std::string MainWindow::Caption() { return ui::WindowText(Handle()); }
void MainWindow::SetCaption(const std::string& text) { SetWindowTextA(Handle(), text.c_str()); }

void MainWindow::SetHourglass(bool on) {
  if (!on) FlushLog();  // the operation is over: its whole log shows
  hourglass_ = on;
  BlockShutdown(on);
  if (on) {
    SetTimer(Handle(), kBusyTimer, kBusyAfterMs, nullptr);
  } else {
    KillTimer(Handle(), kBusyTimer);
    busyBar_.Show(false);
    taskbar_.Busy(false);
    if (shownFrom_ > 0) SetTimer(Handle(), kFillTimer, 10, nullptr);  // the older lines
  }
  POINT p;
  if (Handle() && GetCursorPos(&p) && ui::IsWithin(Handle(), WindowFromPoint(p)))
    SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

// While busy, Windows (Vista and later) names the reason when it asks the user about
// ending the session; looked up at run time so that older systems still start.
void MainWindow::BlockShutdown(bool on) {
  using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
  using Destroy = BOOL(WINAPI*)(HWND);
  if (!Handle()) return;
  if (!on) {
    if (auto destroy = win32::As<Destroy>(win32::UserFunction("ShutdownBlockReasonDestroy")))
      destroy(Handle());
    return;
  }
  auto create = win32::As<Create>(win32::UserFunction("ShutdownBlockReasonCreate"));
  if (!create) return;
  const std::string reason = texts_.GetText(
      "Messages", "SHUTDOWN_BLOCKED",
      "Gleisora ändert gerade die Einstellungen von EEP. Bitte warten Sie einen Moment!");
  create(Handle(), win32::Wide(reason).c_str());
}

long MainWindow::OuterHeight() {
  RECT r{};
  GetWindowRect(Handle(), &r);
  return scale_.Twips(r.bottom - r.top);
}

long MainWindow::ClientHeight() {
  RECT r{};
  GetClientRect(Handle(), &r);
  return scale_.Twips(r.bottom - r.top);
}

void MainWindow::SetOuterHeight(long twips) {
  RECT r{};
  GetWindowRect(Handle(), &r);
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, scale_.Px(twips),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

long MainWindow::ControlTop(Ctl c) {
  const MainControl* d = DesignOf(c);
  return d ? d->row.rect.top : 0;
}

long MainWindow::ControlHeight(Ctl c) {
  const MainControl* d = DesignOf(c);
  return d ? d->row.rect.height : 0;
}

void MainWindow::SetEnabled(Ctl c, bool enabled) {
  HWND h = Control(c);
  if (!h) return;
  // Keyboard focus must not stay in a control that no longer takes input.
  if (!enabled && ui::IsWithin(h, GetFocus())) {
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

std::string MainWindow::ControlCaption(Ctl c) {
  return IsButton(c) ? ui::WindowText(Control(c)) : "";
}

void MainWindow::SetControlCaption(Ctl c, const std::string& text) {
  if (IsButton(c)) SetWindowTextA(Control(c), text.c_str());
}

std::string MainWindow::ToolTip(Ctl c) { return tips_.Text(Control(c)); }

void MainWindow::SetToolTip(Ctl c, const std::string& text) {
  if (IsButton(c)) tips_.Set(Control(c), text);
}

int MainWindow::ColumnCount() {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string MainWindow::ColumnText(int column) {
  return ui::ItemText<LVCOLUMNA>(list_, LVM_GETCOLUMNA, column - 1, LVCF_TEXT);
}

void MainWindow::SetColumnText(int column, const std::string& text) {
  ui::SetItemText<LVCOLUMNA>(list_, LVM_SETCOLUMNA, column - 1, LVCF_TEXT, text);
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

void MainWindow::RemoveRow(int row) {
  if (row >= 0 && row < RowCount()) SendMessageA(list_, LVM_DELETEITEM, row, 0);
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
  return logText_;
}

void MainWindow::SetLogText(const std::string& text) {
  KillTimer(Handle(), kFillTimer);
  logText_ = text;
  shownFrom_ = 0;
  shownTo_ = text.size();
  shownLines_ = LineBreaks(text, 0, text.size());
  SetWindowTextA(log_, text.c_str());
}

void MainWindow::AppendLogText(const std::string& text) {
  // Each insert into the log box costs about the same however few lines it brings,
  // so lines are gathered and go in at most every 100 ms, and never more often than
  // ten times their last insert took: the log keeps moving and costs a tenth of the
  // operation at most. Whenever the log is read, a message box opens or the
  // operation ends, everything goes in at once.
  logText_ += text;
  if (GetTickCount() - lastLogFlush_ >= std::max<DWORD>(100, 10 * logFlushCost_)) FlushLog();
}

void MainWindow::FlushLog() {
  const DWORD start = GetTickCount();
  if (shownTo_ < logText_.size()) {
    const int added = LineBreaks(logText_, shownTo_, logText_.size());
    if (hourglass_ && shownLines_ + added > kBusyLines) {
      // Start again with the newest lines; the older ones return when idle.
      shownFrom_ = LinesBefore(logText_, logText_.size(), kTailLines);
      shownLines_ = LineBreaks(logText_, shownFrom_, logText_.size());
      SetWindowTextA(log_, logText_.c_str() + shownFrom_);
    } else {
      // Replacing the empty selection at the end appends without re-sending the
      // whole log.
      const auto end = static_cast<WPARAM>(shownTo_ - shownFrom_);
      SendMessageA(log_, EM_SETSEL, end, static_cast<LPARAM>(end));
      SendMessageA(log_, EM_REPLACESEL, FALSE,
                   reinterpret_cast<LPARAM>(logText_.c_str() + shownTo_));
      shownLines_ += added;
    }
    shownTo_ = logText_.size();
    // The box shows the newest line.
    const auto end = static_cast<WPARAM>(shownTo_ - shownFrom_);
    SendMessageA(log_, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageA(log_, EM_SCROLLCARET, 0, 0);
    logFlushCost_ = GetTickCount() - start;
  }
  lastLogFlush_ = GetTickCount();
}

// Puts older lines back in front of the log box's text, keeping what the box shows
// and selects where it is.
void MainWindow::FillLog() {
  if (hourglass_ || shownFrom_ == 0) {
    if (shownFrom_ == 0) KillTimer(Handle(), kFillTimer);
    return;
  }
  const std::size_t from = LinesBefore(logText_, shownFrom_, kFillLines);
  const std::string older = logText_.substr(from, shownFrom_ - from);
  DWORD selStart = 0, selEnd = 0;
  SendMessageA(log_, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
               reinterpret_cast<LPARAM>(&selEnd));
  const auto firstVisible = SendMessageA(log_, EM_GETFIRSTVISIBLELINE, 0, 0);
  const auto linesBefore = SendMessageA(log_, EM_GETLINECOUNT, 0, 0);
  SendMessageA(log_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(log_, EM_SETSEL, 0, 0);
  SendMessageA(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(older.c_str()));
  const auto shift = static_cast<DWORD>(older.size());
  SendMessageA(log_, EM_SETSEL, selStart + shift, static_cast<LPARAM>(selEnd + shift));
  const auto wanted = firstVisible + SendMessageA(log_, EM_GETLINECOUNT, 0, 0) - linesBefore;
  SendMessageA(log_, EM_LINESCROLL, 0,
               static_cast<LPARAM>(wanted - SendMessageA(log_, EM_GETFIRSTVISIBLELINE, 0, 0)));
  SendMessageA(log_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(log_, nullptr, TRUE);
  shownFrom_ = from;
  shownLines_ += LineBreaks(older, 0, older.size());
  if (shownFrom_ == 0) KillTimer(Handle(), kFillTimer);
}

void MainWindow::DoEvents() {
  // Called for every log line: looking at the queue costs more than a line, so it is
  // looked at only every 20 ms, often enough for painting, moving and clicks.
  if (GetTickCount() - lastPump_ < 20) return;
  lastPump_ = GetTickCount();
  // Gathered text shows in time also while no line follows (a component that hangs).
  if (GetTickCount() - lastLogFlush_ >= std::max<DWORD>(100, 10 * logFlushCost_)) FlushLog();
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
  return MessageBoxA(Handle(), text.c_str(), title.c_str(), style);
}

void MainWindow::ShowAbout() { ShowAboutWindow(Handle(), platform_, texts_); }
