// The text encodings an INI file may use: Windows-1252 without a mark, UTF-8 with a
// byte-order mark, UTF-16 either way round. Text inside the engine is the file's own
// bytes for Windows-1252 files and UTF-8 for the others.
#pragma once
#include <string>

namespace ini {

enum class Encoding { Ansi, Utf8Bom, Utf16Le, Utf16Be };

struct Decoded {
  Encoding encoding = Encoding::Ansi;
  std::string bom;    // the byte-order mark as found
  std::string text;   // without the mark
  bool exact = true;  // false: encoding the text again would not give the same bytes
};

Decoded Decode(std::string bytes);  // taken over: ANSI text is not copied
std::string Encode(Encoding encoding, const std::string& bom, const std::string& text);

// Windows-1252 text to UTF-8 and back; characters outside the code page become '?'.
std::string Utf8From1252(const std::string& s);
std::string Utf8To1252(const std::string& s);

}  // namespace ini
