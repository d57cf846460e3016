#include "support/Convert.h"

#include <cmath>
#include <cstdlib>

#include "support/Errors.h"

std::string UpperAnsi(std::string s) {
  for (auto& c : s) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
      c = static_cast<char>(u - 0x20);
    else if (u == 0x9A || u == 0x9C || u == 0x9E)  // š œ ž
      c = static_cast<char>(u - 0x10);
    else if (u == 0xFF)  // ÿ
      c = static_cast<char>(0x9F);
  }
  return s;
}

std::string UpperAscii(std::string s) {
  for (auto& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string TrimBlanks(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "&H" or "&O" and digits of that base, as a 32-bit pattern.
std::optional<double> Radix(const std::string& text) {
  const std::string s = UpperAscii(text);
  const bool hex = s[1] == 'H';
  std::uint64_t v = 0;
  for (std::size_t i = 2; i < s.size(); ++i) {
    const char c = s[i];
    const int d = IsDigit(c) ? c - '0' : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (d < 0 || (!hex && d > 7)) return std::nullopt;
    v = v * (hex ? 16 : 8) + static_cast<std::uint64_t>(d);
    if (v > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}
}  // namespace

std::optional<double> NumberValue(const std::string& text) {
  const std::string s = TrimBlanks(text);
  if (s.size() > 2 && s[0] == '&' && std::string("HhOo").find(s[1]) != std::string::npos)
    return Radix(s);
  std::size_t i = 0, digits = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t exp = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++exp;
    if (exp == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  return std::strtod(s.c_str(), nullptr);  // the grammar above is the C locale's
}

long ToInt32(const std::string& text, std::int32_t& out) {
  const auto n = NumberValue(text);
  if (!n) return err::TypeMismatch;
  const double r = std::nearbyint(*n);  // default rounding: halves to the even neighbour
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return err::Overflow;
  out = static_cast<std::int32_t>(r);
  return 0;
}

std::string ToHex(const ByteArray& data) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(data.size() * 3);
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i) out += ',';
    out += digits[data[i] >> 4];
    out += digits[data[i] & 0xF];
  }
  return out;
}

ByteArray DwordBytes(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::uint32_t DwordValue(const ByteArray& data) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i)
    v |= static_cast<std::uint32_t>(data[i]) << (8 * i);
  return v;
}
