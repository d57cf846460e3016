#include "tests/windows/E2eHarness.h"

#include <commctrl.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace e2e {

namespace {
const char kMainClass[] = "GleisoraMain";

// A block of memory inside the program, for messages whose arguments point to memory.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size) : process_(process), size_(size) {
    base_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool ok() const { return base_ != nullptr; }
  char* at(std::size_t offset) const { return static_cast<char*>(base_) + offset; }
  LPARAM lparam(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(at(offset)); }
  bool Write(std::size_t offset, const void* data, std::size_t n) {
    SIZE_T done = 0;
    return offset + n <= size_ && WriteProcessMemory(process_, at(offset), data, n, &done) && done == n;
  }
  bool Read(std::size_t offset, void* data, std::size_t n) const {
    SIZE_T done = 0;
    return offset + n <= size_ && ReadProcessMemory(process_, at(offset), data, n, &done) && done == n;
  }

 private:
  HANDLE process_;
  std::size_t size_;
  void* base_ = nullptr;
};

struct FindData {
  DWORD pid;
  std::string cls;
  HWND found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND h, LPARAM lp) {
  auto* d = reinterpret_cast<FindData*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != d->pid || !IsWindowVisible(h)) return TRUE;
  char cls[64] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (d->cls == cls) {
    d->found = h;
    return FALSE;
  }
  return TRUE;
}

std::vector<HWND> Children(HWND parent, const char* cls) {
  struct Data {
    const char* cls;
    std::vector<HWND> list;
  } d{cls, {}};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM lp) -> BOOL {
        auto* d = reinterpret_cast<Data*>(lp);
        char c[64] = {};
        GetClassNameA(h, c, sizeof c);
        if (lstrcmpiA(c, d->cls) == 0) d->list.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&d));
  return d.list;
}

void SendMouse(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}
}  // namespace

std::string WinePath(const std::string& unixPath) {
  std::string p = "Z:" + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string ExeDir() { return WinePath(GLEISORA_EXE_DIR); }
std::string FixtureDir() { return WinePath(GLEISORA_FIXTURE_DIR); }
std::string SourceDir() { return WinePath(GLEISORA_SOURCE_DIR); }

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= end) return done();
    Sleep(50);
  }
}

int Px(long twips) {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return MulDiv(static_cast<int>(twips), dpi > 0 ? dpi : 96, 1440);
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << text;
  return static_cast<bool>(f);
}

std::optional<std::string> ReadTextFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return std::nullopt;
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

std::string IniRead(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& deflt) {
  std::string buf(65536, '\0');
  const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), deflt.c_str(), buf.data(),
                                           static_cast<DWORD>(buf.size()), path.c_str());
  buf.resize(n);
  return buf;
}

bool IniWrite(const std::string& path, const std::string& section, const std::string& key,
              const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str());
}

bool SetRegistryString(HKEY root, const std::string& path, const std::string& name,
                  const std::string& value) {
  HKEY k;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr))
    return false;
  const LONG rc = RegSetValueExA(k, name.c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

std::optional<std::string> RegistryString(HKEY root, const std::string& path,
                                        const std::string& name) {
  HKEY k;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k)) return std::nullopt;
  DWORD type = 0, size = 0;
  std::optional<std::string> result;
  if (!RegQueryValueExA(k, name.c_str(), nullptr, &type, nullptr, &size) &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::string buf(size + 1, '\0');
    if (!RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                          &size))
      result = std::string(buf.c_str());
  }
  RegCloseKey(k);
  return result;
}

void DeleteRegistryTree(HKEY root, const std::string& path) {
  HKEY k;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &k)) return;
  char name[512];
  while (RegEnumKeyA(k, 0, name, sizeof name) == ERROR_SUCCESS) {
    const std::string before = name;
    DeleteRegistryTree(k, name);
    if (RegEnumKeyA(k, 0, name, sizeof name) == ERROR_SUCCESS && before == name) break;
  }
  RegCloseKey(k);
  RegDeleteKeyA(root, path.c_str());
}

// --- program folder ------------------------------------------------------------------

namespace {
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}
}  // namespace

ProgramFolder::ProgramFolder(const std::string& name) : dir_("C:\\GleisoraE2E\\" + name) {
  CreateDirectoryA("C:\\GleisoraE2E", nullptr);
  RemoveTree(dir_);
  ready_ = CreateDirectoryA(dir_.c_str(), nullptr) &&
           CopyIn(ExeDir() + "\\Gleisora.exe", "Gleisora.exe") &&
           CopyIn(ExeDir() + "\\DEFAULT.ini", "DEFAULT.ini");
}

ProgramFolder::~ProgramFolder() { RemoveTree(dir_); }

bool ProgramFolder::CopyIn(const std::string& from, const std::string& file) {
  return CopyFileA(from.c_str(), Path(file).c_str(), FALSE) != 0;
}

// --- the running program -------------------------------------------------------------

