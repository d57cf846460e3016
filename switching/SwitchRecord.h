// The record of a switch in progress: a small file of its own beside the program,
// written through to the disk before each phase that changes the registry and
// deleted at the end. Found at the next start, it means the switch was cut off.
#pragma once
#include <optional>
#include <string>

#include "platform/Platform.h"

struct SwitchRecord {
  // Save: the source's settings are being kept (nothing deleted yet).
  // Leave: they are kept; its components and keys are being removed.
  // Enter: the source is cleared; the target's settings are being written.
  enum class Phase { Save, Leave, Enter };
  std::string source, target;  // catalogue entries ("" = none)
  Phase phase = Phase::Save;
  int repairs = 0;  // repairs started on this record

  bool operator==(const SwitchRecord&) const = default;
};

std::string SwitchRecordPath(const plat::Platform& p);
// nullopt when there is no record, or one that cannot be read as one.
std::optional<SwitchRecord> ReadSwitchRecord(const plat::Platform& p);
bool WriteSwitchRecord(const plat::Platform& p, const SwitchRecord& record);
void RemoveSwitchRecord(const plat::Platform& p);
