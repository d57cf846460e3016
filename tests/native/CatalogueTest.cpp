// The catalogue of installations: first run, refresh, deletion, and damaged files.
#include <gtest/gtest.h>

#include <sstream>

#include "app/frmMain.h"
#include "tests/fakes/FakeMainView.h"
#include "tests/fakes/FakeServices.h"

namespace {

const char kIni[] = "C:\\Gleisora\\Gleisora.ini";
const char kFullKey[] = "Software\\Software Untergrund\\EEXP";
const char kDemoKey[] = "Software\\Software Untergrund Demo\\EEXP";

// The launcher INI as written: sections and their keys in file order.
struct IniFile {
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> sections;

  explicit IniFile(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
      if (line.empty()) continue;
      if (line.front() == '[' && line.back() == ']') {
        sections.push_back({line.substr(1, line.size() - 2), {}});
      } else if (auto eq = line.find('='); eq != std::string::npos && !sections.empty()) {
        sections.back().second.push_back({line.substr(0, eq), line.substr(eq + 1)});
      }
    }
  }
  const std::vector<std::pair<std::string, std::string>>* Section(const std::string& name) const {
    for (const auto& s : sections)
      if (s.first == name) return &s.second;
    return nullptr;
  }
  std::vector<std::string> Keys(const std::string& name) const {
    std::vector<std::string> keys;
    if (auto* s = Section(name))
      for (const auto& kv : *s) keys.push_back(kv.first);
    return keys;
  }
  std::string Get(const std::string& section, const std::string& key) const {
    if (auto* s = Section(section))
      for (const auto& kv : *s)
        if (kv.first == key) return kv.second;
    return "<missing>";
  }
};

VersionSpec Version(const std::string& description, const std::string& productVersion,
                    const std::string& productName = "EEP Eisenbahn") {
  VersionSpec v;
  v.strings["FileDescription"] = description;
  v.strings["ProductName"] = productName;
  v.strings["ProductVersion"] = productVersion;
  return v;
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
    fp.version.SetVersion(path, Version(description, pv));
  }
  void Definition(const std::string& regType) {
    fp.files.AddFile("C:\\Gleisora\\" + regType + ".ini", "[Registry Keys]\r\n");
  }
  void Catalog(const std::string& text) { fp.files.AddFile(kIni, text); }
  IniFile Written() const { return IniFile(fp.files.Content(kIni)); }
  void Start() {
    form.EditionSuffix.clear();
    form.ReadInstalledVersion();
    form.LoadVersionList();
  }
  std::vector<std::string> RowKeys() {
    std::vector<std::string> keys;
    for (const auto& r : view.rows) keys.push_back(r.key);
    return keys;
  }
};

TEST_F(Catalogue, FirstRunWritesOneTickedEntryInOrder) {
  fp.files.AddDir("C:\\Programme\\EEP6");
  fp.files.AddShortName("C:\\PROGRA~1", "C:\\Programme");
  Exe("C:\\Programme\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\PROGRA~1\\EEP6\\eep.exe", "C:\\Programme\\EEP6\\Resourcen");
  Definition("EEP6003");

  Start();

  EXPECT_EQ("C:\\Programme\\EEP6", form.RegAppDir);  // long form
  IniFile ini = Written();
  ASSERT_GE(ini.sections.size(), 2u);
  EXPECT_EQ("Settings", ini.sections[0].first);
  EXPECT_EQ("1", ini.Get("Settings", "Count"));
  EXPECT_EQ((std::vector<std::string>{"Description", "AppDir", "AppPath", "ResBase", "ProductName",
                                      "ProductVersion", "RegType"}),
            ini.Keys("EEP_1"));
  EXPECT_EQ("EEP Eisenbahn v6.03", ini.Get("EEP_1", "Description"));
  EXPECT_EQ("C:\\Programme\\EEP6", ini.Get("EEP_1", "AppDir"));
  EXPECT_EQ("C:\\PROGRA~1\\EEP6\\eep.exe", ini.Get("EEP_1", "AppPath"));
  EXPECT_EQ("C:\\Programme\\EEP6\\Resourcen", ini.Get("EEP_1", "ResBase"));
  EXPECT_EQ("EEP Eisenbahn", ini.Get("EEP_1", "ProductName"));
  EXPECT_EQ("6, 0, 0, 3", ini.Get("EEP_1", "ProductVersion"));
  EXPECT_EQ("EEP6003", ini.Get("EEP_1", "RegType"));

  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ("EEP_1", form.ActiveKey);
  EXPECT_FALSE(form.CanReset);
  ASSERT_EQ(1, view.RowCount());
  EXPECT_EQ("EEP Eisenbahn v6.03", view.rows[0].text);
  EXPECT_EQ("EEP6003", view.rows[0].sub1);
  EXPECT_EQ("C:\\Programme\\EEP6", view.rows[0].sub2);
  EXPECT_EQ(std::vector<int>{0}, view.CheckedRows());
}

