#include "snapshots/RegFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/Registry.h"
#include "snapshots/SnapshotText.h"

namespace regfile {
namespace {

const char kHeader[] = "REGEDIT4";
constexpr std::size_t kWrapAt = 77;  // regedit wraps hex data once a line is this long

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

// A string value regedit writes back with the same bytes: its text, one closing zero,
// and no line break (a .reg line cannot hold one).
bool PlainString(const ByteArray& data) {
  if (data.empty() || data.back() != 0) return false;
  for (std::size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') return false;
  return true;
}

std::string HexData(const std::string& prefix, const ByteArray& data) {
  std::string out, line = prefix;
  const std::string hex = ToHex(data);  // "xx,xx,...": three characters a byte
  for (std::size_t i = 0; i < hex.size(); i += 3) {
    const std::string piece = hex.substr(i, 3);
    if (line.size() >= kWrapAt) {
      out += line + "\\\r\n";
      line = "  ";
    }
    line += piece;
  }
  return out + line;
}

std::string ValueLine(const Value& v) {
  const std::string name = v.name.empty() ? "@" : Quoted(v.name);
  if (v.type == plat::reg::kRegSz && PlainString(v.data))
    return name + "=" + Quoted(std::string(v.data.begin(), v.data.end() - 1));
  if (v.type == plat::reg::kRegDword && v.data.size() == 4) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x",
                  static_cast<unsigned>(v.data[0] | v.data[1] << 8 | v.data[2] << 16) |
                      static_cast<unsigned>(v.data[3]) << 24);
    return name + "=dword:" + text;
  }
  if (v.type == plat::reg::kRegBinary) return HexData(name + "=hex:", v.data);
  char type[24];
  std::snprintf(type, sizeof type, "=hex(%x):", static_cast<unsigned>(v.type));
  return HexData(name + type, v.data);
}

// A quoted text from `at` (on its opening quote); moves `at` past the closing quote.
std::optional<std::string> Unquote(const std::string& line, std::size_t& at) {
  std::string out;
  for (++at; at < line.size(); ++at) {
    if (line[at] == '"') {
      ++at;
      return out;
    }
    if (line[at] == '\\' && at + 1 < line.size()) ++at;
    out += line[at];
  }
  return std::nullopt;
}

std::optional<Value> ParseValue(const std::string& line) {
  Value v;
  std::size_t at = 0;
  if (line[0] == '@') {
    at = 1;
  } else if (auto name = Unquote(line, at)) {
    v.name = *name;
  } else {
    return std::nullopt;
  }
  if (at >= line.size() || line[at] != '=') return std::nullopt;
  const std::string data = line.substr(at + 1);
  if (!data.empty() && data[0] == '"') {
    std::size_t q = 0;
    auto text = Unquote(data, q);
    if (!text || q != data.size()) return std::nullopt;
    v.type = plat::reg::kRegSz;
    v.data.assign(text->begin(), text->end());
    v.data.push_back(0);
    return v;
  }
  std::string hex;
  if (data.rfind("dword:", 0) == 0 && data.size() == 14) {
    unsigned n = 0;
    for (char c : data.substr(6)) {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
      n = n * 16 +
          static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c))
                                    ? c - '0'
                                    : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    v.type = plat::reg::kRegDword;
    v.data = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
              static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
    return v;
  }
  if (data.rfind("hex:", 0) == 0) {
    v.type = plat::reg::kRegBinary;
    hex = data.substr(4);
  } else if (data.rfind("hex(", 0) == 0 && data.find("):") != std::string::npos) {
    const std::size_t close = data.find("):");
    const std::string number = data.substr(4, close - 4);
    if (number.empty() || number.size() > 8 ||
        number.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return std::nullopt;
    v.type = static_cast<std::uint32_t>(std::stoul(number, nullptr, 16));
    hex = data.substr(close + 2);
  } else {
    return std::nullopt;
  }
  std::string compact;
  for (char c : hex)
    if (c != ' ') compact += c;
  auto bytes = snap::FromHex(compact);
  if (!bytes) return std::nullopt;
  v.data = std::move(*bytes);
  return v;
}

// The file's logical lines: line breaks removed, "\" continuations joined (only hex
// data is wrapped, and no other line ends in a backslash).
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string cur;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!cur.empty()) line.erase(0, std::min(line.size(), line.find_first_not_of(' ')));
    if (!line.empty() && line.back() == '\\') {
      cur += line.substr(0, line.size() - 1);
    } else {
      lines.push_back(cur + line);
      cur.clear();
    }
    start = end + 1;
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

}  // namespace

