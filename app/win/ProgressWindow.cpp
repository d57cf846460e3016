#include "app/win/ProgressWindow.h"

#include <commctrl.h>

#include "app/win/resource.h"

namespace {
const char kClassName[] = "GleisoraProgress";
constexpr int kIdText = 1, kIdBar = 2;
constexpr long kWidth = 5400, kHeight = 1380;  // twips
}  // namespace

bool ProgressWindow::Create(HINSTANCE instance, const std::string& caption,
                            const std::string& text) {
  const ui::Scale scale = ui::Scale::System();
  HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_GLEISORA));
  if (!ui::Window::Create({kClassName, icon, icon}, WS_EX_APPWINDOW, WS_POPUP | WS_CAPTION,
                          caption.c_str(), {scale.Px(kWidth), scale.Px(kHeight)}, ui::WorkArea(),
                          nullptr))
    return false;
  font_.emplace(ui::kDialogFont, scale);
  controls_.Add(Handle(),
                {kIdText, 0, "STATIC", SS_LEFT, 0, {240, 180, kWidth - 480, 600}, text.c_str()},
                scale, font_->Handle());
  HWND bar = controls_.Add(
      Handle(),
      {kIdBar, 0, PROGRESS_CLASSA, PBS_MARQUEE, 0, {240, 900, kWidth - 480, 240}, nullptr}, scale,
      font_->Handle());
  SendMessageA(bar, PBM_SETMARQUEE, TRUE, 40);
  ShowWindow(Handle(), SW_SHOWNORMAL);
  UpdateWindow(Handle());
  return true;
}

void ProgressWindow::Hide() {
  if (Handle()) ShowWindow(Handle(), SW_HIDE);
}

LRESULT ProgressWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_CLOSE) return 0;  // it goes when the command is done
  return ui::Window::OnMessage(msg, wp, lp);
}
