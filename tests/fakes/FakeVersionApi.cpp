#include <algorithm>
#include <cctype>
#include <cstring>

#include "tests/fakes/FakeServices.h"
#include "tests/fakes/VersionBlock.h"

namespace {

std::string Upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Raw32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string Hex4(std::uint16_t v) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s(4, '0');
  for (int i = 3; i >= 0; --i, v >>= 4) s[i] = digits[v & 0xF];
  return s;
}

std::string StringTable(std::uint16_t language, std::uint16_t codePage,
                        const std::map<std::string, std::string>& entries) {
  std::string strings;
  for (const auto& [name, text] : entries) {
    const std::string value = verblock::TextValue(text);
    verblock::AppendNode(strings, name, value, static_cast<std::uint16_t>(value.size() / 2), 1, "");
  }
  std::string table;
  verblock::AppendNode(table, Hex4(language) + Hex4(codePage), "", 0, 1, strings);
  return table;
}

// Full path of `path` the way GetFullPathNameA forms it: relative to the current
// directory, "/" read as a backslash, "." and ".." folded; existence is not checked.
std::string FullForm(std::string p, const std::string& current) {
  std::replace(p.begin(), p.end(), '/', '\\');
  const bool trailing = p.back() == '\\';
  const auto drive = [](const std::string& s) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
  };
  std::string root = current.substr(0, 2), rest;
  const std::string currentRest = current.size() > 3 ? current.substr(3) : "";
  if (p.size() >= 2 && p[1] == ':') {
    if (p.size() >= 3 && p[2] == '\\') {
      root = p.substr(0, 2);
      rest = p.substr(3);
    } else if (drive(p) == drive(current)) {
      rest = currentRest + "\\" + p.substr(2);
    } else {
      root = p.substr(0, 2);
      rest = p.substr(2);
    }
  } else if (p[0] == '\\') {
    rest = p.substr(1);
  } else {
    rest = currentRest + "\\" + p;
  }
  std::vector<std::string> parts;
  for (std::size_t s = 0; s <= rest.size();) {
    std::size_t e = std::min(rest.find('\\', s), rest.size());
    std::string part = rest.substr(s, e - s);
    s = e + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out = root;
  for (const auto& part : parts) out += "\\" + part;
  if (parts.empty() || trailing) out += "\\";
  return out;
}

}  // namespace

std::string BuildVersionBlock(const VersionSpec& vi) {
  const auto pack = [](const std::uint16_t* v, int i) {
    return static_cast<std::uint32_t>(v[i]) << 16 | v[i + 1];
  };
  std::string fixed = Raw32(0xFEEF04BD) + Raw32(0x00010000) + Raw32(pack(vi.fileVersion, 0)) +
                      Raw32(pack(vi.fileVersion, 2)) + Raw32(pack(vi.productVersion, 0)) +
                      Raw32(pack(vi.productVersion, 2)) + Raw32(0x3F) + Raw32(vi.fileFlags) +
                      Raw32(vi.fileOS) + Raw32(vi.fileType) + Raw32(vi.fileSubtype) +
                      Raw32(0) + Raw32(0);

  std::string tables;
  if (!vi.strings.empty()) tables += StringTable(vi.language, vi.codePage, vi.strings);
  for (const auto& [id, entries] : vi.extraTables) {
    while (tables.size() % 4) tables.push_back('\0');
    tables += StringTable(id.first, id.second, entries);
  }
  std::string children;
  if (!tables.empty()) verblock::AppendNode(children, "StringFileInfo", "", 0, 1, tables);
  if (vi.translation) {
    std::string var;
    verblock::AppendNode(var, "Translation",
                         Raw32(static_cast<std::uint32_t>(vi.codePage) << 16 | vi.language), 4, 0,
                         "");
    verblock::AppendNode(children, "VarFileInfo", "", 0, 1, var);
  }
  std::string block;
  verblock::AppendNode(block, "VS_VERSION_INFO", fixed, 52, 0, children);
  return block;
}

void FakeVersionApi::SetVersion(const std::string& path, const VersionSpec& vi) {
  SetRawBlock(path, BuildVersionBlock(vi));
}

void FakeVersionApi::SetRawBlock(const std::string& path, const std::string& block) {
  if (!files_.Exists(path)) files_.AddFile(path, "MZ");
  blocks_[Upper(path)] = block;
}

std::uint32_t FakeVersionApi::FullPathName(const std::string& path, std::uint32_t bufLen, char* buf) {
  if (path.empty()) return 0;
  const std::string full = FullForm(path, files_.CurrentDir());
  const auto n = static_cast<std::uint32_t>(full.size());
  if (n >= bufLen) return n + 1;
  std::memcpy(buf, full.c_str(), n + 1);
  return n;
}

std::uint32_t FakeVersionApi::InfoSize(const std::string& path) {
  auto it = blocks_.find(Upper(path));
  if (it == blocks_.end() || !files_.Exists(path) || it->second.empty()) return 0;
  // Room behind the block for the ANSI copies of its texts, as on Windows.
  return static_cast<std::uint32_t>(it->second.size() * 2 + 4);
}

bool FakeVersionApi::InfoData(const std::string& path, std::uint32_t size, void* data) {
  auto it = blocks_.find(Upper(path));
  if (it == blocks_.end() || !files_.Exists(path) || data == nullptr) return false;
  const std::size_t n = std::min<std::size_t>(size, it->second.size());
  std::memcpy(data, it->second.data(), n);
  std::memset(static_cast<char*>(data) + n, 0, size - n);
  filled_[data] = Filled{n, size};
  return true;
}

bool FakeVersionApi::QueryValue(const void* block, const std::string& subBlock, const void** out,
                                std::uint32_t* len) {
  // Only blocks this fake filled are known, and only their own bytes are read.
  auto it = filled_.find(block);
  if (it == filled_.end()) return false;
  const auto* data = static_cast<const unsigned char*>(block);
  const std::optional<verblock::Node> node = verblock::Find(data, it->second.blockBytes, subBlock);
  if (!node) return false;
  if (node->type != 1) {
    *out = data + node->valueOffset;
    *len = static_cast<std::uint32_t>(node->valueBytes);
    return true;
  }
  // Texts are UTF-16 in the block; the ANSI call hands out a converted copy placed in
  // the room behind the block (4 bytes on, at the text's own offset), as Windows does.
  std::u16string wide;
  for (std::size_t p = node->valueOffset; p + 2 <= node->valueOffset + node->valueBytes; p += 2) {
    char16_t c = static_cast<char16_t>(data[p] | (data[p + 1] << 8));
    if (c == 0) break;
    wide.push_back(c);
  }
  const std::string text = verblock::Narrow(wide);
  const std::size_t at = it->second.blockBytes + 4 + node->valueOffset;
  if (text.size() + 1 > it->second.blockBytes - node->valueOffset ||
      at + text.size() + 1 > it->second.bufferBytes)
    return false;
  auto* target = const_cast<unsigned char*>(data) + at;
  std::memcpy(target, text.c_str(), text.size() + 1);
  *out = target;
  *len = node->valueBytes == 0 ? 0 : static_cast<std::uint32_t>(text.size() + 1);
  return true;
}

std::uint32_t FakeVersionApi::LanguageName(std::uint32_t lang, char* buf, std::uint32_t len) {
  auto it = languageNames.find(lang);
  if (it == languageNames.end() || len == 0) return 0;
  const std::size_t n = std::min<std::size_t>(it->second.size(), len - 1);
  std::memcpy(buf, it->second.data(), n);
  buf[n] = 0;
  return static_cast<std::uint32_t>(n);
}
