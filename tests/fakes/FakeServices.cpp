#include "tests/fakes/FakeServices.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

// --- processes ---------------------------------------------------------------

const FakeProcessApi::Proc* FakeProcessApi::ByPid(std::uint32_t pid) const {
  for (const auto& p : processes)
    if (p.pid == pid) return &p;
  return nullptr;
}

bool FakeProcessApi::SnapshotExeFiles(std::vector<std::string>& exeFiles) {
  exeFiles.clear();
  for (const auto& p : processes) exeFiles.push_back(p.path);
  return true;
}

bool FakeProcessApi::EnumProcessIds(std::uint32_t* ids, std::uint32_t cb, std::uint32_t& needed) {
  enumBufferSizes.push_back(cb);
  std::uint32_t n = std::min<std::uint32_t>(cb / 4, static_cast<std::uint32_t>(processes.size()));
  for (std::uint32_t i = 0; i < n; ++i) ids[i] = processes[i].pid;
  needed = n * 4;
  return true;
}

plat::ProcHandle FakeProcessApi::Open(std::uint32_t, std::uint32_t pid) {
  const Proc* p = ByPid(pid);
  return p && p->readable ? pid : 0;
}

bool FakeProcessApi::FirstModule(plat::ProcHandle process, std::uint32_t, std::uintptr_t& module) {
  module = process;
  return ByPid(static_cast<std::uint32_t>(process)) != nullptr;
}

std::uint32_t FakeProcessApi::ModuleFileName(plat::ProcHandle process, std::uintptr_t, char* buf,
                                             std::uint32_t size) {
  const Proc* p = ByPid(static_cast<std::uint32_t>(process));
  if (!p || size == 0) return 0;
  auto n = std::min<std::uint32_t>(size - 1, static_cast<std::uint32_t>(p->path.size()));
  std::memcpy(buf, p->path.data(), n);
  buf[n] = 0;
  return n;
}

std::string FakeProcessApi::ImageName(std::uint32_t pid) {
  const Proc* p = ByPid(pid);
  return p ? p->path : "";
}

// --- component libraries -------------------------------------------------------

plat::ILibraryApi::RunResult FakeLibraryApi::RunInChild(const std::string& path,
                                                        bool doRegister,
                                                        std::uint32_t timeoutMs,
                                                        const Yield&) {
  lastTimeoutMs = timeoutMs;
  if (!childRunning) ++childrenStarted;
  childRunning = true;
  const auto lib = libraries.find(Upper(path));
  if (lib == libraries.end()) return RunResult::NotLoaded;
  const std::string name = doRegister ? "DllRegisterServer" : "DllUnregisterServer";
  const auto entry = lib->second.exports.find(name);
  if (entry == lib->second.exports.end()) return RunResult::NoEntryPoint;
  calls.push_back(lib->first + "!" + name);
  try {
    entry->second();
  } catch (RunResult ended) {
    // A hang or a failed wait ends the child here; a crash leaves it to the caller.
    childRunning = ended != RunResult::TimedOut && ended != RunResult::WaitFailed;
    return ended;
  }
  return RunResult::Ended;
}

// --- shell -----------------------------------------------------------------------

std::intptr_t FakeShell::Execute(std::uintptr_t, const std::string& verb, const std::string& file,
                                 const std::string& params, const std::string& dir, int show) {
  Call c{verb, file, params, dir, show};
  executed.push_back(c);
  if (result) return result(c);
  return file.empty() ? 2 : 42;
}

bool FakeShell::StartProgram(const std::string& path) {
  if (result && result({"start", path, "", "", 1}) <= 32) return false;
  started.push_back(path);
  return true;
}

// --- the bundle --------------------------------------------------------------------

FakePlatform::FakePlatform(const std::string& appDir) {
  platform.registry = &registryFaults;
  platform.environment = &registryFaults;
  platform.files = &fileFaults;
  platform.version = &version;
  platform.process = &process;
  platform.library = &library;
  platform.shell = &shell;
  platform.ini = &ini;
  platform.appDir = appDir;
  platform.exeName = "Gleisora";
  platform.exePath = appDir + "\\Gleisora.exe";
  files.AddDir(appDir);
}
