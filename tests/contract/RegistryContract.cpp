// The registry semantics the program relies on, run natively against the fake and
// under Wine against the real registry. Every case works below a test key under
// HKEY_CURRENT_USER that is rebuilt for each test.
#include "tests/contract/RegistryContract.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

using namespace plat;
using namespace plat::reg;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Sz(const std::string& s) {
  Bytes b = B(s);
  b.push_back(0);
  return b;
}

const char kBasePath[] = "Software\\Gleisora Tests\\Contract";

// Deletes a key and everything below it through the interface under test.
bool Wipe(IRegistryApi& api, RegKey parent, const std::string& path) {
  RegKey k = 0;
  if (api.OpenKey(parent, path, kKeyAllAccessFull, k) != kSuccess) return false;
  char name[512];
  while (api.EnumKey(k, 0, name, sizeof name) == kSuccess && Wipe(api, k, name)) {
  }
  api.CloseKey(k);
  return api.DeleteKey(parent, path) == kSuccess;
}

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    subject_ = MakeRegistrySubject();
    api = subject_.registry.get();
    Wipe(*api, RootKey(kHKCU), kBasePath);
    ASSERT_EQ(kSuccess, api->CreateKey(RootKey(kHKCU), kBasePath, kKeyAllAccess, base));
  }
  void TearDown() override {
    if (base) api->CloseKey(base);
    Wipe(*api, RootKey(kHKCU), kBasePath);
  }

  long Set(const std::string& name, std::uint32_t type, const Bytes& data, RegKey key = 0) {
    return api->SetValue(key ? key : base, name, type, data.data(),
                         static_cast<std::uint32_t>(data.size()));
  }
  long MakeKey(const std::string& path) {
    RegKey k = 0;
    long rc = api->CreateKey(base, path, kKeyAllAccess, k);
    if (rc == kSuccess) api->CloseKey(k);
    return rc;
  }
  long Exists(const std::string& path) {
    RegKey k = 0;
    long rc = api->OpenKey(base, path, kKeyQueryValue, k);
    if (rc == kSuccess) api->CloseKey(k);
    return rc;
  }
  // Reads a whole value with a buffer of exactly the announced size.
  long Get(const std::string& name, std::uint32_t& type, Bytes& data, RegKey key = 0) {
    key = key ? key : base;
    std::uint32_t size = 0;
    long rc = api->QueryValue(key, name, &type, nullptr, &size);
    if (rc != kSuccess) return rc;
    data.assign(size + 1, 0xCC);  // one sentinel byte behind the data
    std::uint32_t got = size;
    rc = api->QueryValue(key, name, &type, data.data(), &got);
    EXPECT_EQ(0xCC, data[size]) << "wrote past the buffer for " << name;
    data.resize(got);
    return rc;
  }
  std::vector<std::string> ValueNames(RegKey key = 0) {
    std::vector<std::string> names;
    char buf[300];
    for (std::uint32_t i = 0;; ++i) {
      std::uint32_t len = sizeof buf;
      if (api->EnumValue(key ? key : base, i, buf, &len) != kSuccess) break;
      names.emplace_back(buf, len);
    }
    return names;
  }
  std::vector<std::string> KeyNames(RegKey key = 0) {
    std::vector<std::string> names;
    char buf[300];
    for (std::uint32_t i = 0; api->EnumKey(key ? key : base, i, buf, sizeof buf) == kSuccess; ++i)
      names.emplace_back(buf);
    return names;
  }

  RegistrySubject subject_;
  IRegistryApi* api = nullptr;
  RegKey base = 0;
};

