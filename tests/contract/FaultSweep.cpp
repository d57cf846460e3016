// Every operation that changes settings, run once with each of its writes failing in
// turn, and once with each file write refused or altered on its way to disk: nothing
// that was there before is lost, and a switch ends, after a restart, in one whole
// installation. Natively on the fakes, under Wine on the real registry and files.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "catalogue/CatalogueFile.h"
#include "snapshots/RegFile.h"
#include "support/Convert.h"
#include "switching/Operations.h"
#include "tests/contract/SnapshotContract.h"
#include "tests/fakes/Faults.h"
#include "tests/fakes/FakeServices.h"

using namespace plat;

namespace {

const std::string kSub = "Software\\Gleisora Tests\\Sweep", kKey = "HKCU\\" + kSub;

const Values kSix = {{"setting", {reg::kRegSz, Sz("six")}},
                     {"n", {reg::kRegDword, {6, 0, 0, 0}}},
                     {"bin", {reg::kRegBinary, {1, 0, 2}}},
                     {"list", {reg::kRegMultiSz, {'a', 0, 'b', 0, 0}}},
                     {"Gr\xF6\xDF" "e", {reg::kRegExpandSz, Sz("%GLEISORA_NOPE%\\y")}}};
const Values kSeven = {{"setting", {reg::kRegSz, Sz("seven")}}, {"n", {reg::kRegDword, {7, 0, 0, 0}}}};

Values Dump(IRegistryApi& api) { return DumpKey(api, kSub); }

// One world, rebuilt for each run: EEP_1 active, both entries with a snapshot, one
// component each, an older backup of EEP_1.
struct World {
  SnapshotSubject s = MakeSnapshotSubject();
  Platform& real = s.platform;
  fault::Registry registry{*real.registry, *real.environment};
  fault::Files files{*real.files};
  ini::IniStore ini{files};
  FakeLibraryApi library;
  FakeProcessApi process;
  Platform p = real;
  std::string registered, logText;
  bool dead = false;  // the process has ended: components no longer run either
  int boxes = 0;
  LanguageFile texts{p};
  ActivityLog log{{[] {}, [this](const std::string& t) { logText += t; }, [] {}}};
  Context ctx{p, texts, log, [this](const std::string&, unsigned style) {
                ++boxes;
                return (style & 0xF) == mb::kYesNo ? mb::kIdNo : mb::kIdOk;
              }};
  std::string Dir(int v) const { return real.appDir + "\\EEP" + std::to_string(v); }
  EntryRow Row(int n) const { return {"EEP_" + std::to_string(n), "EEP", Dir(n + 5)}; }