App::~App() {
  if (!pi_.hProcess) return;
  if (Running() && !Close(10000)) TerminateProcess(pi_.hProcess, 1);
  WaitForSingleObject(pi_.hProcess, 10000);
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

bool App::Start(const ProgramFolder& folder) {
  if (!folder.Ready()) return false;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = "\"" + folder.Exe() + "\"";
  if (!CreateProcessA(folder.Exe().c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.Dir().c_str(), &si, &pi_)) {
    pi_ = {};
    return false;
  }
  // Start-up may ask about catalogue entries before the window appears.
  WaitFor([&] {
    FindData d{pi_.dwProcessId, kMainClass};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&d));
    main_ = d.found;
    return main_ != nullptr || FindMessageBox().has_value() || !Running();
  });
  // Let the window finish its first round of messages (painting, mapping).
  if (main_) WaitForInputIdle(pi_.hProcess, 10000);
  return main_ != nullptr || FindMessageBox().has_value();
}

bool App::WaitForMain(int timeoutMs) {
  WaitFor([&] { return (main_ = FindWindowOfClass(kMainClass)) != nullptr || !Running(); },
          timeoutMs);
  return main_ != nullptr;
}

bool App::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

std::string App::Text(HWND h) {
  if (!h) return {};
  // WM_GETTEXT reaches the window's own text even in another process.
  const LRESULT n = SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  const LRESULT got = SendMessageA(h, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
  s.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return s;
}

std::vector<HWND> App::Buttons() const { return Children(main_, "Button"); }

HWND App::Button(const std::string& caption) const {
  for (HWND b : Buttons())
    if (Text(b) == caption) return b;
  return nullptr;
}

HWND App::List() const {
  auto lists = Children(main_, WC_LISTVIEWA);
  return lists.empty() ? nullptr : lists.front();
}

HWND App::Log() const {
  auto edits = Children(main_, "Edit");
  return edits.empty() ? nullptr : edits.front();
}

int App::ClientHeight() const {
  RECT r{};
  GetClientRect(main_, &r);
  return r.bottom - r.top;
}

HWND App::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  // The window's own thread: under Wine it need not be the process's first thread.
  const DWORD thread = GetWindowThreadProcessId(main_, nullptr);
  return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void App::Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

int App::RowCount() const {
  return static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
}

ListRow App::Row(int row) const {
  ListRow r;
  HWND list = List();
  constexpr std::size_t kText = 2048;
  RemoteMemory mem(pi_.hProcess, sizeof(LVITEMA) + kText);
  if (!mem.ok()) return r;
  std::string* fields[] = {&r.text, &r.sub1, &r.sub2};
  for (int sub = 0; sub < 3; ++sub) {
    LVITEMA item{};
    item.iSubItem = sub;
    item.pszText = mem.at(sizeof(LVITEMA));
    item.cchTextMax = static_cast<int>(kText);
    mem.Write(0, &item, sizeof item);
    const LRESULT n = SendMessageA(list, LVM_GETITEMTEXTA, row, mem.lparam());
    std::string text(kText, '\0');
    if (mem.Read(sizeof(LVITEMA), text.data(), kText))
      *fields[sub] = text.substr(0, static_cast<std::size_t>(n > 0 ? n : 0));
  }
  const auto state = static_cast<UINT>(
      SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK | LVIS_SELECTED));
  r.checked = ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
  r.selected = (state & LVIS_SELECTED) != 0;
  return r;
}

std::vector<ListRow> App::Rows() const {
  std::vector<ListRow> rows;
  const int n = RowCount();
  for (int i = 0; i < n; ++i) rows.push_back(Row(i));
  return rows;
}

std::vector<std::string> App::ColumnTexts() const {
  std::vector<std::string> texts;
  HWND header = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETHEADER, 0, 0));
  const int n = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  constexpr std::size_t kText = 512;
  RemoteMemory mem(pi_.hProcess, sizeof(LVCOLUMNA) + kText);
  if (!mem.ok()) return texts;
  for (int i = 0; i < n; ++i) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = mem.at(sizeof(LVCOLUMNA));
    col.cchTextMax = static_cast<int>(kText);
    mem.Write(0, &col, sizeof col);
    SendMessageA(List(), LVM_GETCOLUMNA, i, mem.lparam());
    char buf[kText] = {};
    mem.Read(sizeof(LVCOLUMNA), buf, kText - 1);
    texts.emplace_back(buf);
  }
  return texts;
}

std::optional<RECT> App::ItemRect(HWND target, UINT msg, WPARAM index, LONG left) const {
  RemoteMemory mem(pi_.hProcess, sizeof(RECT));
  RECT r{};
  r.left = left;
  if (!mem.ok() || !mem.Write(0, &r, sizeof r) || !SendMessageA(target, msg, index, mem.lparam()) ||
      !mem.Read(0, &r, sizeof r))
    return std::nullopt;
  return r;
}

