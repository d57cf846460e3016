#include "switching/mdlProcess.h"

#include <algorithm>

#include "support/mdlTools.h"

namespace {

constexpr std::uint32_t kQueryAndRead = 0x410;  // PROCESS_QUERY_INFORMATION | PROCESS_VM_READ
constexpr std::uint32_t kModuleRoom = 50;       // EnumProcessModules: 200 bytes of handles
constexpr std::uint32_t kPathChars = 260;
// Far beyond any real process count; keeps a misbehaving EnumProcesses from
// growing the buffer without end.
constexpr std::uint32_t kMaxIdBytes = 1u << 24;

void PutAt(std::vector<std::string>& list, std::size_t index, std::string path) {
  if (list.size() <= index) list.resize(index + 1);
  list[index] = std::move(path);
}

}  // namespace

std::int32_t GetPlatformId(plat::IProcessApi& api) {
  std::uint32_t id = 0;
  if (!api.PlatformId(id)) return 0;
  return static_cast<std::int32_t>(id);
}

std::vector<std::string> GetProcessList(plat::IProcessApi& api) {
  std::vector<std::string> list(1);
  const std::int32_t platformId = GetPlatformId(api);

  if (platformId == 1) {
    std::vector<std::string> exeFiles;
    if (!api.SnapshotExeFiles(exeFiles)) return list;
    for (std::size_t n = 0; n < exeFiles.size(); ++n) {
      std::string name = exeFiles[n];
      name = name.substr(0, name.find('\0'));
      PutAt(list, n, std::move(name));
    }
    return list;
  }
  if (platformId != 2) return list;

  // Grow the id buffer until a call leaves room to spare: 16, 32, 64, ... bytes.
  std::vector<std::uint32_t> ids;
  std::uint32_t bufferBytes = 8, neededBytes = 96;
  while (bufferBytes <= neededBytes) {
    if (bufferBytes >= kMaxIdBytes) break;
    bufferBytes *= 2;
    ids.assign(bufferBytes / 4, 0);
    if (!api.EnumProcessIds(ids.data(), bufferBytes, neededBytes)) {
      neededBytes = 0;
      break;
    }
  }
  const std::size_t count = std::min<std::size_t>(neededBytes / 4, ids.size());

  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t pid = ids[i];
    std::string path;
    if (plat::ProcHandle process = api.Open(kQueryAndRead, pid)) {
      std::uintptr_t module = 0;
      if (api.FirstModule(process, kModuleRoom, module)) {
        char buf[kPathChars] = {};
        std::uint32_t n = api.ModuleFileName(process, module, buf, kPathChars);
        path.assign(buf, std::min(n, kPathChars));
      }
      api.Close(process);
    }
    if (path.empty()) {
      // A process we may not read (one running elevated, say) still has an image
      // name that the least access reveals; without it such a simulator would go
      // unnoticed and its settings be rewritten under it.
      path = api.ImageName(pid);
      path = path.substr(0, path.find('\0'));
      // Only the name is known, not the folder: the leading backslash keeps the
      // comparison by file name working.
      if (!path.empty() && path.find('\\') == std::string::npos) path = "\\" + path;
    }
    if (!path.empty()) PutAt(list, i, std::move(path));
  }
  return list;
}

bool IsProcessRunning(plat::IProcessApi& api, std::string exeName, bool fileNameOnly) {
  const std::vector<std::string> list = GetProcessList(api);
  exeName = UpperAnsi(exeName);
  for (const std::string& element : list) {
    const std::string upper = UpperAnsi(element);
    if (fileNameOnly ? GetFileName(upper) == exeName : upper == exeName) return true;
  }
  return false;
}
