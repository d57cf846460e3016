// cRegistry on the in-memory registry: conversions, write rules, error numbers,
// file-type associations.
#include <gtest/gtest.h>

#include <functional>

#include "support/cRegistry.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/Faults.h"

using namespace plat;
using namespace plat::reg;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Raw = FakeRegistry::RawValue;
const char kSec[] = "Software\\Test";

class cRegistryTest : public ::testing::Test {
 protected:
  cRegistryTest() {
    platform.registry = &faulty;
    platform.environment = &faulty;
    platform.shell = &shell;
    platform.exeName = "Gleisora";
    fake.env["TEMP"] = "C:\\Temp";
  }
  void TearDown() override { EXPECT_EQ(0, fake.openHandles()) << "a key stayed open"; }
  cRegistry At(const std::string& value, std::int32_t type = 0, std::int32_t root = kHKCU,
               const std::string& section = kSec) {
    cRegistry r(platform);
    r.ClassKey(root);
    r.SectionKey(section);
    r.ValueKey(value);
    r.ValueType(type);
    return r;
  }
  // "result count:name,name," of listing the values or the subkeys of a key.
  std::string Enumerated(bool sections, std::int32_t root = kHKCU, const std::string& section = kSec) {
    std::vector<std::string> names{"stale"};
    std::int32_t count = -1;
    cRegistry r = At("", 0, root, section);
    const bool ok = sections ? r.EnumerateSections(names, count) : r.EnumerateValues(names, count);
    std::string s = std::to_string(ok) + " " + std::to_string(count) + ":";
    for (const auto& n : names) s += n + ",";
    return s;
  }
  // From now on every call asks `rule`, counted afresh.
  void Faults(fault::Rule rule) {
    faulty.rule = std::move(rule);
    faulty.calls.clear();
  }
  FakeShell shell;
  FakeRegistry fake;
  fault::Registry faulty{fake, fake};
  plat::Platform platform;
};

TEST_F(cRegistryTest, ReadsConvertByStoredType) {
  const std::tuple<std::uint32_t, Bytes, Variant> cases[] = {
      {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, std::int32_t{-1}},
      {kRegDword, {7, 1}, std::int32_t{0x107}},
      {kRegDwordBigEndian, {0x80, 0, 0, 2}, std::int32_t(0x80000002u)},
      {kRegBinary, {1, 2, 3}, Bytes{1, 2, 3, 0}},
      {kRegNone, {}, Bytes{0}},
      {0x1234, {9}, Bytes{9, 0}},
      {kRegSz, {'a', 'b', 0}, std::string("ab")},
      {kRegSz, {'a', 'b'}, std::string("ab")},
      {kRegSz, {}, std::string()},
      {kRegMultiSz, {'a', 0, 'b', 0, 0}, std::string("a\0b\0", 4)},
      {kRegExpandSz, {'%', 'T', 'E', 'M', 'P', '%', '\\', 'x', 0}, std::string("C:\\Temp\\x")}};
  for (const auto& [type, data, expected] : cases) {
    fake.Put(kHKCU, kSec, "v", type, data);
    cRegistry r = At("v");
    EXPECT_EQ(expected, r.Value()) << type;
    EXPECT_EQ(static_cast<std::int32_t>(type), r.ValueType()) << type;
  }
}

TEST_F(cRegistryTest, MissingValuesKeysAndRootsGiveTheDefault) {
  fake.PutDword(kHKCU, kSec, "there", 1);
  for (cRegistry r : {At("nope", 4), At("there", 4, kHKCU, "Software\\Nope"), At("there", 4, 0),
                      At("there", 4, 0x12345)}) {
    EXPECT_TRUE(IsEmpty(r.Value()));
    r.Default(std::string("fallback"));
    EXPECT_EQ(Variant(std::string("fallback")), r.Value());
    EXPECT_EQ(4, r.ValueType()) << "unchanged by a failed read";
  }
  cRegistry remote = At("there");
  remote.Machine("\\\\ELSEWHERE");
  EXPECT_TRUE(IsEmpty(remote.Value()));
}

