// The catalogue of installations: first run, refresh, deletion, and damaged files.
#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "support/IniStore.h"
#include "tests/fakes/FakeMainView.h"
#include "tests/fakes/FakeServices.h"

using namespace std::string_literals;

namespace {

const char kIni[] = "C:\\Gleisora\\Gleisora.ini";
const char kFullKey[] = "Software\\Software Untergrund\\EEXP";
const char kDemoKey[] = "Software\\Software Untergrund Demo\\EEXP";

// Reads the launcher INI back through the engine; "<missing>" when absent.
std::string IniGet(FakeFileSystem& files, const ini::Text& section, const ini::Text& key) {
  return ini::IniStore(files).GetString(section, key, std::string("<missing>"), 1 << 16, kIni);
}
bool IniHas(FakeFileSystem& files, const std::string& section) {
  return ("\0"s + IniGet(files, std::nullopt, std::nullopt)).find("\0"s + section + "\0"s) != std::string::npos;
}

// One catalogue section as the program writes it.
std::string Entry(int n, const std::string& description, const std::string& dir,
                  const std::string& regType = "DEFAULT", const std::string& extra = "") {
  return "[EEP_" + std::to_string(n) + "]\r\nDescription=" + description + "\r\nAppDir=" + dir +
         "\r\nAppPath=" + dir + "\\eep.exe\r\nRegType=" + regType + "\r\n" + extra;
}

class Catalogue : public ::testing::Test {
 protected:
  FakePlatform fp;
  FakeMainView view;
  frmMain form{fp.platform, view};

