// The snapshot round trip on the real registry, in a folder of the temp folder, with
// the regedit a double click runs.
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#include "support/IniStore.h"
#include "tests/contract/SnapshotContract.h"

SnapshotSubject MakeSnapshotSubject() {
  struct Real {
    Win32Platform win;
    ini::IniStore ini{*win.Get().files};
  };
  auto real = std::make_shared<Real>();
  plat::Platform p = real->win.Get();
  p.ini = &real->ini;
  char temp[MAX_PATH];
  p.appDir = std::string(temp, GetTempPathA(MAX_PATH, temp)) + "gleisora-snapshot";
  for (const auto& name : p.files->ListFiles(p.appDir + "\\Backups\\*"))
    DeleteFileA((p.appDir + "\\Backups\\" + name).c_str());
  DeleteFileA((p.appDir + "\\" + p.exeName + ".ini").c_str());
  CreateDirectoryA(p.appDir.c_str(), nullptr);
  const auto import = [](const std::string& file) {
    std::string cmd = "regedit.exe /s \"" + file + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    DWORD code = 1;
    const bool done = WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done && code == 0;
  };
  return {p, real, import};
}