TEST_F(cRegistryTest, ValuesOfAnySizeReadWholeEvenWhenTheyGrowMeanwhile) {
  const std::string text(200000, 'x');
  fake.PutString(kHKCU, kSec, "long", text);
  EXPECT_EQ(Variant(text), At("long").Value());
  // Each read finds the value 1000 bytes longer than the read before, n times.
  auto growing = [&](int n) {
    return [&, n](fault::Call& c) {
      if (c.op == "QueryValue" && c.n <= n) {
        Raw v = *fake.Get(kHKCU, kSec, c.name);
        v.data.insert(v.data.begin(), 1000, 'g');
        fake.Put(kHKCU, kSec, c.name, v.type, v.data);
      }
      return fault::Act::Pass;
    };
  };
  Faults(growing(7));
  EXPECT_EQ(Variant(std::string(7000, 'g') + text), At("long").Value());
  Faults(growing(8));  // a value that keeps changing is given up
  EXPECT_TRUE(IsEmpty(At("long").Value()));
  fake.PutString(kHKCU, kSec, "path", "%TEMP%\\x", kRegExpandSz);
  auto expanding = [&](int n) {
    fake.env["TEMP"] = "C:\\Temp";
    return [&, n](fault::Call& c) {
      if (c.op == "ExpandStrings" && c.n <= n) fake.env["TEMP"] += "+";
      return fault::Act::Pass;
    };
  };
  Faults(expanding(8));
  EXPECT_EQ(Variant(std::string("C:\\Temp++++++++\\x")), At("path").Value());
  // An environment that keeps growing, or cannot be asked, leaves the text unexpanded.
  for (fault::Rule rule :
       {fault::Rule(expanding(9)), fault::Nth("ExpandStrings", 1), fault::Nth("ExpandStrings", 2)}) {
    Faults(rule);
    EXPECT_EQ(Variant(std::string("%TEMP%\\x")), At("path").Value());
  }
}

