// Reading and writing VS_VERSIONINFO blocks (the 32-bit layout with UTF-16 keys that
// resource compilers emit), portable and bounds-checked, for the version fake.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace verblock {

// One node: wLength, wValueLength, wType, a NUL-terminated UTF-16 key, padding to
// 32 bits, the value, padding, then the children up to wLength.
struct Node {
  std::size_t offset = 0;       // of the header, from the start of the block
  std::size_t end = 0;          // offset + wLength
  std::uint16_t valueLength = 0;
  std::uint16_t type = 0;       // 1 = text (value length in UTF-16 units), 0 = binary
  std::u16string key;
  std::size_t valueOffset = 0;
  std::size_t valueBytes = 0;   // what the value occupies (clipped to the node)
  std::size_t childrenOffset = 0;
};

// The node whose header lies at `offset`; nullopt when any part of it falls outside
// [offset, limit) or it is malformed. Never reads outside data[0, limit).
std::optional<Node> ReadNode(const unsigned char* data, std::size_t limit, std::size_t offset);

// Follows a sub-block path from the root node: "\" is the root, "\VarFileInfo\Translation"
// the translation table, "\StringFileInfo\040904B0\ProductName" a string entry. Names
// are compared without regard to ASCII case.
std::optional<Node> Find(const unsigned char* data, std::size_t size, const std::string& subBlock);

// Windows-1252 text to UTF-16 and back; characters outside the code page become '?'.
std::u16string Widen(const std::string& text);
std::string Narrow(const std::u16string& text);

// Appends one node with its already built children; `value` is raw bytes for binary
// nodes and UTF-16 units (little-endian) for text nodes.
void AppendNode(std::string& out, const std::string& key, const std::string& value,
                std::uint16_t valueLength, std::uint16_t type, const std::string& children);
// A text node's value: the text in UTF-16 with its NUL.
std::string TextValue(const std::string& text);

}  // namespace verblock
