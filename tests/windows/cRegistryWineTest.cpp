// The registry class against the real registry: conversions, write rules, errors,
// large values and the remote path, below a test key rebuilt for each test.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "platform/win32/Win32Platform.h"
#include "support/cRegistry.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const char kSec[] = "Software\\Gleisora Tests\\cRegistry";

class cRegistryWine : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSec);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSec, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
  }
  void TearDown() override {
    RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, kSec);
  }
  void Put(const char* name, DWORD type, const Bytes& data) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, data.data(),
                                            static_cast<DWORD>(data.size())));
  }
  // Type and bytes as stored, read straight from the registry.
  std::pair<DWORD, Bytes> Stored(const std::string& sub, const char* name) {
    DWORD type = 0, size = 0;
    std::string path = std::string(kSec) + sub;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                     nullptr, &size) != ERROR_SUCCESS)
      return {0, {}};
    Bytes data(size);
    RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                 data.data(), &size);
    data.resize(size);
    return {type, data};
  }
  cRegistry At(const std::string& value, std::int32_t type = 0, const std::string& sub = "") {
    cRegistry r(win.Get());
    r.ClassKey(plat::kHKCU);
    r.SectionKey(kSec + sub);
    r.ValueKey(value);
    r.ValueType(type);
    return r;
  }
  long Number(const std::function<void()>& f, std::string* description = nullptr) {
    try {
      f();
    } catch (const RuntimeError& e) {
      if (description) *description = e.Description;
      return e.Number;
    }
    return 0;
  }

  Win32Platform win;
  HKEY key = nullptr;
};

TEST_F(cRegistryWine, ReadsConvertByStoredType) {
  SetEnvironmentVariableA("GLEISORA_RT", "Wert");
  Put("dword", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
  Put("big", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1});
  Put("bin", REG_BINARY, {1, 2, 3});
  Put("multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
  Put("expand", REG_EXPAND_SZ, {'%', 'G', 'L', 'E', 'I', 'S', 'O', 'R', 'A', '_', 'R', 'T',
                                '%', '\\', 'x', 0});
  Put("qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_EQ(Variant(std::int32_t{-1}), At("dword").Value());
  EXPECT_EQ(Variant(std::int32_t{1}), At("big").Value());
  EXPECT_EQ(Variant(Bytes{1, 2, 3, 0}), At("bin").Value());
  EXPECT_EQ(Variant(std::string("a\0b\0", 4)), At("multi").Value());
  cRegistry expand = At("expand");
  EXPECT_EQ(Variant(std::string("Wert\\x")), expand.Value());
  EXPECT_EQ(REG_EXPAND_SZ, expand.ValueType());
  EXPECT_EQ(Variant(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0}), At("qword").Value());
  cRegistry missing = At("missing", 7);
  missing.Default(std::string("d"));
  EXPECT_EQ(Variant(std::string("d")), missing.Value());
  EXPECT_EQ(7, missing.ValueType());
}

TEST_F(cRegistryWine, WritesStoreTheChosenType) {
  At("temp", REG_SZ).Value(std::string("%TEMP%\\x"));
  At("pct", REG_SZ).Value(std::string("50%"));
  At("big", REG_DWORD_BIG_ENDIAN).Value(std::int32_t{5});
  At("bin", REG_BINARY).Value(Bytes{0, 0xFF});
  EXPECT_EQ(std::make_pair(DWORD{REG_EXPAND_SZ}, Bytes{'%', 'T', 'E', 'M', 'P', '%', '\\', 'x', 0}),
            Stored("", "temp"));
  EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, Bytes{'5', '0', '%', 0}), Stored("", "pct"));
  EXPECT_EQ(std::make_pair(DWORD{REG_DWORD}, Bytes{5, 0, 0, 0}), Stored("", "big"));
  EXPECT_EQ(std::make_pair(DWORD{REG_BINARY}, Bytes{0, 0xFF}), Stored("", "bin"));
  // Below keys that do not exist yet.
  At("deep", REG_SZ, "\\A\\B\\C").Value(std::string("x"));
  EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, Bytes{'x', 0}), Stored("\\A\\B\\C", "deep"));
  At("raw", 0, "\\A").WriteRaw(REG_QWORD, {8, 7, 6, 5, 4, 3, 2, 1});
  EXPECT_EQ(std::make_pair(DWORD{REG_QWORD}, Bytes{8, 7, 6, 5, 4, 3, 2, 1}), Stored("\\A", "raw"));
  std::uint32_t type = 0;
  Bytes data;
  ASSERT_TRUE(At("temp").ReadRaw(type, data));
  EXPECT_EQ(std::make_pair(DWORD{type}, data), Stored("", "temp"));
}

