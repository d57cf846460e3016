#include "platform/win32/FileSystemWin32.h"

#include <windows.h>
#include <direct.h>

#include <cctype>

namespace {
struct HandleCloser {
  HANDLE h;
  ~HandleCloser() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
}  // namespace

std::optional<std::string> FileSystemWin32::ReadAll(const std::string& path) {
  return ReadAllInSteps(path, nullptr);
}

bool FileSystemWin32::WriteAllAtomic(const std::string& path, const std::string& data) {
  return WriteAllAtomicInSteps(path, data, nullptr);
}

std::optional<std::string> FileSystemWin32::ReadAllInSteps(const std::string& path,
                                                           const Progress& progress) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  HandleCloser closer{h};
  // Read straight into the string, in slices so a long read can yield; a large
  // catalogue is neither regrown nor copied on its way in.
  std::string data;
  LARGE_INTEGER size{};
  constexpr std::size_t kRoom = 1 << 16;  // for the last, empty read, or a file that grows
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 31)) {
    data.reserve(static_cast<std::size_t>(size.QuadPart) + kRoom);
    data.resize(static_cast<std::size_t>(size.QuadPart));
  }
  std::size_t done = 0;
  for (;;) {
    if (done == data.size()) data.resize(done + kRoom);
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1 << 22));
    DWORD got = 0;
    if (!ReadFile(h, data.data() + done, want, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    done += got;
    if (progress) progress();
  }
  data.resize(done);
  return data;
}

bool FileSystemWin32::WriteAllAtomicInSteps(const std::string& path, const std::string& data,
                                            const Progress& progress) {
  // A read-only target refuses the write, as a profile write would.
  DWORD attrs = GetFileAttributesA(path.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES &&
      (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;
  const std::string temp = path + ".new~" + std::to_string(GetCurrentProcessId());
  HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  {
    HandleCloser closer{h};
    std::size_t done = 0;
    while (ok && done < data.size()) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1 << 20));
      DWORD wrote = 0;
      ok = WriteFile(h, data.data() + done, chunk, &wrote, nullptr) && wrote == chunk;
      done += wrote;
      if (progress) progress();
    }
    // The new file must be on disk before it replaces the old one.
    ok = ok && FlushFileBuffers(h);
  }
  if (ok)
    ok =
        MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(temp.c_str());
  return ok;
}

plat::FileStamp FileSystemWin32::Stamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d) ||
      (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return {};
  plat::FileStamp s;
  s.exists = true;
  s.size = (static_cast<std::uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
  s.modified = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(d.ftLastWriteTime.dwHighDateTime) << 32) |
      d.ftLastWriteTime.dwLowDateTime);
  return s;
}

std::optional<plat::FoundEntry> FileSystemWin32::FindFirst(const std::string& pattern) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(h);
  return plat::FoundEntry{fd.cFileName, fd.dwFileAttributes};
}

bool FileSystemWin32::SetCurrentDir(const std::string& dir) {
  return SetCurrentDirectoryA(dir.c_str()) != 0;
}

bool FileSystemWin32::SetCurrentDrive(char letter) {
  int n = std::toupper(static_cast<unsigned char>(letter)) - 'A' + 1;
  if (n < 1 || n > 26) return false;
  return _chdrive(n) == 0;
}

std::string FileSystemWin32::CurrentDir() {
  char buf[MAX_PATH * 2];
  DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  return n && n < sizeof buf ? std::string(buf, n) : std::string();
}

bool FileSystemWin32::CreateDir(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return true;
  const DWORD attrs = GetFileAttributesA(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileSystemWin32::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::vector<std::string> FileSystemWin32::ListFiles(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

plat::LocalTime FileSystemWin32::Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}
