// The catalogue of installations: first run, refresh, deletion, damaged files, and
// the definition of an installation.
#include <gtest/gtest.h>

#include "catalogue/Catalogue.h"
#include "catalogue/Installation.h"
#include "switching/Operations.h"
#include "tests/native/Rig.h"

namespace {

const char kFullKey[] = "Software\\Software Untergrund\\EEXP";
const char kDemoKey[] = "Software\\Software Untergrund Demo\\EEXP";

// One catalogue section as the program writes it.
std::string Entry(int n, const std::string& description, const std::string& dir,
                  const std::string& regType = "DEFAULT", const std::string& extra = "") {
  return "[EEP_" + std::to_string(n) + "]\r\nDescription=" + description + "\r\nAppDir=" + dir +
         "\r\nAppPath=" + dir + "\\eep.exe\r\nRegType=" + regType + "\r\n" + extra;
}

struct CatalogueTest : ::testing::Test, Rig {
  InstalledVersion installed;
  VersionList list;

  void Install(const std::string& key, const std::string& exe, const std::string& resBase = "Res") {
    fp.registry.PutString(plat::kHKCR, key, "AppPath", exe);
    fp.registry.PutString(plat::kHKCR, key, "ResBase", resBase);
  }
  void Exe(const std::string& path, const std::string& pv = "6, 0, 0, 3",
           const std::string& description = "EEP Eisenbahn") {
    VersionSpec v;
    v.strings = {{"FileDescription", description}, {"ProductName", "EEP Eisenbahn"}, {"ProductVersion", pv}};
    fp.version.SetVersion(path, v);
  }
  void Definition(const std::string& regType) { File(regType + ".ini", "[Registry Keys]\r\n"); }
  void Catalog(const std::string& text) { File("Gleisora.ini", "[Settings]\r\n" + text); }
  // The catalogue part of a start-up.
  void Start() {
    Catalogue c(ctx);
    installed = {};
    c.ReadInstalledVersion(installed);
    list = c.LoadVersionList(installed);
  }
  // The list as loaded: "active:canReset", then a line "key|description|regType|appDir" per row.
  std::string Listed() const {
    std::string s = list.activeKey + ":" + std::to_string(list.canReset);
    for (const auto& r : list.rows) s += "\n" + r.key + "|" + r.description + "|" + r.regType + "|" + r.appDir;
    return s;
  }
  // Each message box as "text|style;".
  std::string Asked() const {
    std::string s;
    for (const auto& b : boxes) s += b.text + "|" + std::to_string(b.style) + ";";
    return s;
  }
  std::string Content() { return fp.files.Content(kIni); }
};

TEST_F(CatalogueTest, EditionDecidesKeyAndDefinitionFile) {
  Exe("C:\\Demo\\eep.exe");
  Definition("EEP6003");
  // Only the demo edition: candidates end in D, and EEP6003.ini does not count.
  Install(kDemoKey, "C:\\Demo\\eep.exe");
  Start();
  EXPECT_EQ("D", installed.EditionSuffix);
  EXPECT_EQ("DEFAULT", Read("EEP_1", "RegType"));
  Definition("EEP6003D");
  EXPECT_EQ("EEP6003D", Catalogue(ctx).GetRegType("C:\\Demo\\eep.exe", "D"));
  EXPECT_EQ("EEP6003", Catalogue(ctx).GetRegType("C:\\Demo\\eep.exe", ""));

  // Both editions: only the full edition's key is read.
  Exe("C:\\Full\\eep.exe", "6, 0, 0, 4");
  Install(kFullKey, "C:\\Full\\eep.exe", "FullRes");
  Start();
  EXPECT_EQ("C:\\Full\\eep.exe|C:\\Full|FullRes|",
            installed.RegAppPath + "|" + installed.RegAppDir + "|" + installed.RegResBase + "|" +
                installed.EditionSuffix);
}

TEST_F(CatalogueTest, DescriptionTakesFirstSeventhAndLastCharacterOfVersion) {
  const std::pair<const char*, const char*> cases[] = {
      {"6, 0, 0, 3", "Sim v6.03"}, {"10, 2, 0, 7", "Sim v1. 7"}, {"7", "Sim v7.7"}, {"", "Sim v."}};
  for (const auto& [pv, expected] : cases) {
    Catalog("");
    Exe("C:\\S\\eep.exe", pv, "Sim");
    Install(kFullKey, "C:\\S\\eep.exe");
    Start();
    EXPECT_EQ(expected, Read("EEP_1", "Description")) << pv;
  }
  // No version resource at all: the profile file keeps no leading blank of " v.".
  Catalog("");
  fp.files.AddFile("C:\\Bare\\eep.exe", "MZ");
  Install(kFullKey, "C:\\Bare\\eep.exe");
  Start();
  EXPECT_EQ("v.", Read("EEP_1", "Description"));
}

// A catalogue found at the start beside an installed simulator: the rows it lists, the
// active entry and whether it can be reset, the questions asked and what is left on disk.
struct Scene {
  const char* name;
  std::string catalog;    // after "[Settings]"
  const char* installed;  // the simulator key's AppPath
  const char* listed;     // as Listed() gives it
  std::string boxes = "", after = "";  // the catalogue afterwards; "" = as it was
  int answer = mb::kIdNo;
  const char* version = nullptr;  // the installed simulator's, if it is not one of the three
};
// The entry a start appends for the simulator in C:\EEP6.
std::string Appended(int n) {
  return "[EEP_" + std::to_string(n) + "]\r\nDescription=EEP Eisenbahn v6.03\r\nAppDir=C:\\EEP6\r\n" +
         "AppPath=C:\\EEP6\\eep.exe\r\nResBase=Res\r\nProductName=EEP Eisenbahn\r\n" +
         "ProductVersion=6, 0, 0, 3\r\nRegType=EEP6003\r\n";
}
const std::string kGone = Entry(1, "A", "C:\\A") + Entry(2, "Gone v5.00", "C:\\Gone") +
                          "[EEP_2\\Settings]\r\nHKCU\\Software\\X\\Y=REG_SZ:1\r\n" + Entry(3, "C", "C:\\C");
const char kGoneAsked[] =
    "Gone v5.00 wurde nicht gefunden!\r\nVerzeichnis:\r\nC:\\Gone\r\nSoll der zugehörige Eintrag gelöscht werden?|36;";
const char kGoneListed[] = ":0\nEEP_1|A|DEFAULT|C:\\A\nEEP_3|C|DEFAULT|C:\\C";
const std::string kSaved =
    Entry(1, "A", "C:\\A", "DEFAULT", "Saved=1\r\n") + "[EEP_1\\Settings]\r\nHKCU\\X\\Y=REG_SZ:1\r\n";
const char kSecondListed[] = "EEP_2:0\nEEP_2|EEP Eisenbahn v6.03|EEP6003|C:\\EEP6";
const std::string kTwo =
    "Count=2147483647\r\n" + Entry(1, "A", "C:\\A") + Entry(2, "Six", "C:\\EEP6", "EEP6003");
const Scene kScenes[] = {
    // The first start enters the simulator: the directory in its long form, the path as the
    // registry has it. Without a definition file for its version it is warned about.
    {"FirstRunWithoutDefinition", "", "C:\\eep6\\EEP.EXE",
     "EEP_1:0\nEEP_1|EEP Eisenbahn v6.09|DEFAULT|C:\\EEP6",
     "Es wurde keine geeignete ini-Datei für diese Version gefunden!\r\nVersion: 6, 0, 0, 9\r\n"
     "Es wird die Standard ini-Datei verwendet!|48;",
     "[Settings]\r\nCount=1\r\n[EEP_1]\r\nDescription=EEP Eisenbahn v6.09\r\nAppDir=C:\\EEP6\r\n"
     "AppPath=C:\\eep6\\EEP.EXE\r\nResBase=Res\r\nProductName=EEP Eisenbahn\r\n"
     "ProductVersion=6, 0, 0, 9\r\nRegType=DEFAULT\r\n",
     mb::kIdNo, "6, 0, 0, 9"},
    // EEP_2 is a gap. Both later entries match the registry's folder whatever the case;
    // the later one wins, and having no "Saved" it cannot be reset.
    {"GapsAndCaseOfFolders",
     "Count=4\r\n" + Entry(1, "A", "C:\\A", "EEP6003") + Entry(3, "Six", "C:\\EEP6", "EEP6003", "Saved=1\r\n") +
         Entry(4, "Six again", "c:\\eep6", "EEP6003"),
     "C:\\EEP6\\eep.exe",
     "EEP_4:0\nEEP_1|A|EEP6003|C:\\A\nEEP_3|Six|EEP6003|C:\\EEP6\nEEP_4|Six again|EEP6003|c:\\eep6"},
    // Active, so nothing appended; its row is dropped.
    {"SavedThatIsNoNumber",
     "Count=2\r\n" + Entry(1, "Six", "C:\\EEP6", "EEP6003", "Saved=ja\r\n") + Entry(2, "A", "C:\\A"),
     "C:\\EEP6\\eep.exe", "EEP_1:0\nEEP_2|A|DEFAULT|C:\\A"},
    // No AppPath: skipped. No AppDir, Description or RegType: shown empty, matching
    // nothing, not even the registry's unknown folder.
    {"MissingKeys",
     "Count=3\r\n[EEP_1]\r\nDescription=No path\r\nAppDir=C:\\A\r\n[EEP_2]\r\nAppPath=C:\\A\\eep.exe\r\n"
     "[EEP_3]\r\nAppPath=\r\nAppDir=C:\\A\r\n",
     "X:\\Weg\\eep.exe", ":0\nEEP_2|||"},
    // An entry whose program is gone is offered for deletion; "Yes" removes it with its
    // snapshot, and nothing else.
    {"MissingProgramKept", "Count=3\r\n" + kGone, "", kGoneListed, kGoneAsked},
    {"MissingProgramDeleted", "Count=3\r\n" + kGone, "", kGoneListed, kGoneAsked,
     "[Settings]\r\nCount=3\r\n" + Entry(1, "A", "C:\\A") + Entry(3, "C", "C:\\C"), mb::kIdYes},
    // A version with a definition file of its own renews the entry's texts and type;
    // ResBase and Saved stay.
    {"NewVersionRefreshesItsEntry",
     "Count=1\r\n" + Entry(1, "EEP Alt v6.03", "C:\\EEP6", "EEP6003",
                           "ResBase=OldRes\r\nProductName=Alt\r\nProductVersion=6, 0, 0, 3\r\nSaved=1\r\n"),
     "C:\\EEP6\\eep.exe", "EEP_1:1\nEEP_1|EEP Eisenbahn v6.04|EEP6004|C:\\EEP6", "",
     "[Settings]\r\nCount=1\r\n" +
         Entry(1, "EEP Eisenbahn v6.04", "C:\\EEP6", "EEP6004",
               "ResBase=OldRes\r\nProductName=EEP Eisenbahn\r\nProductVersion=6, 0, 0, 4\r\nSaved=1\r\n"),
     mb::kIdNo, "6, 0, 0, 4"},
    // Between two versions without a definition file nothing is rewritten, nor warned about.
    {"NewVersionWithoutDefinitionKeepsItsEntry", "Count=1\r\n" + Entry(1, "Old v6.05", "C:\\EEP6"),
     "C:\\EEP6\\eep.exe", "EEP_1:0\nEEP_1|Old v6.05|DEFAULT|C:\\EEP6", "", "", mb::kIdNo, "6, 0, 0, 9"},
    // A count that reads as none reads no entry, and the new one takes the next free number
    // instead of writing over EEP_1 and inheriting its snapshot.
    {"CountNoNumber", "Count=viele\r\n" + kSaved, "C:\\EEP6\\eep.exe", kSecondListed, "",
     "[Settings]\r\nCount=2\r\n" + kSaved + Appended(2)},
    {"CountNegative", "Count=-5\r\n" + kSaved, "C:\\EEP6\\eep.exe", kSecondListed, "",
     "[Settings]\r\nCount=2\r\n" + kSaved + Appended(2)},
    // An orphaned snapshot section keeps its number from being issued too.
    {"OrphanedSnapshot", "Count=1\r\n[EEP_2\\Settings]\r\nHKCU\\X\\Y=REG_SZ:1\r\n", "C:\\EEP6\\eep.exe",
     "EEP_3:0\nEEP_3|EEP Eisenbahn v6.03|EEP6003|C:\\EEP6",
     "", "[Settings]\r\nCount=3\r\n[EEP_2\\Settings]\r\nHKCU\\X\\Y=REG_SZ:1\r\n" + Appended(3)},
    // A huge count walks only the existing entries; with every number issued and no
    // entry matching, nothing is appended and no number wraps around.
    {"HugeCount", kTwo, "C:\\EEP6\\eep.exe", "EEP_2:0\nEEP_1|A|DEFAULT|C:\\A\nEEP_2|Six|EEP6003|C:\\EEP6"},
    {"HugeCountNoNumberLeft", kTwo, "C:\\Other\\eep.exe",
     ":0\nEEP_1|A|DEFAULT|C:\\A\nEEP_2|Six|EEP6003|C:\\EEP6", "", "", mb::kIdNo, "6, 0, 0, 3"},
};
struct Scenes : CatalogueTest, ::testing::WithParamInterface<Scene> {};

TEST_P(Scenes, ListWhatTheCatalogueHolds) {
  const Scene& c = GetParam();
  for (const char* dir : {"C:\\A", "C:\\C", "C:\\EEP6"}) Exe(std::string(dir) + "\\eep.exe");
  Definition("EEP6003");
  Definition("EEP6004");
  if (*c.installed) {
    Install(kFullKey, c.installed);
    if (c.version) Exe(c.installed, c.version);
  }
  Catalog(c.catalog);
  const std::string before = Content();
  answers = {c.answer};
  Start();
  EXPECT_EQ(c.listed, Listed());
  EXPECT_EQ(c.boxes, Asked());
  EXPECT_EQ(c.after.empty() ? before : c.after, Content());
  EXPECT_LT(fp.fileFaults.calls["ReadAll"], 1000);
}
INSTANTIATE_TEST_SUITE_P(CatalogueTest, Scenes, ::testing::ValuesIn(kScenes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TruthValueTest, NumbersAndWordsInAnyCase) {
  for (const char* f : {"0", "False", " fALSE\t", "0.0", "-0", "&H0"}) EXPECT_EQ(false, TruthValue(f)) << f;
  for (const char* t : {"1", "True", " TRUE ", "-1", "0.5", "1e3"}) EXPECT_EQ(true, TruthValue(t)) << t;
  for (const char* n : {"", "yes", "1x", "Falsey", "truex"}) EXPECT_FALSE(TruthValue(n).has_value()) << n;
}

TEST_F(CatalogueTest, DefinitionIsReadOnceWithItsSelectedKeysAndLists) {
  File("Gleisora.ini", "[EEP_1]\r\nRegType=EEP6003\r\nAppDir=C:\\E\r\n[EEP_2]\r\nAppDir=C:\\F\r\n");
  File("EEP6003.ini",
       "[Registry Keys]\r\nHKCU\\Off=false\r\nHKCU\\On=yes\r\nHKCU\\One=1\r\n"
       "[Factory Settings]\r\nHKCU\\F\\z=REG_SZ:x\r\n[Register]\r\n{AppDir}\\a.dll=1\r\n"
       "[Unregister]\r\n{AppDir}\\b.dll=0\r\n");
  const Installation inst = ReadInstallation(fp.platform, "EEP_1");
  EXPECT_EQ("EEP6003|C:\\E|C:\\Gleisora\\EEP6003.ini",
            inst.regType + "|" + inst.appDir + "|" + inst.definitionPath);
  EXPECT_EQ((std::vector<std::string>{"HKCU\\On", "HKCU\\One"}), inst.keys);
  EXPECT_EQ((Installation::Lines{{"HKCU\\F\\z", "REG_SZ:x"}}), inst.factory);
  EXPECT_EQ((Installation::Lines{{"{AppDir}\\a.dll", "1"}}), inst.registerList);
  EXPECT_EQ((Installation::Lines{{"{AppDir}\\b.dll", "0"}}), inst.unregisterList);
  // Without a RegType the entry uses DEFAULT; a missing file selects nothing.
  const Installation bare = ReadInstallation(fp.platform, "EEP_2");
  EXPECT_EQ("C:\\Gleisora\\DEFAULT.ini", bare.definitionPath);
  EXPECT_TRUE(bare.keys.empty() && bare.factory.empty() && bare.registerList.empty());
}

}  // namespace

// An installation added by hand: entered as detection enters one, from its own files.
TEST_F(CatalogueTest, AddedInstallationIsEnteredFromItsOwnFilesAndNamedByTheSimulatorKey) {
  Catalog("Count=2\r\n" + Entry(1, "Alt", "C:\\Alt") + "[EEP_3\\Settings]\r\n");
  Exe("C:\\Alt\\eep.exe");
  Exe("C:\\EEP Demo\\eep.exe", "6, 0, 0, 3", "EEP Demo");
  fp.files.AddDir("C:\\EEP Demo\\Resourcen");
  File("EEP6003D.ini", "[Registry Keys]\r\nHKCR\\" + std::string(kDemoKey) +
                           "=1\r\n[Factory Settings]\r\nHKCU\\S\\Dir=REG_SZ:{AppDir}\\x\r\n");
  Catalogue c(ctx);
  ASSERT_TRUE(c.AddInstallation("C:\\EEP Demo\\eep.exe"));  // its row: see the end
  // EEP_3's snapshot keeps its number.
  EXPECT_EQ("4|C:\\EEP Demo\\Resourcen", Read("Settings", "Count") + "|" + Read("EEP_4", "ResBase"));
  for (const char* listed : {"C:\\ALT\\eep.exe", "C:\\EEP Demo\\eep.exe", "C:\\None\\eep.exe"})
    EXPECT_FALSE(c.AddInstallation(listed)) << listed;
  EXPECT_EQ("Alt\r\nC:\\Alt\r\nDiese Installation steht bereits in der Liste!|48;"
            "EEP Demo v6.03\r\nC:\\EEP Demo\r\nDiese Installation steht bereits in der Liste!|48;"
            "Diese Datei kann nicht hinzugefügt werden: Entweder gibt es sie nicht mehr, ihr Pfad "
            "enthält Zeichen, die Gleisora nicht verarbeiten kann, oder die Liste der Installationen "
            "lässt sich nicht schreiben.\r\nBitte wählen Sie eine eep.exe in einem Ordner, dessen Name "
            "nur gewöhnliche Buchstaben enthält, oder prüfen Sie, ob Gleisora in seinen Ordner "
            "schreiben darf. Datei:\r\nC:\\None\\eep.exe|48;",
            Asked());

  // Entered without a snapshot: factory settings, and the demo key names it.
  const EntryRow added{"EEP_4", "", "", false};
  Operations(ctx).Switch({}, &added);
  EXPECT_EQ(SzBytes("C:\\EEP Demo\\x"), fp.registry.Get(plat::kHKCU, "S", "Dir")->data);
  EXPECT_EQ(SzBytes("C:\\EEP Demo\\Resourcen"), fp.registry.Get(plat::kHKCR, kDemoKey, "ResBase")->data);
  c.RemoveEntry("EEP_1");
  Start();
  EXPECT_EQ("EEP_4:0\nEEP_4|EEP Demo v6.03|EEP6003D|C:\\EEP Demo", Listed());
}
