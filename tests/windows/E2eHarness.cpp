#include "tests/windows/E2eHarness.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace e2e {

namespace {
// Sends `msg` to a control of the program with `data` in the program's memory and, for
// an item, a text buffer after it; `data` comes back as the control left it.
template <class T>
std::string Remote(HANDLE process, HWND control, UINT msg, WPARAM wp, T& data) {
  char text[1024] = {};
  auto* base = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof data + sizeof text, MEM_COMMIT, PAGE_READWRITE));
  if (!base) return {};
  if constexpr (requires { data.pszText; }) {
    data.pszText = base + sizeof data;
    data.cchTextMax = sizeof text;
  }
  WriteProcessMemory(process, base, &data, sizeof data, nullptr);
  SendMessageA(control, msg, wp, reinterpret_cast<LPARAM>(base));
  ReadProcessMemory(process, base, &data, sizeof data, nullptr);
  ReadProcessMemory(process, base + sizeof data, text, sizeof text - 1, nullptr);
  VirtualFreeEx(process, base, 0, MEM_RELEASE);
  return text;
}

std::string WinePath(std::string p) {
  std::replace(p.begin(), p.end(), '/', '\\');
  return "Z:" + p;
}

// No stand-in simulator running, no installation in the registry, no folder `dir`.
void Clean(const std::string& dir) {
  WaitFor([] {
    HWND w = FindWindowA(nullptr, "EEP-Attrappe");
    if (w) PostMessageA(w, WM_CLOSE, 0, 0);
    return w == nullptr;
  }, 20000);
  const std::string from = dir + '\0';  // a list of paths, ended by a second NUL
  SHFILEOPSTRUCTA remove{nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, 0, nullptr, nullptr};
  SHFileOperationA(&remove);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kFullKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, kMarkers);
}
}  // namespace

std::string FixtureDir() { return WinePath(GLEISORA_FIXTURE_DIR); }

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  while (!done()) {
    if (GetTickCount64() >= end) return done();
    Sleep(50);
  }
  return true;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << text;
  return static_cast<bool>(f);
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

std::string IniRead(const std::string& path, const std::string& section, const std::string& key) {
  char buf[4096];
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buf, sizeof buf,
                           path.c_str());
  return buf;
}

std::optional<std::string> RegString(HKEY root, const std::string& path, const std::string& name) {
  char buf[4096];
  DWORD size = sizeof buf;
  if (RegGetValueA(root, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size))
    return std::nullopt;
  return std::string(buf);
}

bool SetRegString(HKEY root, const std::string& path, const std::string& name,
                  const std::string& value) {
  return RegSetKeyValueA(root, path.c_str(), name.c_str(), REG_SZ, value.c_str(),
                         static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

std::string Text(HWND h) {
  // WM_GETTEXT reaches the window's own text even in another process.
  std::string s(static_cast<std::size_t>(SendMessageA(h, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  const LRESULT got = SendMessageA(h, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
  s.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return s;
}

Scene::Scene(const std::string& name) : dir_("C:\\GleisoraE2E\\" + name) {
  Clean(dir_);
  CreateDirectoryA("C:\\GleisoraE2E", nullptr);
  CreateDirectoryA(dir_.c_str(), nullptr);
  const std::string exeDir = WinePath(GLEISORA_EXE_DIR) + "\\";
  for (const char* file : {"Gleisora.exe", "DEFAULT.ini"})
    CopyFileA((exeDir + file).c_str(), Path(file).c_str(), FALSE);
}

Scene::~Scene() { Clean(dir_); }

std::string Scene::AddInstallation(const std::string& name) const {
  const std::string dir = Path(name);
  CreateDirectoryA(dir.c_str(), nullptr);
  CopyFileA((FixtureDir() + "\\eep.exe").c_str(), (dir + "\\eep.exe").c_str(), FALSE);
  CopyFileA((FixtureDir() + "\\components\\comp_a.dll").c_str(), (dir + "\\comp_a.dll").c_str(),
            FALSE);
  return dir;
}

App::App(const Scene& scene) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string exe = scene.Path("Gleisora.exe"), cmd = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      scene.Path("").c_str(), &si, &pi_))
    pi_ = {};
}

App::~App() {
  if (!pi_.hProcess) return;
  if (!Close()) TerminateProcess(pi_.hProcess, 1);
  WaitForSingleObject(pi_.hProcess, 10000);
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

bool App::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND App::Main() const { return FindWindowA("GleisoraMain", nullptr); }

bool App::WaitForMain() const {
  return WaitFor([&] { return IsWindowVisible(Main()) || !Running(); }) &&
         WaitForInputIdle(pi_.hProcess, 10000) == 0;
}

HWND App::Button(const std::string& caption) const {
  return FindWindowExA(Main(), nullptr, "Button", caption.c_str());
}

std::string App::LogText() const { return Text(FindWindowExA(Main(), nullptr, "Edit", nullptr)); }

HWND App::List() const {
  return FindWindowExA(FindWindowExA(Main(), nullptr, "GleisoraPanel", nullptr), nullptr,
                       WC_LISTVIEWA, nullptr);
}

int App::RowCount() const { return static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }

std::string App::RowText(int row, int sub) const {
  LVITEMA item{};
  item.iSubItem = sub;
  return Remote(pi_.hProcess, List(), LVM_GETITEMTEXTA, row, item);
}

bool App::RowChecked(int row) const {
  const auto state = SendMessageA(List(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

bool Click(POINT at, Mouse how) {
  if (!SetCursorPos(at.x, at.y)) return false;
  // Every event carries its place: under X a late motion event can move the cursor back.
  const DWORD down = how == Mouse::Right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  const DWORD up = how == Mouse::Right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  INPUT in[4] = {};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_MOUSE;
    in[i].mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in[i].mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | (i % 2 ? up : down);
  }
  const UINT n = how == Mouse::Double ? 4 : 2;
  return SendInput(n, in, sizeof(INPUT)) == n;
}

bool App::ClickRow(int row, Mouse how) {
  RECT r{LVIR_LABEL, 0, 0, 0};
  Remote(pi_.hProcess, List(), LVM_GETITEMRECT, row, r);
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  SetForegroundWindow(Main());
  return r.right > r.left && WaitFor([&] { return GetForegroundWindow() == Main(); }, 5000) &&
         ClientToScreen(List(), &p) && Click(p, how);
}

bool App::PressKey(WORD key) {
  INPUT in[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, in, sizeof(INPUT)) == 2;
}

HWND WaitForBox(const std::string& text, const std::function<bool()>& alive) {
  HWND box = nullptr;
  WaitFor([&] {
    for (box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", nullptr));)
      if (IsWindowVisible(box) && FindWindowExA(box, nullptr, "Static", text.c_str())) return true;
    return !alive();
  });
  return box;
}

HWND App::WaitForBox(const std::string& text) const {
  return e2e::WaitForBox(text, [&] { return Running(); });
}

bool App::Answer(HWND box, const std::string& button) {
  HWND b = box ? FindWindowExA(box, nullptr, "Button", button.c_str()) : nullptr;
  return b && PostMessageA(b, BM_CLICK, 0, 0) && WaitFor([&] { return !IsWindow(box); });
}

bool App::Close() {
  if (HWND main = Main()) PostMessageA(main, WM_CLOSE, 0, 0);
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 10000) == WAIT_OBJECT_0;
}

}  // namespace e2e
