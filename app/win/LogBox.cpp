#include "app/win/LogBox.h"

#include <algorithm>
#include <cstring>

namespace ui {
namespace {
// The whole log text, which the log box answers with when asked for its text (it may
// hold only the newest lines for a while).
const char kLogTextProp[] = "GleisoraLogText";
// While busy the log box keeps at most this many lines, then starts again with the
// newest ones: every line the box takes costs a layout (about 0.1 ms under Wine),
// which a switch of thousands of values cannot afford. The older lines go back in
// afterwards, a slice at a time, while the window is idle.
constexpr int kBusyLines = 1000, kTailLines = 200, kFillLines = 300;

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

void LogBox::Attach(HWND edit, HWND owner, std::function<bool(MSG&)> preTranslate) {
  edit_ = edit;
  owner_ = owner;
  preTranslate_ = std::move(preTranslate);
  SendMessageA(edit_, EM_SETLIMITTEXT, 0, 0);
  SetWindowLongPtrA(edit_, GWLP_USERDATA,
                    SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LogProc)));
  SetPropA(edit_, kLogTextProp, &text_);
}

void LogBox::SetText(const std::string& text) {
  KillTimer(owner_, kFillTimer);
  text_ = text;
  shownFrom_ = 0;
  shownTo_ = text.size();
  shownLines_ = LineBreaks(text, 0, text.size());
  SetWindowTextA(edit_, text.c_str());
}

void LogBox::Append(const std::string& text) {
  // Each insert into the log box costs about the same however few lines it brings,
  // so lines are gathered and go in at most every 100 ms, and never more often than
  // ten times their last insert took: the log keeps moving and costs a tenth of the
  // operation at most. Whenever the log is read, a message box opens or the
  // operation ends, everything goes in at once.
  text_ += text;
  if (GetTickCount() - lastFlush_ >= std::max<DWORD>(100, 10 * flushCost_)) Flush();
}

void LogBox::Flush() {
  const DWORD start = GetTickCount();
  if (shownTo_ < text_.size()) {
    const int added = LineBreaks(text_, shownTo_, text_.size());
    if (busy_ && shownLines_ + added > kBusyLines) {
      // Start again with the newest lines; the older ones return when idle.
      shownFrom_ = LinesBefore(text_, text_.size(), kTailLines);
      shownLines_ = LineBreaks(text_, shownFrom_, text_.size());
      SetWindowTextA(edit_, text_.c_str() + shownFrom_);
    } else {
      // Replacing the empty selection at the end appends without re-sending the
      // whole log.
      const auto end = static_cast<WPARAM>(shownTo_ - shownFrom_);
      SendMessageA(edit_, EM_SETSEL, end, static_cast<LPARAM>(end));
      SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text_.c_str() + shownTo_));
      shownLines_ += added;
    }
    shownTo_ = text_.size();
    // The box shows the newest line.
    const auto end = static_cast<WPARAM>(shownTo_ - shownFrom_);
    SendMessageA(edit_, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageA(edit_, EM_SCROLLCARET, 0, 0);
    flushCost_ = GetTickCount() - start;
  }
  lastFlush_ = GetTickCount();
}

void LogBox::SetBusy(bool on) {
  if (!on) Flush();  // the operation is over: its whole log shows
  busy_ = on;
  if (!on && shownFrom_ > 0) SetTimer(owner_, kFillTimer, 10, nullptr);  // the older lines
}

// Puts older lines back in front of the log box's text, keeping what the box shows
// and selects where it is.
void LogBox::Fill() {
  if (busy_ || shownFrom_ == 0) {
    if (shownFrom_ == 0) KillTimer(owner_, kFillTimer);
    return;
  }
  const std::size_t from = LinesBefore(text_, shownFrom_, kFillLines);
  const std::string older = text_.substr(from, shownFrom_ - from);
  DWORD selStart = 0, selEnd = 0;
  SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
               reinterpret_cast<LPARAM>(&selEnd));
  const auto firstVisible = SendMessageA(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
  const auto linesBefore = SendMessageA(edit_, EM_GETLINECOUNT, 0, 0);
  SendMessageA(edit_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(edit_, EM_SETSEL, 0, 0);
  SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(older.c_str()));
  const auto shift = static_cast<DWORD>(older.size());
  SendMessageA(edit_, EM_SETSEL, selStart + shift, static_cast<LPARAM>(selEnd + shift));
  const auto wanted = firstVisible + SendMessageA(edit_, EM_GETLINECOUNT, 0, 0) - linesBefore;
  SendMessageA(edit_, EM_LINESCROLL, 0,
               static_cast<LPARAM>(wanted - SendMessageA(edit_, EM_GETFIRSTVISIBLELINE, 0, 0)));
  SendMessageA(edit_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit_, nullptr, TRUE);
  shownFrom_ = from;
  shownLines_ += LineBreaks(older, 0, older.size());
  if (shownFrom_ == 0) KillTimer(owner_, kFillTimer);
}

void LogBox::DoEvents() {
  // Called for every log line: looking at the queue costs more than a line, so it is
  // looked at only every 20 ms, often enough for painting, moving and clicks.
  if (GetTickCount() - lastPump_ < 20) return;
  lastPump_ = GetTickCount();
  // Gathered text shows in time also while no line follows (a component that hangs).
  if (GetTickCount() - lastFlush_ >= std::max<DWORD>(100, 10 * flushCost_)) Flush();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
      return;
    }
    if (!preTranslate_ || !preTranslate_(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// The read-only box in the window's face colour, with the usual text colour.
bool LogBox::Colours(HWND control, HDC dc, LRESULT& brush) const {
  if (control != edit_) return false;
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  brush = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  return true;
}

}  // namespace ui
