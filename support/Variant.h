// The value a registry read returns and a write takes.
#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

using ByteArray = std::vector<std::uint8_t>;
using Variant = std::variant<std::monostate, std::string, std::int32_t, std::int16_t, ByteArray>;

inline bool IsEmpty(const Variant& v) { return std::holds_alternative<std::monostate>(v); }
