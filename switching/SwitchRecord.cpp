#include "switching/SwitchRecord.h"

namespace {
const char* const kPhases[] = {"Save", "Leave", "Enter"};
}  // namespace

std::string SwitchRecordPath(const plat::Platform& p) {
  return p.appDir + "\\" + p.exeName + ".progress";
}

std::optional<SwitchRecord> ReadSwitchRecord(const plat::Platform& p) {
  const auto text = p.files->ReadAll(SwitchRecordPath(p));
  if (!text) return std::nullopt;
  SwitchRecord r;
  bool phase = false;
  std::size_t start = 0;
  while (start < text->size()) {
    std::size_t end = text->find('\n', start);
    if (end == std::string::npos) end = text->size();
    std::string line = text->substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string name = line.substr(0, eq), value = line.substr(eq + 1);
    if (name == "Source") r.source = value;
    if (name == "Target") r.target = value;
    if (name == "Repairs") r.repairs = std::atoi(value.c_str());
    for (int i = 0; i < 3; ++i)
      if (name == "Phase" && value == kPhases[i]) {
        r.phase = static_cast<SwitchRecord::Phase>(i);
        phase = true;
      }
  }
  if (!phase || (r.source.empty() && r.target.empty())) return std::nullopt;
  return r;
}

bool WriteSwitchRecord(const plat::Platform& p, const SwitchRecord& r) {
  // The whole record in one write-through replacement: it is either the old one or
  // the new one, never half of each.
  return p.files->WriteAllAtomic(SwitchRecordPath(p),
                                 "Source=" + r.source + "\r\nTarget=" + r.target +
                                     "\r\nPhase=" + kPhases[static_cast<int>(r.phase)] +
                                     "\r\nRepairs=" + std::to_string(r.repairs) + "\r\n");
}

void RemoveSwitchRecord(const plat::Platform& p) { p.files->RemoveFile(SwitchRecordPath(p)); }