TEST_F(cRegistryWine, FailuresRaiseTheirNumbersAndDescriptions) {
  At("", 0, "\\Parent\\Child").CreateKey();
  std::string description;
  EXPECT_EQ(26001, Number([&] { At("", 0, "\\Parent").DeleteKey(); }, &description));
  EXPECT_EQ("Failed to delete registry Key: '-2147483647',Section: '" + std::string(kSec) +
                "\\Parent",
            description);
  EXPECT_EQ(26001, Number([&] { At("nope").DeleteValue(); }, &description));
  EXPECT_EQ("Failed to delete registry Key: '-2147483647',Section: '" + std::string(kSec) +
                "',Key: 'nope",
            description);
  try {
    At("v", REG_MULTI_SZ).Value(std::string("x"));
    ADD_FAILURE() << "nothing raised";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(-2147194455, e.Number);
    EXPECT_EQ("win_tests.cRegistry", e.Source);
  }
  // Roots other than the predefined ones.
  for (std::int32_t root : {0, 0x7FFFFFFF}) {
    cRegistry r = At("v", REG_SZ);
    r.ClassKey(root);
    EXPECT_TRUE(IsEmpty(r.Value()));
    EXPECT_FALSE(r.KeyExists());
    EXPECT_EQ(26001, Number([&] { r.Value(std::string("x")); }));
  }
}

TEST_F(cRegistryWine, HugeValuesReadWhole) {
  Bytes bin(3 << 20);
  for (std::size_t i = 0; i < bin.size(); ++i) bin[i] = static_cast<std::uint8_t>(i % 251);
  Put("bin", REG_BINARY, bin);
  std::string text(400000, 'a');
  text.back() = 'z';
  Put("text", REG_SZ, Bytes(text.c_str(), text.c_str() + text.size() + 1));
  Variant got = At("bin").Value();
  bin.push_back(0);
  EXPECT_TRUE(got == Variant(bin));
  EXPECT_TRUE(At("text").Value() == Variant(text));
  std::string longName(5000, 'n');
  Put(longName.c_str(), REG_DWORD, {1, 0, 0, 0});
  std::vector<std::string> names;
  std::int32_t count = 0;
  EXPECT_TRUE(At("").EnumerateValues(names, count));
  EXPECT_EQ((std::vector<std::string>{"bin", longName, "text"}), names);
}

TEST_F(cRegistryWine, MachineReachesTheNamedComputer) {
  Put("v", REG_SZ, {'o', 'k', 0});
  char name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD len = sizeof name;
  ASSERT_TRUE(GetComputerNameA(name, &len));
  cRegistry r = At("v", REG_SZ);
  r.Machine("\\\\" + std::string(name));  // a short name alone would be dropped
  EXPECT_EQ(Variant(std::string("ok")), r.Value());
  r.Value(std::string("again"));
  EXPECT_EQ(Variant(std::string("again")), At("v").Value());
  r.Machine("\\\\GLEISORA-NO-SUCH-PC");
  EXPECT_TRUE(IsEmpty(r.Value()));
}

}  // namespace
