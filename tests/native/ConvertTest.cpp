// Number text, letter case, hex bytes and DWORD bytes.
#include <gtest/gtest.h>

#include "support/Convert.h"
#include "support/Errors.h"

TEST(Convert, NumberTextToInt32RoundsHalvesToEvenOrGivesTheError) {
  const struct {
    const char* text;
    long error;
    std::int32_t value;
  } cases[] = {
      {"12", 0, 12},        {"  42\t", 0, 42},    {"+7", 0, 7},          {"-13", 0, -13},
      {"2.5", 0, 2},        {"3.5", 0, 4},        {"-2.5", 0, -2},       {"2.5000001", 0, 3},
      {"1e3", 0, 1000},     {"15E-1", 0, 2},      {".5", 0, 0},          {"5.", 0, 5},
      {"&HA0", 0, 160},     {"&hffffffff", 0, -1}, {"&O17", 0, 15},      {"-2147483648", 0, INT32_MIN},
      {"2147483647", 0, INT32_MAX},               {"2147483648", err::Overflow, 0},
      {"-2147483649", err::Overflow, 0},          {"2147483647.5", err::Overflow, 0},
      {"99999999999999999999", err::Overflow, 0}, {"&H100000000", err::TypeMismatch, 0},
      {"&O8", err::TypeMismatch, 0},              {"", err::TypeMismatch, 0},
      {"FAIL", err::TypeMismatch, 0},             {"12abc", err::TypeMismatch, 0},
      {"1,000", err::TypeMismatch, 0},            {".", err::TypeMismatch, 0},
      {"-", err::TypeMismatch, 0},                {"1e", err::TypeMismatch, 0},
      {"&H", err::TypeMismatch, 0}};
  for (const auto& c : cases) {
    std::int32_t value = 0;
    EXPECT_EQ(c.error, ToInt32(c.text, value)) << c.text;
    EXPECT_EQ(c.value, value) << c.text;
  }
}

TEST(Convert, UpperCaseInWindows1252OrAsciiOnly) {
  const std::string mixed = "az\xe4\xf6\xfc\xdf\xf7\xfe\xff\x9a\x9c\x9e_1";
  EXPECT_EQ("AZ\xc4\xd6\xdc\xdf\xf7\xde\x9f\x8a\x8c\x8e_1", UpperAnsi(mixed));
  EXPECT_EQ("AZ\xe4\xf6\xfc\xdf\xf7\xfe\xff\x9a\x9c\x9e_1", UpperAscii(mixed));
}

TEST(Convert, HexAndDwordBytes) {
  EXPECT_EQ("01,02,ff", ToHex({1, 2, 255}));
  EXPECT_EQ("", ToHex({}));
  EXPECT_EQ((ByteArray{0x78, 0x56, 0x34, 0x12}), DwordBytes(0x12345678));
  EXPECT_EQ(0x12345678u, DwordValue({0x78, 0x56, 0x34, 0x12, 0x99}));
  EXPECT_EQ(0x107u, DwordValue({7, 1}));
}
