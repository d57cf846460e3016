// Times saving, deleting and restoring a registry key of N values through the
// snapshot routines, next to the bare limit: the same values enumerated, written to
// one file, deleted and written back with plain registry calls. Prints a table.
// On Windows it runs on the real registry and files; natively on the fakes.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/Installation.h"
#include "snapshots/Snapshots.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#include "support/IniStore.h"
#else
#include "tests/fakes/FakeServices.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
const char kKeyPath[] = "Software\\Gleisora Bench";

double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

struct Value {
  std::string name;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
};

const plat::RegKey kHKCU = plat::RootKey(plat::kHKCU);

void Fill(plat::IRegistryApi& reg, int n) {
  plat::RegKey k = 0;
  reg.CreateKey(kHKCU, kKeyPath, plat::reg::kKeyAllAccessFull, k);
  for (int i = 0; i < n; ++i) {
    const std::string name = "Value " + std::to_string(i);
    if (i % 2) {
      std::uint32_t v = static_cast<std::uint32_t>(i * 7919);
      reg.SetValue(k, name, plat::reg::kRegDword, reinterpret_cast<std::uint8_t*>(&v), 4);
    } else {
      const std::string text = "C:\\Games\\EEP\\Resourcen\\Setting " + std::to_string(i);
      reg.SetValue(k, name, plat::reg::kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                   static_cast<std::uint32_t>(text.size() + 1));
    }
  }
  reg.CloseKey(k);
}

void Clear(plat::IRegistryApi& reg) {
  plat::RegKey k = 0;
  if (reg.OpenKey(kHKCU, kKeyPath, plat::reg::kKeyAllAccessFull, k) == 0) {
    char name[512];
    for (;;) {
      std::uint32_t len = sizeof name;
      if (reg.EnumValue(k, 0, name, &len) != 0) break;
      reg.DeleteValue(k, std::string(name, len));
    }
    reg.CloseKey(k);
  }
  reg.DeleteKey(kHKCU, kKeyPath);
}

int CountValues(plat::IRegistryApi& reg) {
  plat::RegKey k = 0;
  if (reg.OpenKey(kHKCU, kKeyPath, plat::reg::kKeyQueryValue, k) != 0) return 0;
  int n = 0;
  char name[512];
  for (;; ++n) {
    std::uint32_t len = sizeof name;
    if (reg.EnumValue(k, n, name, &len) != 0) break;
  }
  reg.CloseKey(k);
  return n;
}

// The limit: one pass of plain registry calls and one file write per step.
void Bare(const plat::Platform& p, const std::string& file, double& save, double& del, double& restore) {
  plat::IRegistryApi& reg = *p.registry;
  auto t = Clock::now();
  std::vector<Value> values;
  std::string text = "[Bare]\r\n";
  plat::RegKey k = 0;
  reg.OpenKey(kHKCU, kKeyPath, plat::reg::kKeyQueryValue, k);
  char name[512];
  for (std::uint32_t i = 0;; ++i) {
    std::uint32_t len = sizeof name;
    if (reg.EnumValue(k, i, name, &len) != 0) break;
    Value v{std::string(name, len), 0, std::vector<std::uint8_t>(1024)};
    std::uint32_t size = 1024;
    reg.QueryValue(k, v.name, &v.type, v.data.data(), &size);
    v.data.resize(size);
    text += "HKCU\\" + std::string(kKeyPath) + "\\" + v.name + "=" +
            (v.type == plat::reg::kRegDword ? "REG_DWORD:" : "REG_SZ:") + std::to_string(size) + "\r\n";
    values.push_back(std::move(v));
  }
  reg.CloseKey(k);
  p.files->WriteAllAtomic(file, text);
  save = Seconds(t);

  t = Clock::now();
  Clear(reg);
  del = Seconds(t);

  t = Clock::now();
  reg.CreateKey(kHKCU, kKeyPath, plat::reg::kKeyAllAccessFull, k);
  for (const auto& v : values)
    reg.SetValue(k, v.name, v.type, v.data.data(), static_cast<std::uint32_t>(v.data.size()));
  reg.CloseKey(k);
  restore = Seconds(t);
}

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
        WritePrivateProfileStringA("EEP_1\\Settings",
                                   ("HKCU\\Software\\Gleisora Bench\\Value " + std::to_string(i)).c_str(),
                                   ("REG_SZ:C:\\Games\\EEP\\Resourcen\\Setting " + std::to_string(i)).c_str(),
                                   other.c_str());
      profileWrite = Format(Seconds(t));
      t = Clock::now();
      char buf[255];
      for (int i = 0; i < n; ++i)
        GetPrivateProfileStringA("EEP_1\\Settings",
                                 ("HKCU\\Software\\Gleisora Bench\\Value " + std::to_string(i)).c_str(),
                                 "", buf, sizeof buf, other.c_str());
      profileRead = Format(Seconds(t));
    }
#endif
    std::printf("%8d | %13.3f %13.3f | %15s %15s   (%zu characters read)\n", n, write, read,
                profileWrite.c_str(), profileRead.c_str(), chars);
    std::fflush(stdout);
  }
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
    Clear(*p.registry);
    Fill(*p.registry, n);
    double bs, bd, br;
    Bare(p, p.appDir + "\\bare.ini", bs, bd, br);

    Clear(*p.registry);
    Fill(*p.registry, n);
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
      for (auto at = text->find("\nHKCU\\"); at != std::string::npos; at = text->find("\nHKCU\\", at + 1))
        ++lines;
    t = Clock::now();
    snapshots.DeleteRegistryKeys(inst);
    const double del = Seconds(t);
    t = Clock::now();
    snapshots.LoadSavedSettings("EEP_1");
    const double restore = Seconds(t);
    std::printf("%8d | %9.3f %9.3f %9.3f | %9.3f %9.3f %9.3f | %11zu %9d\n", n, bs, bd, br, save,
                del, restore, lines, CountValues(*p.registry));
    std::fflush(stdout);
  }
  Clear(*p.registry);
  EngineTable(p);
  return 0;
}
