// Hex text and the entry-value forms of snapshot lines.
#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "snapshots/SnapshotText.h"
#include "support/Errors.h"

using namespace snap;
using namespace plat::reg;

namespace {
ByteArray Sz(const std::string& s) { return ByteArray(s.c_str(), s.c_str() + s.size() + 1); }
}  // namespace

TEST(SnapshotText, HexTextBackToBytes) {
  EXPECT_EQ((ByteArray{0xAB, 0x0C}), FromHex("AB,0c"));
  EXPECT_EQ(ByteArray{}, FromHex(""));
  for (const char* bad : {"0", "012", "01,", ",01", "01;02", "0g", "g0", "01,02,", " 01"})
    EXPECT_FALSE(FromHex(bad).has_value()) << bad;
}

TEST(SnapshotText, PlainFormsForStringsAndDwordsThatComeBackTheSameBytesForTheRest) {
  const std::tuple<std::uint32_t, ByteArray, const char*> cases[] = {
      {kRegSz, Sz("C:\\EEP\\Data"), "REG_SZ:C:\\EEP\\Data"}, {kRegSz, Sz(""), "REG_SZ:"},
      {kRegSz, Sz("100%"), "REG_SZ:100%"},               {kRegSz, Sz("%%"), "REG_SZ:%%"},
      {kRegDword, {0, 0, 0, 0x80}, "REG_DWORD:-2147483648"}, {kRegDword, {1, 2}, "REG_DWORD:hex:01,02"},
      {kRegBinary, {1, 2, 255}, "REG_BINARY:hex:01,02,ff"}, {kRegQword, {1, 0}, "REG_QWORD:hex:01,00"},
      {99, {}, "REG_TYPE_99:hex:"},
      // A string a plain line would restore differently (the snapshot round trip tries
      // the others).
      {kRegSz, Sz("%A%"), "REG_SZ:hex:25,41,25,00"}, {kRegSz, Sz("a\tb\t"), "REG_SZ:hex:61,09,62,09,00"}};
  for (const auto& [type, data, text] : cases) EXPECT_EQ(text, EntryValue(type, data)) << text;
}

TEST(SnapshotText, EntryValuesParseByTypeNameAndForm) {
  using K = ValueLine::Kind;
  const std::tuple<const char*, K, std::uint32_t, std::string> cases[] = {
      {"no colon", K::NoColon, 0, ""},          {"REG_SZ:a:b", K::Text, kRegSz, "a:b"},
      {"REG_DWORD: 7", K::Number, kRegDword, " 7"}, {"REG_TYPE_99:hex:0a", K::Raw, 99, ""},
      {"REG_BINARY:hex:0g", K::BadHex, kRegBinary, ""}, {"REG_BINARY:01", K::Unsupported, kRegBinary, ""},
      {"reg_sz:x", K::Unsupported, 0, ""},     {"REG_TYPE_:x", K::Unsupported, 0, ""},
      {"REG_TYPE_4294967296:hex:", K::Unsupported, 0, ""}, {"REG_TYPE_4294967295:hex:", K::Raw, 0xFFFFFFFF, ""}};
  for (const auto& [text, kind, type, data] : cases) {
    const ValueLine line = ParseEntryValue(text);
    EXPECT_EQ(kind, line.kind) << text;
    EXPECT_EQ(type, line.type) << text;
    EXPECT_EQ(data, line.data) << text;
  }
  EXPECT_EQ((ByteArray{10}), ParseEntryValue("REG_TYPE_99:hex:0a").bytes);
  EXPECT_EQ(kRegQword, TypeFromName("REG_QWORD"));
}
