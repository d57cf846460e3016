// Placeholder until the path helpers land (remove on merge).
#include <cctype>

#include "support/mdlTools.h"

std::string GetLongPath(plat::IFileSystem& files, const std::string& Path) {
  const std::string work = Path + "\\";
  std::string result;
  for (std::size_t p = work.find('\\', 3); p != std::string::npos; p = work.find('\\', p + 1)) {
    auto found = files.FindFirst(work.substr(0, p));
    if (!found) return "";
    result += "\\" + found->name;
  }
  return Path.substr(0, 2) + result;
}

bool FileExists(plat::IFileSystem& files, const std::string& Path) {
  if (Path.empty()) return false;
  auto found = files.FindFirst(Path);
  if (!found || (found->attributes & plat::fattr::kDirectory)) return false;
  if (Path.size() < found->name.size()) return false;
  for (std::size_t i = 0; i < found->name.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(Path[Path.size() - found->name.size() + i])) !=
        std::toupper(static_cast<unsigned char>(found->name[i])))
      return false;
  return true;
}
