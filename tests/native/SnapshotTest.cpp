// Saving, deleting and restoring the simulator's registry settings through snapshot
// sections, and writing factory settings.
#include <gtest/gtest.h>

#include "snapshots/Snapshots.h"
#include "tests/native/Rig.h"

using namespace plat;

namespace {
const char kEexp[] = "Software\\Software Untergrund\\EEXP";
const std::string kEexpPath = std::string("HKCR\\") + kEexp;

struct SnapshotsTest : ::testing::Test, Rig {
  Snapshots snap{ctx};
  SnapshotsTest() {
    File("DEFAULT.ini", "[Registry Keys]\r\n" + kEexpPath + "=1\r\n");
    File("Gleisora.ini", "[EEP_1]\r\nRegType=DEFAULT\r\n");
  }
  Installation Inst() { return ReadInstallation(fp.platform, "EEP_1"); }
  std::vector<std::pair<std::string, std::string>> Snapshot() { return Section("EEP_1\\Settings"); }
  // One value line restored; returns its log line.
  std::string Restore(const std::string& path, const std::string& value) {
    logText.clear();
    snap.RestoreRegistry(path, value);
    return LogLines().at(0);
  }
};
}  // namespace

TEST_F(SnapshotsTest, SaveWritesSortedLinesAndLogsEachValue) {
  fp.registry.PutString(kHKCR, kEexp, "SamplePath", "C:\\Games\\EEP\\Data");
  fp.registry.PutDword(kHKCR, kEexp, "sampleFlag", 1);  // sorted without regard to case
  fp.registry.PutDword(kHKCR, kEexp, "SampleSize", 0xFFFFFFFF);
  const int writesBefore = fp.fileFaults.calls["WriteAllAtomic"];
  snap.SaveSettings(Inst());

  EXPECT_EQ("1", Read("EEP_1", "Saved"));
  EXPECT_EQ("DEFAULT", Read("EEP_1", "RegType"));
  using Lines = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ((Lines{{kEexpPath + "\\sampleFlag", "REG_DWORD:1"},
                   {kEexpPath + "\\SamplePath", "REG_SZ:C:\\Games\\EEP\\Data"},
                   {kEexpPath + "\\SampleSize", "REG_DWORD:-1"}}),
            Snapshot());
  EXPECT_EQ((std::vector<std::string>{"SaveRegistry: " + kEexpPath + "\\sampleFlag...ok",
                                      "SaveRegistry: " + kEexpPath + "\\SamplePath...ok",
                                      "SaveRegistry: " + kEexpPath + "\\SampleSize...ok"}),
            LogLines());
  // The whole save (Saved, the emptied section, three lines) is one file write.
  EXPECT_EQ(writesBefore + 1, fp.fileFaults.calls["WriteAllAtomic"]);
}

TEST_F(SnapshotsTest, KeySelectionAndPathsThatNameNothing) {
  File("DEFAULT.ini",
       "[Registry Keys]\r\nHKCU\\Off=0\r\nHKCU\\Off2=fALSE\r\nHKCU\\On=yes\r\nHKU\\\\On=1\r\n"
       "hkcu\\On=1\r\nHKCU\\=1\r\nHKCU=1\r\n");
  for (const char* key : {"Off", "Off2", "On"}) fp.registry.PutString(kHKCU, key, "v", key);
  fp.registry.PutString(kHKCU, "", "rootValue", "x");
  snap.SaveSettings(Inst());
  ASSERT_EQ(1u, Snapshot().size());
  EXPECT_EQ("HKCU\\On\\v", Snapshot()[0].first);
  logText.clear();
  snap.DeleteRegistryKeys(Inst());
  EXPECT_EQ(std::vector<std::string>{"DeleteRegistry: HKCU\\On\\v...ok"}, LogLines());
  EXPECT_FALSE(fp.registry.HasKey(kHKCU, "On"));
  EXPECT_TRUE(fp.registry.Get(kHKCU, "Off", "v"));
  EXPECT_TRUE(fp.registry.Get(kHKCU, "", "rootValue"));  // the root is never cleared
}

TEST_F(SnapshotsTest, RestoreWritesStringsAndDwords) {
  EXPECT_EQ("RestoreRegistry: HKCU\\A\\B\\Name...ok", Restore("HKCU\\A\\B\\Name", "REG_SZ:C:\\Path"));
  EXPECT_EQ(SzBytes("C:\\Path"), fp.registry.Get(kHKCU, "A\\B", "Name")->data);
  Restore("HKCU\\A\\pct", "REG_SZ:%WINDIR%\\x");  // percent rules as in cRegistry
  EXPECT_EQ(reg::kRegExpandSz, fp.registry.Get(kHKCU, "A", "pct")->type);
  Restore("HKCU\\A\\d", "REG_DWORD:-1");
  EXPECT_EQ((FakeRegistry::RawValue{reg::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}),
            fp.registry.Get(kHKCU, "A", "d"));
  Restore("HKCU\\A\\", "REG_SZ:default");
  EXPECT_EQ(SzBytes("default"), fp.registry.Get(kHKCU, "A", "")->data);
  Restore("HKCU\\A\\bin", "REG_BINARY:hex:0A,0b");
  EXPECT_EQ((FakeRegistry::RawValue{reg::kRegBinary, {10, 11}}), fp.registry.Get(kHKCU, "A", "bin"));
}

