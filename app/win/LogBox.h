// The activity log's box: a read-only edit that holds the whole log text, shows a
// window of it while busy, takes new lines in batches and, for each line written,
// lets the message loop run now and then (the log routines' yield).
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace ui {

class LogBox {
 public:
  // The owner's WM_TIMER with this id calls Fill.
  static constexpr UINT_PTR kFillTimer = 2;

  // Takes over a created multi-line edit on `owner`; `preTranslate` is the owner's
  // keyboard handling for each message a yield dispatches (true: handled).
  void Attach(HWND edit, HWND owner, std::function<bool(MSG&)> preTranslate);
  HWND Handle() const { return edit_; }

  void SetText(const std::string& text);
  void Append(const std::string& text);
  // Puts every gathered line into the box now: before a message box and when the
  // operation ends.
  void Flush();
  // Busy: the box keeps only the newest lines. Idle again: the whole log shows, the
  // older lines going back in a slice at a time.
  void SetBusy(bool on);
  void Fill();
  // Processes pending window messages, at most every 20 ms.
  void DoEvents();
  // The colours of a WM_CTLCOLORSTATIC for the box; false when it is another control's.
  bool Colours(HWND control, HDC dc, LRESULT& brush) const;

 private:
  HWND edit_ = nullptr, owner_ = nullptr;
  std::function<bool(MSG&)> preTranslate_;
  bool busy_ = false;
  // The whole log; the box holds text_[shownFrom_, shownTo_) in shownLines_ lines.
  std::string text_;
  std::size_t shownFrom_ = 0, shownTo_ = 0;
  int shownLines_ = 0;
  DWORD lastFlush_ = 0;
  DWORD flushCost_ = 0;  // ms the last insert into the box took
  DWORD lastPump_ = 0;
};

}  // namespace ui
