// Starting programs and opening addresses through the shell.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace plat {

struct Shortcut {
  std::string name;                                     // the link's file name, without ".lnk"
  std::string target, arguments, workingDir, iconPath;  // the icon is the file's first
};

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
  // Without a desktop or a file dialog (the tests' platform) nothing is written and
  // nothing chosen.
  // Creates, or replaces, the link "<name>.lnk" on the user's desktop; its full path,
  // "" when it could not be written.
  virtual std::string CreateDesktopShortcut(const Shortcut&) { return {}; }
  // The standard open dialog for one existing file matching `pattern`, owned by the
  // active window. nullopt when cancelled; "" for a path the ANSI code page cannot hold.
  virtual std::optional<std::string> ChooseFile(const std::string& /*title*/,
                                                const std::string& /*filterName*/,
                                                const std::string& /*pattern*/) {
    return std::nullopt;
  }
};

}  // namespace plat
