#include "snapshots/SnapshotText.h"

#include "platform/Registry.h"
#include "support/Errors.h"

namespace snap {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* const kNames[] = {"REG_NONE",
                              "REG_SZ",
                              "REG_EXPAND_SZ",
                              "REG_BINARY",
                              "REG_DWORD",
                              "REG_DWORD_BIG_ENDIAN",
                              "REG_LINK",
                              "REG_MULTI_SZ",
                              "REG_RESOURCE_LIST",
                              "REG_FULL_RESOURCE_DESCRIPTOR",
                              "REG_RESOURCE_REQUIREMENTS_LIST",
                              "REG_QWORD"};
constexpr std::uint32_t kNamedTypes = sizeof kNames / sizeof kNames[0];
const char kUnnamedPrefix[] = "REG_TYPE_";
const char kHexPrefix[] = "hex:";

// A string the plain "REG_SZ:" form writes back as the same REG_SZ bytes: stored with
// one terminating zero and none inside, nothing the INI file trims or splits, no pair
// of percent signs (restored as REG_EXPAND_SZ), and not mistakable for the hex form.
bool PlainStringSurvives(const ByteArray& data) {
  if (data.empty() || data.back() != 0) return false;
  const std::string text(data.begin(), data.end() - 1);
  if (text.find('\0') != std::string::npos) return false;
  if (text.find_first_of("\r\n") != std::string::npos) return false;
  if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) return false;
  const auto first = text.find('%'), last = text.rfind('%');
  if (first != std::string::npos && last >= first + 2) return false;
  if (text.compare(0, 4, kHexPrefix) == 0) return false;
  return true;
}

}  // namespace

std::int32_t ToLong(const std::string& text) {
  std::int32_t value = 0;
  switch (ToInt32(text, value)) {
    case 0: return value;
    case err::Overflow: throw RuntimeError(err::Overflow, "", "Overflow");
    default: throw RuntimeError(err::TypeMismatch, "", "Type mismatch");
  }
}

std::string TypeName(std::uint32_t type) {
  if (type < kNamedTypes) return kNames[type];
  return kUnnamedPrefix + std::to_string(type);
}

std::optional<std::uint32_t> TypeFromName(const std::string& name) {
  for (std::uint32_t t = 0; t < kNamedTypes; ++t)
    if (name == kNames[t]) return t;
  const std::string prefix = kUnnamedPrefix;
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
    return std::nullopt;
  std::uint64_t n = 0;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (!IsDigit(name[i])) return std::nullopt;
    n = n * 10 + static_cast<std::uint64_t>(name[i] - '0');
    if (n > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<std::uint32_t>(n);
}

std::optional<ByteArray> FromHex(const std::string& text) {
  ByteArray out;
  if (text.empty()) return out;
  // "xx" then ",xx" repeated: the length is 3n - 1.
  if ((text.size() + 1) % 3 != 0) return std::nullopt;
  out.reserve((text.size() + 1) / 3);
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < text.size(); i += 3) {
    const int hi = nibble(text[i]), lo = nibble(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    if (i + 2 < text.size() && text[i + 2] != ',') return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
  }
  return out;
}

std::string EntryValue(std::uint32_t type, const ByteArray& data) {
  if (type == plat::reg::kRegSz && PlainStringSurvives(data))
    return "REG_SZ:" + std::string(data.begin(), data.end() - 1);
  if (type == plat::reg::kRegDword && data.size() == 4)
    return "REG_DWORD:" + std::to_string(static_cast<std::int32_t>(DwordValue(data)));
  return TypeName(type) + ":" + kHexPrefix + ToHex(data);
}

ValueLine ParseEntryValue(const std::string& entryValue) {
  ValueLine line;
  const auto colon = entryValue.find(':');
  if (colon == std::string::npos) return line;  // NoColon
  const std::string name = entryValue.substr(0, colon), data = entryValue.substr(colon + 1);
  const auto type = TypeFromName(name);
  line.kind = ValueLine::Kind::Unsupported;
  if (!type) return line;
  line.type = *type;
  const bool hexForm = data.compare(0, 4, kHexPrefix) == 0;
  std::optional<ByteArray> bytes;
  if (hexForm) bytes = FromHex(data.substr(4));
  if (bytes) {
    line.kind = ValueLine::Kind::Raw;
    line.bytes = std::move(*bytes);
  } else if (*type == plat::reg::kRegSz && name == "REG_SZ") {
    line.kind = ValueLine::Kind::Text;
    line.data = data;
  } else if (*type == plat::reg::kRegDword && name == "REG_DWORD") {
    line.kind = ValueLine::Kind::Number;
    line.data = data;
  } else if (hexForm) {
    line.kind = ValueLine::Kind::BadHex;
  }
  return line;
}

}  // namespace snap
