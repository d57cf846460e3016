// Backups as regedit files: their text, reading them back, their names and how many
// are kept.
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "snapshots/Backups.h"
#include "snapshots/Snapshots.h"
#include "switching/Operations.h"
#include "tests/native/Rig.h"

using namespace plat;
using regfile::Value;

TEST(RegFile, WritesValuesAsRegeditDoes) {
  const std::vector<Value> values = {
      {"", reg::kRegSz, SzBytes("C:\\EEP \"6\"")},
      {"Größe", reg::kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}},
      {"e", reg::kRegExpandSz, SzBytes("%A%")},
      {"lines", reg::kRegSz, SzBytes("a\r\n")},  // a .reg line cannot hold a line break, nor a NUL
      {"long", reg::kRegBinary, ByteArray(30, 0x11)},
      {"nul", reg::kRegSz, {'a', 0, 'b', 0}}};
  EXPECT_EQ("REGEDIT4\r\n\r\n[HKEY_USERS\\S\\K]\r\n@=\"C:\\\\EEP \\\"6\\\"\"\r\n\"Größe\"=dword:fffffffe\r\n"
            "\"e\"=hex(2):25,41,25,00\r\n\"lines\"=hex(1):61,0d,0a,00\r\n"
            "\"long\"=hex:11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,11,\\\r\n"
            "  11,11,11,11,11,11,11,11\r\n\"nul\"=hex(1):61,00,62,00\r\n\r\n",
            regfile::Write({{"HKEY_USERS\\S\\K", values}}));
}

