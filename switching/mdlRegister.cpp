#include "switching/mdlRegister.h"

#include "support/Errors.h"

ComponentChild::~ComponentChild() {
  Attempt([&] { library_.EndChild(yield_); });
}

std::int32_t ComponentChild::Register(const std::string& path, bool doRegister) {
  using Run = plat::ILibraryApi::RunResult;
  std::int32_t result = 0;
  const long failure = Attempt([&] {
    switch (library_.RunInChild(path, doRegister, kRegisterTimeoutMs, yield_)) {
      case Run::Ended: result = 0; break;
      case Run::NotLoaded: result = regcode::kNotLoaded; break;
      case Run::NoEntryPoint: result = regcode::kNoEntryPoint; break;
      case Run::NoProcess: result = regcode::kNoThread; break;
      case Run::WaitFailed: result = regcode::kWaitFailed; break;
      case Run::Crashed: result = regcode::kCrashed; break;
      case Run::TimedOut: result = regcode::kTimedOut; break;
    }
  });
  if (failure != 0) return static_cast<std::int32_t>(failure);
  // What a crash or a hang left behind, or a library left loaded, is not used again.
  if (result != 0 && result != regcode::kNotLoaded) Attempt([&] { library_.EndChild(yield_); });
  return result;
}
