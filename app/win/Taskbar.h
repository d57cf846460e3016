// Progress on the window's taskbar button (Windows 7 and later): the taskbar object
// is asked for once the shell announces the button. Where any part is missing (older
// Windows, Wine) every call does nothing.
#pragma once
#include <windows.h>

struct ITaskbarList3;

namespace ui {

class Taskbar {
 public:
  Taskbar();
  ~Taskbar();
  Taskbar(const Taskbar&) = delete;
  Taskbar& operator=(const Taskbar&) = delete;

  // An elevated window hears the shell's message only when it lets it through.
  void Allow(HWND window) const;
  // True for the shell's "TaskbarButtonCreated": the taskbar object is taken then.
  bool ButtonCreated(HWND window, UINT msg);
  void Busy(bool on);

 private:
  UINT message_ = 0;
  HWND window_ = nullptr;
  ITaskbarList3* list_ = nullptr;
  bool comStarted_ = false;
};

}  // namespace ui
