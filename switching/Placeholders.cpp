// Placeholder until the process list lands; removed then.
#include <cctype>

#include "support/mdlTools.h"
#include "switching/mdlProcess.h"

namespace {
std::string UpperText(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
}  // namespace

bool IsProcessRunning(plat::IProcessApi& process, const std::string& exeName, bool fileNameOnly) {
  std::vector<std::string> files;
  if (!process.SnapshotExeFiles(files)) return false;
  for (const auto& f : files)
    if (UpperText(fileNameOnly ? GetFileName(f) : f) == UpperText(exeName)) return true;
  return false;
}
