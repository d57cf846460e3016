// Hostile files and keys: start-up and a switch over each of them end in the target
// with every deleted value kept, and the INI parser and the value-line reader survive
// random input.
#include <gtest/gtest.h>

#include <random>

#include "catalogue/Catalogue.h"
#include "snapshots/SnapshotText.h"
#include "support/IniProfile.h"
#include "switching/Switching.h"
#include "tests/native/Rig.h"

using namespace plat;
using namespace std::string_literals;

namespace {
const std::string kEntries =
    "[Settings]\r\nCount=2\r\n[EEP_1]\r\nDescription=EEP 6\r\nAppDir=C:\\EEP6\r\n"
    "AppPath=C:\\EEP6\\eep.exe\r\nRegType=DEFAULT\r\n[EEP_2]\r\nDescription=EEP 7\r\n"
    "AppDir=C:\\EEP7\r\nAppPath=C:\\EEP7\\eep.exe\r\nRegType=DEFAULT\r\n";
const std::string kDefinition = "[Registry Keys]\r\nHKCU\\Locked=1\r\n";

std::string Repeat(int n, const std::string& head, const std::string& tail) {
  std::string s;
  for (int i = 0; i < n; ++i) s += head + std::to_string(i) + tail;
  return s;
}
std::string Utf16(const std::string& ascii) {
  std::string s = "\xFF\xFE";
  for (char c : ascii) s += {c, '\0'};
  return s;
}
}  // namespace

TEST(Hostile, StartUpAndSwitchSurviveHostileFilesAndKeys) {
  const std::string mb(1 << 20, 'x'), many = Repeat(1000, "HKCU\\Many\\K", "=1\r\n");
  const struct {
    const char* name;
    std::string launcher, definition;
  } cases[] = {
      {"denied key", kEntries, kDefinition + many},
      {"NULs in launcher", kEntries + "[Junk]\r\nA\0B=1\r\n\0\0\0\r\n"s, kDefinition + many},
      {"NULs in definition", kEntries, kDefinition + many + "HK\0CU\\X=1\r\n\0"s},
      {"50 MB launcher", kEntries + Repeat(50, "[Pad", "]\r\nx=" + mb + "\r\n"), kDefinition + many},
      {"50 MB definition", kEntries, kDefinition + many + Repeat(50, ";", mb + "\r\n")},
      {"10,000 sections", kEntries + Repeat(10000, "[S", "]\r\nk=v\r\n"), kDefinition + many},
      {"10,000 sections in definition", kEntries, kDefinition + many + Repeat(10000, "[S", "]\r\nk=v\r\n")},
      {"1 MB line", kEntries + "[EEP_1]\r\nDescription=" + mb + "\r\n", kDefinition + many},
      {"1 MB line in definition", kEntries, kDefinition + "HKCU\\" + mb + "=1\r\n" + many},
      {"UTF-16 files", Utf16(kEntries), Utf16(kDefinition + many)},
  };
  for (const auto& c : cases) {
    Rig r;
    r.File("Gleisora.ini", c.launcher);
    r.File("DEFAULT.ini", c.definition);
    for (std::string dir : {"C:\\EEP6", "C:\\EEP7"}) r.fp.files.AddFile(dir + "\\eep.exe", "MZ");
    r.fp.registry.PutString(kHKCR, "Software\\Software Untergrund\\EEXP", "AppPath", "C:\\EEP6\\eep.exe");
    for (int i = 0; i < 1000; ++i) r.fp.registry.PutString(kHKCU, "Many\\K" + std::to_string(i), "v", "1");
    r.fp.registry.PutString(kHKCU, "Locked", "v", "locked");
    r.fp.registry.Deny(kHKCU, "Locked");

    InstalledVersion installed;
    Catalogue(r.ctx).ReadInstalledVersion(installed);
    const VersionList list = Catalogue(r.ctx).LoadVersionList(installed);
    EXPECT_EQ(2u, list.rows.size()) << c.name;
    EXPECT_EQ("EEP_1", list.activeKey) << c.name;
    const EntryRow from{"EEP_1", "EEP 6", "C:\\EEP6"}, to{"EEP_2", "EEP 7", "C:\\EEP7"};
    EXPECT_EQ("EEP_2", Switching(r.ctx).Switch(from, &to).activeKey) << c.name;
    EXPECT_TRUE(r.boxes.empty()) << c.name;

    // What was deleted was kept first; the key that could not be opened was left alone;
    // nothing of the hostile file was lost, and its encoding stayed.
    const std::string log = r.logText;
    EXPECT_NE(std::string::npos, log.find("Umschalten_EEP_1.reg...ok")) << c.name;
    for (int i : {0, 999}) {
      const std::string k = "HKCU\\Many\\K" + std::to_string(i) + "\\v";
      EXPECT_NE(std::string::npos, log.find("DeleteRegistry: " + k + "...ok")) << c.name;
      EXPECT_EQ("REG_SZ:1", r.Read("EEP_1\\Settings", k)) << c.name;
    }
    EXPECT_TRUE(r.fp.registry.Values(kHKCU, "Many\\K999").empty()) << c.name;
    EXPECT_TRUE(r.fp.registry.Get(kHKCU, "Locked", "v")) << c.name;
    const std::string after = r.fp.files.Content(Rig::kIni);
    EXPECT_GE(after.size(), c.launcher.size()) << c.name;
    EXPECT_EQ(c.launcher.substr(0, 2), after.substr(0, 2)) << c.name;
  }
}

