#include "app/win/Controls.h"

#include <commctrl.h>

#include <algorithm>

namespace ui {

HWND Controls::Add(HWND window, const ControlRow& row, const Scale& scale, HFONT font) {
  HWND parent = row.parent ? (*this)[row.parent] : window;
  HWND h = CreateWindowExA(row.exStyle, row.cls, row.text, WS_CHILD | WS_VISIBLE | row.style,
                           scale.Px(row.rect.left), scale.Px(row.rect.top),
                           scale.Px(row.rect.width), scale.Px(row.rect.height), parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  items_.push_back({row.id, h, lstrcmpiA(row.cls, "STATIC") == 0, nullptr});
  return h;
}

HWND Controls::operator[](int id) const {
  for (const Item& item : items_)
    if (item.id == id) return item.hwnd;
  return nullptr;
}

void Controls::OnClick(int id, std::function<void()> handler) {
  for (Item& item : items_)
    if (item.id == id) item.onClick = std::move(handler);
}

bool Controls::Command(WPARAM wp) const {
  const int code = HIWORD(wp);
  for (const Item& item : items_) {
    // A label's quick second click arrives as a double-click.
    const bool click = code == BN_CLICKED || (item.label && code == STN_DBLCLK);
    if (item.id == LOWORD(wp) && item.onClick && click) {
      item.onClick();
      return true;
    }
  }
  return false;
}

void BusyBar::Create(HWND parent, const TwipsRect& rect, const Scale& scale) {
  bar_ =
      CreateWindowExA(0, PROGRESS_CLASSA, nullptr, WS_CHILD | PBS_MARQUEE, scale.Px(rect.left),
                      scale.Px(rect.top), scale.Px(rect.width), std::max(scale.Px(rect.height), 2),
                      parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void BusyBar::Show(bool on) {
  if (!bar_) return;
  // The marquee moves on its own timer while messages are pumped.
  SendMessageA(bar_, PBM_SETMARQUEE, on ? TRUE : FALSE, 30);
  ShowWindow(bar_, on ? SW_SHOWNA : SW_HIDE);
}

void ToolTips::Create(HWND owner) {
  owner_ = owner;
  tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleA(nullptr),
                          nullptr);
}

void ToolTips::Set(HWND tool, const std::string& text) {
  std::string& kept = texts_[tool];
  const bool had = !kept.empty();
  kept = text;
  if (!tips_ || !tool) return;
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = owner_;
  ti.uId = reinterpret_cast<UINT_PTR>(tool);
  ti.lpszText = const_cast<char*>(kept.c_str());
  const UINT msg = text.empty() ? TTM_DELTOOLA : had ? TTM_UPDATETIPTEXTA : TTM_ADDTOOLA;
  if (had || !text.empty()) SendMessageA(tips_, msg, 0, reinterpret_cast<LPARAM>(&ti));
}

std::string ToolTips::Text(HWND tool) const {
  auto it = texts_.find(tool);
  return it == texts_.end() ? std::string() : it->second;
}

// A banner picture drawn at the size its control has at this DPI, so the gaps between
// the pictures keep their design width.
HBITMAP ScaledBitmap(HINSTANCE instance, int id, int width, int height) {
  HBITMAP design = static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  BITMAP info{};
  if (!design || !GetObjectA(design, sizeof info, &info) ||
      (info.bmWidth == width && info.bmHeight == height))
    return design;
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  HBITMAP scaled = CreateCompatibleBitmap(screen, width, height);
  if (from && to && scaled) {
    HGDIOBJ oldFrom = SelectObject(from, design), oldTo = SelectObject(to, scaled);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  ReleaseDC(nullptr, screen);
  if (!scaled) return design;
  DeleteObject(design);
  return scaled;
}

}  // namespace ui
