#include "app/win/Taskbar.h"

#include <shobjidl.h>

#include "platform/win32/SystemLibrary.h"

namespace ui {

Taskbar::Taskbar() : message_(RegisterWindowMessageA("TaskbarButtonCreated")) {}

Taskbar::~Taskbar() {
  if (list_) list_->Release();
  if (comStarted_) CoUninitialize();
}

void Taskbar::Allow(HWND window) const {
  // Windows 7 and later; looked up at run time so that older systems still start.
  using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  auto filter = win32::As<Filter>(win32::UserFunction("ChangeWindowMessageFilterEx"));
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
  if (filter && message_) filter(window, message_, kAllow, nullptr);
}

bool Taskbar::ButtonCreated(HWND window, UINT msg) {
  if (!message_ || msg != message_) return false;
  window_ = window;
  if (list_) return true;  // the shell restarted: the object still serves
  if (!comStarted_) {
    const HRESULT hr = CoInitialize(nullptr);
    comStarted_ = SUCCEEDED(hr);  // S_FALSE too: each success is paired
  }
  void* object = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_ITaskbarList3, &object))) {
    list_ = static_cast<ITaskbarList3*>(object);
    if (FAILED(list_->HrInit())) {
      list_->Release();
      list_ = nullptr;
    }
  }
  return true;
}

void Taskbar::Busy(bool on) {
  if (list_ && window_) list_->SetProgressState(window_, on ? TBPF_INDETERMINATE : TBPF_NOPROGRESS);
}

}  // namespace ui