std::string Write(const std::vector<Key>& keys) {
  std::string out = std::string(kHeader) + "\r\n\r\n";
  for (const Key& k : keys) {
    out += "[" + k.name + "]\r\n";
    for (const Value& v : k.values) out += ValueLine(v) + "\r\n";
    out += "\r\n";
  }
  return out;
}

std::optional<std::vector<Key>> Read(const std::string& text) {
  const std::vector<std::string> lines = Lines(text);
  if (lines.empty() || lines[0] != kHeader) return std::nullopt;
  std::vector<Key> keys;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (line.back() != ']') return std::nullopt;
      keys.push_back({line.substr(1, line.size() - 2), {}});
      continue;
    }
    auto v = ParseValue(line);
    if (!v || keys.empty()) return std::nullopt;
    keys.back().values.push_back(std::move(*v));
  }
  return keys;
}

std::optional<std::string> FromSystemName(const std::string& systemName) {
  static const std::pair<const char*, const char*> kRoots[] = {
      {"\\REGISTRY\\MACHINE\\", "HKEY_LOCAL_MACHINE\\"}, {"\\REGISTRY\\USER\\", "HKEY_USERS\\"}};
  for (const auto& [prefix, root] : kRoots) {
    const std::string p = prefix;
    if (systemName.size() <= p.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < p.size() && same; ++i)
      same = std::toupper(static_cast<unsigned char>(systemName[i])) == p[i];
    if (same) return root + systemName.substr(p.size());
  }
  return std::nullopt;
}

std::string LongRootName(const std::string& shortRoot) {
  if (shortRoot == "HKCR") return "HKEY_CLASSES_ROOT";
  if (shortRoot == "HKCU") return "HKEY_CURRENT_USER";
  if (shortRoot == "HKLM") return "HKEY_LOCAL_MACHINE";
  return "";
}

std::string FileName(const plat::LocalTime& t, const std::string& action,
                     const std::string& entry) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d%02d%02d_", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  std::string name = stamp + action + "_" + entry;
  for (char& c : name)
    if (std::string("\\/:*?\"<>|").find(c) != std::string::npos ||
        static_cast<unsigned char>(c) < 32)
      c = '_';
  return name + ".reg";
}

bool IsBackupName(const std::string& name) {
  static const char kForm[] = "dddd-dd-dd_dddddd_";
  if (name.size() < sizeof kForm + 4) return false;
  for (std::size_t i = 0; i + 1 < sizeof kForm; ++i)
    if (kForm[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(name[i])) : name[i] != kForm[i])
      return false;
  return name.compare(name.size() - 4, 4, ".reg") == 0;
}

std::optional<BackupName> ParseFileName(const std::string& name) {
  if (!IsBackupName(name)) return std::nullopt;
  BackupName out;
  const auto number = [&](std::size_t at, std::size_t digits) {
    return std::atoi(name.substr(at, digits).c_str());  // IsBackupName checked the digits
  };
  out.time = {number(0, 4),  number(5, 2),  number(8, 2),
              number(11, 2), number(13, 2), number(15, 2)};
  const std::string rest = name.substr(18, name.size() - 18 - 4);
  const std::size_t split = rest.find('_');
  if (split == 0 || split == std::string::npos) return std::nullopt;
  out.action = rest.substr(0, split);
  out.entry = rest.substr(split + 1);
  // Entries are named "EEP_" + n: a further "_" + number counts the files of one second.
  const std::size_t last = out.entry.rfind('_');
  if (last != std::string::npos && out.entry.find('_') != last && last + 1 < out.entry.size() &&
      out.entry.size() - last < 6 &&
      out.entry.find_first_not_of("0123456789", last + 1) == std::string::npos) {
    out.number = std::atoi(out.entry.c_str() + last + 1);
    out.entry.resize(last);
  }
  return out;
}

std::string SystemName(plat::IRegistryApi& api, const std::string& rootName, std::int32_t root,
                       const std::string& subKey) {
  std::string head = subKey, tail;
  for (;;) {
    plat::RegKey key = plat::RootKey(root);
    const bool opened =
        !head.empty() && api.OpenKey(key, head, plat::reg::kKeyQueryValue, key) == 0;
    if (opened || head.empty()) {
      std::string system;
      const long rc = api.KeyName(key, system);
      if (opened) api.CloseKey(key);
      if (const auto name = rc == 0 ? FromSystemName(system) : std::nullopt) return *name + tail;
      break;
    }
    const std::size_t cut = head.rfind('\\');
    tail = "\\" + head.substr(cut == std::string::npos ? 0 : cut + 1) + tail;
    head = cut == std::string::npos ? "" : head.substr(0, cut);
  }
  return LongRootName(rootName) + "\\" + subKey;
}

}  // namespace regfile
