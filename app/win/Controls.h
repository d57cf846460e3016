// The controls of a window, made from its layout table (twips, scaled at creation),
// with click callbacks and tooltips.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/win/Window.h"

namespace ui {

// One control of a layout. Creation order is the tab order; a panel comes before the
// controls on it.
struct ControlRow {
  int id;
  int parent;  // id of the panel it sits on; 0 for the window itself
  const char* cls;
  DWORD style;  // beyond WS_CHILD | WS_VISIBLE
  DWORD exStyle;
  TwipsRect rect;  // in the parent's client area
  const char* text;
  int font = 0;  // which of the window's fonts
};

class Controls {
 public:
  // Creates the row's control on the window or on its panel, in the given font.
  HWND Add(HWND window, const ControlRow& row, const Scale& scale, HFONT font);
  HWND operator[](int id) const;  // nullptr when there is none
  void OnClick(int id, std::function<void()> handler);
  // A WM_COMMAND's click on a control with a callback: runs it, true.
  bool Command(WPARAM wp) const;

 private:
  struct Item {
    int id;
    HWND hwnd;
    bool label;
    std::function<void()> onClick;
  };
  std::vector<Item> items_;
};

// An item's text in a common control that passes it in a struct with mask, pszText
// and cchTextMax (a list column, a tab): read with `get`, written with `set`.
template <class Item>
std::string ItemText(HWND control, UINT get, WPARAM index, UINT textMask) {
  char buf[1024] = {};
  Item item{};
  item.mask = textMask;
  item.pszText = buf;
  item.cchTextMax = sizeof buf;
  SendMessageA(control, get, index, reinterpret_cast<LPARAM>(&item));
  return buf;
}

template <class Item>
void SetItemText(HWND control, UINT set, WPARAM index, UINT textMask, const std::string& text) {
  Item item{};
  item.mask = textMask;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(control, set, index, reinterpret_cast<LPARAM>(&item));
}

// A thin progress bar that runs (marquee) while it is shown; hidden at first. The
// window destroys it with itself.
class BusyBar {
 public:
  void Create(HWND parent, const TwipsRect& rect, const Scale& scale);
  void Show(bool on);
  bool Shown() const { return bar_ && IsWindowVisible(bar_); }

 private:
  HWND bar_ = nullptr;
};

// The tooltip window of one owner, with one tip per control. Windows destroys it
// with its owner.
class ToolTips {
 public:
  void Create(HWND owner);
  void Set(HWND tool, const std::string& text);  // an empty text takes the tip away
  std::string Text(HWND tool) const;

 private:
  HWND tips_ = nullptr, owner_ = nullptr;
  std::map<HWND, std::string> texts_;
};

// A bitmap resource drawn at the size its control has at this DPI, so the gaps
// between pictures keep their design width; the design bitmap when no scaling is needed.
HBITMAP ScaledBitmap(HINSTANCE instance, int id, int width, int height);

}  // namespace ui
