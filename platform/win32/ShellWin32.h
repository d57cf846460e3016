// Starting programs through the shell.
#pragma once
#include "platform/Shell.h"

class ShellWin32 : public plat::IShell {
 public:
  std::intptr_t Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                        const std::string& params, const std::string& dir, int show) override;
  bool StartProgram(const std::string& path) override;
  std::string CreateDesktopShortcut(const plat::Shortcut& link) override;
  std::optional<std::string> ChooseFile(const std::string& title, const std::string& filterName,
                                        const std::string& pattern) override;
};
