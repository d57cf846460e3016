// Starting programs and opening addresses through the shell.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

class IShell {
 public:
  virtual ~IShell() = default;
  // ShellExecuteA(owner, verb, file, params, dir, show); owner 0 = the desktop window.
  // Returns the shell's result: greater than 32 on success.
  virtual std::intptr_t Execute(std::uintptr_t owner, const std::string& verb,
                                const std::string& file, const std::string& params,
                                const std::string& dir, int show) = 0;
  // Starts a program by path in a normal, focused window without waiting; false on failure.
  virtual bool StartProgram(const std::string& path) = 0;
  // Tells the shell that file-type associations changed (SHChangeNotify with
  // SHCNE_ASSOCCHANGED). Only the registry class's association members use it.
  virtual void NotifyAssociationsChanged() {}
};

}  // namespace plat
