// One Gleisora at a time: a named mutex held for the whole run. A second start hands
// its command line to the running window (WM_COPYDATA) and ends; the running window
// runs it, or answers that it cannot now.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

class SingleInstance {
 public:
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  bool First() const { return first_; }

  // The running window's answers; 0 means none came.
  static constexpr LRESULT kTaken = 1, kBusy = 2;
  // The second start's side: hands `commandLine` to the window of class `windowClass`.
  static LRESULT HandOver(const char* windowClass, const std::string& commandLine);
  // The running window's side: the command line a WM_COPYDATA of a second start carries.
  static std::optional<std::string> Received(LPARAM lp);

 private:
  HANDLE mutex_;
  bool first_;
};
