// Component registration in a child process: the program starts itself with an
// internal argument, the child loads the library through LoadLibraryExA and runs the
// entry point on a worker thread, and its exit code carries the result back. A thread
// that hangs in a component's code cannot be stopped safely; a process can.
//
// In the child, a fatal exception that nothing in the component handles ends only the
// worker thread (RunResult::Crashed): while a worker runs, a top-level exception filter
// is installed that recognises the worker thread and calls ExitThread on it. Other
// threads' exceptions go to the filter that was there before, which is put back after
// the wait.
#pragma once
#include <optional>
#include <string>
#include <utility>

#include "platform/LibraryApi.h"

class LibraryApiWin32 : public plat::ILibraryApi {
 public:
  // `program`: the executable started as the child; empty for the running one.
  explicit LibraryApiWin32(std::string program = {}) : program_(std::move(program)) {}

  RunResult RunInChild(const std::string& path, bool doRegister,
                       std::uint32_t timeoutMs) override;

  // The child's side: for the internal argument in `commandLine` (without the program
  // name), registers and returns the exit code; for any other command line, nothing.
  static std::optional<int> ChildRequest(const char* commandLine);

  // What the child does, in this process.
  using ModuleHandle = std::uintptr_t;  // 0 = none
  using ProcAddress = std::uintptr_t;   // 0 = none
  static ModuleHandle Load(const std::string& path);
  static ProcAddress Find(ModuleHandle module, const std::string& name);  // GetProcAddress
  // CreateThread at entry (no argument), waited for; Ended, NoProcess (no thread),
  // WaitFailed or Crashed.
  static RunResult RunOnWorker(ProcAddress entry);
  static void Free(ModuleHandle module);  // FreeLibrary

 private:
  std::string program_;
};