  World() {
    p.registry = &registry, p.environment = &registry, p.files = &files, p.ini = &ini;
    p.library = &library, p.process = &process;
    IFileSystem& disk = *real.files;
    for (const auto& name : disk.ListFiles(real.appDir + "\\Backups\\*")) disk.RemoveFile(real.appDir + "\\Backups\\" + name);
    disk.RemoveFile(SwitchRecordPath(real));
    disk.CreateDir(real.appDir + "\\Backups");
    std::string launcher = "[Settings]\r\nCount=2\r\n";
    for (int n : {1, 2}) {
      const std::string dir = Dir(n + 5);
      disk.CreateDir(dir);
      disk.WriteAllAtomic(dir + "\\comp.dll", "MZ");
      auto& lib = library.libraries[UpperAnsi(dir + "\\comp.dll")];
      lib.exports["DllRegisterServer"] = [this, dir] { if (!dead) registered = dir; };
      lib.exports["DllUnregisterServer"] = [this] { if (!dead) registered.clear(); };
      launcher += "[EEP_" + std::to_string(n) + "]\r\nDescription=EEP\r\nAppDir=" + dir + "\r\nAppPath=" + dir +
                  "\\eep.exe\r\nRegType=DEFAULT\r\nSaved=1\r\n[EEP_" + std::to_string(n) + "\\Settings]\r\n" + kKey +
                  (n == 1 ? "\\setting=REG_SZ:saved\r\n" : "\\setting=REG_SZ:seven\r\n" + kKey + "\\n=REG_DWORD:7\r\n");
    }
    registered = Dir(6);
    disk.WriteAllAtomic(CatalogueFile::PathFor(real), launcher);
    disk.WriteAllAtomic(real.appDir + "\\DEFAULT.ini",
                        "[Registry Keys]\r\n" + kKey + "=1\r\n[Factory Settings]\r\n" + kKey +
                            "\\setting=REG_SZ:{AppDir}\\factory\r\n[Register]\r\n{AppDir}\\comp.dll=1\r\n"
                            "[Unregister]\r\n{AppDir}\\comp.dll=1\r\n");
    disk.WriteAllAtomic(real.appDir + "\\Backups\\2020-01-01_000000_Standard_EEP_1.reg",
                        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + kSub + "]\r\n\"setting\"=\"five\"\r\n\r\n");
    IRegistryApi& api = *real.registry;
    api.DeleteKey(RootKey(kHKCU), kSub);
    RegKey k = 0;
    api.CreateKey(RootKey(kHKCU), kSub, reg::kKeyAllAccess, k);
    for (const auto& [name, v] : kSix)
      api.SetValue(k, name, v.first, v.second.data(), static_cast<std::uint32_t>(v.second.size()));
    api.CloseKey(k);
  }
  // Every value some backup the run wrote holds, read as a restore reads them.
  std::set<std::pair<std::string, std::pair<std::uint32_t, Bytes>>> InBackups() {
    std::set<std::pair<std::string, std::pair<std::uint32_t, Bytes>>> out;
    IFileSystem& disk = *real.files;
    for (const auto& name : disk.ListFiles(real.appDir + "\\Backups\\*"))
      for (const auto& key : regfile::Read(disk.ReadAll(real.appDir + "\\Backups\\" + name).value_or("")).value_or(std::vector<regfile::Key>{}))
        if (key.name.ends_with("\\" + kSub) && name.find("2020-") != 0)  // not the one given
          for (const auto& v : key.values) out.insert({v.name, {v.type, v.data}});
    return out;
  }
  std::string SnapshotLine(const std::string& name) {
    ini::IniStore fresh(*real.files);
    Platform q = real;
    q.ini = &fresh;
    return CatalogueFile(q).SnapshotLine("EEP_1", kKey + "\\" + name);
  }
};

struct Op {
  const char* name;
  void (*run)(World&);
};
const Op kOps[] = {
    {"Switch", [](World& w) { const EntryRow to = w.Row(2); Operations(w.ctx).Switch(w.Row(1), &to); }},
    {"Default", [](World& w) { Operations(w.ctx).Default(w.Row(1), w.Dir(6)); }},
    {"Reset", [](World& w) { Operations(w.ctx).Reset(w.Row(1)); }},
    {"Restore", [](World& w) { Operations(w.ctx).RestoreBackup(w.Row(1), "2020-01-01_000000_Standard_EEP_1.reg"); }},
};
const std::set<std::string> kFileWrites = {"WriteAllAtomic", "RemoveFile", "CreateDir"};
const std::set<std::string> kRegistryWrites = {"SetValue", "DeleteValue", "DeleteKey", "CreateKey"};

// What happens to the k-th write of a run (k = 0: none), counted over files and registry.
enum class Mode { Fail, Refuse, Alter, Cut };  // Cut: the process ends after it
const char* const kModeNames[] = {"failed", "refused", "altered", "the last"};
struct Sweep {
  World& w;
  Mode mode;
  int k = 0, writes = 0;
  bool hitFile = false;
  fault::Rule Rule() {
    return [this](fault::Call& c) {
      const bool file = kFileWrites.count(c.op) > 0;
      if ((!file && !kRegistryWrites.count(c.op)) || ++writes < k) return fault::Act::Pass;
      if (mode == Mode::Cut) return (w.dead = writes > k) ? fault::Act::Refuse : fault::Act::Pass;
      if (writes > k) return fault::Act::Pass;
      hitFile = file;
      if (mode == Mode::Alter && file && c.data && c.data->size() > 2) c.data->erase(c.data->size() / 2, 1);
      return mode == Mode::Fail ? fault::Act::Fail : mode == Mode::Refuse && file ? fault::Act::Refuse : fault::Act::Pass;
    };
  }
};

// Every value of before is still in the registry, or in a backup that reads back and
// (after a switch left it) in the snapshot.
void ExpectNothingLost(World& w, bool snapshot, const std::map<std::string, std::string>& lines) {
  const Values now = Dump(*w.real.registry);
  const auto kept = w.InBackups();
  for (const auto& [name, v] : kSix) {
    const bool there = now.count(name) && now.at(name) == v, backedUp = kept.count({name, v}) > 0;
    EXPECT_TRUE(there || (backedUp && (!snapshot || w.SnapshotLine(name) == lines.at(name)))) << name << "\n" << w.logText;
  }
}

}  // namespace