TEST_F(SnapshotsTest, RestoreRejectsMalformedLinesAndChangesNothing) {
  fp.registry.Deny(kHKCU, "Denied");
  const std::pair<std::string, std::string> cases[] = {
      {"REG_DWORD:12abc", "ERROR: 13"},          {"REG_DWORD:4294967296", "ERROR: 6"},
      {"REG_DWORD:", "ERROR: 13"},               {"REG_EXPAND_SZ:x", "ERROR: -11"},
      {"REG_BINARY:", "ERROR: -11"},             {"REG_BINARY:01,02", "ERROR: -11"},
      {"reg_sz:x", "ERROR: -11"},                {"no colon", "ERROR: -10"},
      {"REG_BINARY:hex:0", "ERROR: 13"},         {"REG_MULTI_SZ:hex:zz,00", "ERROR: 13"},
  };
  for (const auto& [value, result] : cases)
    EXPECT_EQ("RestoreRegistry: HKCU\\T\\v..." + result, Restore("HKCU\\T\\v", value)) << value;
  EXPECT_FALSE(fp.registry.HasKey(kHKCU, "T"));
  // Paths that name no key: unknown roots, a value at a root, a denied key.
  EXPECT_EQ("RestoreRegistry: HKU\\\\T\\v...ERROR: 26001", Restore("HKU\\\\T\\v", "REG_SZ:x"));
  EXPECT_EQ("RestoreRegistry: hkcu\\T\\v...ERROR: 26001", Restore("hkcu\\T\\v", "REG_SZ:x"));
  EXPECT_EQ("RestoreRegistry: HKCU\\v...ERROR: 5", Restore("HKCU\\v", "REG_SZ:x"));
  EXPECT_EQ("RestoreRegistry: HKCU\\Denied\\v...ERROR: 26001", Restore("HKCU\\Denied\\v", "REG_SZ:x"));
  EXPECT_FALSE(fp.registry.Get(kHKCU, "", "v"));
  EXPECT_FALSE(fp.registry.Get(kHKCU, "Denied", "v"));
}

TEST_F(SnapshotsTest, DeleteClearsValuesAndKeepsKeysWithSubkeys) {
  fp.registry.PutString(kHKCU, "K", "b", "1");
  fp.registry.PutString(kHKCU, "K", "A", "2");
  snap.DeleteRegistry("HKCU\\K");
  EXPECT_EQ((std::vector<std::string>{"DeleteRegistry: HKCU\\K\\A...ok",
                                      "DeleteRegistry: HKCU\\K\\b...ok"}),
            LogLines());
  EXPECT_FALSE(fp.registry.HasKey(kHKCU, "K"));
  logText.clear();
  snap.DeleteRegistry("HKCU\\K");
  EXPECT_EQ("", logText);

  fp.registry.PutString(kHKCU, "P", "v", "1");
  fp.registry.PutString(kHKCU, "P\\Sub", "w", "2");
  snap.DeleteRegistry("HKCU\\P");
  EXPECT_TRUE(fp.registry.Values(kHKCU, "P").empty());
  EXPECT_TRUE(fp.registry.Get(kHKCU, "P\\Sub", "w"));

  fp.registry.PutString(kHKCU, "D", "v", "1");
  fp.registry.Deny(kHKCU, "D");
  logText.clear();
  snap.DeleteRegistry("HKCU\\D");  // cannot even be listed
  EXPECT_EQ("", logText);
  EXPECT_TRUE(fp.registry.Get(kHKCU, "D", "v"));
  EXPECT_EQ(0, fp.registry.openHandles());
}

TEST_F(SnapshotsTest, FactorySettingsReplaceAppDirInFileOrder) {
  File("DEFAULT.ini",
       "[Factory Settings]\r\nHKCU\\F\\z=REG_SZ:{AppDir}\\Data;{AppDir}\\Work\r\n"
       "HKCU\\F\\a=REG_SZ:{appdir}\\x\r\nHKCU\\F\\bin=REG_BINARY:01\r\nHKCU\\F\\n=REG_DWORD:5\r\n");
  snap.LoadFactorySettings(Inst(), "C:\\EEP");
  EXPECT_EQ((std::vector<std::string>{"RestoreRegistry: HKCU\\F\\z...ok",
                                      "RestoreRegistry: HKCU\\F\\a...ok",
                                      "RestoreRegistry: HKCU\\F\\bin...ERROR: -11",
                                      "RestoreRegistry: HKCU\\F\\n...ok"}),
            LogLines());
  EXPECT_EQ(SzBytes("C:\\EEP\\Data;C:\\EEP\\Work"), fp.registry.Get(kHKCU, "F", "z")->data);
  EXPECT_EQ(SzBytes("{appdir}\\x"), fp.registry.Get(kHKCU, "F", "a")->data);
  EXPECT_FALSE(fp.registry.Get(kHKCU, "F", "bin"));
  EXPECT_EQ("<missing>", Read("EEP_1", "Saved"));
}

TEST_F(SnapshotsTest, MissingDefinitionFileStillMarksSavedAndEmptiesSection) {
  File("Gleisora.ini", "[EEP_1]\r\nRegType=NOSUCH\r\n[EEP_1\\Settings]\r\nHKCU\\K\\v=REG_SZ:x\r\n");
  snap.SaveSettings(Inst());
  EXPECT_EQ("1", Read("EEP_1", "Saved"));
  EXPECT_TRUE(Snapshot().empty());
  snap.DeleteRegistryKeys(Inst());
  snap.LoadFactorySettings(Inst(), "C:\\EEP");
  EXPECT_EQ("", logText);
}