TEST_F(RegistryContract, MissingKeysAndValuesReportFileNotFound) {
  RegKey k = 123;
  EXPECT_EQ(kFileNotFound, api->OpenKey(base, "Nope", kKeyQueryValue, k));
  EXPECT_EQ(0u, k);
  EXPECT_EQ(kFileNotFound, api->OpenKey(base, "Nope\\Deeper", kKeyQueryValue, k));
  std::uint32_t type = 77, size = 0;
  EXPECT_EQ(kFileNotFound, api->QueryValue(base, "Nope", &type, nullptr, &size));
  EXPECT_EQ(kFileNotFound, api->QueryValue(base, "", &type, nullptr, &size))
      << "a key without a default value";
  ASSERT_EQ(kSuccess, Set("", kRegSz, Sz("standard")));
  EXPECT_EQ(kSuccess, api->DeleteValue(base, ""));
  EXPECT_EQ(kFileNotFound, api->QueryValue(base, "", &type, nullptr, &size));
  EXPECT_EQ(kFileNotFound, api->DeleteValue(base, "Nope"));
  EXPECT_EQ(kFileNotFound, api->DeleteKey(base, "Nope"));
  EXPECT_EQ(kFileNotFound, api->DeleteKey(base, "Nope\\Deeper"));
  EXPECT_TRUE(ValueNames().empty());
  EXPECT_TRUE(KeyNames().empty());
  char name[16];
  std::uint32_t len = sizeof name;
  EXPECT_EQ(kNoMoreItems, api->EnumValue(base, 0, name, &len));
  EXPECT_EQ(kNoMoreItems, api->EnumKey(base, 0, name, sizeof name));
}

TEST_F(RegistryContract, CreateKeyMakesMissingParentsAndOpensExistingKeys) {
  ASSERT_EQ(kSuccess, MakeKey("A\\B\\C"));
  EXPECT_EQ(kSuccess, Exists("A"));
  EXPECT_EQ(kSuccess, Exists("A\\B"));
  EXPECT_EQ(kSuccess, Exists("a\\b\\c"));
  ASSERT_EQ(kSuccess, Set("v", kRegDword, {1, 0, 0, 0}));
  // Creating an existing key opens it with its values intact.
  RegKey k = 0;
  ASSERT_EQ(kSuccess, api->CreateKey(RootKey(kHKCU), kBasePath, kKeyAllAccess, k));
  std::uint32_t type = 0;
  Bytes data;
  EXPECT_EQ(kSuccess, Get("v", type, data, k));
  api->CloseKey(k);
  EXPECT_EQ((std::vector<std::string>{"A"}), KeyNames());
}

TEST_F(RegistryContract, DeleteKeyRemovesOneKeyOnlyWhenItHasNoSubkeys) {
  ASSERT_EQ(kSuccess, MakeKey("Parent\\Child"));
  RegKey k = 0;
  ASSERT_EQ(kSuccess, api->OpenKey(base, "Parent", kKeyAllAccess, k));
  ASSERT_EQ(kSuccess, Set("x", kRegSz, Sz("1"), k));
  api->CloseKey(k);

  EXPECT_EQ(kAccessDenied, api->DeleteKey(base, "Parent"));
  EXPECT_EQ(kSuccess, Exists("Parent\\Child"));
  EXPECT_EQ(kSuccess, api->DeleteKey(base, "Parent\\Child"));
  EXPECT_EQ(kSuccess, api->DeleteKey(base, "parent"));
  EXPECT_EQ(kFileNotFound, Exists("Parent"));
  // A key created again under the same name starts without the old values.
  ASSERT_EQ(kSuccess, MakeKey("Parent"));
  ASSERT_EQ(kSuccess, api->OpenKey(base, "Parent", kKeyQueryValue, k));
  EXPECT_TRUE(ValueNames(k).empty());
  api->CloseKey(k);
}

// An open key names itself where it really lies: HKCU below the user's SID.
TEST_F(RegistryContract, AnOpenKeyReportsItsSystemName) {
  std::string name;
  ASSERT_EQ(kSuccess, api->KeyName(base, name));
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(0u, name.find("\\REGISTRY\\USER\\S-")) << name;
  EXPECT_EQ(name.size() - std::strlen(kBasePath), name.find("\\SOFTWARE\\GLEISORA TESTS\\CONTRACT") + 1) << name;
  EXPECT_EQ(kSuccess, api->FlushKey(base));
}

