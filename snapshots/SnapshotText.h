// Text forms of the snapshot and factory-settings lines: number text, registry type names and the
// value-line data text.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "support/Convert.h"
#include "support/Variant.h"

namespace snap {

// Number text (as NumberValue reads it) to a signed 32-bit integer, a fraction rounded
// half to even. Raises 13 for text that is not a number and 6 for a number outside
// the signed 32-bit range.
std::int32_t ToLong(const std::string& text);

// Registry type names. Numbers without a Windows name are written "REG_TYPE_" and
// the decimal number.
std::string TypeName(std::uint32_t type);
std::optional<std::uint32_t> TypeFromName(const std::string& name);

// Hex pairs as ToHex writes them back to bytes (either case accepted; an empty text
// is zero bytes). nullopt for malformed text.
std::optional<ByteArray> FromHex(const std::string& text);

// The entry value of a snapshot line for a stored value: REG_SZ and REG_DWORD as
// plain text whenever that text writes the same type and bytes back; everything
// else as type name, ":hex:" and the bytes.
std::string EntryValue(std::uint32_t type, const ByteArray& data);

// A parsed entry value.
struct ValueLine {
  enum class Kind {
    NoColon,      // no ":" at all
    Unsupported,  // a type name (or form) that is not written back
    Text,         // "REG_SZ:" and a string
    Number,       // "REG_DWORD:" and number text
    Raw,          // a type name, ":hex:" and well-formed hex bytes
    BadHex,       // an accepted type name and ":hex:" with malformed bytes
  };
  Kind kind = Kind::NoColon;
  std::uint32_t type = 0;
  std::string data;  // Text/Number: the data text
  ByteArray bytes;   // Raw
};
ValueLine ParseEntryValue(const std::string& entryValue);

}  // namespace snap
