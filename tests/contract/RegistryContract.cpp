// The registry semantics the program relies on, run natively against the fake and
// under Wine against the real registry, below a test key rebuilt for each test.
#include "tests/contract/RegistryContract.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <vector>

using namespace plat;
using namespace plat::reg;

namespace {

using Bytes = std::vector<std::uint8_t>;
Bytes Sz(const std::string& s) { return Bytes(s.c_str(), s.c_str() + s.size() + 1); }
const char kBasePath[] = "Software\\Gleisora Tests\\Contract";

// Deletes a key and everything below it through the interface under test.
void Wipe(IRegistryApi& api, RegKey parent, const std::string& path) {
  RegKey k = 0;
  if (api.OpenKey(parent, path, kKeyAllAccessFull, k) != kSuccess) return;
  for (char name[512]; api.EnumKey(k, 0, name, sizeof name) == kSuccess;) Wipe(api, k, name);
  api.CloseKey(k);
  api.DeleteKey(parent, path);
}

class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    Wipe(*api, RootKey(kHKCU), kBasePath);
    ASSERT_EQ(kSuccess, api->CreateKey(RootKey(kHKCU), kBasePath, kKeyAllAccess, base));
  }
  void TearDown() override {
    api->CloseKey(base);
    Wipe(*api, RootKey(kHKCU), kBasePath);
  }
  long Set(const std::string& name, std::uint32_t type, const Bytes& data) {
    return api->SetValue(base, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
  }
  long Key(const std::string& path, bool create = false) {
    RegKey k = 0;
    long rc = create ? api->CreateKey(base, path, kKeyAllAccess, k) : api->OpenKey(base, path, kKeyQueryValue, k);
    if (rc == kSuccess) api->CloseKey(k);
    return rc;
  }
  // Reads a whole value with a buffer of exactly the announced size.
  long Get(const std::string& name, std::uint32_t& type, Bytes& data) {
    std::uint32_t size = 0;
    long rc = api->QueryValue(base, name, &type, nullptr, &size);
    if (rc != kSuccess) return rc;
    data.assign(size + 1, 0xCC);  // one sentinel byte behind the data
    rc = api->QueryValue(base, name, &type, data.data(), &size);
    EXPECT_EQ(0xCC, data.back()) << "wrote past the buffer for " << name;
    data.resize(size);
    return rc;
  }
  std::vector<std::string> Names(bool keys) {
    std::vector<std::string> names;
    char buf[300];
    for (std::uint32_t i = 0, len = sizeof buf;; ++i, len = sizeof buf) {
      if ((keys ? api->EnumKey(base, i, buf, len) : api->EnumValue(base, i, buf, &len)) != kSuccess) break;
      names.emplace_back(buf, keys ? std::strlen(buf) : len);
    }
    return names;
  }

  RegistrySubject subject_ = MakeRegistrySubject();
  IRegistryApi* api = subject_.registry.get();
  RegKey base = 0;
};

TEST_F(RegistryContract, MissingKeysValuesAndEndsOfLists) {
  RegKey k = 123;
  EXPECT_EQ(kFileNotFound, api->OpenKey(base, "Nope\\Deeper", kKeyQueryValue, k));
  EXPECT_EQ(0u, k);
  std::uint32_t type = 77, size = 0;
  EXPECT_EQ(kFileNotFound, api->QueryValue(base, "", &type, nullptr, &size)) << "no default value";
  EXPECT_EQ(kFileNotFound, api->DeleteValue(base, "Nope"));
  EXPECT_EQ(kFileNotFound, api->DeleteKey(base, "Nope"));
  char name[16];
  std::uint32_t len = sizeof name;
  EXPECT_EQ(kNoMoreItems, api->EnumValue(base, 0, name, &len));
  EXPECT_EQ(kNoMoreItems, api->EnumKey(base, 0, name, sizeof name));
  ASSERT_EQ(kSuccess, Set("", kRegSz, Sz("standard")));
  EXPECT_EQ(kSuccess, api->DeleteValue(base, ""));
  EXPECT_EQ(kFileNotFound, api->QueryValue(base, "", &type, nullptr, &size));
}

