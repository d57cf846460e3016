// Truth values, number text and the entry-value forms of snapshot lines.
#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "snapshots/SnapshotText.h"
#include "support/Errors.h"

using namespace snap;

namespace {
long ErrorOf(const std::string& text) {
  try {
    ToLong(text);
  } catch (const RuntimeError& e) {
    return e.Number;
  }
  return 0;
}
ByteArray Sz(const std::string& s) {
  ByteArray b(s.begin(), s.end());
  b.push_back(0);
  return b;
}
}  // namespace

TEST(SnapshotText, TruthValues) {
  for (const char* f : {"0", "False", "fALSE", " 0 ", "0.0", "-0"})
    EXPECT_EQ(std::optional<bool>(false), TruthValue(f)) << f;
  for (const char* t : {"1", "True", "TRUE", "-1", "2", "0.5", "1e3"})
    EXPECT_EQ(std::optional<bool>(true), TruthValue(t)) << t;
  for (const char* n : {"", "yes", "1x", "Falsey", "-", ".", "1e"})
    EXPECT_FALSE(TruthValue(n).has_value()) << n;
  // A "Registry Keys" entry is left out only when it reads as false.
  EXPECT_FALSE(SelectsKey("false"));
  EXPECT_TRUE(SelectsKey("yes"));
  EXPECT_TRUE(SelectsKey(""));
}

TEST(SnapshotText, NumberTextToLong) {
  const std::pair<const char*, long> values[] = {
      {" 7 ", 7}, {"-1", -1}, {"-2147483648", -2147483647 - 1}, {"2147483647", 2147483647},
      {"2.5", 2}, {"3.5", 4}};  // halves go to the even neighbour
  for (const auto& [text, value] : values) EXPECT_EQ(value, ToLong(text)) << text;
  const std::pair<std::string, long> errors[] = {
      {"", 13}, {"hex:01", 13}, {"2147483648", 6}, {"-2147483649", 6}, {std::string(400, '9'), 6}};
  for (const auto& [text, number] : errors) EXPECT_EQ(number, ErrorOf(text)) << text;
}

TEST(SnapshotText, HexBytes) {
  EXPECT_EQ("01,02,ff", ToHex({1, 2, 255}));
  EXPECT_EQ("", ToHex({}));
  EXPECT_EQ((ByteArray{0xAB, 0x0C}), FromHex("AB,0c"));
  EXPECT_EQ(ByteArray{}, FromHex(""));
  for (const char* bad : {"0", "012", "01,", ",01", "01;02", "0g", "01,02,", " 01"})
    EXPECT_FALSE(FromHex(bad).has_value()) << bad;
}

TEST(SnapshotText, PlainFormsForStringsAndDwordsBytesForTheRest) {
  EXPECT_EQ("REG_SZ:C:\\Games\\EEP\\Data", EntryValue(plat::reg::kRegSz, Sz("C:\\Games\\EEP\\Data")));
  EXPECT_EQ("REG_SZ:", EntryValue(plat::reg::kRegSz, Sz("")));
  EXPECT_EQ("REG_SZ:100%", EntryValue(plat::reg::kRegSz, Sz("100%")));
  EXPECT_EQ("REG_SZ:%%", EntryValue(plat::reg::kRegSz, Sz("%%")));
  EXPECT_EQ("REG_DWORD:-1", EntryValue(plat::reg::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ("REG_DWORD:1", EntryValue(plat::reg::kRegDword, {1, 0, 0, 0}));
  EXPECT_EQ("REG_DWORD:-2147483648", EntryValue(plat::reg::kRegDword, {0, 0, 0, 0x80}));
  EXPECT_EQ("REG_BINARY:hex:01,02,ff", EntryValue(plat::reg::kRegBinary, {1, 2, 255}));
  EXPECT_EQ("REG_EXPAND_SZ:hex:25,41,25,00", EntryValue(plat::reg::kRegExpandSz, Sz("%A%")));
  EXPECT_EQ("REG_QWORD:hex:01,00,00,00,00,00,00,00", EntryValue(11, {1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ("REG_TYPE_99:hex:", EntryValue(99, {}));
  EXPECT_EQ(99u, TypeFromName("REG_TYPE_99"));
  EXPECT_FALSE(TypeFromName("REG_TYPE_4294967296").has_value());
  // Strings that a plain line would restore differently.
  EXPECT_EQ("REG_SZ:hex:25,41,25,00", EntryValue(plat::reg::kRegSz, Sz("%A%")));  // expand type
  EXPECT_EQ("REG_SZ:hex:61,20,00", EntryValue(plat::reg::kRegSz, Sz("a ")));       // trimmed
  EXPECT_EQ("REG_SZ:hex:61,0d,0a,62,00", EntryValue(plat::reg::kRegSz, Sz("a\r\nb")));
  EXPECT_EQ("REG_SZ:hex:61", EntryValue(plat::reg::kRegSz, {'a'}));               // no zero
  EXPECT_EQ("REG_SZ:hex:", EntryValue(plat::reg::kRegSz, {}));
  EXPECT_EQ("REG_SZ:hex:61,00,62,00", EntryValue(plat::reg::kRegSz, {'a', 0, 'b', 0}));
  EXPECT_EQ("REG_SZ:hex:68,65,78,3a,00", EntryValue(plat::reg::kRegSz, Sz("hex:")));
  EXPECT_EQ("REG_DWORD:hex:01,02", EntryValue(plat::reg::kRegDword, {1, 2}));
}