TEST_F(cRegistryTest, WritesChooseTheStoredTypeAndBytes) {
  const std::tuple<std::int32_t, Variant, Raw> cases[] = {
      {kRegSz, std::string("%TEMP%\\x"), {kRegExpandSz, {'%', 'T', 'E', 'M', 'P', '%', '\\', 'x', 0}}},
      {kRegExpandSz, std::string("50%"), {kRegSz, {'5', '0', '%', 0}}},
      {kRegSz, std::string("%%"), {kRegSz, {'%', '%', 0}}},
      {kRegSz, std::string("%a%"), {kRegExpandSz, {'%', 'a', '%', 0}}},
      {kRegSz, std::string("x%%%"), {kRegExpandSz, {'x', '%', '%', '%', 0}}},
      {kRegSz, std::int32_t{-42}, {kRegSz, {'-', '4', '2', 0}}},
      {kRegSz, Bytes{'h', 'i'}, {kRegSz, {'h', 'i', 0}}},
      {kRegDwordBigEndian, std::int32_t{5}, {kRegDword, {5, 0, 0, 0}}},
      {kRegDword, std::int16_t{-1}, {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
      {kRegBinary, Bytes{1, 2, 3}, {kRegBinary, {1, 2, 3}}}};
  for (const auto& [type, value, stored] : cases) {
    At("v", type).Value(value);
    EXPECT_EQ(stored, fake.Get(kHKCU, kSec, "v")) << type;
  }
  At("text", kRegDword).Value(std::string("12"));  // stores nothing, raises nothing
  EXPECT_FALSE(fake.Get(kHKCU, kSec, "text"));
  At("empty", kRegSz).ValueEx(kHKCU, kSec, "empty", kRegSz, std::string("dflt"), std::string());
  EXPECT_EQ((Raw{kRegSz, {'d', 'f', 'l', 't', 0}}), fake.Get(kHKCU, kSec, "empty"));
  At("raw").WriteRaw(kRegQword, {1, 2});
  std::uint32_t type = 0;
  Bytes data;
  cRegistry raw = At("raw");
  EXPECT_TRUE(raw.ReadRaw(type, data));
  EXPECT_EQ((Raw{kRegQword, {1, 2}}), (Raw{type, data}));
  EXPECT_EQ(static_cast<std::int32_t>(kRegQword), raw.ValueType());
  EXPECT_FALSE(At("nope").ReadRaw(type, data));
}

TEST_F(cRegistryTest, FailuresRaiseTheirNumbersAndDescriptions) {
  fake.MakeKey(kHKCU, "Software\\Test\\Sub");
  fake.Deny(kHKCU, "Software\\Locked");
  const std::string src = "Gleisora.cRegistry", key = "Failed to set registry value Key: '-2147483647',Section: '";
  const std::tuple<std::function<void()>, long, std::string, std::string> cases[] = {
      {[&] { At("", 0, kHKCU, "Software\\Locked\\X").CreateKey(); }, err::RegistryFailure, src,
       "Failed to create registry Key: 'Software\\Locked\\X"},
      {[&] { At("").DeleteKey(); }, err::RegistryFailure, src, "Failed to delete registry Key: '-2147483647',Section: 'Software\\Test"},
      {[&] { At("", 0, kHKLM, "").DeleteKey(); }, err::RegistryFailure, src, "Failed to delete registry Key: '-2147483646',Section: '"},
      {[&] { At("v", 0, kHKCU, "Software\\Missing").DeleteValue(); }, err::RegistryFailure, src,
       "Failed to open key '-2147483647',Section: 'Software\\Missing' for delete access"},
      {[&] {
         cRegistry kept = At("v", 0, kHKCU, "Software\\Missing");
         kept.KeepKeyOpen(true);  // a held key is opened, not created, for a delete too
         kept.DeleteValue();
       },
       err::RegistryFailure, src, "Failed to open key '-2147483647',Section: 'Software\\Missing' for delete access"},
      {[&] { At("v").DeleteValue(); }, err::RegistryFailure, src,
       "Failed to delete registry Key: '-2147483647',Section: 'Software\\Test',Key: 'v"},
      {[&] { At("v", kRegSz, kHKCU, "Software\\Locked").Value(std::string("abc")); }, err::RegistryFailure, src,
       key + "Software\\Locked',Key: 'v' to value: 'abc'"},
      {[&] { At("v", kRegMultiSz).Value(Bytes{1, 0xAB}); }, err::SetValueFailure, src,
       key + "Software\\Test',Key: 'v' to value: '01,ab'"},
      {[&] { At("v", kRegBinary).Value(std::string("abc")); }, err::RegistryFailure, "Gleisora",
       "Application-defined or object-defined error"},
      {[&] { At("v", kRegSz, 0).Value(std::int32_t{7}); }, err::RegistryFailure, src,
       "Failed to set registry value Key: '0',Section: 'Software\\Test',Key: 'v' to value: '7'"},
      {[&] { At("v", 0, kHKCU, "Software\\Locked").WriteRaw(kRegQword, {1, 0xAB}); }, err::RegistryFailure, src,
       key + "Software\\Locked',Key: 'v' to value: '01,ab'"},
      {[&] { Faults(fault::Nth("SetValue", 0)); At("v", kRegDword).Value(std::int32_t{1}); }, err::SetValueFailure,
       src, key + "Software\\Test',Key: 'v' to value: '1'"},
      {[&] { At("v").WriteRaw(kRegQword, {1}); }, err::SetValueFailure, src,
       key + "Software\\Test',Key: 'v' to value: '01'"},
      {[&] { At("").CreateAdditionalEXEAssociations("Gls", {Variant(std::string("edit"))}); }, err::BadAssociationList,
       src, "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command"},
      {[&] { At("").CreateAdditionalEXEAssociations("Gls", {Variant(), Variant(), Variant()}); },
       err::AssociationClassMissing, src, "Error - attempt to create additional associations before class defined."}};
  for (const auto& [call, number, source, description] : cases) {
    try {
      call();
      ADD_FAILURE() << "nothing raised: " << description;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(number, e.Number) << description;
      EXPECT_EQ(source, e.Source) << description;
      EXPECT_EQ(description, e.Description);
    }
  }
}

TEST_F(cRegistryTest, KeysAreCreatedCheckedAndDeleted) {
  cRegistry r = At("v", 0, kHKCU, "Software\\New\\Key");
  EXPECT_FALSE(r.KeyExists());
  EXPECT_TRUE(r.CreateKey());
  EXPECT_TRUE(r.KeyExists());
  fake.PutDword(kHKCU, "Software\\New\\Key", "v", 1);
  EXPECT_TRUE(r.DeleteValue());
  EXPECT_FALSE(fake.Get(kHKCU, "Software\\New\\Key", "v"));
  EXPECT_TRUE(r.DeleteKey());
  EXPECT_FALSE(fake.HasKey(kHKCU, "Software\\New\\Key"));
}

TEST_F(cRegistryTest, EnumeratesNamesInRegistryOrder) {
  for (const char* n : {"b", "", "A"}) fake.PutDword(kHKCU, kSec, n, 1);
  fake.MakeKey(kHKCU, "Software\\Test\\Y");
  fake.MakeKey(kHKCU, "Software\\Test\\x");
  EXPECT_EQ("1 3:,A,b,", Enumerated(false));
  EXPECT_EQ("1 2:x,Y,", Enumerated(true));
  for (std::int32_t root : {kHKCU, 0})
    for (bool sections : {false, true}) EXPECT_EQ("1 0:", Enumerated(sections, root, "Software\\Missing"));
  // Names longer than announced, or than a key name may be, are still listed.
  Faults(fault::Nth("QueryInfoKey", 0));
  const std::string longName(300, 'n');
  fake.PutDword(kHKCU, kSec, longName, 1);
  fake.MakeKey(kHKCU, std::string(kSec) + "\\" + longName);
  EXPECT_EQ("1 4:,A,b," + longName + ",", Enumerated(false));
  EXPECT_EQ("1 3:" + longName + ",x,Y,", Enumerated(true));
}

TEST_F(cRegistryTest, RootsOtherThanThePredefinedOnesAreNeverPassedOn) {
  RegKey open = 0;  // an open key's handle value must not work as a root
  ASSERT_EQ(kSuccess, fake.CreateKey(RootKey(kHKCU), kSec, kKeyAllAccess, open));
  cRegistry r = At("v", kRegSz, static_cast<std::int32_t>(open), "");
  EXPECT_FALSE(r.KeyExists());
  EXPECT_THROW(r.Value(std::string("x")), RuntimeError);
  EXPECT_THROW(r.CreateKey(), RuntimeError);
  EXPECT_FALSE(fake.Get(kHKCU, kSec, "v"));
  EXPECT_EQ(0x80000002u, static_cast<std::uint32_t>(cRegistry::RootFromName("HKLM")));
  EXPECT_EQ(0, cRegistry::RootFromName("hklm"));
  fake.CloseKey(open);
}

TEST_F(cRegistryTest, FileTypeAssociationsGoUnderBothClassRootsAndAreRemovedWhole) {
  cRegistry r = At("");
  r.CreateEXEAssociation("C:\\G\\g.exe", "Gls", "Gleisora-Satz", "gls", "", true, "Drucken", true, "", true, "", 2);
  r.CreateAdditionalEXEAssociations("Gls", {Variant(std::string("edit")), Variant(std::string("&Bearbeiten")),
                                             Variant(std::string("notepad \"%1\""))});
  std::vector<std::pair<std::string, std::string>> keys = {
      {".gls", "Gls"}, {"Gls", "Gleisora-Satz"}, {"Gls\\DefaultIcon", "C:\\G\\g.exe,2"},
      {"Gls\\shell\\edit", "&Bearbeiten"}, {"Gls\\shell\\edit\\command", "notepad \"%1\""}};
  for (const auto& [verb, caption, option] : {std::tuple{"open", "&Open", ""}, {"print", "Drucken", "/p "},
                                              {"new", "&New", "/n "}, {"add", "&Install Gleisora-Satz", "/a "}}) {
    keys.push_back({"Gls\\shell\\" + std::string(verb), caption});
    keys.push_back({"Gls\\shell\\" + std::string(verb) + "\\command", "\"C:\\G\\g.exe\" " + std::string(option) + "\"%1\""});
  }
  const std::pair<std::int32_t, std::string> bases[] = {{kHKCR, ""}, {kHKLM, "SOFTWARE\\Classes\\"}};
  for (const auto& [root, prefix] : bases)
    for (const auto& [key, text] : keys) {
      const Bytes bytes(text.c_str(), text.c_str() + text.size() + 1);
      EXPECT_EQ((Raw{kRegSz, bytes}), fake.Get(root, prefix + key, "")) << prefix + key;
    }
  EXPECT_EQ(2, shell.notified);
  r.CreateEXEAssociation("C:\\G\\g.exe", "Min", "Knapp", "min");  // the open verb only
  EXPECT_EQ("1 1:open,", Enumerated(true, kHKLM, "SOFTWARE\\Classes\\Min\\shell"));
  r.DeleteEXEAssociation("", "Gls", "", "gls");
  EXPECT_EQ(4, shell.notified);
  for (const auto& [root, prefix] : bases) {
    EXPECT_FALSE(fake.HasKey(root, prefix + "Gls"));
    EXPECT_FALSE(fake.HasKey(root, prefix + ".gls"));
    EXPECT_TRUE(fake.HasKey(root, prefix + ".min"));
  }
}

}  // namespace
