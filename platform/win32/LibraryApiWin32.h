// Component registration in a child process: the program starts itself with an
// internal argument and inherited pipe and event handles. The child takes one request
// a line ("<1|0>\t<folder>\t<path>"), enters the folder, loads the library through
// LoadLibraryExA, runs the entry point on a worker thread, writes the result code as a
// line and signals the event; it ends at the end of the requests, or by itself after a
// result that leaves the process unsafe (a crash, a library that stays loaded). A thread
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
  ~LibraryApiWin32() override {
    EndChild([] {});
  }
  LibraryApiWin32(const LibraryApiWin32&) = delete;
  LibraryApiWin32& operator=(const LibraryApiWin32&) = delete;

  RunResult RunInChild(const std::string& path, bool doRegister, std::uint32_t timeoutMs,
                       const Yield& yield) override;
  void EndChild(const Yield& yield) override;

  // The child's side: for the internal argument in `commandLine` (without the program
  // name), serves the requests and returns the exit code; for any other command line,
  // nothing.
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
  bool Start(const Yield& yield);
  void Drop();  // closes the child's handles; the process is gone or left to itself

  std::string program_;
  void* process_ = nullptr;   // the running child, or none
  void* requests_ = nullptr;  // the write end of its request pipe
  void* replies_ = nullptr;   // the read end of its reply pipe
  void* ready_ = nullptr;     // set by the child once a reply is written
  std::string reply_;         // what was read of the replies so far
};
