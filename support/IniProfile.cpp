#include "support/IniProfile.h"

#include <algorithm>

namespace ini {
namespace {

std::string CutAtNul(const std::string& s) { return s.substr(0, s.find('\0')); }

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
  // A buffer of one character holds no list at all.
  if (len <= 1) out.resize(oldLen >= 2 ? oldLen - 2 : 0);
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

std::string GetString(const Document* doc, const Text& section, const Text& key, const Text& def,
                      std::uint32_t bufferSize) {
  if (bufferSize == 0) return "";
  // Trailing blanks of the default are dropped.
  std::string d = def ? CutAtNul(*def) : std::string();
  if (d.size() > 1) {
    std::size_t e = d.size();
    while (e > 1 && d[e - 1] == ' ') --e;
    d.resize(e);
  }
  if (!doc) return section ? CopyEntry(d, bufferSize) : std::string();
  if (!section) return ListSections(doc->SectionNames(), bufferSize);
  if (key) {
    auto v = doc->Get(*section, *key);
    return CopyEntry(v ? *v : d, bufferSize);
  }
  auto names = doc->KeyNames(*section);
  std::string list = names ? ListKeys(*names, bufferSize) : std::string();
  if (list.empty() || list[0] == '\0') return CopyEntry(d, bufferSize);
  return list;
}

bool Apply(Document& doc, const Change& change) {
  if (!change.key) return doc.DeleteSection(change.section);
  if (!change.value) return doc.DeleteKey(change.section, *change.key);
  return doc.Set(change.section, *change.key, *change.value);
}

}  // namespace ini
