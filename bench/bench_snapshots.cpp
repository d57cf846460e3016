// Times saving, deleting and restoring a registry key of N values through the
// snapshot routines, next to the bare limit: the same values enumerated, written to
// one file, deleted and written back with plain registry calls. Prints a table.
// On Windows it runs on the real registry and files; natively on the fakes.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchKey.h"
#include "catalogue/Installation.h"
#include "snapshots/Snapshots.h"
#include "support/Convert.h"
#include "support/cInifile.h"
#include "switching/Operations.h"
#include "tests/fakes/FakeServices.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#endif

namespace {

using bench::Clock;
using bench::Seconds;
const char kKeyPath[] = "Software\\Gleisora Bench";
const bench::KeyPath kKey{plat::kHKCU, kKeyPath};

[[maybe_unused]] std::string Format(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", seconds);
  return buf;
}

// The INI engine alone: N keys written in one batch and read back one by one, and
// (on Windows, up to 1,000 keys) the same through the profile functions.
void EngineTable(const plat::Platform& p) {
  const std::string file = p.appDir + "\\engine.ini";
  std::printf("\nINI file of N keys, seconds\n\n");
  std::printf("%8s | %13s %13s | %15s %15s\n", "keys", "batch write", "N reads", "profile writes",
              "profile reads");
  for (int n : {100, 1000, 5000, 10000}) {
    p.files->WriteAllAtomic(file, "");
    cInifile ini(p);
    ini.Path(file);
    ini.Section("EEP_1\\Settings");
    auto t = Clock::now();
    {
      IniWriteBatch batch(p);
      for (int i = 0; i < n; ++i) {
        ini.Key("HKCU\\Software\\Gleisora Bench\\Value " + std::to_string(i));
        ini.Value("REG_SZ:C:\\Games\\EEP\\Resourcen\\Setting " + std::to_string(i));
      }
    }
    const double write = Seconds(t);
    t = Clock::now();
    std::size_t chars = 0;
    for (int i = 0; i < n; ++i) {
      ini.Key("HKCU\\Software\\Gleisora Bench\\Value " + std::to_string(i));
      chars += ini.Value().size();
    }
    const double read = Seconds(t);
    std::string profileWrite = "-", profileRead = "-";
#ifdef _WIN32
    if (n <= 1000) {
      const std::string other = p.appDir + "\\profile.ini";
      DeleteFileA(other.c_str());
      t = Clock::now();
      for (int i = 0; i < n; ++i)
        WritePrivateProfileStringA(
            "EEP_1\\Settings",
            ("HKCU\\Software\\Gleisora Bench\\Value " + std::to_string(i)).c_str(),
            ("REG_SZ:C:\\Games\\EEP\\Resourcen\\Setting " + std::to_string(i)).c_str(),
            other.c_str());
      profileWrite = Format(Seconds(t));
      t = Clock::now();
      char buf[255];
      for (int i = 0; i < n; ++i)
        GetPrivateProfileStringA(
            "EEP_1\\Settings",
            ("HKCU\\Software\\Gleisora Bench\\Value " + std::to_string(i)).c_str(), "", buf,
            sizeof buf, other.c_str());
      profileRead = Format(Seconds(t));
    }
#endif
    std::printf("%8d | %13.3f %13.3f | %15s %15s   (%zu characters read)\n", n, write, read,
                profileWrite.c_str(), profileRead.c_str(), chars);
    std::fflush(stdout);
  }
}

// What a switch costs besides its values: the child processes of its component lists
// and its flushes (every file write is flushed before it replaces the old file),
// counted on the registry and files above; the components are stand-ins that end well.
void SwitchCounts(const plat::Platform& real) {
  fault::Files files{*real.files};
  fault::Registry registry{*real.registry, *real.environment};
  ini::IniStore store{files};
  FakeLibraryApi library;
  plat::Platform p = real;
  p.files = &files, p.registry = &registry, p.environment = &registry, p.ini = &store;
  p.library = &library;
  std::string launcher = "[Settings]\r\nCount=2\r\n", lists;
  for (const char* name : {"a", "b", "c"})
    lists += "{AppDir}\\comp_" + std::string(name) + ".dll=1\r\n";
  for (int n : {1, 2}) {
    const std::string dir = real.appDir + "\\EEP" + std::to_string(n);
    real.files->CreateDir(dir);
    for (const char* name : {"a", "b", "c"}) {
      const std::string dll = dir + "\\comp_" + name + ".dll";
      real.files->WriteAllAtomic(dll, "MZ");
      for (const char* entry : {"DllRegisterServer", "DllUnregisterServer"})
        library.libraries[UpperAnsi(dll)].exports[entry] = [] {};
    }
    launcher += "[EEP_" + std::to_string(n) + "]\r\nDescription=EEP\r\nAppDir=" + dir +
                "\r\nAppPath=" + dir + "\\eep.exe\r\nRegType=BENCH\r\n";
  }
  real.files->WriteAllAtomic(real.appDir + "\\Gleisora.ini", launcher);
  real.files->WriteAllAtomic(real.appDir + "\\BENCH.ini",
                             "[Registry Keys]\r\nHKCU\\" + std::string(kKeyPath) + "=1\r\n[Register]\r\n" +
                                 lists + "[Unregister]\r\n" + lists);
  std::printf("\nOne switch of 1,000 values with three components on each side\n\n");
  std::printf("%15s | %12s | %16s\n", "child processes", "file flushes", "registry flushes");
  bench::Clear(*real.registry, kKey);
  bench::Fill(*real.registry, kKey, 1000);
  LanguageFile texts(p);
  ActivityLog log({[] {}, [](const std::string&) {}, [] {}});
  Operations ops(Context{p, texts, log, [](const std::string&, unsigned) { return 0; }});
  files.calls.clear(), registry.calls.clear();
  const EntryRow from{"EEP_1", "EEP", real.appDir + "\\EEP1"}, to{"EEP_2", "EEP", real.appDir + "\\EEP2"};
  ops.Switch(from, &to);
  std::printf("%15d | %12d | %16d\n", library.childrenStarted, files.calls["WriteAllAtomic"],
              registry.calls["FlushKey"]);
  bench::Clear(*real.registry, kKey);
}

}  // namespace

