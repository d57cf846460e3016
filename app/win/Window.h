// The base of the program's windows: message routing to a member, creation glue,
// the system DPI with twips scaling, the dialog font and the few drawing helpers both
// windows share.
#pragma once
#include <windows.h>

#include <string>

namespace ui {

// Twips (1/1440 inch) to pixels at the system DPI: 15 twips per pixel at 96 dpi.
class Scale {
 public:
  explicit Scale(int dpi) : dpi_(dpi > 0 ? dpi : 96) {}
  static Scale System();  // the screen's DPI, as a DPI-aware process sees it
  int Dpi() const { return dpi_; }
  int Px(long twips) const { return MulDiv(static_cast<int>(twips), dpi_, 1440); }
  long Twips(int pixels) const {  // nearest
    return static_cast<long>((static_cast<long long>(pixels) * 1440 + dpi_ / 2) / dpi_);
  }

 private:
  int dpi_;
};

struct TwipsRect {
  long left, top, width, height;
};

struct FontStyle {
  const char* face;
  int tenthPoints;
  bool bold;
};
// The classic 8-point dialog font: the design widths were made for it.
inline constexpr FontStyle kDialogFont{"MS Shell Dlg", 80, false};

// An owned GDI font; the stock GUI font stands in when Windows refuses one.
class Font {
 public:
  Font(const FontStyle& style, const Scale& scale);
  // The style at its own height, its letters narrowed until `text` takes at most
  // `width` pixels (to two thirds of their width at most).
  Font(const FontStyle& style, const Scale& scale, const std::string& text, int width);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  HFONT Handle() const;

 private:
  HFONT font_;
};

// Pixels `text` takes in `font`.
int TextWidth(HFONT font, const std::string& text);

std::string WindowText(HWND h);
RECT WorkArea();                     // the screen without the task bar
bool IsWithin(HWND parent, HWND h);  // h is parent or one of its descendants

// A separator as the classic forms drew it: a gray line with a white one a pixel
// below. Twips, in the client area of the window painted.
struct EtchedLine {
  long y, grayLeft, grayRight, whiteRight;
  void Paint(HDC dc, const Scale& scale) const;
};

struct WindowClass {
  const char* name;
  HICON icon = nullptr, smallIcon = nullptr;
};

// A window whose messages go to OnMessage of the object that created it. Handlers
// are noexcept: nothing may unwind through Windows.
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  HWND Handle() const { return hwnd_; }

 protected:
  Window() = default;
  virtual ~Window();  // destroys a window still open, without calling back

  // Registers the class (again is harmless) and creates the window, attached to this,
  // with a client area of `client` pixels, centred on `area` (screen coordinates).
  bool Create(const WindowClass& cls, DWORD exStyle, DWORD style, const char* text, SIZE client,
              const RECT& area, HWND owner);
  void Destroy();
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept;  // the default handling

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

// Registers a container class whose controls' commands, notifications and colours go
// to its parent, as if they sat on the parent itself; it asks the parent to paint it
// with kPaintPanel (wParam the DC, lParam the panel).
void RegisterPanelClass(const char* name);
inline constexpr UINT kPaintPanel = WM_APP + 100;

}  // namespace ui
