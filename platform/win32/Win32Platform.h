// The real services, assembled as the platform the program runs on.
#pragma once
#include <memory>

#include "platform/Platform.h"

class Win32Platform {
 public:
  Win32Platform();  // program folder and name from the running executable
  ~Win32Platform();
  const plat::Platform& Get() const { return platform_; }

 private:
  std::unique_ptr<plat::IRegistryApi> registry_;
  std::unique_ptr<plat::IEnvironment> environment_;
  std::unique_ptr<plat::IFileSystem> files_;
  std::unique_ptr<plat::IVersionApi> version_;
  std::unique_ptr<plat::IProcessApi> process_;
  std::unique_ptr<plat::ILibraryApi> library_;
  std::unique_ptr<plat::IShell> shell_;
  plat::Platform platform_;
};
