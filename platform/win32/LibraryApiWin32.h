// Component libraries through LoadLibraryExA / GetProcAddress / FreeLibrary, with
// the entry point run on a worker thread that the caller waits for.
//
// A fatal exception that nothing in the component handles ends only the worker
// thread (RunResult::Crashed) instead of the whole program: while a worker runs, a
// top-level exception filter is installed that recognises the worker thread and
// calls ExitThread on it. Other threads' exceptions go to the filter that was there
// before, which is put back after the wait.
#pragma once
#include "platform/LibraryApi.h"

class LibraryApiWin32 : public plat::ILibraryApi {
 public:
  plat::ModuleHandle Load(const std::string& path) override;
  plat::ProcAddress Find(plat::ModuleHandle module, const std::string& name) override;
  RunResult RunOnWorker(plat::ProcAddress entry) override;
  void Free(plat::ModuleHandle module) override;
};
