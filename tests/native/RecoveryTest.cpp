// A switch cut off after any of its steps ends, at the next start, in one whole
// installation: the source's settings and components, or the target's.
#include <gtest/gtest.h>

#include "switching/Operations.h"
#include "tests/native/Rig.h"

using namespace plat;

namespace {
using Values = std::vector<std::pair<std::string, FakeRegistry::RawValue>>;
const char kLauncher[] =
    "[EEP_1]\r\nAppDir=C:\\EEP6\r\n[EEP_2]\r\nAppDir=C:\\EEP7\r\nSaved=1\r\n"
    "[EEP_2\\Settings]\r\nHKCU\\Sim\\setting=REG_SZ:seven\r\nHKCU\\Sim\\n=REG_DWORD:7\r\n";
const Values kSix = {{"n", {reg::kRegDword, {6, 0, 0, 0}}},
                     {"only6", {reg::kRegBinary, {6}}},
                     {"setting", {reg::kRegSz, SzBytes("six")}}};
const Values kSeven = {{"n", {reg::kRegDword, {7, 0, 0, 0}}}, {"setting", {reg::kRegSz, SzBytes("seven")}}};

// One run of the program on what the last one left: its files, the settings key
// and the folder whose component is registered.
struct Program : Rig {
  Operations switching{ctx};
  std::string registered;
  Program(const std::string& component, const std::string& launcher, const std::string& progress,
      const Values& sim)
      : registered(component) {
    File("DEFAULT.ini", "[Registry Keys]\r\nHKCU\\Sim=1\r\n[Register]\r\n{AppDir}\\comp.dll=1\r\n"
                        "[Unregister]\r\n{AppDir}\\comp.dll=1\r\n");
    File("Gleisora.ini", launcher);
    if (!progress.empty()) File("Gleisora.progress", progress);
    for (const auto& [name, v] : sim) fp.registry.Put(kHKCU, "Sim", name, v.type, v.data);
    for (std::string dir : {"C:\\EEP6", "C:\\EEP7"}) {
      fp.files.AddFile(dir + "\\comp.dll", "MZ");
      auto& lib = fp.library.libraries[dir + "\\COMP.DLL"];
      lib.exports["DllRegisterServer"] = [this, dir] { registered = dir; };
      lib.exports["DllUnregisterServer"] = [this] { registered.clear(); };
    }
  }
  std::string RecordFile() { return fp.files.Content("C:\\Gleisora\\Gleisora.progress"); }
  Values Sim() { return fp.registry.Values(kHKCU, "Sim"); }
};
}  // namespace

TEST(Recovery, ASwitchCutOffAfterAnyStepEndsInOneWholeInstallation) {
  const EntryRow source{"EEP_1", "EEP 6", "C:\\EEP6"}, target{"EEP_2", "EEP 7", "C:\\EEP7"};
  int forward = 0, back = 0, cut = 1;
  for (;; ++cut) {
    std::string component, launcher, progress;
    Values sim;
    {
      Program first("C:\\EEP6", kLauncher, "", kSix);
      int lines = 0;
      first.onPump = [&] {  // the process ends after this log line
        if (++lines != cut) return;
        component = first.registered;
        launcher = first.fp.files.Content(Rig::kIni);
        progress = first.RecordFile();
        sim = first.Sim();
      };
      first.switching.Switch(source, &target);
      if (lines < cut) break;
    }
    Program next(component, launcher, progress, sim);
    next.switching.Recover();
    const bool kept = progress.find("Phase=Leave") != std::string::npos ||
                      progress.find("Phase=Enter") != std::string::npos;
    EXPECT_EQ(kept ? kSeven : kSix, next.Sim()) << cut << progress;
    EXPECT_EQ(kept ? "C:\\EEP7" : "C:\\EEP6", next.registered) << cut;
    if (kept) { EXPECT_EQ("REG_SZ:six", next.Read("EEP_1\\Settings", "HKCU\\Sim\\setting")) << cut; }
    EXPECT_EQ(progress.empty() ? 0u : 1u, next.boxes.size()) << cut;
    EXPECT_EQ("", next.RecordFile()) << cut;
    (kept ? forward : back)++;
  }
  EXPECT_GT(forward, 3);
  EXPECT_GT(back, 3);
}

// A repair that was itself cut off (a component that hung) is not cut off again.
TEST(Recovery, ASecondRepairSkipsTheComponentsAndStillEnds) {
  Program run("C:\\EEP6", kLauncher, "Source=EEP_1\r\nTarget=EEP_2\r\nPhase=Leave\r\nRepairs=1\r\n", kSix);
  run.switching.Recover();
  EXPECT_EQ(kSeven, run.Sim());
  EXPECT_EQ("C:\\EEP6", run.registered);
  EXPECT_EQ("Recover: RegisterComponents EEP_2...ERROR: -13", run.LogLines().back());
  EXPECT_EQ("", run.RecordFile());
  ASSERT_EQ(1u, run.boxes.size());
  EXPECT_EQ("Die letzte Umschaltung wurde unterbrochen, nachdem die Einstellungen schon "
            "gespeichert waren.\r\nGleisora bringt sie jetzt zu Ende; es geht nichts verloren. "
            "Danach zeigt der Haken in der Liste, welche Installation aktiv ist.",
            run.boxes[0].text);
}
