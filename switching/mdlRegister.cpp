#include "switching/mdlRegister.h"

#include "support/Errors.h"

std::int32_t RegisterComponent(plat::ILibraryApi& library, const std::string& path,
                               bool doRegister) {
  std::int32_t result = 0;
  const long failure = Attempt([&] {
    const plat::ModuleHandle module = library.Load(path);
    if (module == 0) {
      result = regcode::kNotLoaded;
      return;
    }
    const plat::ProcAddress entry =
        library.Find(module, doRegister ? "DllRegisterServer" : "DllUnregisterServer");
    if (entry == 0) {
      library.Free(module);
      result = regcode::kNoEntryPoint;
      return;
    }
    switch (library.RunOnWorker(entry)) {
      case plat::ILibraryApi::RunResult::Ended:
        library.Free(module);
        result = 0;
        break;
      case plat::ILibraryApi::RunResult::NoThread:
        library.Free(module);
        result = regcode::kNoThread;
        break;
      // The thread may still run library code, or left it in an unknown state: the
      // library stays loaded.
      case plat::ILibraryApi::RunResult::WaitFailed:
        result = regcode::kWaitFailed;
        break;
      case plat::ILibraryApi::RunResult::Crashed:
        result = regcode::kCrashed;
        break;
    }
  });
  return failure != 0 ? static_cast<std::int32_t>(failure) : result;
}