  void Install(const std::string& key, const std::string& exe, const std::string& resBase = "Res") {
    fp.registry.PutString(plat::kHKCR, key, "AppPath", exe);
    fp.registry.PutString(plat::kHKCR, key, "ResBase", resBase);
  }
  void Exe(const std::string& path, const std::string& pv = "6, 0, 0, 3",
           const std::string& description = "EEP Eisenbahn") {
    VersionSpec v;
    v.strings = {{"FileDescription", description}, {"ProductName", "EEP Eisenbahn"},
                 {"ProductVersion", pv}};
    fp.version.SetVersion(path, v);
  }
  void Definition(const std::string& regType) {
    fp.files.AddFile("C:\\Gleisora\\" + regType + ".ini", "[Registry Keys]\r\n");
  }
  void Catalog(const std::string& text) { fp.files.AddFile(kIni, "[Settings]\r\n" + text); }
  std::string Get(const std::string& s, const std::string& k) { return IniGet(fp.files, s, k); }
  bool Has(const std::string& s) { return IniHas(fp.files, s); }
  // The catalogue part of a start-up.
  static void Start(frmMain& f) {
    f.EditionSuffix.clear();
    f.ReadInstalledVersion();
    f.LoadVersionList();
  }
  void Start() { Start(form); }
  static std::vector<std::string> RowKeys(const FakeMainView& v) {
    std::vector<std::string> keys;
    for (const auto& r : v.rows) keys.push_back(r.key);
    return keys;
  }
};

TEST_F(Catalogue, FirstRunWritesOneTickedEntryInOrder) {
  Exe("C:\\Programme\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\PROGRAMME\\EEP6\\eep.exe", "C:\\Programme\\EEP6\\Resourcen");
  Definition("EEP6003");

  Start();

  // The directory in its long form, the path as the registry has it.
  EXPECT_EQ("[Settings]\r\nCount=1\r\n[EEP_1]\r\nDescription=EEP Eisenbahn v6.03\r\n"
            "AppDir=C:\\Programme\\EEP6\r\nAppPath=C:\\PROGRAMME\\EEP6\\eep.exe\r\n"
            "ResBase=C:\\Programme\\EEP6\\Resourcen\r\nProductName=EEP Eisenbahn\r\n"
            "ProductVersion=6, 0, 0, 3\r\nRegType=EEP6003\r\n",
            fp.files.Content(kIni));
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ("EEP_1", form.ActiveKey);
  ASSERT_EQ(1, view.RowCount());
  EXPECT_EQ("EEP Eisenbahn v6.03|EEP6003|C:\\Programme\\EEP6",
            view.rows[0].text + "|" + view.rows[0].sub1 + "|" + view.rows[0].sub2);
  EXPECT_EQ(std::vector<int>{0}, view.CheckedRows());
}

TEST_F(Catalogue, MissingDefinitionFileWarnsOnlyWhenTheEntryIsCreated) {
  Exe("C:\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  view.caption = "Gleisora v1.10";

  Start();
  EXPECT_EQ("DEFAULT", Get("EEP_1", "RegType"));
  ASSERT_EQ(1u, view.boxes.size());
  EXPECT_EQ(
      "Es wurde keine geeignete ini-Datei für diese Version gefunden!\r\n"
      "Version: 6, 0, 0, 3\r\nEs wird die Standard ini-Datei verwendet!",
      view.boxes[0].text);
  EXPECT_EQ(mb::kOk | mb::kIconExclamation, view.boxes[0].style);
  EXPECT_EQ("Gleisora v1.10", view.boxes[0].title);
  EXPECT_EQ(std::vector<int>{0}, view.CheckedRows());

  FakeMainView again;
  frmMain second(fp.platform, again);
  Start(second);
  EXPECT_TRUE(again.boxes.empty());
  EXPECT_EQ("1", Get("Settings", "Count"));
  EXPECT_EQ("EEP_1", second.ActiveKey);
}

TEST_F(Catalogue, EditionDecidesKeyAndDefinitionFile) {
  Exe("C:\\Demo\\eep.exe");
  Definition("EEP6003");
  // Only the demo edition: candidates end in D, and EEP6003.ini does not count.
  Install(kDemoKey, "C:\\Demo\\eep.exe");
  Start();
  EXPECT_EQ("D", form.EditionSuffix);
  EXPECT_EQ("DEFAULT", Get("EEP_1", "RegType"));
  Definition("EEP6003D");
  EXPECT_EQ("EEP6003D", form.GetRegType("C:\\Demo\\eep.exe"));

  // Both editions: only the full edition's key is read.
  Exe("C:\\Full\\eep.exe", "6, 0, 0, 4");
  Install(kFullKey, "C:\\Full\\eep.exe", "FullRes");
  form.EditionSuffix.clear();
  form.ReadInstalledVersion();
  EXPECT_EQ("C:\\Full\\eep.exe", form.RegAppPath);
  EXPECT_EQ("C:\\Full", form.RegAppDir);
  EXPECT_EQ("FullRes", form.RegResBase);
  EXPECT_EQ("", form.EditionSuffix);
}

TEST_F(Catalogue, DescriptionTakesFirstSeventhAndLastCharacterOfVersion) {
  const std::pair<const char*, const char*> cases[] = {
      {"6, 0, 0, 3", "Sim v6.03"}, {"10, 2, 0, 7", "Sim v1. 7"}, {"7", "Sim v7.7"}, {"", "Sim v."}};
  for (const auto& [pv, expected] : cases) {
    FakePlatform p;
    FakeMainView v;
    frmMain f(p.platform, v);
    VersionSpec vi;
    vi.strings = {{"FileDescription", "Sim"}, {"ProductVersion", pv}};
    p.version.SetVersion("C:\\S\\eep.exe", vi);
    p.registry.PutString(plat::kHKCR, kFullKey, "AppPath", "C:\\S\\eep.exe");
    Start(f);
    EXPECT_EQ(expected, IniGet(p.files, "EEP_1", "Description")) << pv;
  }
  // No version resource at all: a blank, the letter v and a point, of which the
  // profile file keeps no leading blank.
  fp.files.AddFile("C:\\Bare\\eep.exe", "MZ");
  Install(kFullKey, "C:\\Bare\\eep.exe");
  Start();
  EXPECT_EQ("v.", Get("EEP_1", "Description"));
}

TEST_F(Catalogue, GapsDuplicatesAndCaseOfDirectories) {
  Exe("C:\\A\\eep.exe");
  Exe("C:\\Programme\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\Programme\\EEP6\\eep.exe");
  Definition("EEP6003");
  Catalog("Count=4\r\n" + Entry(1, "A", "C:\\A", "EEP6003") +
          Entry(3, "Six", "C:\\PROGRAMME\\EEP6", "EEP6003", "Saved=1\r\n") +
          Entry(4, "Six again", "c:\\programme\\eep6", "EEP6003"));
  const std::string before = fp.files.Content(kIni);

  Start();

  // EEP_2 is a gap: nothing asked, nothing written.
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ(before, fp.files.Content(kIni));
  ASSERT_EQ((std::vector<std::string>{"EEP_1", "EEP_3", "EEP_4"}), RowKeys(view));
  // Both match the registry's directory whatever the case; the later one wins.
  EXPECT_EQ("EEP_4", form.ActiveKey);
  EXPECT_EQ(std::vector<int>{2}, view.CheckedRows());
  EXPECT_FALSE(form.CanReset);                          // EEP_4 has no "Saved"
  EXPECT_EQ("C:\\PROGRAMME\\EEP6", view.rows[1].sub2);  // the directory as stored
}

TEST_F(Catalogue, EntryWithMissingExecutableIsOfferedForDeletion) {
  Exe("C:\\A\\eep.exe");
  Exe("C:\\C\\eep.exe");
  Catalog("Count=3\r\n" + Entry(1, "A", "C:\\A") + Entry(2, "Gone v5.00", "C:\\Gone") +
          "[EEP_2\\Settings]\r\nHKCU\\Software\\X\\Y=REG_SZ:1\r\n" + Entry(3, "C", "C:\\C"));
  view.caption = "Gleisora v1.10";
  const std::string before = fp.files.Content(kIni);

  // "No" keeps everything and shows no row for it.
  view.answers = {mb::kIdNo};
  Start();
  ASSERT_EQ(1u, view.boxes.size());
  EXPECT_EQ(
      "Gone v5.00 wurde nicht gefunden!\r\nVerzeichnis:\r\nC:\\Gone\r\n"
      "Soll der zugehörige Eintrag gelöscht werden?",
      view.boxes[0].text);
  EXPECT_EQ(mb::kYesNo | mb::kIconQuestion, view.boxes[0].style);
  EXPECT_EQ("Gleisora v1.10", view.boxes[0].title);
  EXPECT_EQ((std::vector<std::string>{"EEP_1", "EEP_3"}), RowKeys(view));
  EXPECT_EQ(before, fp.files.Content(kIni));

  // "Yes" at the next start removes the entry and its snapshot, nothing else.
  FakeMainView again;
  again.answers = {mb::kIdYes};
  frmMain second(fp.platform, again);
  Start(second);
  EXPECT_EQ(1u, again.boxes.size());
  EXPECT_TRUE(Has("EEP_3"));
  EXPECT_FALSE(Has("EEP_2"));
  EXPECT_FALSE(Has("EEP_2\\Settings"));
  EXPECT_EQ("3", Get("Settings", "Count"));
  EXPECT_EQ("A", Get("EEP_1", "Description"));
  EXPECT_EQ("C", Get("EEP_3", "Description"));
}

TEST_F(Catalogue, ChangedInstallationRefreshesItsEntry) {
  Exe("C:\\EEP6\\eep.exe", "6, 0, 0, 4", "EEP Neu");
  Install(kFullKey, "C:\\EEP6\\eep.exe", "NewRes");
  Definition("EEP6004");
  Catalog("Count=1\r\n" + Entry(1, "EEP Alt v6.03", "C:\\EEP6", "EEP6003",
                                "ResBase=OldRes\r\nProductName=Alt\r\nProductVersion=6, 0, 0, 3\r\n"
                                "Saved=1\r\n"));
  Start();

  EXPECT_EQ("EEP Neu v6.04", Get("EEP_1", "Description"));
  EXPECT_EQ("EEP6004", Get("EEP_1", "RegType"));
  EXPECT_EQ("EEP Eisenbahn", Get("EEP_1", "ProductName"));
  EXPECT_EQ("6, 0, 0, 4", Get("EEP_1", "ProductVersion"));
  EXPECT_EQ("OldRes", Get("EEP_1", "ResBase"));
  EXPECT_EQ("C:\\EEP6", Get("EEP_1", "AppDir"));
  EXPECT_TRUE(view.boxes.empty());
  ASSERT_EQ(1, view.RowCount());
  EXPECT_EQ("EEP Neu v6.04", view.rows[0].text);
  EXPECT_EQ("EEP6004", view.rows[0].sub1);
  EXPECT_TRUE(form.CanReset);

  // Between two versions without a definition file nothing is rewritten.
  Exe("C:\\EEP6\\eep.exe", "6, 0, 0, 9");
  Catalog("Count=1\r\n" + Entry(1, "Old v6.05", "C:\\EEP6"));
  const std::string before = fp.files.Content(kIni);
  FakeMainView again;
  frmMain second(fp.platform, again);
  Start(second);
  EXPECT_EQ(before, fp.files.Content(kIni));
  EXPECT_EQ("Old v6.05", again.rows.at(0).text);
}

TEST_F(Catalogue, SavedThatIsNoNumberDropsOnlyThatRow) {
  Exe("C:\\A\\eep.exe");
  Exe("C:\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  Catalog("Count=2\r\n" + Entry(1, "Six", "C:\\EEP6", "DEFAULT", "Saved=ja\r\n") +
          Entry(2, "A", "C:\\A"));
  Start();
  EXPECT_EQ("EEP_1", form.ActiveKey);
  EXPECT_EQ(std::vector<std::string>{"EEP_2"}, RowKeys(view));
  EXPECT_TRUE(view.CheckedRows().empty());
  EXPECT_FALSE(form.CanReset);
  EXPECT_EQ("2", Get("Settings", "Count"));  // active, so nothing appended
}

TEST_F(Catalogue, DamagedCountNeverOverwritesAnEntry) {
  for (const char* count : {"viele", "-5"}) {
    FakePlatform p;
    FakeMainView v;
    frmMain f(p.platform, v);
    p.version.SetVersion("C:\\EEP6\\eep.exe", VersionSpec{});
    p.version.SetVersion("C:\\A\\eep.exe", VersionSpec{});
    p.registry.PutString(plat::kHKCR, kFullKey, "AppPath", "C:\\EEP6\\eep.exe");
    p.files.AddFile(kIni, std::string("[Settings]\r\nCount=") + count + "\r\n" +
                              Entry(1, "A", "C:\\A", "DEFAULT", "Saved=1\r\n") +
                              "[EEP_1\\Settings]\r\nHKCU\\Software\\X\\Y=REG_SZ:1\r\n");
    Start(f);
    // The count reads as none, so no entry is shown; the new entry takes the next free
    // number instead of writing over EEP_1 and inheriting its snapshot.
    EXPECT_EQ("A", IniGet(p.files, "EEP_1", "Description")) << count;
    EXPECT_EQ("C:\\A", IniGet(p.files, "EEP_1", "AppDir")) << count;
    EXPECT_EQ("REG_SZ:1", IniGet(p.files, "EEP_1\\Settings", "HKCU\\Software\\X\\Y")) << count;
    EXPECT_EQ("C:\\EEP6", IniGet(p.files, "EEP_2", "AppDir")) << count;
    EXPECT_EQ("2", IniGet(p.files, "Settings", "Count")) << count;
    EXPECT_EQ(std::vector<std::string>{"EEP_2"}, RowKeys(v)) << count;
  }
  // An orphaned snapshot section keeps its number from being issued too.
  Exe("C:\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  Catalog("Count=1\r\n[EEP_2\\Settings]\r\nHKCU\\Software\\X\\Y=REG_SZ:1\r\n");
  Start();
  EXPECT_EQ("3", Get("Settings", "Count"));
  EXPECT_EQ("EEP_3", form.ActiveKey);
  EXPECT_FALSE(Has("EEP_2"));
}

TEST_F(Catalogue, HugeCountWalksOnlyTheExistingEntries) {
  Exe("C:\\A\\eep.exe");
  Exe("C:\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  Catalog("Count=2147483647\r\n" + Entry(1, "A", "C:\\A") + Entry(2, "Six", "C:\\EEP6"));
  Start();
  EXPECT_LT(fp.files.reads, 1000);
  EXPECT_EQ((std::vector<std::string>{"EEP_1", "EEP_2"}), RowKeys(view));
  EXPECT_EQ("EEP_2", form.ActiveKey);

  // Every number issued and no entry matching: nothing is appended (and no number
  // wraps around).
  fp.files.AddFile("C:\\Other\\eep.exe", "MZ");
  Install(kFullKey, "C:\\Other\\eep.exe");
  const std::string before = fp.files.Content(kIni);
  FakeMainView again;
  frmMain second(fp.platform, again);
  Start(second);
  EXPECT_EQ(before, fp.files.Content(kIni));
  EXPECT_EQ(2, again.RowCount());
}

TEST_F(Catalogue, EntriesWithMissingKeys) {
  Exe("C:\\A\\eep.exe");
  Install(kFullKey, "X:\\Weg\\eep.exe");  // a directory that does not exist
  Catalog(
      "Count=3\r\n[EEP_1]\r\nDescription=No path\r\nAppDir=C:\\A\r\n"
      "[EEP_2]\r\nAppPath=C:\\A\\eep.exe\r\n[EEP_3]\r\nAppPath=\r\nAppDir=C:\\A\r\n");
  Start();
  // No AppPath: skipped silently. No AppDir, Description or RegType: shown empty, and
  // matching nothing, not even the registry's unknown directory.
  EXPECT_TRUE(view.boxes.empty());
  ASSERT_EQ(std::vector<std::string>{"EEP_2"}, RowKeys(view));
  EXPECT_EQ("", view.rows[0].text + view.rows[0].sub1 + view.rows[0].sub2);
  EXPECT_EQ("", form.ActiveKey);
}

}  // namespace
