// Random keys saved to a snapshot section and a backup, cleared and put back: natively
// on the fakes, under Wine on the real registry and files.
#include "tests/contract/SnapshotContract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "catalogue/CatalogueFile.h"
#include "snapshots/Backups.h"
#include "snapshots/Snapshots.h"

using namespace plat;

namespace {

const std::string kBase = "Software\\Gleisora Tests\\Snapshot";
using Tree = std::map<std::string, Values>;  // by the last part of the key's name

std::string Name(int n) { return "K\xC4" + std::to_string(n); }
std::string Key(int n) { return kBase + "\\" + Name(n); }

void Wipe(IRegistryApi& api, int keys) {
  for (int n = 0; n < keys; ++n) api.DeleteKey(RootKey(kHKCU), Key(n));
}

Tree Dump(IRegistryApi& api, int keys) {
  Tree tree;
  for (int n = 0; n < keys; ++n)
    if (Values v = DumpKey(api, Key(n)); !v.empty()) tree[Name(n)] = v;
  return tree;
}

Tree FromBackup(const std::vector<regfile::Key>& keys) {
  Tree tree;
  for (const auto& key : keys)
    for (const auto& v : key.values) tree[key.name.substr(key.name.rfind('\\') + 1)][v.name] = {v.type, v.data};
  return tree;
}

// What a value-path line of the INI file can carry back: no backslash (it would name
// a subkey), no "=" or line break, no blank at the end.
bool Carriable(const std::string& name) {
  return name.find_first_of("\\=\r\n") == std::string::npos && (name.empty() || name.back() != ' ');
}

// Names and data chosen to be awkward for one of the text forms the values pass through.
Tree Generate(IRegistryApi& api, std::mt19937& rng, int keys, bool many) {
  const std::string names[] = {"", "Case", "CASE", "Gr\xF6\xDF" "e", "a=b", "a\\b", "blank ", std::string(300, 'n')};
  const Bytes data[] = {{}, {0}, {'a', 'b'}, {'a', 0, 'b', 0, 0}, Sz("%X%"), Sz("hex:"), Sz("a\rb\r\n\n"), Sz("\xC4\"\\ \t"), Sz("x ")};
  bool big = false;
  for (int n = 0; n < keys; ++n) {
    RegKey k = 0;
    api.CreateKey(RootKey(kHKCU), Key(n), reg::kKeyAllAccess, k);
    // Far more lines than any buffer of the INI engine holds.
    for (int i = 0; many && n == 0 && i < 2000; ++i) {
      const Bytes bytes = Sz(std::to_string(i));
      api.SetValue(k, "m" + std::to_string(i), i % 2 ? reg::kRegSz : reg::kRegBinary, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }
    for (int count = static_cast<int>(rng() % 14); count > 0; --count) {
      // Strings have the most text forms: one value in three is one.
      const std::uint32_t type = rng() % 3 == 0 ? reg::kRegSz : rng() % 13 == 12 ? 0x12345 : rng() % 12;
      const std::string name = rng() % 2 ? names[rng() % std::size(names)] : "v" + std::to_string(rng() % 100);
      Bytes bytes = data[rng() % std::size(data)];
      if (rng() % 10 == 0 && !big) {
        big = true;
        bytes.resize(100 * 1024);
        std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<std::uint8_t>(rng()); });
      }
      api.SetValue(k, name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    }
    api.CloseKey(k);
  }
  return Dump(api, keys);
}

// What regedit makes of a backup: Wine's ends string data that has no NUL with one.
Tree Imported(Tree tree) {
  for (auto& [key, values] : tree)
    for (auto& [name, v] : values)
      if ((v.first == 1 || v.first == 2 || v.first == 7) && !v.second.empty() && v.second.back()) v.second.push_back(0);
  return tree;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace

Bytes Sz(const std::string& s) { return Bytes(s.c_str(), s.c_str() + s.size() + 1); }

Values DumpKey(IRegistryApi& api, const std::string& sub) {
  Values out;
  RegKey k = 0;
  if (api.OpenKey(RootKey(kHKCU), sub, reg::kKeyQueryValue, k)) return out;
  char name[1024];
  for (std::uint32_t i = 0, len = sizeof name; !api.EnumValue(k, i, name, &len); len = sizeof name, ++i) {
    // A buffer one byte short is told the size it needs; the data fills it exactly.
    std::uint32_t type = 0, size = 0, shortBy1 = 0;
    api.QueryValue(k, std::string(name, len), &type, nullptr, &size);
    Bytes data(size + 1, 0xCC);
    if (size > 1) {
      EXPECT_EQ(reg::kMoreData, api.QueryValue(k, std::string(name, len), &type, data.data(), &(shortBy1 = size - 1)));
      EXPECT_EQ(size, shortBy1);
    }
    api.QueryValue(k, std::string(name, len), &type, data.data(), &size);
    EXPECT_EQ(0xCC, data.back()) << "written past the buffer";
    data.resize(size);
    out[std::string(name, len)] = {type, data};
  }
  api.CloseKey(k);
  return out;
}

TEST(SnapshotContract, SaveClearLoadAndTheBackupGiveBackEveryValue) {
  const int keyCount = 3;
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    SnapshotSubject s = MakeSnapshotSubject();
    const Platform& p = s.platform;
    IRegistryApi& api = *p.registry;
    Wipe(api, keyCount);
    std::mt19937 rng(seed);
    const Tree before = Generate(api, rng, keyCount, seed == 1);
    Installation inst;
    inst.entry = "EEP_1";
    for (int n = 0; n < keyCount; ++n) inst.keys.push_back("HKCU\\" + Key(n));
    // A stale line of an earlier snapshot.
    p.files->WriteAllAtomic(CatalogueFile::PathFor(p), "[EEP_1\\Settings]\r\nHKCU\\Gone\\x=REG_SZ:old\r\n");

    std::string logText;
    LanguageFile texts(p);
    ActivityLog log({[] {}, [&](const std::string& t) { logText += t; }, [] {}});
    const Context ctx{p, texts, log, [](const std::string&, unsigned) { return mb::kIdOk; }};
    Snapshots snap(ctx);
    const auto section = [&] {
      CatalogueFile file(p);
      std::vector<std::pair<std::string, std::string>> lines;
      for (const auto& path : file.SnapshotPaths("EEP_1")) lines.emplace_back(path, file.SnapshotLine("EEP_1", path));
      return lines;
    };

    // Every value is one logged step; the ones a line cannot carry fail and stay.
    const Snapshots::Saved saved = snap.SaveSettings(inst);
    ASSERT_TRUE(saved.kept) << logText;
    std::string expectedLog;
    Tree carried;
    std::size_t carriedCount = 0;
    for (const auto& [key, values] : before)
      for (const auto& [name, v] : values) {
        const bool carriable = Carriable(name);
        expectedLog += "SaveRegistry: HKCU\\" + kBase + "\\" + key + "\\" + name + (carriable ? "...ok\r\n" : "...ERROR: 5\r\n");
        if (carriable) carried[key][name] = v, ++carriedCount;
      }
    EXPECT_EQ(Lines(expectedLog), Lines(logText));
    const auto first = section();
    EXPECT_EQ(carriedCount, first.size());
    EXPECT_TRUE(snap.SaveSettings(inst).kept);
    EXPECT_EQ(first, section());

    // The backup holds every value, reads back whole, and no part of it passes for it.
    const auto current = snap.Current(inst.keys, {}, &saved.values);
    ASSERT_TRUE(current);
    ASSERT_TRUE(Backups(ctx).Write("Umschalten", "EEP_1", *current));
    const std::string backup = p.appDir + "\\Backups\\" + p.files->ListFiles(p.appDir + "\\Backups\\*").at(0);
    const std::string text = p.files->ReadAll(backup).value_or("");
    EXPECT_EQ(before, FromBackup(regfile::Read(text).value_or(std::vector<regfile::Key>{})));
    std::vector<std::size_t> cuts;
    for (std::size_t at = 0; (at = text.find("\r\n", at + 1)) != std::string::npos && cuts.size() < 150;) cuts.push_back(at + 2);
    for (int i = 0; i < 150; ++i) cuts.push_back(rng() % text.size());
    for (std::size_t cut : cuts) {
      if (cut > text.find_last_not_of("\r\n")) continue;  // line breaks alone at the end lose nothing
      EXPECT_NE(current, regfile::Read(text.substr(0, cut))) << cut;
    }
    for (const std::string& bad : {text.substr(2), text + "\"x\"=hex:1\r\n", text + "\"x\"=\"y\r\n",
                                   std::string("REGEDIT4\r\n\"v\"=dword:1\r\n")})
      EXPECT_FALSE(regfile::Read(bad)) << bad.substr(bad.size() - 12);

    snap.DeleteRegistryKeys(inst);
    for (const auto& path : inst.keys) {
      RegKey k = 0;
      EXPECT_NE(reg::kSuccess, api.OpenKey(RootKey(kHKCU), path.substr(5), reg::kKeyQueryValue, k)) << path;
    }
    logText.clear();
    snap.LoadSavedSettings("EEP_1");
    EXPECT_EQ(carriedCount, Lines(logText).size());
    EXPECT_EQ(std::string::npos, logText.find("ERROR")) << logText;
    EXPECT_EQ(carried, Dump(api, keyCount));

    if (s.import) {
      EXPECT_TRUE(s.import(backup));
      EXPECT_EQ(Imported(before), Dump(api, keyCount));
    }
    Wipe(api, keyCount);
  }
}
