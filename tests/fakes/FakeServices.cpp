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

plat::ModuleHandle FakeLibraryApi::Load(const std::string& path) {
  if (!libraries.count(Upper(path))) return 0;
  handles_.push_back(Upper(path));
  ++loaded;
  return handles_.size();
}

plat::ProcAddress FakeLibraryApi::Find(plat::ModuleHandle module, const std::string& name) {
  if (module == 0 || module > handles_.size()) return 0;
  const auto& lib = libraries[handles_[module - 1]];
  if (!lib.exports.count(name)) return 0;
  procs_.emplace_back(handles_[module - 1], name);
  return procs_.size();
}

plat::ILibraryApi::RunResult FakeLibraryApi::RunOnWorker(plat::ProcAddress entry) {
  if (threadFails) return RunResult::NoThread;
  const auto& [path, name] = procs_.at(entry - 1);
  calls.push_back(path + "!" + name);
  libraries[path].exports[name]();
  return waitFails ? RunResult::WaitFailed : RunResult::Ended;
}

void FakeLibraryApi::Free(plat::ModuleHandle) { --loaded; }

// --- shell -----------------------------------------------------------------------

std::intptr_t FakeShell::Execute(std::uintptr_t, const std::string& verb, const std::string& file,
                                 const std::string& params, const std::string& dir, int show) {
  Call c{verb, file, params, dir, show};
  executed.push_back(c);
  if (result) return result(c);
  return file.empty() ? 2 : 42;
}

bool FakeShell::StartProgram(const std::string& path) {
  if (startFails) return false;
  started.push_back(path);
  return true;
}

// --- the bundle --------------------------------------------------------------------

FakePlatform::FakePlatform(const std::string& appDir) {
  platform.registry = &registry;
  platform.environment = &registry;
  platform.files = &files;
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