int main() {
#ifdef _WIN32
  Win32Platform real;
  plat::Platform p = real.Get();
  ini::IniStore iniFiles(*p.files);
  p.ini = &iniFiles;
  char tmp[MAX_PATH];
  DWORD len = GetTempPathA(MAX_PATH, tmp);
  p.appDir = std::string(tmp, len) + "gleisora-bench";
  CreateDirectoryA(p.appDir.c_str(), nullptr);
  const char* where = "Windows registry and files";
#else
  FakePlatform fake("C:\\Bench");
  plat::Platform p = fake.platform;
  const char* where = "in-memory fakes";
#endif
  p.exeName = "Gleisora";
  const std::string launcher = p.appDir + "\\Gleisora.ini";
  p.files->WriteAllAtomic(p.appDir + "\\DEFAULT.ini",
                          "[Registry Keys]\r\nHKCU\\" + std::string(kKeyPath) + "=1\r\n");

  std::printf("Snapshot of HKCU\\%s (%s), seconds\n\n", kKeyPath, where);
  std::printf("%8s | %9s %9s %9s | %9s %9s %9s | %11s %9s\n", "values", "bare save", "delete",
              "restore", "SaveSet.", "DeleteReg", "LoadSaved", "saved lines", "restored");
  for (int n : {100, 1000, 5000, 10000}) {
    bench::Clear(*p.registry, kKey);
    bench::Fill(*p.registry, kKey, n);
    const bench::BareTimes bare = bench::Bare(p, kKey, p.appDir + "\\bare.ini");

    bench::Clear(*p.registry, kKey);
    bench::Fill(*p.registry, kKey, n);
    p.files->WriteAllAtomic(launcher, "[EEP_1]\r\nRegType=DEFAULT\r\n");
    // Counts what is added to the log, so the figures show the registry and INI work.
    std::size_t logged = 0;
    LanguageFile texts(p);
    ActivityLog log({[] {}, [&](const std::string& t) { logged += t.size(); }, [] {}});
    Snapshots snapshots(Context{p, texts, log, [](const std::string&, unsigned) { return 0; }});
    auto t = Clock::now();
    const Installation inst = ReadInstallation(p, "EEP_1");
    snapshots.SaveSettings(inst);
    const double save = Seconds(t);
    std::size_t lines = 0;
    if (auto text = p.files->ReadAll(launcher))
      for (auto at = text->find("\nHKCU\\"); at != std::string::npos;
           at = text->find("\nHKCU\\", at + 1))
        ++lines;
    t = Clock::now();
    snapshots.DeleteRegistryKeys(inst);
    const double del = Seconds(t);
    t = Clock::now();
    snapshots.LoadSavedSettings("EEP_1");
    const double restore = Seconds(t);
    std::printf("%8d | %9.3f %9.3f %9.3f | %9.3f %9.3f %9.3f | %11zu %9d\n", n, bare.save, bare.del,
                bare.restore, save, del, restore, lines, bench::CountValues(*p.registry, kKey));
    std::fflush(stdout);
  }
  bench::Clear(*p.registry, kKey);
  SwitchCounts(p);
  EngineTable(p);
  return 0;
}
