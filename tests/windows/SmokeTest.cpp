#include <windows.h>

#include <gtest/gtest.h>

TEST(WineSmoke, RegistryRoundTrip) {
  HKEY k;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\GleisoraSmoke", 0, nullptr,
                                           0, KEY_ALL_ACCESS, nullptr, &k, nullptr));
  DWORD v = 7, t = 0, n = 4, got = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(k, "x", 0, REG_DWORD, (BYTE*)&v, 4));
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(k, "x", nullptr, &t, (BYTE*)&got, &n));
  EXPECT_EQ(7u, got);
  RegCloseKey(k);
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\GleisoraSmoke"));
}
