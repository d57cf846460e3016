#include "switching/mdlRegister.h"

#include "support/Errors.h"

std::int32_t RegisterComponent(plat::ILibraryApi& library, const std::string& path,
                               bool doRegister) {
  using Run = plat::ILibraryApi::RunResult;
  std::int32_t result = 0;
  const long failure = Attempt([&] {
    switch (library.RunInChild(path, doRegister, kRegisterTimeoutMs)) {
      case Run::Ended: result = 0; break;
      case Run::NotLoaded: result = regcode::kNotLoaded; break;
      case Run::NoEntryPoint: result = regcode::kNoEntryPoint; break;
      case Run::NoProcess: result = regcode::kNoThread; break;
      case Run::WaitFailed: result = regcode::kWaitFailed; break;
      case Run::Crashed: result = regcode::kCrashed; break;
      case Run::TimedOut: result = regcode::kTimedOut; break;
    }
  });
  return failure != 0 ? static_cast<std::int32_t>(failure) : result;
}
