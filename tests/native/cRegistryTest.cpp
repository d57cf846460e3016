// cRegistry on the in-memory registry: conversions, write rules, error numbers.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "support/cRegistry.h"
#include "tests/fakes/FakeRegistry.h"

using namespace plat;
using namespace plat::reg;

namespace {

using Bytes = std::vector<std::uint8_t>;
const char kSec[] = "Software\\Test";

// The fake, with knobs for what it cannot be made to do otherwise.
class TestRegistry : public FakeRegistry {
 public:
  long setResult = kSuccess;        // forced result of every SetValue
  std::uint32_t reportedSize = 0;   // announced by a size-only query when not 0
  bool hideLongestName = false;     // QueryInfoKey under-reports

  long SetValue(RegKey k, const std::string& n, std::uint32_t t, const std::uint8_t* d,
                std::uint32_t s) override {
    return setResult ? setResult : FakeRegistry::SetValue(k, n, t, d, s);
  }
  long QueryValue(RegKey k, const std::string& n, std::uint32_t* t, std::uint8_t* d,
                  std::uint32_t* s) override {
    long rc = FakeRegistry::QueryValue(k, n, t, d, s);
    if (!d && s && reportedSize && rc == kSuccess) *s = reportedSize;
    return rc;
  }
  long QueryInfoKey(RegKey k, std::uint32_t* m) override {
    long rc = FakeRegistry::QueryInfoKey(k, m);
    if (hideLongestName) *m = 0;
    return rc;
  }
};

class cRegistryTest : public ::testing::Test {
 protected:
  cRegistryTest() {
    platform.registry = &fake;
    platform.environment = &fake;
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
  RuntimeError Raised(const std::function<void()>& f) {
    try {
      f();
    } catch (const RuntimeError& e) {
      return e;
    }
    ADD_FAILURE() << "nothing raised";
    return RuntimeError(0, "", "");
  }

  TestRegistry fake;
  plat::Platform platform;
};

TEST_F(cRegistryTest, ReadsConvertByStoredType) {
  struct Case {
    const char* name;
    std::uint32_t type;
    Bytes data;
    Variant expected;
  };
  const Case cases[] = {
      {"dword", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, std::int32_t{-1}},
      {"dword short", kRegDword, {7, 1}, std::int32_t{0x107}},
      {"big endian", kRegDwordBigEndian, {0, 0, 0, 1}, std::int32_t{1}},
      {"big endian high", kRegDwordBigEndian, {0x80, 0, 0, 2}, std::int32_t(0x80000002u)},
      {"binary", kRegBinary, {1, 2, 3}, Bytes{1, 2, 3, 0}},
      {"none", kRegNone, {}, Bytes{0}},
      {"qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0}},
      {"unnamed", 0x1234, {9}, Bytes{9, 0}},
      {"sz", kRegSz, {'a', 'b', 'c', 0}, std::string("abc")},
      {"sz without zero", kRegSz, {'a', 'b', 'c'}, std::string("abc")},
      {"sz no data", kRegSz, {}, std::string()},
      {"multi", kRegMultiSz, {'a', 0, 'b', 'c', 0, 0}, std::string("a\0bc\0", 5)},
      {"expand", kRegExpandSz, {'%', 'T', 'E', 'M', 'P', '%', '\\', 'x', 0},
       std::string("C:\\Temp\\x")},
  };
  for (const auto& c : cases) fake.Put(kHKCU, kSec, c.name, c.type, c.data);
  for (const auto& c : cases) {
    cRegistry r = At(c.name);
    EXPECT_EQ(c.expected, r.Value()) << c.name;
    EXPECT_EQ(static_cast<std::int32_t>(c.type), r.ValueType()) << c.name;
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
}

TEST_F(cRegistryTest, ValuesOfAnySizeReadWhole) {
  std::string text(200000, 'x');
  text[199999] = 'y';
  fake.PutString(kHKCU, kSec, "long", text);
  EXPECT_EQ(Variant(text), At("long").Value());
  // A value that grows between the size query and the read is read again.
  fake.reportedSize = 2;
  EXPECT_EQ(Variant(text), At("long").Value());
  Bytes bin(1 << 20, 0x5A);
  fake.Put(kHKCU, kSec, "bin", kRegBinary, bin);
  bin.push_back(0);
  EXPECT_EQ(Variant(bin), At("bin").Value());
}

TEST_F(cRegistryTest, StringWritesChooseTypeByPercentSigns) {
  struct Case {
    const char* text;
    std::uint32_t stored;
  };
  const Case cases[] = {{"%TEMP%\\x", kRegExpandSz}, {"50%", kRegSz},      {"%%", kRegSz},
                        {"a%%b", kRegSz},            {"%a%", kRegExpandSz}, {"x%%%", kRegExpandSz},
                        {"plain", kRegSz},           {"", kRegSz}};
  for (std::int32_t asType : {1, 2})
    for (const auto& c : cases) {
      At("v", asType).Value(std::string(c.text));
      Bytes data(c.text, c.text + std::strlen(c.text) + 1);
      EXPECT_EQ((FakeRegistry::RawValue{c.stored, data}), fake.Get(kHKCU, kSec, "v")) << c.text;
    }
}

TEST_F(cRegistryTest, NumberAndByteWrites) {
  At("big", kRegDwordBigEndian).Value(std::int32_t{5});
  EXPECT_EQ((FakeRegistry::RawValue{kRegDword, {5, 0, 0, 0}}), fake.Get(kHKCU, kSec, "big"));
  At("short", kRegDword).Value(std::int16_t{-1});
  EXPECT_EQ((FakeRegistry::RawValue{kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}),
            fake.Get(kHKCU, kSec, "short"));
  At("text", kRegDword).Value(std::string("12"));  // stores nothing, raises nothing
  EXPECT_FALSE(fake.Get(kHKCU, kSec, "text"));
  At("bin", kRegBinary).Value(Bytes{1, 2, 3});
  EXPECT_EQ((FakeRegistry::RawValue{kRegBinary, {1, 2, 3}}), fake.Get(kHKCU, kSec, "bin"));
  At("number", kRegSz).Value(std::int32_t{-42});
  EXPECT_EQ(Variant(std::string("-42")), At("number").Value());
}

TEST_F(cRegistryTest, FailuresRaiseTheirNumbersAndDescriptions) {
  fake.MakeKey(kHKCU, "Software\\Test\\Sub");
  fake.Deny(kHKCU, "Software\\Locked");
  struct Case {
    std::function<void()> call;
    long number;
    std::string source, description;
  };
  const std::string src = "Gleisora.cRegistry";
  const std::vector<Case> cases = {
      {[&] { At("", 0, kHKCU, "Software\\Locked\\X").CreateKey(); }, 26001, src,
       "Failed to create registry Key: 'Software\\Locked\\X"},
      {[&] { At("").DeleteKey(); }, 26001, src,
       "Failed to delete registry Key: '-2147483647',Section: 'Software\\Test"},
      {[&] { At("", 0, kHKLM, "").DeleteKey(); }, 26001, src,
       "Failed to delete registry Key: '-2147483646',Section: '"},
      {[&] { At("v", 0, kHKCU, "Software\\Missing").DeleteValue(); }, 26001, src,
       "Failed to open key '-2147483647',Section: 'Software\\Missing' for delete access"},
      {[&] { At("v").DeleteValue(); }, 26001, src,
       "Failed to delete registry Key: '-2147483647',Section: 'Software\\Test',Key: 'v"},
      {[&] { At("v", kRegSz, kHKCU, "Software\\Locked").Value(std::string("abc")); }, 26001,
       src,
       "Failed to set registry value Key: '-2147483647',Section: 'Software\\Locked',Key: 'v' "
       "to value: 'abc'"},
      {[&] { At("v", kRegMultiSz).Value(std::string("abc")); }, -2147194455, src,
       "Failed to set registry value Key: '-2147483647',Section: 'Software\\Test',Key: 'v' "
       "to value: 'abc'"},
      {[&] { At("v", kRegBinary).Value(std::string("abc")); }, 26001, "Gleisora",
       "Application-defined or object-defined error"},
      {[&] { At("v", kRegSz, 0).Value(std::int32_t{7}); }, 26001, src,
       "Failed to set registry value Key: '0',Section: 'Software\\Test',Key: 'v' to value: '7'"},
      {[&] { At("v", 0, kHKCU, "Software\\Locked").WriteRaw(kRegQword, {1, 0xAB}); }, 26001,
       src,
       "Failed to set registry value Key: '-2147483647',Section: 'Software\\Locked',Key: 'v' "
       "to value: '01,ab'"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    RuntimeError e = Raised(cases[i].call);
    EXPECT_EQ(cases[i].number, e.Number) << i;
    EXPECT_EQ(cases[i].source, e.Source) << i;
    EXPECT_EQ(cases[i].description, e.Description) << i;
  }
  fake.setResult = kAccessDenied;
  EXPECT_EQ(-2147194455, Raised([&] { At("v", kRegDword).Value(std::int32_t{1}); }).Number);
  EXPECT_EQ(-2147194455, Raised([&] { At("v").WriteRaw(kRegQword, {1}); }).Number);
}

TEST_F(cRegistryTest, EnumeratesNamesInRegistryOrder) {
  for (const char* n : {"b", "", "A"}) fake.PutDword(kHKCU, kSec, n, 1);
  fake.MakeKey(kHKCU, "Software\\Test\\Y");
  fake.MakeKey(kHKCU, "Software\\Test\\x");
  std::vector<std::string> names{"stale"};
  std::int32_t count = -1;
  EXPECT_TRUE(At("").EnumerateValues(names, count));
  EXPECT_EQ((std::vector<std::string>{"", "A", "b"}), names);
  EXPECT_EQ(3, count);
  EXPECT_TRUE(At("").EnumerateSections(names, count));
  EXPECT_EQ((std::vector<std::string>{"x", "Y"}), names);
  EXPECT_EQ(2, count);
  for (std::int32_t root : {kHKCU, 0}) {
    EXPECT_TRUE(At("", 0, root, "Software\\Missing").EnumerateValues(names, count));
    EXPECT_EQ(0, count);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(At("", 0, root, "Software\\Missing").EnumerateSections(names, count));
    EXPECT_EQ(0, count);
  }
  // Names longer than the key announced are still listed.
  fake.hideLongestName = true;
  std::string longName(300, 'n');
  fake.PutDword(kHKCU, kSec, longName, 1);
  EXPECT_TRUE(At("").EnumerateValues(names, count));
  EXPECT_EQ((std::vector<std::string>{"", "A", "b", longName}), names);
}

TEST_F(cRegistryTest, RootsOtherThanThePredefinedOnesAreNeverPassedOn) {
  // An open key's handle value must not work as a root.
  RegKey open = 0;
  ASSERT_EQ(kSuccess, fake.CreateKey(RootKey(kHKCU), kSec, kKeyAllAccess, open));
  cRegistry r = At("v", kRegSz, static_cast<std::int32_t>(open), "");
  EXPECT_FALSE(r.KeyExists());
  EXPECT_EQ(26001, Raised([&] { r.Value(std::string("x")); }).Number);
  EXPECT_EQ(26001, Raised([&] { r.CreateKey(); }).Number);
  EXPECT_FALSE(fake.Get(kHKCU, kSec, "v"));
  fake.CloseKey(open);
}

}  // namespace
