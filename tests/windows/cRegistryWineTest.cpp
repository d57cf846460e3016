// The registry class against the real registry: conversions, write rules and the
// remote path, below a test key rebuilt for each test.
#include <windows.h>

#include <gtest/gtest.h>

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

  Win32Platform win;
  HKEY key = nullptr;
};

TEST_F(cRegistryWine, ReadsConvertByStoredType) {
  SetEnvironmentVariableA("GLEISORA_RT", "Wert");
  Put("dword", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
  Put("big", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1});
  Put("bin", REG_BINARY, {1, 2, 3});
  Put("multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0});
  const std::string expand = "%GLEISORA_RT%\\x";
  Put("expand", REG_EXPAND_SZ, Bytes(expand.c_str(), expand.c_str() + expand.size() + 1));
  Put("qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_EQ(Variant(std::int32_t{-1}), At("dword").Value());
  EXPECT_EQ(Variant(std::int32_t{1}), At("big").Value());
  EXPECT_EQ(Variant(Bytes{1, 2, 3, 0}), At("bin").Value());
  EXPECT_EQ(Variant(std::string("a\0b\0", 4)), At("multi").Value());
  cRegistry expanded = At("expand");
  EXPECT_EQ(Variant(std::string("Wert\\x")), expanded.Value());
  EXPECT_EQ(REG_EXPAND_SZ, expanded.ValueType());
  EXPECT_EQ(Variant(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0}), At("qword").Value());
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