TEST(FaultSweep, NoWriteThatFailsIsRefusedAlteredOrTheLastLosesAValue) {
  for (const Op& op : kOps) {
    const bool isSwitch = op.name == std::string("Switch");
    std::map<std::string, std::string> lines;
    int total = 0;
    {
      World w;
      Sweep count{w, Mode::Fail};
      w.registry.rule = w.files.rule = count.Rule();
      op.run(w);
      total = count.writes;
      for (const auto& [name, v] : kSix) lines[name] = w.SnapshotLine(name);
    }
    ASSERT_GT(total, 5) << op.name;
    for (Mode mode : {Mode::Fail, Mode::Refuse, Mode::Alter, Mode::Cut})
      for (int k = 1; k <= total; ++k) {
        SCOPED_TRACE(std::string(op.name) + ": write " + std::to_string(k) + " " + kModeNames[int(mode)]);
        World w;
        Sweep sweep{w, mode, k};
        w.registry.rule = w.files.rule = sweep.Rule();
        op.run(w);
        ExpectNothingLost(w, isSwitch, lines);
        if (!isSwitch) continue;
        // The next start finishes or undoes what was left: wholly, unless a registry
        // that failed one write kept that value.
        w.registry.rule = w.files.rule = {};
        w.dead = false;
        ini::IniStore fresh(*w.real.files);
        w.p.ini = &fresh;
        const bool recorded = w.real.files->ReadAll(SwitchRecordPath(w.real)).has_value();
        w.boxes = 0;
        Operations(w.ctx).Recover();
        EXPECT_EQ(recorded ? 1 : 0, w.boxes);
        EXPECT_FALSE(w.real.files->ReadAll(SwitchRecordPath(w.real))) << w.logText;
        ExpectNothingLost(w, true, lines);
        const Values after = Dump(*w.real.registry);
        if (sweep.hitFile || mode == Mode::Cut) {
          EXPECT_TRUE((after == kSix && w.registered == w.Dir(6)) || (after == kSeven && w.registered == w.Dir(7)))
              << w.registered << "\n" << w.logText;
        }
      }
  }
}

// A switch from or to no installation leaves a record that names one side only.
TEST(FaultSweep, ARecordNamingOneSideIsFinishedToo) {
  for (const char* record : {"Target=EEP_2\r\nPhase=Enter\r\n", "Source=EEP_1\r\nPhase=Leave\r\n"}) {
    World w;
    w.real.files->WriteAllAtomic(SwitchRecordPath(w.real), record);
    EXPECT_TRUE(Operations(w.ctx).Recover()) << record;
    EXPECT_FALSE(w.real.files->ReadAll(SwitchRecordPath(w.real))) << record;
  }
}

// A repair that was itself cut off (a component that hung) is not cut off again.
TEST(FaultSweep, ASecondRepairSkipsTheComponentsAndStillEnds) {
  World w;
  w.real.files->WriteAllAtomic(SwitchRecordPath(w.real), "Source=EEP_1\r\nTarget=EEP_2\r\nPhase=Leave\r\nRepairs=1\r\n");
  Operations(w.ctx).Recover();
  EXPECT_EQ(kSeven, Dump(*w.real.registry));
  EXPECT_EQ(w.Dir(6), w.registered);
  EXPECT_NE(std::string::npos, w.logText.find("Recover: RegisterComponents EEP_2...ERROR: -13\r\n")) << w.logText;
  EXPECT_FALSE(w.real.files->ReadAll(SwitchRecordPath(w.real)));
  EXPECT_EQ(1, w.boxes);
}
