#include "tests/windows/E2eHarness.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

namespace e2e {

namespace {
const char kMainClass[] = "GleisoraMain";

// Memory inside the program, for messages whose arguments point to memory.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size)
      : process_(process), base_(static_cast<char*>(VirtualAllocEx(
                               process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
  ~RemoteMemory() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool ok() const { return base_ != nullptr; }
  char* at(std::size_t offset) const { return base_ + offset; }
  LPARAM lparam() const { return reinterpret_cast<LPARAM>(base_); }
  bool Write(std::size_t offset, const void* data, std::size_t n) {
    return WriteProcessMemory(process_, at(offset), data, n, nullptr);
  }
  bool Read(std::size_t offset, void* data, std::size_t n) const {
    return ReadProcessMemory(process_, at(offset), data, n, nullptr);
  }

 private:
  HANDLE process_;
  char* base_;
};

// The text a list view or tab control item fills in through `msg`.
template <class Item>
std::string RemoteItemText(HANDLE process, HWND w, UINT msg, WPARAM index, Item item) {
  constexpr std::size_t kText = 2048;
  RemoteMemory mem(process, sizeof(Item) + kText);
  std::string text(kText, '\0');
  item.pszText = mem.at(sizeof(Item));
  item.cchTextMax = static_cast<int>(kText);
  if (!mem.ok() || !mem.Write(0, &item, sizeof item)) return {};
  SendMessageA(w, msg, index, mem.lparam());
  mem.Read(sizeof(Item), text.data(), kText - 1);
  return text.c_str();
}

HWND FindTopLevel(DWORD pid, const std::string& cls) {
  struct Data {
    DWORD pid;
    const std::string& cls;
    HWND found;
  } d{pid, cls, nullptr};
  EnumWindows(
      [](HWND h, LPARAM lp) CALLBACK -> BOOL {
        auto* d = reinterpret_cast<Data*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        char c[64] = {};
        if (owner != d->pid || !IsWindowVisible(h) || !GetClassNameA(h, c, sizeof c) || d->cls != c)
          return TRUE;
        d->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&d));
  return d.found;
}

std::vector<HWND> Children(HWND parent, const char* cls) {
  struct Data {
    const char* cls;
    std::vector<HWND> list;
  } d{cls, {}};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM lp) CALLBACK -> BOOL {
        auto* d = reinterpret_cast<Data*>(lp);
        char c[64] = {};
        GetClassNameA(h, c, sizeof c);
        if (lstrcmpiA(c, d->cls) == 0) d->list.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&d));
  return d.list;
}

std::string WinePath(std::string p) {
  for (char& c : p)
    if (c == '/') c = '\\';
  return "Z:" + p;
}

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName, path = dir + "\\" + name;
      if (name == "." || name == "..") continue;
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
  buf.resize(GetPrivateProfileStringA(section.c_str(), key.c_str(), deflt.c_str(), buf.data(),
                                      static_cast<DWORD>(buf.size()), path.c_str()));
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
  char buf[4096];
  DWORD size = sizeof buf;
  if (RegGetValueA(root, path.c_str(), name.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ |
                   RRF_NOEXPAND, nullptr, buf, &size))
    return std::nullopt;
  return std::string(buf);
}

void DeleteRegistryTree(HKEY root, const std::string& path) { RegDeleteTreeA(root, path.c_str()); }

void CloseSimulators() {
  for (int i = 0; i < 10; ++i) {
    HWND w = FindWindowA(nullptr, "EEP-Attrappe");
    if (!w) break;
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageA(w, WM_CLOSE, 0, 0);
    if (h) {
      if (WaitForSingleObject(h, 10000) != WAIT_OBJECT_0) TerminateProcess(h, 0);
      CloseHandle(h);
    }
  }
}

ProgramFolder::ProgramFolder(const std::string& name) : dir_("C:\\GleisoraE2E\\" + name) {
  CreateDirectoryA("C:\\GleisoraE2E", nullptr);
  RemoveTree(dir_);
  ready_ = CreateDirectoryA(dir_.c_str(), nullptr);
  for (const char* file : {"Gleisora.exe", "DEFAULT.ini"})
    ready_ = ready_ && CopyFileA((ExeDir() + "\\" + file).c_str(), Path(file).c_str(), FALSE);
}

ProgramFolder::~ProgramFolder() { RemoveTree(dir_); }

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
  WaitFor([&] {
    main_ = FindWindowOfClass(kMainClass);
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
  std::string s(static_cast<std::size_t>(SendMessageA(h, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
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

void App::Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

int App::RowCount() const {
  return static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
}

ListRow App::Row(int row) const {
  ListRow r;
  std::string* fields[] = {&r.text, &r.sub1, &r.sub2};
  for (int sub = 0; sub < 3; ++sub) {
    LVITEMA item{};
    item.iSubItem = sub;
    *fields[sub] = RemoteItemText(pi_.hProcess, List(), LVM_GETITEMTEXTA, row, item);
  }
  const auto state = static_cast<UINT>(
      SendMessageA(List(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK | LVIS_SELECTED));
  r.checked = ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
  r.selected = (state & LVIS_SELECTED) != 0;
  return r;
}

std::vector<ListRow> App::Rows() const {
  std::vector<ListRow> rows;
  for (int i = 0, n = RowCount(); i < n; ++i) rows.push_back(Row(i));
  return rows;
}

std::vector<std::string> App::ColumnTexts() const {
  std::vector<std::string> texts;
  HWND header = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETHEADER, 0, 0));
  for (int i = 0, n = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)); i < n; ++i) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    texts.push_back(RemoteItemText(pi_.hProcess, List(), LVM_GETCOLUMNA, i, col));
  }
  return texts;
}

std::vector<std::string> App::TabCaptions(HWND tabs) const {
  std::vector<std::string> captions;
  for (int i = 0, n = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)); i < n; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    captions.push_back(RemoteItemText(pi_.hProcess, tabs, TCM_GETITEMA, i, item));
  }
  return captions;
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

bool App::ClickAt(HWND target, POINT client, bool twice) {
  SetForegroundWindow(main_);
  WaitFor([&] { return GetForegroundWindow() == main_; }, 5000);
  POINT screen = client;
  if (!ClientToScreen(target, &screen)) return false;
  SetCursorPos(screen.x, screen.y);
  for (int i = 0; i < (twice ? 4 : 2); ++i) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
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
  // A click can get lost while the window is still being mapped; one that took
  // effect changes the mark or brings up a message box.
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
  const auto bounds = ItemRect(list, LVM_GETITEMRECT, row, LVIR_BOUNDS);
  RemoteMemory mem(pi_.hProcess, sizeof(LVHITTESTINFO));
  if (!bounds || !mem.ok()) return false;
  const int y = (bounds->top + bounds->bottom) / 2;
  // Find the check box along the row's start.
  for (int x = bounds->left + 1; x < bounds->left + 40; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    mem.Write(0, &hit, sizeof hit);
    const auto item = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, mem.lparam()));
    mem.Read(0, &hit, sizeof hit);
    if (item == row && (hit.flags & LVHT_ONITEMSTATEICON)) return ClickAt(list, {x + 3, y});
  }
  return false;
}