// Wine orders by the lower-case form ("_" before the letters); Windows orders keys by
// the upper-case form and keeps values in creation order. The program sorts itself.
TEST_F(RegistryContract, NamesEnumerateSortedIgnoringCase) {
  for (const char* name : {"beta", "Alpha", "_under", "gamma", "Zeta", "\xC4rger"}) {
    ASSERT_EQ(kSuccess, MakeKey(name));
    ASSERT_EQ(kSuccess, Set(name, kRegSz, Sz(name)));
  }
  ASSERT_EQ(kSuccess, Set("", kRegSz, Sz("")));
  const std::vector<std::string> sorted{"_under", "Alpha", "beta", "gamma", "Zeta", "\xC4rger"};
  EXPECT_EQ(sorted, KeyNames());
  std::vector<std::string> values{""};
  values.insert(values.end(), sorted.begin(), sorted.end());
  EXPECT_EQ(values, ValueNames());
}

TEST_F(RegistryContract, QueryInfoKeyGivesTheLongestValueName) {
  std::uint32_t longest = 99;
  EXPECT_EQ(kSuccess, api->QueryInfoKey(base, &longest));
  EXPECT_EQ(0u, longest);
  ASSERT_EQ(kSuccess, Set("", kRegSz, Sz("d")));
  ASSERT_EQ(kSuccess, Set("abcdef", kRegSz, Sz("x")));
  ASSERT_EQ(kSuccess, Set("ab", kRegSz, Sz("x")));
  EXPECT_EQ(kSuccess, api->QueryInfoKey(base, &longest));
  EXPECT_EQ(6u, longest);
}

TEST_F(RegistryContract, EveryTypeKeepsItsBytes) {
  struct Case {
    const char* name;
    std::uint32_t type;
    Bytes data;
  };
  const std::vector<Case> cases = {
      {"sz", kRegSz, Sz("abc")},
      {"sz empty", kRegSz, Sz("")},
      {"sz umlauts", kRegSz, Sz("Gr\xF6\xDF" "e \xC4\xD6\xDC")},
      {"sz no data", kRegSz, {}},
      {"expand", kRegExpandSz, Sz("%GLEISORA_CT%\\x")},
      {"multi", kRegMultiSz, {'a', 0, 'b', 'c', 0, 0}},
      {"binary", kRegBinary, {1, 2, 3}},
      {"binary empty", kRegBinary, {}},
      {"dword", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"dword short", kRegDword, {7, 0}},
      {"big endian", kRegDwordBigEndian, {0, 0, 0, 1}},
      {"qword", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"none", kRegNone, {}},
      {"none data", kRegNone, {0xFF, 0}},
      {"unnamed type", 0x1234, {9, 8, 7}},
  };
  for (const auto& c : cases) ASSERT_EQ(kSuccess, Set(c.name, c.type, c.data)) << c.name;
  for (const auto& c : cases) {
    std::uint32_t type = 0;
    Bytes data;
    EXPECT_EQ(kSuccess, Get(c.name, type, data)) << c.name;
    EXPECT_EQ(c.type, type) << c.name;
    EXPECT_EQ(c.data, data) << c.name;
  }
}

