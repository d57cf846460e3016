#include "support/IniStore.h"

#include <algorithm>
#include <map>

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
// Names compare without regard to case, ASCII letters only (other letters exactly).
std::string Fold(std::string s) {
  for (auto& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// Windows-1252 bytes 0x80..0x9F as Unicode.
const char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf8From1252(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x80) out += static_cast<char>(c);
    else AppendUtf8(out, c < 0xA0 ? kHigh1252[c - 0x80] : c);
  }
  return out;
}

// Decodes one UTF-8 sequence at s[i]; an invalid byte gives U+FFFD and length 1.
char32_t NextUtf8(const std::string& s, std::size_t& i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) { ++i; return 0xFFFD; }
  char32_t cp = len == 1 ? c : c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    const unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) { ++i; return 0xFFFD; }
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += len;
  return cp;
}

std::string Utf8To1252(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const char32_t cp = NextUtf8(s, i);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) { out += static_cast<char>(cp); continue; }
    const char16_t* hit = std::find(kHigh1252, kHigh1252 + 32, static_cast<char16_t>(cp));
    out += cp <= 0xFFFF && hit != kHigh1252 + 32 ? static_cast<char>(0x80 + (hit - kHigh1252)) : '?';
  }
  return out;
}

// UTF-16 text (after its byte-order mark) as UTF-8; false when it does not convert back
// unchanged (odd length, unpaired surrogates).
bool Utf16ToUtf8(const std::string& s, bool bigEndian, std::string& out) {
  bool exact = s.size() % 2 == 0;
  auto unit = [&](std::size_t i) -> char16_t {
    const unsigned char a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
    return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < s.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      exact = false;
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return exact;
}

std::string Utf8ToUtf16(const std::string& s, bool bigEndian) {
  std::string out;
  auto put = [&](char16_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  for (std::size_t i = 0; i < s.size();) {
    char32_t cp = NextUtf8(s, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(static_cast<char16_t>(0xD800 + (cp >> 10)));
      put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      put(static_cast<char16_t>(cp));
    }
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------------
// Document

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
  byName_[Fold(name)].push_back(std::prev(sections_.end()));
}

void Document::IndexEntry(Section& s, LineIt line) { s.keys[Fold(line->name)].push_back(line); }

Document Document::Parse(const std::string& bytes) {
  Document d;
  std::string text;
  auto starts = [&](const char* bom, std::size_t n) { return bytes.compare(0, n, bom, n) == 0; };
  if (starts("\xEF\xBB\xBF", 3)) {
    d.encoding_ = Encoding::Utf8Bom;
    d.bom_ = bytes.substr(0, 3);
    text = bytes.substr(3);
  } else if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
    const bool big = bytes[0] == '\xFE';
    d.encoding_ = big ? Encoding::Utf16Be : Encoding::Utf16Le;
    d.bom_ = bytes.substr(0, 2);
    // A file that would not be written back as it was is only read.
    d.writable_ = Utf16ToUtf8(bytes.substr(2), big, text);
  } else {
    text = bytes;
  }
  Section* current = &d.sections_.front();
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    std::string eol;
    if (end == std::string::npos) {
      end = text.size();
    } else {
      eol = text.compare(end, 2, "\r\n") == 0 ? "\r\n" : text.substr(end, 1);
    }
    d.lines_.push_back(ParseLine(text.substr(pos, end - pos), eol));
    const LineIt it = std::prev(d.lines_.end());
    if (it->kind == Line::Header) {
      d.AddSection(it, it->name);
      current = &d.sections_.back();
    } else if (it->kind == Line::Entry) {
      d.IndexEntry(*current, it);
    }
    pos = end + eol.size();
  }
  return d;
}

std::string Document::Serialize() const {
  std::string text;
  for (const Line& l : lines_) text.append(l.text).append(l.eol);
  switch (encoding_) {
    case Encoding::Ansi: return text;
    case Encoding::Utf8Bom: return bom_ + text;
    case Encoding::Utf16Le: return bom_ + Utf8ToUtf16(text, false);
    case Encoding::Utf16Be: return bom_ + Utf8ToUtf16(text, true);
  }
  return text;
}

std::string Document::In(const std::string& text) const {
  return encoding_ == Encoding::Ansi ? text : Utf8From1252(text);
}
std::string Document::Out(const std::string& text) const {
  return encoding_ == Encoding::Ansi ? text : Utf8To1252(text);
}

Document::SectionIt Document::FindSection(const std::string& name) const {
  auto it = byName_.find(Fold(name));
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
  auto k = s->keys.find(Fold(In(Trim(CutAtNul(key)))));
  if (k == s->keys.end() || k->second.empty() || !k->second.front()->hasValue) return std::nullopt;
  return Out(k->second.front()->value);
}

std::optional<std::vector<std::string>> Document::KeyNames(const std::string& section) const {
  // Listing compares the section name as given, blanks included.
  auto s = FindSection(In(CutAtNul(section)));
  if (s == sections_.end()) return std::nullopt;
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
  if (s == sections_.end()) {
    // A new section goes to the end of the file, its name as given less leading blanks.
    if (!lines_.back().eol.size() && lines_.back().kind != Line::Start) lines_.back().eol = "\r\n";
    Line h = ParseLine("[" + In(TrimLeft(CutAtNul(section))) + "]", "\r\n");
    h.kind = Line::Header;
    h.name = In(Trim(CutAtNul(section)));
    lines_.push_back(std::move(h));
    AddSection(std::prev(lines_.end()), lines_.back().name);
    s = std::prev(sections_.end());
  }
  const std::string folded = Fold(In(Trim(CutAtNul(key))));
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
  auto byName = byName_.find(Fold(sec));
  if (byName == byName_.end()) return false;
  for (SectionIt s : byName->second) {
    auto k = s->keys.find(Fold(name));
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
  auto byName = byName_.find(Fold(sec));
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

// ---------------------------------------------------------------------------------
// The cache of parsed files

namespace {

struct Change {
  std::string section;
  Text key, value;
};

struct Cached {
  plat::FileStamp stamp;
  bool readable = true;  // false: the file exists but could not be read
  bool dirty = false;    // changed inside a batch, not yet written
  plat::IFileSystem* files = nullptr;
  std::string path;
  Document doc;
  std::vector<Change> pending;  // the batch's changes, in order
};

bool Apply(Document& doc, const Change& ch) {
  if (!ch.key) return doc.DeleteSection(ch.section);
  if (!ch.value) return doc.DeleteKey(ch.section, *ch.key);
  return doc.Set(ch.section, *ch.key, *ch.value);
}

// Process-wide like the files it mirrors: every cInifile on a path shares one parse.
struct Cache {
  std::map<std::pair<plat::IFileSystem*, std::string>, Cached> entries;
  int batchDepth = 0;
} g_cache;

std::string PathKey(const std::string& path) {
  std::string k = path;
  for (auto& c : k) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == '/') c = '\\';
  }
  return k;
}

// The parsed file, brought up to date with the disk unless it holds unwritten changes.
Cached& Load(plat::IFileSystem& files, const std::string& path) {
  Cached& c = g_cache.entries[{&files, PathKey(path)}];
  if (c.dirty) return c;
  const plat::FileStamp now = files.Stamp(path);
  if (c.files && now == c.stamp) return c;
  c.files = &files;
  c.path = path;
  c.stamp = now;
  c.readable = true;
  if (!now.exists) {
    c.doc = Document();
  } else if (auto bytes = files.ReadAll(path)) {
    c.doc = Document::Parse(*bytes);
  } else {
    c.doc = Document();
    c.readable = false;
    c.files = nullptr;  // try again next time
  }
  return c;
}

bool Store(Cached& c) {
  bool ok = true;
  if (c.dirty && c.files->Stamp(c.path) != c.stamp) {
    // Edited from outside during the batch: the batch's changes go onto the new text.
    const auto bytes = c.files->ReadAll(c.path);
    Document fresh = bytes ? Document::Parse(*bytes) : Document();
    ok = (bytes || !c.files->Stamp(c.path).exists) && fresh.Writable();
    for (const Change& ch : c.pending) Apply(fresh, ch);
    c.doc = std::move(fresh);
  }
  c.pending.clear();
  c.dirty = false;
  if (ok && c.files->WriteAllAtomic(c.path, c.doc.Serialize())) {
    c.stamp = c.files->Stamp(c.path);
    return true;
  }
  // The old file stays; forget the changes so reads show what the disk holds.
  c.files = nullptr;
  return false;
}

bool FlushAll() {
  bool ok = true;
  for (auto& [key, c] : g_cache.entries)
    if (c.dirty) ok = Store(c) && ok;
  return ok;
}

// Copies a name list into a buffer of `len` characters as GetPrivateProfileStringA
// does: a list that does not fit ends in a cut name, and the count is len - 2.
std::string ListKeys(const std::vector<std::string>& names, std::uint32_t len) {
  std::string out;
  const std::uint32_t oldLen = len;
  for (const std::string& n : names) {
    if (len <= 2) break;
    const std::string part = n.substr(0, std::min<std::size_t>(n.size(), len - 2));
    out += part;
    out += '\0';
    len -= static_cast<std::uint32_t>(part.size() + 1);
    if (len < 2) break;
  }
  if (len <= 1) {
    out.resize(oldLen - 2);
    return out;
  }
  return out;
}

std::string ListSections(const std::vector<std::string>& names, std::uint32_t len) {
  if (len <= 1) return "";
  std::string out;
  std::uint32_t room = len - 1;
  for (const std::string& n : names) {
    const std::uint32_t need = static_cast<std::uint32_t>(n.size() + 1);
    if (need >= room) {
      out += n.substr(0, room - 1);
      out += '\0';
      out.resize(len - 2);
      return out;
    }
    out += n;
    out += '\0';
    room -= need;
  }
  return out;
}

// A value or default as copied into the buffer: one pair of quotes taken off.
std::string CopyEntry(const std::string& value, std::uint32_t len) {
  std::string v = value;
  bool quoted = false;
  if (!v.empty() && (v[0] == '\'' || v[0] == '"') && v.size() > 1 && v.back() == v[0]) {
    quoted = true;
    v.erase(0, 1);
  }
  std::string out = v.substr(0, std::min<std::size_t>(v.size(), len - 1));
  // The closing quote goes when the buffer had room for it, else the last character.
  if (quoted && len >= v.size() && !out.empty()) out.pop_back();
  return out;
}

}  // namespace

std::string GetString(plat::IFileSystem& files, const Text& section, const Text& key,
                      const Text& def, std::uint32_t bufferSize, const std::string& file) {
  if (bufferSize == 0) return "";
  // Trailing blanks of the default are dropped.
  std::string d = def ? CutAtNul(*def) : std::string();
  if (d.size() > 1) {
    std::size_t e = d.size();
    while (e > 1 && d[e - 1] == ' ') --e;
    d.resize(e);
  }
  if (file.empty()) return section ? CopyEntry(d, bufferSize) : std::string();
  Cached& c = Load(files, file);
  if (!section) return ListSections(c.doc.SectionNames(), bufferSize);
  if (key) {
    auto v = c.doc.Get(*section, *key);
    return CopyEntry(v ? *v : d, bufferSize);
  }
  auto names = c.doc.KeyNames(*section);
  std::string list = names ? ListKeys(*names, bufferSize) : std::string();
  if (list.empty() || list[0] == '\0') return CopyEntry(d, bufferSize);
  return list;
}

std::int32_t WriteString(plat::IFileSystem& files, const Text& section, const Text& key,
                         const Text& value, const std::string& file) {
  if (!section || file.empty()) return 0;
  Cached& c = Load(files, file);
  // A file that exists but cannot be read, or would not be written back as it was,
  // is never overwritten.
  if (!c.readable || !c.doc.Writable()) return 0;
  Change ch{*section, key, value};
  if (!Apply(c.doc, ch)) return 1;
  if (g_cache.batchDepth > 0) {
    c.dirty = true;
    c.pending.push_back(std::move(ch));
    return 1;
  }
  return Store(c) ? 1 : 0;
}

void BeginBatch() { ++g_cache.batchDepth; }

bool EndBatch() {
  if (g_cache.batchDepth == 0) return true;
  if (--g_cache.batchDepth > 0) return true;
  return FlushAll();
}

bool FlushBatch() { return FlushAll(); }

bool InBatch() { return g_cache.batchDepth > 0; }

}  // namespace ini
