#include "support/IniCodec.h"

#include <algorithm>
#include <utility>

namespace ini {
namespace {

// Windows-1252 bytes 0x80..0x9F as Unicode.
const char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at s[i]; an invalid byte gives U+FFFD and length 1.
char32_t NextUtf8(const std::string& s, std::size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = len == 1 ? c : c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    const unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += len;
  return cp;
}

// UTF-16 text (after its byte-order mark) as UTF-8; false when it does not convert back
// unchanged (odd length, unpaired surrogates).
bool Utf16ToUtf8(const std::string& s, bool bigEndian, std::string& out) {
  bool exact = s.size() % 2 == 0;
  auto unit = [&](std::size_t i) -> char16_t {
    const unsigned char a = static_cast<unsigned char>(s[i]),
                        b = static_cast<unsigned char>(s[i + 1]);
    return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < s.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      exact = false;
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return exact;
}

std::string Utf8ToUtf16(const std::string& s, bool bigEndian) {
  std::string out;
  auto put = [&](char16_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  for (std::size_t i = 0; i < s.size();) {
    char32_t cp = NextUtf8(s, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(static_cast<char16_t>(0xD800 + (cp >> 10)));
      put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      put(static_cast<char16_t>(cp));
    }
  }
  return out;
}

}  // namespace

std::string Utf8From1252(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x80) out += static_cast<char>(c);
    else AppendUtf8(out, c < 0xA0 ? kHigh1252[c - 0x80] : c);
  }
  return out;
}

std::string Utf8To1252(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const char32_t cp = NextUtf8(s, i);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    const char16_t* hit = std::find(kHigh1252, kHigh1252 + 32, static_cast<char16_t>(cp));
    out +=
        cp <= 0xFFFF && hit != kHigh1252 + 32 ? static_cast<char>(0x80 + (hit - kHigh1252)) : '?';
  }
  return out;
}

Decoded Decode(std::string bytes) {
  Decoded d;
  auto starts = [&](const char* bom, std::size_t n) { return bytes.compare(0, n, bom, n) == 0; };
  if (starts("\xEF\xBB\xBF", 3)) {
    d.encoding = Encoding::Utf8Bom;
    d.bom = bytes.substr(0, 3);
    d.text = bytes.substr(3);
  } else if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
    const bool big = bytes[0] == '\xFE';
    d.encoding = big ? Encoding::Utf16Be : Encoding::Utf16Le;
    d.bom = bytes.substr(0, 2);
    d.exact = Utf16ToUtf8(bytes.substr(2), big, d.text);
  } else {
    d.text = std::move(bytes);
  }
  return d;
}

std::string Encode(Encoding encoding, const std::string& bom, const std::string& text) {
  switch (encoding) {
    case Encoding::Ansi: return text;
    case Encoding::Utf8Bom: return bom + text;
    case Encoding::Utf16Le: return bom + Utf8ToUtf16(text, false);
    case Encoding::Utf16Be: return bom + Utf8ToUtf16(text, true);
  }
  return text;
}

}  // namespace ini
