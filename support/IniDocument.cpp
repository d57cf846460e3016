#include "support/IniDocument.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>

#include "support/Convert.h"

namespace ini {
namespace {

// Blanks as the profile functions trim them (Ctrl-Z included).
bool IsBlank(unsigned char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A; }

std::string TrimLeft(const std::string& s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
  return s.substr(b);
}
std::string TrimRight(const std::string& s) {
  std::size_t e = s.size();
  while (e > 0 && IsBlank(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(0, e);
}
std::string Trim(const std::string& s) { return TrimRight(TrimLeft(s)); }
// A C string ends at its first NUL.
std::string CutAtNul(const std::string& s) { return s.substr(0, s.find('\0')); }

// The first `c` from `from` on, eight bytes at a time: the scan for headers walks the
// whole catalogue at every start, and the C library's search is a byte loop on some
// systems.
std::size_t Find(const std::string& s, char c, std::size_t from) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  const std::uint64_t pattern = kOnes * static_cast<unsigned char>(c);
  std::size_t i = from;
  for (std::uint64_t w; i + 8 <= s.size(); i += 8) {
    std::memcpy(&w, s.data() + i, 8);
    w ^= pattern;
    if ((w - kOnes) & ~w & kHighs) break;  // a byte of w is zero: c is in these eight
  }
  for (; i < s.size(); ++i)
    if (s[i] == c) return i;
  return std::string::npos;
}

}  // namespace

Document::Document() {
  Line start;
  start.kind = Line::Start;
  lines_.push_back(std::move(start));
  AddSection(lines_.begin(), "");
}

Document::Line Document::ParseLine(std::string text, std::string eol) {
  Line l;
  l.text = std::move(text);
  l.eol = std::move(eol);
  const std::string t = Trim(l.text);
  if (t.empty()) return l;
  if (t[0] == '[') {
    const auto close = t.find_last_of(']');
    if (close != std::string::npos && close > 0) {
      l.kind = Line::Header;
      l.name = CutAtNul(Trim(t.substr(1, close - 1)));
      return l;
    }
  }
  l.kind = Line::Entry;
  const auto eq = t.find('=');
  if (eq == std::string::npos) {
    l.name = CutAtNul(t);
  } else {
    l.name = CutAtNul(TrimRight(t.substr(0, eq)));
    l.value = CutAtNul(TrimLeft(t.substr(eq + 1)));
    l.hasValue = true;
  }
  return l;
}

void Document::AddSection(LineIt header, const std::string& name) {
  sections_.push_back(Section{name, header, {}});
  byName_[UpperAscii(name)].push_back(std::prev(sections_.end()));
}

void Document::IndexEntry(Section& s, LineIt line) {
  s.keys[UpperAscii(line->name)].push_back(line);
}

template <class F>
void Document::EachLine(const std::string& text, std::size_t pos, std::size_t stop, F&& line) {
  while (pos < stop) {
    std::size_t end = std::min(text.find_first_of("\r\n", pos), stop);
    std::size_t next;
    if (end == stop) {
      next = stop;
    } else {
      next = end + (end + 1 < stop && text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    line(pos, end, next);
    pos = next;
  }
}

bool Document::HoldsNul() const {
  if (!holdsNul_) {
    holdsNul_ = read_ && Find(*read_, '\0', 0) != std::string::npos;
    read_.reset();  // the sections not used yet still hold the text; nothing else needs it
  }
  return *holdsNul_;
}

Document Document::Parse(std::string bytes) {
  Document d;
  Decoded decoded = Decode(std::move(bytes));
  d.encoding_ = decoded.encoding;
  d.bom_ = decoded.bom;
  // A file that would not be written back as it was is only read.
  d.writable_ = decoded.exact;
  // The text is kept once; the sections not used yet point into it.
  const auto whole = std::make_shared<const std::string>(std::move(decoded.text));
  const std::string& text = *whole;
  d.read_ = whole;
  // Only a line whose first character after blanks is "[" can be a header: the
  // headers are found by looking for "[" alone, and a section's lines wait as they
  // are, as one Raw line, until the section is used.
  const auto lineStartOf = [&](std::size_t bracket) -> std::optional<std::size_t> {
    std::size_t at = bracket;
    while (at > 0 && text[at - 1] != '\r' && text[at - 1] != '\n') {
      if (!IsBlank(static_cast<unsigned char>(text[at - 1]))) return std::nullopt;
      --at;
    }
    return at;
  };
  std::size_t pos = 0;     // everything before is placed
  std::size_t search = 0;  // where to look for the next "["
  bool inSection = false;  // false: the lines before the first header, parsed at once
  for (;;) {
    const std::size_t bracket = Find(text, '[', search);
    std::optional<std::size_t> start;
    if (bracket != std::string::npos) start = lineStartOf(bracket);
    if (bracket != std::string::npos && !start) {
      search = bracket + 1;
      continue;
    }
    std::size_t end = text.size(), next = text.size();
    Line header;
    if (start) {
      end = std::min(text.find_first_of("\r\n", bracket), text.size());
      next = end + (end < text.size() ? (text.compare(end, 2, "\r\n") == 0 ? 2 : 1) : 0);
      header = ParseLine(text.substr(*start, end - *start), text.substr(end, next - end));
      if (header.kind != Line::Header) {
        search = next;
        continue;
      }
    }
    const std::size_t upTo = start ? *start : text.size();
    if (upTo > pos) {
      if (inSection) {
        Line raw;
        raw.kind = Line::Raw;
        raw.source = whole;
        raw.from = pos;
        raw.size = upTo - pos;
        d.lines_.push_back(std::move(raw));
        d.sections_.back().raw = true;
      } else {
        EachLine(text, pos, upTo, [&](std::size_t from, std::size_t e, std::size_t n) {
          d.lines_.push_back(ParseLine(text.substr(from, e - from), text.substr(e, n - e)));
          if (d.lines_.back().kind == Line::Entry)
            IndexEntry(d.sections_.front(), std::prev(d.lines_.end()));
        });
      }
    }
    if (!start) break;
    d.lines_.push_back(std::move(header));
    d.AddSection(std::prev(d.lines_.end()), d.lines_.back().name);
    inSection = true;
    pos = search = next;
  }
  return d;
}

void Document::Expand(Section& s) const {
  if (!s.raw) return;
  s.raw = false;
  const LineIt raw = std::next(s.header);
  const std::string& text = *raw->source;
  EachLine(text, raw->from, raw->from + raw->size,
           [&](std::size_t from, std::size_t end, std::size_t next) {
             const LineIt it = lines_.insert(raw, ParseLine(text.substr(from, end - from),
                                                            text.substr(end, next - end)));
             if (it->kind == Line::Entry) IndexEntry(s, it);
           });
  lines_.erase(raw);
}

std::string Document::Serialize() const {
  std::size_t size = 0;
  for (const Line& l : lines_) size += l.kind == Line::Raw ? l.size : l.text.size() + l.eol.size();
  std::string text;
  text.reserve(size);
  for (const Line& l : lines_) {
    if (l.kind == Line::Raw) text.append(*l.source, l.from, l.size);
    else text.append(l.text).append(l.eol);
  }
  return Encode(encoding_, bom_, text);
}

std::string Document::In(const std::string& text) const {
  return encoding_ == Encoding::Ansi ? text : Utf8From1252(text);
}
std::string Document::Out(const std::string& text) const {
  return encoding_ == Encoding::Ansi ? text : Utf8To1252(text);
}

Document::SectionIt Document::FindSection(const std::string& name) const {
  auto it = byName_.find(UpperAscii(name));
  return it == byName_.end() || it->second.empty() ? sections_.end() : it->second.front();
}

Document::LineIt Document::SectionEnd(SectionIt s) const {
  auto next = std::next(s);
  return next == sections_.end() ? lines_.end() : next->header;
}

std::optional<std::string> Document::Get(const std::string& section, const std::string& key) const {
  // Lookups ignore blanks around the names; only the first section of a name counts.
  auto s = FindSection(In(Trim(CutAtNul(section))));
  if (s == sections_.end()) return std::nullopt;
  Expand(*s);
  auto k = s->keys.find(UpperAscii(In(Trim(CutAtNul(key)))));
  if (k == s->keys.end() || k->second.empty() || !k->second.front()->hasValue) return std::nullopt;
  return Out(k->second.front()->value);
}

std::optional<std::vector<std::string>> Document::KeyNames(const std::string& section) const {
  // Listing compares the section name as given, blanks included.
  auto s = FindSection(In(CutAtNul(section)));
  if (s == sections_.end()) return std::nullopt;
  Expand(*s);
  std::vector<std::string> names;
  for (auto l = std::next(s->header), end = SectionEnd(s); l != end; ++l) {
    // Comments and lines without "=" are no keys.
    if (l->kind != Line::Entry || !l->hasValue || (!l->name.empty() && l->name[0] == ';')) continue;
    names.push_back(Out(l->name));
  }
  return names;
}

std::vector<std::string> Document::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& s : sections_)
    if (!s.name.empty()) names.push_back(Out(s.name));
  return names;
}

bool Document::Set(const std::string& section, const std::string& key, const std::string& value) {
  const std::string v = In(TrimLeft(CutAtNul(value)));
  auto s = FindSection(In(Trim(CutAtNul(section))));
  if (s != sections_.end()) Expand(*s);
  if (s == sections_.end()) {
    // A new section goes to the end of the file, its name as given less leading blanks,
    // after the last section's lines.
    Expand(sections_.back());
    if (!lines_.back().eol.size() && lines_.back().kind != Line::Start) lines_.back().eol = "\r\n";
    Line h = ParseLine("[" + In(TrimLeft(CutAtNul(section))) + "]", "\r\n");
    h.kind = Line::Header;
    h.name = In(Trim(CutAtNul(section)));
    lines_.push_back(std::move(h));
    AddSection(std::prev(lines_.end()), lines_.back().name);
    s = std::prev(sections_.end());
  }
  const std::string folded = UpperAscii(In(Trim(CutAtNul(key))));
  auto k = s->keys.find(folded);
  if (k != s->keys.end() && !k->second.empty()) {
    const LineIt l = k->second.front();
    if (l->hasValue && l->value == v) return false;  // unchanged: the file is not rewritten
    // The line as a later read of the file will see it.
    *l = ParseLine(l->name + "=" + v, "\r\n");
    return true;
  }
  // A new key follows the section's last non-blank line.
  LineIt at = SectionEnd(s);
  while (std::prev(at) != s->header && std::prev(at)->kind == Line::Blank) --at;
  const LineIt before = std::prev(at);
  if (before->kind != Line::Start && before->eol.empty()) before->eol = "\r\n";
  Line e = ParseLine(In(TrimLeft(CutAtNul(key))) + "=" + v, "\r\n");
  e.kind = Line::Entry;
  e.name = In(Trim(CutAtNul(key)));
  IndexEntry(*s, lines_.insert(at, std::move(e)));
  return true;
}

bool Document::DeleteKey(const std::string& section, const std::string& key) {
  // Deleting compares the names as given; the first section of that name holding the
  // key loses its first line of that key.
  const std::string sec = In(CutAtNul(section)), name = In(CutAtNul(key));
  if (sec != Trim(sec) || name != Trim(name)) return false;
  auto byName = byName_.find(UpperAscii(sec));
  if (byName == byName_.end()) return false;
  for (SectionIt s : byName->second) {
    Expand(*s);
    auto k = s->keys.find(UpperAscii(name));
    if (k == s->keys.end() || k->second.empty()) continue;
    lines_.erase(k->second.front());
    k->second.erase(k->second.begin());
    if (k->second.empty()) s->keys.erase(k);
    return true;
  }
  return false;
}

bool Document::DeleteSection(const std::string& section) {
  const std::string sec = In(CutAtNul(section));
  if (sec != Trim(sec)) return false;
  auto byName = byName_.find(UpperAscii(sec));
  if (byName == byName_.end() || byName->second.empty()) return false;
  const SectionIt s = byName->second.front();
  const LineIt end = SectionEnd(s);
  if (s->header->kind == Line::Start) {
    // The lines before the first section: they go, the start of the file stays.
    if (std::next(s->header) == end) return false;
    lines_.erase(std::next(s->header), end);
    s->keys.clear();
    return true;
  }
  lines_.erase(s->header, end);
  byName->second.erase(byName->second.begin());
  if (byName->second.empty()) byName_.erase(byName);
  sections_.erase(s);
  return true;
}

}  // namespace ini
