#include "platform/win32/ShellWin32.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace {
using win32::Wide;

// nullopt when the text has a character the ANSI code page lacks.
std::optional<std::string> Ansi(const std::wstring& text) {
  BOOL lossy = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

// COM for this thread for the time of one call; left alone when it runs already.
struct ComScope {
  HRESULT hr = CoInitialize(nullptr);
  ~ComScope() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

template <class T>
struct ComRef {
  T* p = nullptr;
  ~ComRef() {
    if (p) p->Release();
  }
  void** Out() { return reinterpret_cast<void**>(&p); }
};

const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}  // namespace

std::string ShellWin32::CreateDesktopShortcut(const plat::Shortcut& link) {
  wchar_t desktop[MAX_PATH] = {};
  if (FAILED(
          SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)))
    return {};
  std::wstring name = Wide(link.name);
  for (wchar_t& c : name)
    if (c < 32 || std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos) c = L'_';
  const std::wstring path = std::wstring(desktop) + L"\\" + name + L".lnk";
  ComScope com;
  ComRef<IShellLinkW> shellLink;
  ComRef<IPersistFile> file;
  if (FAILED(com.hr) ||
      FAILED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                              shellLink.Out())) ||
      FAILED(shellLink.p->SetPath(Wide(link.target).c_str())) ||
      FAILED(shellLink.p->SetArguments(Wide(link.arguments).c_str())) ||
      FAILED(shellLink.p->SetWorkingDirectory(Wide(link.workingDir).c_str())) ||
      FAILED(shellLink.p->SetIconLocation(Wide(link.iconPath).c_str(), 0)) ||
      FAILED(shellLink.p->QueryInterface(__uuidof(IPersistFile), file.Out())) ||
      FAILED(file.p->Save(path.c_str(), TRUE)))
    return {};
  return Ansi(path).value_or(link.name + ".lnk");
}

std::optional<std::string> ShellWin32::ChooseFile(const std::string& title,
                                                  const std::string& filterName,
                                                  const std::string& pattern) {
  std::wstring filter = Wide(filterName);
  filter += L'\0';
  filter += Wide(pattern);
  filter += L'\0';
  const std::wstring caption = Wide(title);
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = GetActiveWindow();
  ofn.lpstrFilter = filter.c_str();  // ends in two NULs: the string's own is the second
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = caption.c_str();
  ofn.Flags =
      OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return Ansi(file.data()).value_or("");
}

std::intptr_t ShellWin32::Execute(std::uintptr_t owner, const std::string& verb,
                                  const std::string& file, const std::string& params,
                                  const std::string& dir, int show) {
  HWND window = owner ? reinterpret_cast<HWND>(owner) : GetDesktopWindow();
  // The simulator starts with Windows' own DLL search, not the program's.
  win32::DefaultDllSearch started;
  HINSTANCE result =
      ShellExecuteA(window, verb.c_str(), file.c_str(), params.c_str(), dir.c_str(), show);
  return reinterpret_cast<std::intptr_t>(result);
}

bool ShellWin32::StartProgram(const std::string& path) {
  if (path.empty()) return false;
  win32::DefaultDllSearch started;
  HINSTANCE result =
      ShellExecuteA(GetDesktopWindow(), "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result) > 32;
}
