// Start-up and a switch over hostile files and keys; the INI reader on random input.
#include <gtest/gtest.h>

#include <random>

#include "catalogue/Catalogue.h"
#include "support/IniProfile.h"
#include "switching/Operations.h"
#include "tests/native/Rig.h"

using namespace plat;
using namespace std::string_literals;

static const std::string kEntries =
    "[Settings]\r\nCount=2\r\n[EEP_1]\r\nDescription=EEP 6\r\nAppDir=C:\\EEP6\r\n"
    "AppPath=C:\\EEP6\\eep.exe\r\nRegType=DEFAULT\r\n[EEP_2]\r\nDescription=EEP 7\r\n"
    "AppDir=C:\\EEP7\r\nAppPath=C:\\EEP7\\eep.exe\r\nRegType=DEFAULT\r\n";

static std::string Repeat(int n, const std::string& head, const std::string& tail) {
  std::string s;
  for (int i = 0; i < n; ++i) s += head + std::to_string(i) + tail;
  return s;
}

TEST(Hostile, StartUpAndSwitchSurviveHostileFilesAndKeys) {
  const std::string mb(1 << 20, 'x'),
      def = "[Registry Keys]\r\nHKCU\\Locked=1\r\n" + Repeat(1000, "HKCU\\Many\\K", "=1\r\n");
  std::string utf16 = "\xFF\xFE";  // the catalogue as UTF-16, little-endian
  for (char c : kEntries) utf16 += {c, '\0'};
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"denied key", kEntries, def},
      {"NULs in launcher Gleisora.ini", kEntries + "[Junk]\r\nA\0B=1\r\n\0\0\0\r\n"s, def},
      {"NULs in definition DEFAULT.ini", kEntries, def + "HK\0CU\\X=1\r\n\0"s},
      {"50 MB launcher", kEntries + Repeat(50, "[Pad", "]\r\nx=" + mb + "\r\n"), def},
      {"50 MB definition", kEntries, def + Repeat(50, ";", mb + "\r\n")},
      {"10,000 sections", kEntries + Repeat(10000, "[S", "]\r\nk=v\r\n"), def},
      {"10,000 sections in definition", kEntries, def + Repeat(10000, "[S", "]\r\nk=v\r\n")},
      {"1 MB line", kEntries + "[EEP_1]\r\nDescription=" + mb + "\r\n", def},
      {"1 MB line in definition", kEntries, def + "HKCU\\" + mb + "=1\r\n"},
      {"UTF-16 launcher", utf16, def},
  };
  for (const auto& [name, launcher, definition] : cases) {
    Rig r;
    r.File("Gleisora.ini", launcher), r.File("DEFAULT.ini", definition);
    for (std::string dir : {"C:\\EEP6", "C:\\EEP7"}) r.fp.files.AddFile(dir + "\\eep.exe", "MZ");
    r.fp.registry.PutString(kHKCR, "Software\\Software Untergrund\\EEXP", "AppPath", "C:\\EEP6\\eep.exe");
    for (int i = 0; i < 1000; ++i) r.fp.registry.PutString(kHKCU, "Many\\K" + std::to_string(i), "v", "1");
    r.fp.registry.PutString(kHKCU, "Locked", "v", "locked"), r.fp.registry.Deny(kHKCU, "Locked");
    InstalledVersion installed;
    Catalogue(r.ctx).ReadInstalledVersion(installed);
    const VersionList list = Catalogue(r.ctx).LoadVersionList(installed);
    EXPECT_EQ("2 EEP_1", std::to_string(list.rows.size()) + " " + list.activeKey) << name;
    const EntryRow from{"EEP_1", "EEP 6", "C:\\EEP6"}, to{"EEP_2", "EEP 7", "C:\\EEP7"};
    const std::string active = Operations(r.ctx).Switch(from, &to).activeKey;
    EXPECT_EQ("EEP_2, 0 messages", active + ", " + std::to_string(r.boxes.size()) + " messages") << name;
    // Deleted only once kept; the key it may not open left alone; the hostile file kept whole.
    const std::string k = "HKCU\\Many\\K999\\v", after = r.fp.files.Content(Rig::kIni);
    EXPECT_NE(std::string::npos, r.logText.find("Umschalten_EEP_1.reg...ok")) << name;
    EXPECT_NE(std::string::npos, r.logText.find("DeleteRegistry: " + k + "...ok")) << name;
    EXPECT_NE(std::string::npos, r.logText.find("SaveRegistry: HKCU\\Locked...ERROR: 75")) << name;
    const std::string n = name, nulFile = n.starts_with("NULs") ? n.substr(n.rfind(' ') + 1) : "";
    EXPECT_EQ(nulFile.empty(), r.logText.find("\\" + nulFile + "...ERROR: -14") == std::string::npos) << name;
    EXPECT_EQ("REG_SZ:1", r.Read("EEP_1\\Settings", k)) << name;
    EXPECT_TRUE(r.fp.registry.Values(kHKCU, "Many\\K999").empty() && r.fp.registry.Get(kHKCU, "Locked", "v"));
    EXPECT_TRUE(after.size() >= launcher.size() && after.compare(0, 2, launcher, 0, 2) == 0) << name;
    EXPECT_EQ(0, r.fp.registry.openHandles()) << name;
  }
}

// A file it would write back comes back byte for byte, and no read overruns its buffer.
TEST(Hostile, RandomInputs) {
  std::mt19937 rng(12);
  const std::string alphabet = "[]=; \t\r\n\x1a\0\xff\xfe\xef\xbb\xbf" "aA\xe4"s;
  const auto random = [&](std::size_t max) {
    std::string s(rng() % max, ' ');
    for (char& ch : s) ch = alphabet[rng() % alphabet.size()];
    return s;
  };
  const auto text = [&] { return rng() % 4 ? ini::Text(random(6)) : std::nullopt; };
  for (int round = 0; round < 4000; ++round) {
    const std::string bytes = random(200);
    const ini::Document doc = ini::Document::Parse(bytes);
    ASSERT_EQ(bytes, doc.Writable() ? doc.Serialize() : bytes) << round;
    for (std::uint32_t size : {0u, 1u, 2u, 3u, 64u})
      ASSERT_LE(ini::GetString(&doc, text(), text(), text(), size).size(), size ? size - 1 : 0) << round;
  }
}