TEST(RegFile, NamesOfKeysAndFiles) {
  const std::pair<const char*, const char*> system[] = {
      {"\\REGISTRY\\MACHINE\\SOFTWARE\\Wow6432Node\\X", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\X"},
      {"\\Registry\\User\\S-1-5\\X", "HKEY_USERS\\S-1-5\\X"}, {"\\REGISTRY\\A\\X", ""}};
  for (const auto& [name, expected] : system)
    EXPECT_EQ(expected, regfile::FromSystemName(name).value_or("")) << name;
  EXPECT_EQ("2026-01-02_030405_Umschalten_EEP_1_a.reg",
            regfile::FileName({2026, 1, 2, 3, 4, 5}, "Umschalten", "EEP:1/a"));
}

namespace {
struct BackupsTest : ::testing::Test, Rig {
  Snapshots snap{ctx};
  Backups backups{ctx};
  std::vector<std::string> Files() { return fp.files.ListFiles("C:\\Gleisora\\Backups\\*"); }
};
}  // namespace

TEST_F(BackupsTest, HoldsTheKeysUnderTheirSystemNamesAndTheValuesRestoringOverwrites) {
  fp.registry.PutString(kHKCR, "Sim", "b", "1");
  fp.registry.PutString(kHKCR, "Sim", "A", "2");
  fp.registry.PutDword(kHKCU, "Other", "n", 5);
  const auto current = snap.Current({"HKCR\\Sim", "HKCR\\Missing", "HKU\\\\Sim"},
                                    {"HKCR\\sim\\a", "HKCU\\Other\\n", "HKCU\\Other\\gone", "HKCU\\x"});
  ASSERT_TRUE(current);
  const std::vector<regfile::Key>& keys = *current;
  EXPECT_EQ((std::vector<regfile::Key>{
                {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Sim", {{"A", 1, SzBytes("2")}, {"b", 1, SzBytes("1")}}},
                {"HKEY_USERS\\S-1-5-21-1000\\Other", {{"n", 4, {5, 0, 0, 0}}}}}),
            keys);
  EXPECT_TRUE(backups.Write("Standard", "EEP_1", keys));
  EXPECT_EQ(regfile::Write(keys),
            fp.files.Content("C:\\Gleisora\\Backups\\2026-12-06_114205_Standard_EEP_1.reg"));
  EXPECT_EQ("Backup: C:\\Gleisora\\Backups\\2026-12-06_114205_Standard_EEP_1.reg...ok", LogLines().at(0));
  EXPECT_TRUE(backups.Write("Standard", "EEP_1", {}));  // nothing to keep: no file
  EXPECT_EQ(1u, Files().size());
}

TEST_F(BackupsTest, NewNamesWithinOneSecondAndOnlyTheNewestStay) {
  const std::vector<regfile::Key> keys = {{"HKEY_USERS\\S", {{"v", 1, SzBytes("x")}}}};
  File("Backups\\notes.reg", "");  // not ours: never pruned
  const struct {
    const char* keep;  // KeepBackups in [Settings]
    int writes;
    std::vector<std::string> left;
  } cases[] = {
      {"", 3, {"2026-12-06_114205_Umschalten_E.reg", "2026-12-06_114205_Umschalten_E_2.reg",
            "2026-12-06_114205_Umschalten_E_3.reg", "notes.reg"}},
      {"2", 1, {"2026-12-06_114205_Umschalten_E_3.reg", "2026-12-06_114205_Umschalten_E_4.reg", "notes.reg"}},
      {"0", 1, {"2026-12-06_114205_Umschalten_E.reg", "notes.reg"}},  // the new one always stays
  };
  for (const auto& c : cases) {
    File("Gleisora.ini", std::string("[Settings]\r\nKeepBackups=") + c.keep + "\r\n");
    for (int i = 0; i < c.writes; ++i) ASSERT_TRUE(backups.Write("Umschalten", "E", keys));
    EXPECT_EQ(c.left, Files()) << c.keep;
  }
}

TEST_F(BackupsTest, RestoringTheBackupOfDefaultGivesBackExactlyWhatWasThereAndIsUndoneItself) {
  File("Gleisora.ini", "[EEP_1]\r\nAppDir=C:\\Sim\r\nRegType=T\r\n");
  File("T.ini", "[Registry Keys]\r\nHKCR\\Sim=1\r\nHKCU\\Other\\Deep=1\r\n[Factory Settings]\r\n"
                "HKCR\\Sim\\added=REG_DWORD:1\r\nHKCR\\Sim\\b=REG_SZ:neu\r\n");
  fp.registry.PutString(kHKCR, "Sim", "b", "1");
  fp.registry.Put(kHKCR, "Sim", "", reg::kRegBinary, {0, 1});
  fp.registry.PutDword(kHKCU, "Other\\Deep", "n", 5);
  const auto state = [&] {
    return std::make_pair(fp.registry.Values(kHKCR, "Sim"), fp.registry.Values(kHKCU, "Other\\Deep"));
  };
  const auto before = state();
  Operations(ctx).Default({"EEP_1", "Sim", "C:\\Sim"}, "C:\\Sim");
  const auto afterDefault = state();
  ASSERT_NE(before, afterDefault);  // the key below HKCU is gone
  const Installation inst = ReadInstallation(fp.platform, "EEP_1");

  File("Backups\\2026-12-06_114205_Standard_EEP_12.reg", "REGEDIT4\r\n");  // another entry's
  File("Backups\\2026-12-06_114205_Standard_EEP_1_2.reg", "damaged");
  const auto newest = backups.List("EEP_1").at(0);  // the second file of that second
  EXPECT_EQ("2026-12-06_114205_Standard_EEP_1_2.reg|06.12.2026 11:42:05  Standard  EEP_1",
            newest.name + "|" + BackupLabel(newest.parts));
  EXPECT_FALSE(backups.Restore("2026-12-06_114205_Standard_EEP_1_2.reg", inst));
  EXPECT_EQ(afterDefault, state());

  ASSERT_TRUE(backups.Restore("2026-12-06_114205_Standard_EEP_1.reg", inst));
  EXPECT_EQ(before, state());
  const auto undo = backups.List("EEP_1").at(0);  // the restore's own backup comes first
  EXPECT_EQ("Rückgängig", undo.parts.action);
  ASSERT_TRUE(backups.Restore(undo.name, inst));
  EXPECT_EQ(afterDefault.first, state().first);
}