TEST_F(RegistryContract, SmallBuffersReportTheSizeNeeded) {
  ASSERT_EQ(kSuccess, Set("bin", kRegBinary, Bytes(10, 0xAB)));
  ASSERT_EQ(kSuccess, Set("text", kRegSz, Sz("hello")));
  struct Case {
    const char* name;
    std::uint32_t need;
  };
  for (const Case c : {Case{"bin", 10}, Case{"text", 6}}) {
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(kSuccess, api->QueryValue(base, c.name, &type, nullptr, &size)) << c.name;
    EXPECT_EQ(c.need, size) << c.name;
    Bytes buf(c.need, 0);
    size = 3;
    EXPECT_EQ(kMoreData, api->QueryValue(base, c.name, &type, buf.data(), &size)) << c.name;
    EXPECT_EQ(c.need, size) << c.name;
    size = c.need;
    EXPECT_EQ(kSuccess, api->QueryValue(base, c.name, &type, buf.data(), &size)) << c.name;
    EXPECT_EQ(c.need, size) << c.name;
    // Type and size alone, without a data buffer.
    type = 0;
    EXPECT_EQ(kSuccess, api->QueryValue(base, c.name, &type, nullptr, nullptr)) << c.name;
    EXPECT_NE(0u, type) << c.name;
  }
  // A value far larger than any fixed buffer.
  Bytes huge(300000);
  for (std::size_t i = 0; i < huge.size(); ++i) huge[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_EQ(kSuccess, Set("huge", kRegBinary, huge));
  std::uint32_t type = 0;
  Bytes data;
  EXPECT_EQ(kSuccess, Get("huge", type, data));
  EXPECT_EQ(huge, data);
}

TEST_F(RegistryContract, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  ASSERT_EQ(kSuccess, Set("MixedCase", kRegDword, {1, 0, 0, 0}));
  ASSERT_EQ(kSuccess, Set("MIXEDCASE", kRegDword, {2, 0, 0, 0}));
  std::uint32_t type = 0;
  Bytes data;
  ASSERT_EQ(kSuccess, Get("mixedcase", type, data));
  EXPECT_EQ((Bytes{2, 0, 0, 0}), data);
  EXPECT_EQ((std::vector<std::string>{"MixedCase"}), ValueNames());

  ASSERT_EQ(kSuccess, Set("Gr\xF6\xDF" "e", kRegSz, Sz("1")));
  EXPECT_EQ(kSuccess, Get("GR\xD6\xDF" "E", type, data)) << "umlauts ignore case too";
  ASSERT_EQ(kSuccess, api->DeleteValue(base, "gr\xF6\xDF" "e"));

  ASSERT_EQ(kSuccess, MakeKey("KeyCase"));
  ASSERT_EQ(kSuccess, MakeKey("KEYCASE\\Sub"));
  EXPECT_EQ(kSuccess, Exists("keycase\\SUB"));
  EXPECT_EQ((std::vector<std::string>{"KeyCase"}), KeyNames());
  ASSERT_EQ(kSuccess, MakeKey("\xC4nderung"));
  EXPECT_EQ(kSuccess, Exists("\xE4NDERUNG"));
}

TEST(EnvironmentContract, ExpandsKnownReferencesOnly) {
  RegistrySubject s = MakeRegistrySubject();
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"%GLEISORA_CT%\\x", "Wert\\x"},
      {"%gleisora_ct%", "Wert"},
      {"50%", "50%"},
      {"%%", "%%"},
      {"", ""},
      {"%GLEISORA_NOPE%x", "%GLEISORA_NOPE%x"},
      {"%GLEISORA_CT", "%GLEISORA_CT"},
      // An unknown reference is kept whole; scanning goes on behind it.
      {"a%GLEISORA_NOPE%GLEISORA_CT%b", "a%GLEISORA_NOPE%GLEISORA_CT%b"},
      {"%GLEISORA_NOPE%%GLEISORA_CT%", "%GLEISORA_NOPE%Wert"},
      {"%GLEISORA_CT%%GLEISORA_CT%", "WertWert"},
  };
  for (const auto& c : cases) {
    std::uint32_t need = s.environment->ExpandStrings(c.in, nullptr, 0);
    EXPECT_EQ(std::strlen(c.out) + 1, need) << c.in;
    std::vector<char> buf(need + 1, 'X');
    EXPECT_EQ(need, s.environment->ExpandStrings(c.in, buf.data(), need)) << c.in;
    EXPECT_STREQ(c.out, buf.data()) << c.in;
    EXPECT_EQ('X', buf[need]) << c.in;
  }
  // Too small a buffer: the size needed comes back and is larger than offered.
  char small[4];
  EXPECT_EQ(std::strlen("Wert\\x") + 1, s.environment->ExpandStrings("%GLEISORA_CT%\\x", small, 4));
}

}  // namespace