// Random files of the bytes that matter to the parser: whatever it reads, a file it
// would write back comes back byte for byte, and no read overruns its buffer.
TEST(Hostile, RandomInputs) {
  std::mt19937 rng(12);
  const std::string alphabet = "[]=; \t\r\n\x1a\0\xff\xfe\xef\xbb\xbf" "aA\xe4"s;
  const auto random = [&](std::size_t max) {
    std::string s(rng() % max, ' ');
    for (char& ch : s) ch = alphabet[rng() % alphabet.size()];
    return s;
  };
  const char* const kPieces[] = {"REG_SZ", "REG_BINARY", "REG_DWORD", "REG_TYPE_9", ":", "hex", ":hex:",
                                 "0", "aF", ",", "-", "1", " ", "\0"};
  const char* const kHeads[] = {"", "REG_BINARY:hex:", "REG_SZ:hex:", "REG_TYPE_9:hex:"};
  int raw = 0;
  for (int round = 0; round < 4000; ++round) {
    const std::string bytes = random(200);
    const ini::Document doc = ini::Document::Parse(bytes);
    if (doc.Writable()) {
      ASSERT_EQ(bytes, doc.Serialize()) << round;
    }
    for (std::uint32_t size : {0u, 1u, 2u, 3u, 64u}) {
      const ini::Text sec = rng() % 4 ? ini::Text(random(6)) : std::nullopt;
      const auto got = ini::GetString(&doc, sec, rng() % 4 ? ini::Text(random(6)) : std::nullopt,
                                      random(4), size);
      ASSERT_LE(got.size(), size ? size - 1 : 0) << round;
    }
    // A value line that reads as type and bytes is written back as the same.
    std::string value = kHeads[rng() % std::size(kHeads)];
    for (int n = static_cast<int>(rng() % 8); n > 0; --n) value += kPieces[rng() % std::size(kPieces)];
    const snap::ValueLine line = snap::ParseEntryValue(value);
    if (line.kind != snap::ValueLine::Kind::Raw) continue;
    ++raw;
    const snap::ValueLine again = snap::ParseEntryValue(snap::EntryValue(line.type, line.bytes));
    if (again.kind == snap::ValueLine::Kind::Raw) {
      EXPECT_EQ(line.bytes, again.bytes) << round;
    }
  }
  EXPECT_GT(raw, 100);
}
