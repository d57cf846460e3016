#include "app/win/MainWindow.h"

#include <commctrl.h>

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
// Room a push button keeps free on each side of its caption.
constexpr long kCaptionMargin = 60;
// The banner's frame: the locomotive's dark grey.
constexpr COLORREF kFrameColour = RGB(42, 42, 42);

struct MainControl {
  ui::ControlRow row;
  std::optional<Ctl> ctl;
  const char* toolTip = nullptr;
  void (frmMain::*click)() = nullptr;
  int bitmap = 0;
};
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
// In tab order: banner, buttons, log, list.
// clang-format off
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
// clang-format on
const MainControl* DesignOf(Ctl c) {
  for (const auto& d : kLayout)
    if (d.ctl == c) return &d;
  return nullptr;
}
bool IsButton(Ctl c) {
  const MainControl* d = DesignOf(c);
  return d && d->click;
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
      HBITMAP bmp = ui::ScaledBitmap(instance, d.bitmap, scale_.Px(d.row.rect.width),
                                     scale_.Px(d.row.rect.height));
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
  list_.Attach(controls_[kIdList], scale_);
  log_.Attach(controls_[kIdLog], hwnd, [this](MSG& msg) { return PreTranslate(msg); });
  // A separator line of the log fits one line of the box at its design size.
  RECT text{};
  SendMessageA(controls_[kIdLog], EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  logFont_.emplace(ui::kDialogFont, scale_, std::string(80, '='), text.right - text.left);
  SendMessageA(controls_[kIdLog], WM_SETFONT, reinterpret_cast<WPARAM>(logFont_->Handle()), FALSE);
  for (const MainControl& d : kLayout)
    if (d.click) FitCaption(controls_[d.row.id]);
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
      if (wp == ui::LogBox::kFillTimer) {
        log_.Fill();
        return 0;
      }
      if (wp != kBusyTimer) break;
      KillTimer(Handle(), kBusyTimer);
      if (hourglass_) {
        busyBar_.Show(true);
        taskbar_.Busy(true);
      }
      return 0;
    case WM_COMMAND: controls_.Command(wp); return 0;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case kItemCheckMsg: {
      const int row = static_cast<int>(wp);
      if (!form_ || row < 0 || row >= list_.Count()) return 0;
      if (form_->Busy()) {
        // Input that slipped past the disabled list: put the mark back.
        list_.SetChecked(row, !list_.Checked(row));
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
        const POINT at = ui::MenuPlace(list_.Handle(), lp, row);
        Run([&] {
          ui::ShowMenu(Handle(), at, form_->RowMenu(row),
                       [&](const std::function<void()>& command) { Run(command); });
        });
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      LRESULT brush = 0;
      if (log_.Colours(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp), brush)) return brush;
      break;
    }
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
      PaintBannerFrame(dc);
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
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return ui::Window::OnMessage(msg, wp, lp);
}

LRESULT MainWindow::OnNotify(const NMHDR& hdr) {
  const ui::VersionList::Event e = list_.Notified(hdr);
  if (e.kind == e.kToggled) PostMessageA(Handle(), kItemCheckMsg, static_cast<WPARAM>(e.row), 0);
  if (e.kind == e.kDoubleClick) PostMessageA(Handle(), kDblClickMsg, 0, 0);
  return 0;
}

HWND MainWindow::Control(Ctl c) const {
  const MainControl* d = DesignOf(c);
  return d ? controls_[d->row.id] : nullptr;
}

std::string MainWindow::Caption() { return ui::WindowText(Handle()); }
void MainWindow::SetCaption(const std::string& text) { SetWindowTextA(Handle(), text.c_str()); }

void MainWindow::SetHourglass(bool on) {
  log_.SetBusy(on);
  hourglass_ = on;
  BlockShutdown(on);
  if (on) {
    SetTimer(Handle(), kBusyTimer, kBusyAfterMs, nullptr);
  } else {
    KillTimer(Handle(), kBusyTimer);
    busyBar_.Show(false);
    taskbar_.Busy(false);
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

// The form asks for its height, captions and tips at every busy change; each one
// actually set costs the window a layout and a repaint, so the same ones are left.
void MainWindow::SetOuterHeight(long twips) {
  RECT r{};
  GetWindowRect(Handle(), &r);
  if (r.bottom - r.top == scale_.Px(twips)) return;
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

std::string MainWindow::ControlCaption(Ctl c) {
  return IsButton(c) ? ui::WindowText(Control(c)) : "";
}

void MainWindow::SetControlCaption(Ctl c, const std::string& text) {
  if (!IsButton(c) || ui::WindowText(Control(c)) == text) return;
  SetWindowTextA(Control(c), text.c_str());
  FitCaption(Control(c));
}

// A caption wider than its button would be clipped at both ends: it gets a smaller
// font instead, and the button keeps its size.
void MainWindow::FitCaption(HWND button) {
  if (!button || !font_) return;
  const std::string text = ui::WindowText(button);
  RECT r{};
  GetClientRect(button, &r);
  const int room = r.right - r.left - 2 * scale_.Px(kCaptionMargin);
  auto fitted = ui::TextWidth(font_->Handle(), text) <= room
                    ? nullptr
                    : std::make_unique<ui::Font>(ui::kDialogFont, scale_, text, room);
  SendMessageA(button, WM_SETFONT,
               reinterpret_cast<WPARAM>(fitted ? fitted->Handle() : font_->Handle()), TRUE);
  captionFonts_[button] = std::move(fitted);  // the one the button had is no longer used
}

// The banner is one scene cut into four pictures: a dark frame around them fills
// the gaps between them, so the scene reads as seen through a four-pane window.
void MainWindow::PaintBannerFrame(HDC dc) const {
  RECT frame{};
  int gap = 0;
  for (const MainControl& d : kLayout) {
    if (!d.bitmap) continue;
    RECT r{};
    GetWindowRect(controls_[d.row.id], &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    if (!IsRectEmpty(&frame)) gap = r.left - frame.right;
    UnionRect(&frame, IsRectEmpty(&frame) ? &r : &frame, &r);
  }
  if (IsRectEmpty(&frame)) return;
  InflateRect(&frame, gap, gap);
  HBRUSH dark = CreateSolidBrush(kFrameColour);
  FillRect(dc, &frame, dark);
  DeleteObject(dark);
}

std::string MainWindow::ToolTip(Ctl c) { return tips_.Text(Control(c)); }

void MainWindow::SetToolTip(Ctl c, const std::string& text) {
  if (IsButton(c) && tips_.Text(Control(c)) != text) tips_.Set(Control(c), text);
}

void MainWindow::AddRow(const CatalogueRow& row) {
  list_.Add(row.description, row.regType, row.appDir);
}

int MainWindow::MsgBox(const std::string& text, unsigned style, const std::string& title) {
  log_.Flush();
  return MessageBoxA(Handle(), text.c_str(), title.c_str(), style);
}

void MainWindow::ShowAbout() { ShowAboutWindow(Handle(), platform_, texts_); }
