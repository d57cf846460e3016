// One INI file, parsed: sections and keys as the profile functions find them, and the
// file's lines kept with their bytes, so that writing it back changes only the lines
// that were changed (written as name=value). A section's lines are parsed when it is
// first used: a catalogue of many large snapshots opens at the cost of finding its
// section headers.
#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "support/IniCodec.h"

namespace ini {

class Document {
 public:
  Document();
  Document(Document&&) = default;
  Document& operator=(Document&&) = default;
  Document(const Document&) = delete;  // the indexes point into the lines
  Document& operator=(const Document&) = delete;
  static Document Parse(std::string bytes);  // taken over, not copied
  std::string Serialize() const;
  bool Writable() const { return writable_; }
  bool HoldsNul() const;  // the text as read: looked at when first asked

  // Arguments and results are Windows-1252 text. Names compare without regard to
  // case, ASCII letters only (other letters exactly).
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  std::optional<std::vector<std::string>> KeyNames(const std::string& section) const;
  std::vector<std::string> SectionNames() const;
  bool Set(const std::string& section, const std::string& key, const std::string& value);
  bool DeleteKey(const std::string& section, const std::string& key);
  bool DeleteSection(const std::string& section);

 private:
  struct Line {
    // Raw: a section's lines not parsed yet, as one text with their line breaks.
    enum Kind : std::uint8_t { Start, Blank, Header, Entry, Raw };
    Kind kind = Blank;
    bool hasValue = false;
    std::string text;   // without the line break
    std::string eol;    // "\r\n", "\n", "\r" or "" at the end of the file
    std::string name;   // trimmed; a section name for headers
    std::string value;  // trimmed
    // Raw: where its text is in the file's text, which it shares with the others.
    std::shared_ptr<const std::string> source;
    std::size_t from = 0, size = 0;
  };
  using LineIt = std::list<Line>::iterator;
  struct Section {
    std::string name;
    LineIt header;  // the Start line for the part before the first header
    std::unordered_map<std::string, std::vector<LineIt>> keys;  // folded name -> lines
    bool raw = false;  // its lines are still one Raw line after the header
  };
  using SectionIt = std::list<Section>::iterator;

  static Line ParseLine(std::string text, std::string eol);
  void AddSection(LineIt header, const std::string& name);
  static void IndexEntry(Section& s, LineIt line);
  // Parses a section's Raw line into its lines.
  void Expand(Section& s) const;
  // Splits text[pos, stop) at "\r\n", "\n" or "\r"; `line` gets each line and its
  // break as positions in text.
  template <class F>
  static void EachLine(const std::string& text, std::size_t pos, std::size_t stop, F&& line);
  SectionIt FindSection(const std::string& name) const;
  LineIt SectionEnd(SectionIt s) const;
  std::string In(const std::string& text) const;   // 1252 -> internal
  std::string Out(const std::string& text) const;  // internal -> 1252

  Encoding encoding_ = Encoding::Ansi;
  bool writable_ = true;
  mutable std::shared_ptr<const std::string> read_;  // the text as read, until HoldsNul
  mutable std::optional<bool> holdsNul_;
  std::string bom_;
  mutable std::list<Line> lines_;
  mutable std::list<Section> sections_;
  std::unordered_map<std::string, std::vector<SectionIt>> byName_;  // by folded name
};

}  // namespace ini
