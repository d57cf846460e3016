// Conversions shared by the support classes, the snapshots and the catalogue: letter
// case, number text, hex bytes and the 32-bit value of registry data.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "support/Variant.h"

// Upper case in Windows-1252, as the system's ANSI upper-casing folds umlauts.
std::string UpperAnsi(std::string s);
// Upper case of the ASCII letters only; other bytes stay as they are.
std::string UpperAscii(std::string s);
// Without blanks and tabs at either end.
std::string TrimBlanks(const std::string& s);

// Number text as the platform's conversion reads it: blanks around, a sign, digits
// with an optional fraction and exponent, or "&H" / "&O" and a 32-bit pattern.
// nullopt for anything else, the empty text included.
std::optional<double> NumberValue(const std::string& text);
// The number rounded half to even into `out`; the error number of a failed
// conversion (err::TypeMismatch, err::Overflow), or 0.
long ToInt32(const std::string& text, std::int32_t& out);

// Bytes as two-digit lowercase hex pairs separated by commas ("01,02,ff").
std::string ToHex(const ByteArray& data);

// A DWORD's four bytes, least significant first, and back (missing bytes read as 0).
ByteArray DwordBytes(std::uint32_t value);
std::uint32_t DwordValue(const ByteArray& data);
