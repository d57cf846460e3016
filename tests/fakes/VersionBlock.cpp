#include "tests/fakes/VersionBlock.h"

#include <cctype>

namespace verblock {
namespace {

// Windows-1252 0x80..0x9F; 0 marks the five unassigned codes.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::size_t Align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

std::uint16_t Read16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void Put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void Pad4(std::string& out) {
  while (out.size() % 4) out.push_back('\0');
}

bool KeyEquals(const std::u16string& key, const std::string& name) {
  if (key.size() != name.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    char16_t k = key[i];
    unsigned char n = static_cast<unsigned char>(name[i]);
    if (k > 0x7F || n > 0x7F) {
      if (k != n) return false;
    } else if (std::toupper(k) != std::toupper(n)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<Node> ReadNode(const unsigned char* data, std::size_t limit, std::size_t offset) {
  if (offset > limit || limit - offset < 6) return std::nullopt;
  const std::uint16_t length = Read16(data + offset);
  if (length < 6 || length > limit - offset) return std::nullopt;
  Node n;
  n.offset = offset;
  n.end = offset + length;
  n.valueLength = Read16(data + offset + 2);
  n.type = Read16(data + offset + 4);
  std::size_t p = offset + 6;
  for (;;) {
    if (n.end - p < 2) return std::nullopt;  // the key has no NUL inside the node
    char16_t c = Read16(data + p);
    p += 2;
    if (c == 0) break;
    n.key.push_back(c);
  }
  n.valueOffset = Align4(p) < n.end ? Align4(p) : n.end;
  std::size_t claimed = n.type == 1 ? std::size_t{n.valueLength} * 2 : n.valueLength;
  n.valueBytes = claimed < n.end - n.valueOffset ? claimed : n.end - n.valueOffset;
  std::size_t children = Align4(n.valueOffset + n.valueBytes);
  n.childrenOffset = children < n.end ? children : n.end;
  return n;
}

std::optional<Node> Find(const unsigned char* data, std::size_t size, const std::string& subBlock) {
  std::optional<Node> node = ReadNode(data, size, 0);
  std::size_t pos = 0;
  while (node && pos <= subBlock.size()) {
    std::size_t next = subBlock.find('\\', pos);
    if (next == std::string::npos) next = subBlock.size();
    const std::string name = subBlock.substr(pos, next - pos);
    pos = next + 1;
    if (name.empty()) continue;
    std::optional<Node> found;
    for (std::size_t c = node->childrenOffset; c < node->end;) {
      std::optional<Node> child = ReadNode(data, node->end, c);
      if (!child) break;
      if (KeyEquals(child->key, name)) {
        found = child;
        break;
      }
      c = Align4(child->end);
    }
    node = found;
  }
  return node;
}

std::u16string Widen(const std::string& text) {
  std::u16string out;
  for (unsigned char c : text) {
    char16_t w = c;
    if (c >= 0x80 && c < 0xA0) w = kHigh[c - 0x80] ? kHigh[c - 0x80] : u'?';
    out.push_back(w);
  }
  return out;
}

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t w : text) {
    if (w < 0x80 || (w >= 0xA0 && w <= 0xFF)) {
      out.push_back(static_cast<char>(w));
      continue;
    }
    char c = '?';
    for (int i = 0; i < 32; ++i)
      if (kHigh[i] == w) c = static_cast<char>(0x80 + i);
    out.push_back(c);
  }
  return out;
}

void AppendNode(std::string& out, const std::string& key, const std::string& value,
                std::uint16_t valueLength, std::uint16_t type, const std::string& children) {
  Pad4(out);
  std::string node;
  Put16(node, 0);  // length, filled in below
  Put16(node, valueLength);
  Put16(node, type);
  for (char16_t c : Widen(key)) Put16(node, c);
  Put16(node, 0);
  Pad4(node);
  node += value;
  if (!children.empty()) {
    Pad4(node);
    node += children;
  }
  node[0] = static_cast<char>(node.size() & 0xFF);
  node[1] = static_cast<char>((node.size() >> 8) & 0xFF);
  out += node;
}

std::string TextValue(const std::string& text) {
  std::string v;
  for (char16_t c : Widen(text)) Put16(v, c);
  Put16(v, 0);
  return v;
}

}  // namespace verblock