TEST_F(RegistryContract, KeysAreCreatedWithParentsAndDeletedOneByOne) {
  ASSERT_EQ(kSuccess, Key("A\\B\\C", true));
  ASSERT_EQ(kSuccess, Key("KEYCASE\\Sub", true));
  ASSERT_EQ(kSuccess, Key("keycase", true));
  ASSERT_EQ(kSuccess, Key("\xC4nderung", true));
  EXPECT_EQ(kSuccess, Key("a\\b"));
  EXPECT_EQ(kSuccess, Key("KeyCase\\SUB"));
  EXPECT_EQ(kSuccess, Key("\xE4NDERUNG"));
  EXPECT_EQ((std::vector<std::string>{"A", "KEYCASE", "\xC4nderung"}), Names(true));
  EXPECT_EQ(kAccessDenied, api->DeleteKey(base, "A\\B"));  // it has a subkey
  EXPECT_EQ(kSuccess, api->DeleteKey(base, "A\\B\\C"));
  EXPECT_EQ(kSuccess, api->DeleteKey(base, "a\\b"));
  EXPECT_EQ(kFileNotFound, Key("A\\B"));
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
TEST_F(RegistryContract, NamesEnumerateSortedIgnoringCaseAndKeepTheirFirstSpelling) {
  for (const char* name : {"beta", "Alpha", "_under", "gamma", "Zeta", "\xC4rger"}) {
    ASSERT_EQ(kSuccess, Key(name, true));
    ASSERT_EQ(kSuccess, Set(name, kRegSz, Sz(name)));
  }
  ASSERT_EQ(kSuccess, Set("ALPHA", kRegDword, {2, 0, 0, 0}));
  ASSERT_EQ(kSuccess, Set("", kRegSz, Sz("")));
  const std::vector<std::string> sorted{"_under", "Alpha", "beta", "gamma", "Zeta", "\xC4rger"};
  EXPECT_EQ(sorted, Names(true));
  std::vector<std::string> values{""};
  values.insert(values.end(), sorted.begin(), sorted.end());
  EXPECT_EQ(values, Names(false));
  std::uint32_t type = 0, longest = 0;
  Bytes data;
  EXPECT_EQ(kSuccess, Get("alpha", type, data));
  EXPECT_EQ((Bytes{2, 0, 0, 0}), data);
  EXPECT_EQ(kSuccess, Get("\xE4RGER", type, data)) << "umlauts ignore case too";
  EXPECT_EQ(kSuccess, api->QueryInfoKey(base, &longest));
  EXPECT_EQ(6u, longest);
}

TEST(EnvironmentContract, ExpandsKnownReferencesOnly) {
  RegistrySubject s = MakeRegistrySubject();
  const std::pair<const char*, const char*> cases[] = {
      {"%GLEISORA_CT%\\x", "Wert\\x"}, {"%gleisora_ct%", "Wert"}, {"50%", "50%"}, {"%%", "%%"},
      {"", ""}, {"%GLEISORA_CT", "%GLEISORA_CT"},
      // An unknown reference is kept whole; scanning goes on behind it.
      {"a%GLEISORA_NOPE%GLEISORA_CT%b", "a%GLEISORA_NOPE%GLEISORA_CT%b"},
      {"%GLEISORA_NOPE%%GLEISORA_CT%", "%GLEISORA_NOPE%Wert"}};
  for (const auto& [in, out] : cases) {
    const std::uint32_t need = s.environment->ExpandStrings(in, nullptr, 0);
    EXPECT_EQ(std::strlen(out) + 1, need) << in;
    std::vector<char> buf(need + 1, 'X');
    EXPECT_EQ(need, s.environment->ExpandStrings(in, buf.data(), need)) << in;
    EXPECT_STREQ(out, buf.data()) << in;
    EXPECT_EQ('X', buf[need]) << in;
  }
}

}  // namespace
