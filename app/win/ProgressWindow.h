// The small window a command of the command line shows while it runs, in place of
// the main window: a line of text and a moving bar. The user cannot close it.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "app/win/Controls.h"
#include "app/win/Window.h"

class ProgressWindow : public ui::Window {
 public:
  ProgressWindow() = default;
  ~ProgressWindow() override { Destroy(); }  // before its font goes
  // Creates and shows it; false when Windows refuses (the command runs all the same).
  bool Create(HINSTANCE instance, const std::string& caption, const std::string& text);
  void Hide();

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

  std::optional<ui::Font> font_;
  ui::Controls controls_;
};