TEST_F(Catalogue, MissingDefinitionFileWarnsOnceWithFixedText) {
  Exe("C:\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  view.caption = "Gleisora v1.10";

  Start();

  EXPECT_EQ("DEFAULT", Written().Get("EEP_1", "RegType"));
  ASSERT_EQ(1u, view.boxes.size());
  EXPECT_EQ(
      "Es wurde keine geeignete ini-Datei für diese Version gefunden!\r\n"
      "Version: 6, 0, 0, 3\r\nEs wird die Standard ini-Datei verwendet!",
      view.boxes[0].text);
  EXPECT_EQ(mb::kOk | mb::kIconExclamation, view.boxes[0].style);
  EXPECT_EQ("Gleisora v1.10", view.boxes[0].title);
  EXPECT_EQ(std::vector<int>{0}, view.CheckedRows());

  // The next start finds the entry and says nothing.
  FakeMainView again;
  frmMain second(fp.platform, again);
  second.ReadInstalledVersion();
  second.LoadVersionList();
  EXPECT_TRUE(again.boxes.empty());
  EXPECT_EQ("1", Written().Get("Settings", "Count"));
  EXPECT_EQ("EEP_1", second.ActiveKey);
}

TEST_F(Catalogue, EditionDecidesKeyAndDefinitionFile) {
  Exe("C:\\Demo\\eep.exe");
  Definition("EEP6003");

  // Only the demo edition: candidates end in D, and EEP6003.ini does not count.
  Install(kDemoKey, "C:\\Demo\\eep.exe");
  Start();
  EXPECT_EQ("D", form.EditionSuffix);
  EXPECT_EQ("DEFAULT", Written().Get("EEP_1", "RegType"));
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
  const std::pair<std::string, std::string> cases[] = {
      {"6, 0, 0, 3", "Sim v6.03"}, {"10, 2, 0, 7", "Sim v1. 7"}, {"7", "Sim v7.7"}, {"", "Sim v."}};
  int n = 0;
  for (const auto& [pv, expected] : cases) {
    FakePlatform p;
    FakeMainView v;
    frmMain f(p.platform, v);
    const std::string exe = "C:\\S" + std::to_string(++n) + "\\eep.exe";
    p.version.SetVersion(exe, Version("Sim", pv));
    p.registry.PutString(plat::kHKCR, kFullKey, "AppPath", exe);
    f.ReadInstalledVersion();
    f.LoadVersionList();
    EXPECT_EQ(expected, IniFile(p.files.Content(kIni)).Get("EEP_1", "Description")) << pv;
  }

  // No version resource at all: a blank, the letter v and a point.
  FakePlatform p;
  FakeMainView v;
  frmMain f(p.platform, v);
  p.files.AddFile("C:\\Bare\\eep.exe", "MZ");
  p.registry.PutString(plat::kHKCR, kFullKey, "AppPath", "C:\\Bare\\eep.exe");
  f.ReadInstalledVersion();
  f.LoadVersionList();
  EXPECT_EQ(" v.", IniFile(p.files.Content(kIni)).Get("EEP_1", "Description"));
  EXPECT_EQ("DEFAULT", IniFile(p.files.Content(kIni)).Get("EEP_1", "RegType"));
}

TEST_F(Catalogue, GapsDuplicatesAndCaseOfDirectories) {
  Exe("C:\\A\\eep.exe");
  Exe("C:\\Programme\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\Programme\\EEP6\\eep.exe");
  Definition("EEP6003");
  Catalog(
      "[Settings]\r\nCount=4\r\n"
      "[EEP_1]\r\nDescription=A\r\nAppDir=C:\\A\r\nAppPath=C:\\A\\eep.exe\r\nRegType=EEP6003\r\n"
      "[EEP_3]\r\nDescription=Six\r\nAppDir=C:\\PROGRAMME\\EEP6\r\n"
      "AppPath=C:\\Programme\\EEP6\\eep.exe\r\nRegType=EEP6003\r\nSaved=1\r\n"
      "[EEP_4]\r\nDescription=Six again\r\nAppDir=c:\\programme\\eep6\r\n"
      "AppPath=C:\\Programme\\EEP6\\eep.exe\r\nRegType=EEP6003\r\n");
  const std::string before = fp.files.Content(kIni);

  Start();

  // EEP_2 is a gap: nothing asked, nothing written.
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ(before, fp.files.Content(kIni));
  ASSERT_EQ((std::vector<std::string>{"EEP_1", "EEP_3", "EEP_4"}), RowKeys());
  // Both match the registry's directory whatever the case; the later one wins.
  EXPECT_EQ("EEP_4", form.ActiveKey);
  EXPECT_EQ(std::vector<int>{2}, view.CheckedRows());
  EXPECT_FALSE(form.CanReset);  // EEP_4 has no "Saved"
  EXPECT_EQ("C:\\PROGRAMME\\EEP6", view.rows[1].sub2);  // the directory as stored
}

TEST_F(Catalogue, EntryWithMissingExecutableIsOfferedForDeletion) {
  Exe("C:\\A\\eep.exe");
  Catalog(
      "[Settings]\r\nCount=3\r\n"
      "[EEP_1]\r\nDescription=A\r\nAppDir=C:\\A\r\nAppPath=C:\\A\\eep.exe\r\nRegType=DEFAULT\r\n"
      "[EEP_2]\r\nDescription=Gone v5.00\r\nAppDir=C:\\Gone\r\nAppPath=C:\\Gone\\eep.exe\r\n"
      "[EEP_2\\Settings]\r\nHKCU\\Software\\X\\Y=REG_SZ:1\r\n"
      "[EEP_3]\r\nDescription=C\r\nAppDir=C:\\C\r\nAppPath=C:\\A\\eep.exe\r\n");
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
  EXPECT_EQ((std::vector<std::string>{"EEP_1", "EEP_3"}), RowKeys());
  EXPECT_EQ(before, fp.files.Content(kIni));

  // "Yes" at the next start removes the entry and its snapshot, nothing else.
  FakeMainView again;
  again.answers = {mb::kIdYes};
  frmMain second(fp.platform, again);
  second.ReadInstalledVersion();
  second.LoadVersionList();
  ASSERT_EQ(1u, again.boxes.size());
  IniFile ini = Written();
  EXPECT_EQ(nullptr, ini.Section("EEP_2"));
  EXPECT_EQ(nullptr, ini.Section("EEP_2\\Settings"));
  EXPECT_EQ("3", ini.Get("Settings", "Count"));
  EXPECT_EQ("A", ini.Get("EEP_1", "Description"));
  EXPECT_EQ("C", ini.Get("EEP_3", "Description"));
  EXPECT_EQ(2, again.RowCount());
}

TEST_F(Catalogue, ChangedInstallationRefreshesItsEntry) {
  Exe("C:\\EEP6\\eep.exe", "6, 0, 0, 4", "EEP Neu");
  Install(kFullKey, "C:\\EEP6\\eep.exe", "NewRes");
  Definition("EEP6004");
  Catalog(
      "[Settings]\r\nCount=1\r\n"
      "[EEP_1]\r\nDescription=EEP Alt v6.03\r\nAppDir=C:\\EEP6\r\nAppPath=C:\\EEP6\\eep.exe\r\n"
      "ResBase=OldRes\r\nProductName=Alt\r\nProductVersion=6, 0, 0, 3\r\nRegType=EEP6003\r\n"
      "Saved=1\r\n");

  Start();

  IniFile ini = Written();
  EXPECT_EQ("EEP Neu v6.04", ini.Get("EEP_1", "Description"));
  EXPECT_EQ("EEP6004", ini.Get("EEP_1", "RegType"));
  EXPECT_EQ("EEP Eisenbahn", ini.Get("EEP_1", "ProductName"));
  EXPECT_EQ("6, 0, 0, 4", ini.Get("EEP_1", "ProductVersion"));
  EXPECT_EQ("OldRes", ini.Get("EEP_1", "ResBase"));
  EXPECT_EQ("C:\\EEP6", ini.Get("EEP_1", "AppDir"));
  EXPECT_EQ("1", ini.Get("Settings", "Count"));
  EXPECT_TRUE(view.boxes.empty());
  ASSERT_EQ(1, view.RowCount());
  EXPECT_EQ("EEP Neu v6.04", view.rows[0].text);
  EXPECT_EQ("EEP6004", view.rows[0].sub1);
  EXPECT_TRUE(form.CanReset);
}

TEST_F(Catalogue, UpdateBetweenVersionsWithoutDefinitionFileRewritesNothing) {
  Exe("C:\\EEP6\\eep.exe", "6, 0, 0, 9");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  Catalog(
      "[Settings]\r\nCount=1\r\n"
      "[EEP_1]\r\nDescription=Old v6.05\r\nAppDir=C:\\EEP6\r\nAppPath=C:\\EEP6\\eep.exe\r\n"
      "RegType=DEFAULT\r\n");
  const std::string before = fp.files.Content(kIni);

  Start();

  EXPECT_EQ(before, fp.files.Content(kIni));
  EXPECT_EQ("Old v6.05", view.rows.at(0).text);
  EXPECT_EQ("EEP_1", form.ActiveKey);
}

TEST_F(Catalogue, SavedThatIsNoNumberDropsOnlyThatRow) {
  Exe("C:\\A\\eep.exe");
  Exe("C:\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  Catalog(
      "[Settings]\r\nCount=2\r\n"
      "[EEP_1]\r\nDescription=Six\r\nAppDir=C:\\EEP6\r\nAppPath=C:\\EEP6\\eep.exe\r\n"
      "RegType=DEFAULT\r\nSaved=ja\r\n"
      "[EEP_2]\r\nDescription=A\r\nAppDir=C:\\A\r\nAppPath=C:\\A\\eep.exe\r\nRegType=DEFAULT\r\n");

  Start();

  EXPECT_EQ("EEP_1", form.ActiveKey);
  EXPECT_EQ(std::vector<std::string>{"EEP_2"}, RowKeys());
  EXPECT_TRUE(view.CheckedRows().empty());
  EXPECT_FALSE(form.CanReset);
  // Active, so nothing is appended.
  EXPECT_EQ("2", Written().Get("Settings", "Count"));
}

TEST_F(Catalogue, DamagedCountNeverOverwritesAnEntry) {
  Exe("C:\\A\\eep.exe");
  Exe("C:\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  const std::string entry1 =
      "[EEP_1]\r\nDescription=A\r\nAppDir=C:\\A\r\nAppPath=C:\\A\\eep.exe\r\nRegType=DEFAULT\r\n"
      "Saved=1\r\n[EEP_1\\Settings]\r\nHKCU\\Software\\X\\Y=REG_SZ:1\r\n";

  for (const char* count : {"viele", "-5"}) {
    FakePlatform p;
    FakeMainView v;
    frmMain f(p.platform, v);
    p.version.SetVersion("C:\\EEP6\\eep.exe", Version("Six", "6, 0, 0, 3"));
    p.version.SetVersion("C:\\A\\eep.exe", Version("A", "6, 0, 0, 3"));
    p.registry.PutString(plat::kHKCR, kFullKey, "AppPath", "C:\\EEP6\\eep.exe");
    p.files.AddFile(kIni, std::string("[Settings]\r\nCount=") + count + "\r\n" + entry1);
    f.ReadInstalledVersion();
    f.LoadVersionList();
    IniFile ini(p.files.Content(kIni));
    // The count reads as none, so no entry is shown; the new one takes the next free
    // number instead of writing over EEP_1 and inheriting its snapshot.
    EXPECT_EQ("A", ini.Get("EEP_1", "Description")) << count;
    EXPECT_EQ("C:\\A", ini.Get("EEP_1", "AppDir")) << count;
    EXPECT_EQ("REG_SZ:1", ini.Get("EEP_1\\Settings", "HKCU\\Software\\X\\Y")) << count;
    EXPECT_EQ("C:\\EEP6", ini.Get("EEP_2", "AppDir")) << count;
    EXPECT_EQ("2", ini.Get("Settings", "Count")) << count;
    EXPECT_EQ(std::vector<std::string>{"EEP_2"}, [&] {
      std::vector<std::string> k;
      for (auto& r : v.rows) k.push_back(r.key);
      return k;
    }()) << count;
    EXPECT_EQ("EEP_2", f.ActiveKey) << count;
  }
}

TEST_F(Catalogue, OrphanedSnapshotIsNotHandedToANewEntry) {
  Exe("C:\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  Catalog("[Settings]\r\nCount=1\r\n[EEP_2\\Settings]\r\nHKCU\\Software\\X\\Y=REG_SZ:1\r\n");

  Start();

  IniFile ini = Written();
  EXPECT_EQ("3", ini.Get("Settings", "Count"));
  EXPECT_EQ("C:\\EEP6", ini.Get("EEP_3", "AppDir"));
  EXPECT_EQ(nullptr, ini.Section("EEP_2"));
  EXPECT_EQ("EEP_3", form.ActiveKey);
}

TEST_F(Catalogue, HugeCountWalksOnlyTheExistingEntries) {
  Exe("C:\\A\\eep.exe");
  Exe("C:\\EEP6\\eep.exe");
  Install(kFullKey, "C:\\EEP6\\eep.exe");
  Catalog(
      "[Settings]\r\nCount=2147483647\r\n"
      "[EEP_1]\r\nDescription=A\r\nAppDir=C:\\A\r\nAppPath=C:\\A\\eep.exe\r\nRegType=DEFAULT\r\n"
      "[EEP_2]\r\nDescription=Six\r\nAppDir=C:\\EEP6\r\nAppPath=C:\\EEP6\\eep.exe\r\n"
      "RegType=DEFAULT\r\n");

  Start();

  EXPECT_LT(fp.files.reads, 1000);
  EXPECT_EQ((std::vector<std::string>{"EEP_1", "EEP_2"}), RowKeys());
  EXPECT_EQ("EEP_2", form.ActiveKey);

  // With the last number issued and no entry matching, no number is left: nothing
  // is appended (and no wrapped-around number is written).
  FakeMainView v;
  frmMain f(fp.platform, v);
  fp.files.AddFile("C:\\Other\\eep.exe", "MZ");
  fp.registry.PutString(plat::kHKCR, kFullKey, "AppPath", "C:\\Other\\eep.exe");
  const std::string before = fp.files.Content(kIni);
  f.ReadInstalledVersion();
  f.LoadVersionList();
  EXPECT_EQ(before, fp.files.Content(kIni));
  EXPECT_EQ("", f.ActiveKey);
  EXPECT_EQ(2, v.RowCount());
}

TEST_F(Catalogue, RegistryPathThatNamesNoFileAddsNoEntry) {
  fp.files.AddDir("C:\\EEP6");
  for (const char* path : {"C:\\EEP6", "C:\\EEP6\\eep.exe", "X:\\Nirgends\\eep.exe", ""}) {
    fp.registry.PutString(plat::kHKCR, kFullKey, "AppPath", path);
    FakeMainView v;
    frmMain f(fp.platform, v);
    f.ReadInstalledVersion();
    f.LoadVersionList();
    EXPECT_FALSE(fp.files.Exists(kIni)) << path;
    EXPECT_TRUE(v.boxes.empty()) << path;
    EXPECT_EQ("", f.ActiveKey) << path;
  }
}

TEST_F(Catalogue, EntriesWithMissingKeys) {
  Exe("C:\\A\\eep.exe");
  fp.registry.PutString(plat::kHKCR, kFullKey, "AppPath", "X:\\Weg\\eep.exe");
  Catalog(
      "[Settings]\r\nCount=3\r\n"
      "[EEP_1]\r\nDescription=No path\r\nAppDir=C:\\A\r\n"
      "[EEP_2]\r\nAppPath=C:\\A\\eep.exe\r\n"
      "[EEP_3]\r\nAppPath=\r\nAppDir=C:\\A\r\n");

  Start();

  // No AppPath: skipped silently. No AppDir, Description or RegType: shown empty,
  // and an unknown installation directory matches nothing.
  EXPECT_TRUE(view.boxes.empty());
  ASSERT_EQ(std::vector<std::string>{"EEP_2"}, RowKeys());
  EXPECT_EQ("", view.rows[0].text);
  EXPECT_EQ("", view.rows[0].sub1);
  EXPECT_EQ("", view.rows[0].sub2);
  EXPECT_EQ("", form.ActiveKey);
}

}  // namespace