bool App::DoubleClickRow(int row) {
  const auto r = ItemRect(List(), LVM_GETITEMRECT, row, LVIR_LABEL);
  return r && ClickAt(List(), {(r->left + r->right) / 2, (r->top + r->bottom) / 2}, true);
}

std::optional<MessageBoxInfo> App::FindMessageBox() const {
  HWND found = FindWindowOfClass("#32770");
  if (!found) return std::nullopt;
  MessageBoxInfo box{found, Text(found), {}, {}};
  for (HWND s : Children(found, "Static"))
    if (box.text.empty()) box.text = Text(s);
  for (HWND b : Children(found, "Button")) box.buttons.push_back(Text(b));
  return box;
}

std::optional<MessageBoxInfo> App::WaitForMessageBox(int timeoutMs) const {
  std::optional<MessageBoxInfo> box;
  WaitFor([&] { return (box = FindMessageBox()).has_value(); }, timeoutMs);
  return box;
}

bool App::Answer(const MessageBoxInfo& box, const std::string& caption) {
  for (HWND b : Children(box.hwnd, "Button")) {
    std::string plain;
    for (char c : Text(b))
      if (c != '&') plain += c;
    if (plain != caption) continue;
    PostMessageA(b, BM_CLICK, 0, 0);
    return WaitFor([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); });
  }
  return false;
}

HWND App::FindWindowOfClass(const std::string& className) const {
  return FindTopLevel(pi_.dwProcessId, className);
}

bool App::Close(int timeoutMs) {
  if (main_ && IsWindow(main_)) PostMessageA(main_, WM_CLOSE, 0, 0);
  return pi_.hProcess &&
         WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

}  // namespace e2e
