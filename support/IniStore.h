// The INI engine behind cInifile: the Windows profile functions' reading and writing
// rules over a parsed copy of each file, kept between calls and checked against the
// file's size and time before every operation, so N reads cost one file read and an
// edit made from outside is seen by the next call. Writes change the parsed copy and
// replace the file in one step (or once at the end of a write batch).
#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"

namespace ini {

// A text argument that may be a null pointer, as the profile functions take it.
using Text = std::optional<std::string>;

// GetPrivateProfileStringA: the first n characters the call places in a buffer of
// bufferSize characters (n being its result). A null section lists the sections, a
// null key the section's keys, each name followed by NUL.
std::string GetString(plat::IFileSystem& files, const Text& section, const Text& key,
                      const Text& def, std::uint32_t bufferSize, const std::string& file);

// WritePrivateProfileStringA: a null value deletes the key, a null key the section.
// Non-zero on success; a file that cannot be written is left as it was.
std::int32_t WriteString(plat::IFileSystem& files, const Text& section, const Text& key,
                         const Text& value, const std::string& file);

// Write batches: while one is open, writes only change the parsed copies; the files
// are replaced when the outermost batch ends or is flushed.
void BeginBatch();
bool EndBatch();    // false when a pending file could not be written
bool FlushBatch();  // writes the pending files now; the batch stays open
bool InBatch();

// One parsed file. Lines keep their bytes; a changed line is written as name=value.
class Document {
 public:
  enum class Encoding { Ansi, Utf8Bom, Utf16Le, Utf16Be };

  Document();
  Document(Document&&) = default;
  Document& operator=(Document&&) = default;
  Document(const Document&) = delete;  // the indexes point into the lines
  Document& operator=(const Document&) = delete;
  static Document Parse(const std::string& bytes);
  std::string Serialize() const;
  bool Writable() const { return writable_; }

  // Arguments and results are Windows-1252 text.
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  std::optional<std::vector<std::string>> KeyNames(const std::string& section) const;
  std::vector<std::string> SectionNames() const;
  bool Set(const std::string& section, const std::string& key, const std::string& value);
  bool DeleteKey(const std::string& section, const std::string& key);
  bool DeleteSection(const std::string& section);

 private:
  struct Line {
    enum Kind : std::uint8_t { Start, Blank, Header, Entry };
    Kind kind = Blank;
    bool hasValue = false;
    std::string text;  // without the line break
    std::string eol;   // "\r\n", "\n", "\r" or "" at the end of the file
    std::string name;  // trimmed; a section name for headers
    std::string value; // trimmed
  };
  using LineIt = std::list<Line>::iterator;
  struct Section {
    std::string name;
    LineIt header;  // the Start line for the part before the first header
    std::unordered_map<std::string, std::vector<LineIt>> keys;  // folded name -> lines
  };
  using SectionIt = std::list<Section>::iterator;

  static Line ParseLine(std::string text, std::string eol);
  void AddSection(LineIt header, const std::string& name);
  void IndexEntry(Section& s, LineIt line);
  SectionIt FindSection(const std::string& name) const;
  LineIt SectionEnd(SectionIt s) const;
  std::string In(const std::string& text) const;   // 1252 -> internal
  std::string Out(const std::string& text) const;  // internal -> 1252

  Encoding encoding_ = Encoding::Ansi;
  bool writable_ = true;
  std::string bom_;
  mutable std::list<Line> lines_;
  mutable std::list<Section> sections_;
  std::unordered_map<std::string, std::vector<SectionIt>> byName_;
};

}  // namespace ini
