#include "app/win/Window.h"

namespace ui {

Scale Scale::System() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return Scale(dpi);
}

namespace {
HFONT MakeFont(const FontStyle& style, int pixelHeight, int averageWidth = 0) {
  return CreateFontA(-pixelHeight, averageWidth, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE,
                     FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, style.face);
}
int PixelHeight(const FontStyle& style, const Scale& scale) {
  return MulDiv(style.tenthPoints, scale.Dpi(), 720);
}
int AverageWidth(HFONT font) {
  HDC dc = GetDC(nullptr);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmAveCharWidth;
}
}  // namespace

Font::Font(const FontStyle& style, const Scale& scale)
    : font_(MakeFont(style, PixelHeight(style, scale))) {}

// Narrower letters keep the height of the text beside it, and stay readable where a
// smaller size would not.
Font::Font(const FontStyle& style, const Scale& scale, const std::string& text, int width)
    : font_(MakeFont(style, PixelHeight(style, scale))) {
  const int average = font_ ? AverageWidth(font_) : 0;
  for (int w = average - 1;
       font_ && TextWidth(font_, text) > width && w >= average * 2 / 3 && w > 0; --w) {
    DeleteObject(font_);
    font_ = MakeFont(style, PixelHeight(style, scale), w);
  }
}

int TextWidth(HFONT font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

Font::~Font() {
  if (font_) DeleteObject(font_);
}

HFONT Font::Handle() const {
  return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::string WindowText(HWND h) {
  if (!h) return {};
  const int n = GetWindowTextLengthA(h);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  const int got = GetWindowTextA(h, s.data(), n + 1);
  s.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return s;
}

bool IsWithin(HWND parent, HWND h) { return h && (h == parent || IsChild(parent, h)); }

RECT WorkArea() {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

namespace {
void Register(const WindowClass& cls, WNDPROC proc) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = cls.icon;
  wc.hIconSm = cls.smallIcon;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = cls.name;
  RegisterClassExA(&wc);
}
}  // namespace

void EtchedLine::Paint(HDC dc, const Scale& scale) const {
  const int py = scale.Px(y);
  HPEN gray = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
  HPEN white = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, gray);
  MoveToEx(dc, scale.Px(grayLeft), py, nullptr);
  LineTo(dc, scale.Px(grayRight), py);
  SelectObject(dc, white);
  MoveToEx(dc, 0, py + 1, nullptr);
  LineTo(dc, scale.Px(whiteRight), py + 1);
  SelectObject(dc, old);
  DeleteObject(gray);
  DeleteObject(white);
}

Window::~Window() {
  if (!hwnd_) return;
  // The derived part is gone: the window must not call back into it.
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool Window::Create(const WindowClass& cls, DWORD exStyle, DWORD style, const char* text,
                    SIZE client, const RECT& area, HWND owner) {
  Register(cls, Proc);
  RECT r{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int x = area.left + (area.right - area.left - width) / 2;
  const int y = area.top + (area.bottom - area.top - height) / 2;
  return CreateWindowExA(exStyle, cls.name, text, style, x, y, width, height, owner, nullptr,
                         GetModuleHandleA(nullptr), this) != nullptr;
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  const LRESULT result = self->OnMessage(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

namespace {
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC: return SendMessageA(GetParent(hwnd), msg, wp, lp);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      SendMessageA(GetParent(hwnd), kPaintPanel, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(hwnd));
      EndPaint(hwnd, &ps);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}
}  // namespace

void RegisterPanelClass(const char* name) { Register({name}, PanelProc); }

}  // namespace ui