std::vector<std::string> App::TabCaptions(HWND tabs) const {
  std::vector<std::string> captions;
  constexpr std::size_t kText = 512;
  RemoteMemory mem(pi_.hProcess, sizeof(TCITEMA) + kText);
  if (!mem.ok()) return captions;
  const int n = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = mem.at(sizeof(TCITEMA));
    item.cchTextMax = static_cast<int>(kText);
    mem.Write(0, &item, sizeof item);
    SendMessageA(tabs, TCM_GETITEMA, i, mem.lparam());
    char buf[kText] = {};
    mem.Read(sizeof(TCITEMA), buf, kText - 1);
    captions.emplace_back(buf);
  }
  return captions;
}

bool App::ClickAt(HWND target, POINT client, bool twice) {
  SetForegroundWindow(main_);
  WaitFor([&] { return GetForegroundWindow() == main_; }, 5000);
  POINT screen = client;
  if (!ClientToScreen(target, &screen)) return false;
  SetCursorPos(screen.x, screen.y);
  for (int i = 0; i < (twice ? 2 : 1); ++i) {
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
  }
  return true;
}

bool App::PressKeys(HWND foreground, const std::vector<WORD>& modifiers, WORD key) {
  SetForegroundWindow(foreground);
  WaitFor([&] { return GetForegroundWindow() == foreground; }, 5000);
  std::vector<INPUT> in;
  auto add = [&](WORD vk, bool up) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  for (WORD m : modifiers) add(m, false);
  add(key, false);
  add(key, true);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) add(*it, true);
  return SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
}

bool App::ToggleCheck(int row) {
  // A click can get lost while the window is still being mapped on the display; a
  // click that took effect changes the mark or brings up a message box.
  const bool before = Row(row).checked;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!ClickStateIcon(row)) return false;
    if (WaitFor([&] { return Row(row).checked != before || FindMessageBox() || !Running(); },
                3000))
      return true;
  }
  return false;
}

bool App::ClickStateIcon(int row) {
  HWND list = List();
  RemoteMemory mem(pi_.hProcess, sizeof(LVHITTESTINFO) + sizeof(RECT));
  if (!mem.ok()) return false;
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  mem.Write(0, &bounds, sizeof bounds);
  if (!SendMessageA(list, LVM_GETITEMRECT, row, mem.lparam())) return false;
  mem.Read(0, &bounds, sizeof bounds);
  const int y = (bounds.top + bounds.bottom) / 2;
  // Find the state icon (check box) along the row's start.
  for (int x = bounds.left + 1; x < bounds.left + 40; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    mem.Write(0, &hit, sizeof hit);
    const auto item = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, mem.lparam()));
    mem.Read(0, &hit, sizeof hit);
    if (item == row && (hit.flags & LVHT_ONITEMSTATEICON)) return ClickAt(list, {x + 3, y});
  }
  return false;
}

bool App::ToggleCheckByKeyboard(int row) {
  HWND list = List();
  RemoteMemory mem(pi_.hProcess, sizeof(LVITEMA));
  if (!mem.ok()) return false;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  mem.Write(0, &item, sizeof item);
  SendMessageA(list, LVM_SETITEMSTATE, row, mem.lparam());
  PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageA(list, WM_KEYUP, VK_SPACE, 0xC0390001);
  return true;
}

bool App::DoubleClickRow(int row) {
  HWND list = List();
  RemoteMemory mem(pi_.hProcess, sizeof(RECT));
  if (!mem.ok()) return false;
  RECT label{};
  label.left = LVIR_LABEL;
  mem.Write(0, &label, sizeof label);
  if (!SendMessageA(list, LVM_GETITEMRECT, row, mem.lparam())) return false;
  mem.Read(0, &label, sizeof label);
  return ClickAt(list, {(label.left + label.right) / 2, (label.top + label.bottom) / 2}, true);
}

std::optional<MessageBoxInfo> App::FindMessageBox() const {
  FindData d{pi_.dwProcessId, "#32770"};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&d));
  if (!d.found) return std::nullopt;
  MessageBoxInfo box;
  box.hwnd = d.found;
  box.title = Text(d.found);
  for (HWND s : Children(d.found, "Static")) {
    const std::string t = Text(s);
    if (!t.empty() && box.text.empty()) box.text = t;
  }
  for (HWND b : Children(d.found, "Button")) box.buttons.push_back(Text(b));
  return box;
}

std::optional<MessageBoxInfo> App::WaitForMessageBox(int timeoutMs) const {
  std::optional<MessageBoxInfo> box;
  WaitFor([&] { return (box = FindMessageBox()).has_value(); }, timeoutMs);
  return box;
}

bool App::Answer(const MessageBoxInfo& box, const std::string& buttonCaption) {
  for (HWND b : Children(box.hwnd, "Button"))
    if (Text(b) == buttonCaption) {
      PostMessageA(b, BM_CLICK, 0, 0);
      return WaitFor([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); });
    }
  return false;
}

HWND App::FindWindowOfClass(const std::string& className) const {
  FindData d{pi_.dwProcessId, className};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&d));
  return d.found;
}

bool App::Close(int timeoutMs) {
  if (main_ && IsWindow(main_)) PostMessageA(main_, WM_CLOSE, 0, 0);
  return WaitForExit(timeoutMs);
}

bool App::WaitForExit(int timeoutMs) {
  return pi_.hProcess &&
         WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

}  // namespace e2e
