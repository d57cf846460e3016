// One table of profile-function behaviour, run against every subject: natively the
// INI engine on the fake file system; under Wine the real GetPrivateProfileStringA /
// WritePrivateProfileStringA and the engine on the real file system.
#include "tests/contract/IniContract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/Convert.h"

using namespace std::string_literals;

namespace {

ini::Text T(const char* s) { return s ? ini::Text(s) : std::nullopt; }

struct ReadCase {
  const char* section;
  const char* key;
  const char* def;
  std::uint32_t size;
  std::string expected;
};

// Calls to the write function with their results, the bytes they leave (nullopt: no
// file), and reads afterwards. A table without writes leaves the file as it was.
struct Op {
  const char* section;
  const char* key;
  const char* value;
  std::int32_t result;
};

struct Table {
  const char* name;
  std::optional<std::string> file;
  std::vector<ReadCase> reads;
  std::vector<Op> ops = {};
  std::optional<std::string> after = file;
};

void RunTables(const std::vector<Table>& tables) {
  for (auto& subject : MakeIniSubjects()) {
    SCOPED_TRACE(subject->Name());
    for (const auto& t : tables) {
      SCOPED_TRACE(t.name);
      subject->PutFile(t.file);
      for (const auto& op : t.ops)
        EXPECT_EQ(op.result, subject->Write(T(op.section), T(op.key), T(op.value)));
      for (const auto& r : t.reads)
        EXPECT_EQ(r.expected, subject->Get(T(r.section), T(r.key), T(r.def), r.size))
            << (r.section ? r.section : "(null)") << " / " << (r.key ? r.key : "(null)") << " / size " << r.size;
      EXPECT_EQ(t.after, subject->FileBytes());
    }
  }
}

TEST(IniContract, NamesBlanksCommentsAndLinesWithoutEquals) {
  RunTables({
      {"blanks around names and values, comments, lines without =",
       "  [ S ] junk\r\n  a  =  1  \r\n;c=3\r\nnoeq\r\n[T]\r\nx=2\r\n",
       {{" s ", " A ", "D", 100, "1"},
        {"S", "noeq", "D", 100, "D"},
        {"S", ";c", "D", 100, "3"},
        {"S", nullptr, "D", 100, "a\0"s},
        {nullptr, nullptr, "D", 100, "S\0T\0"s},
        {"t", "X", "D", 100, "2"}}},
      {"bare CR and LF end lines too", "[S]\r\na=1\rb=2\nc=3\r\n",
       {{"S", "a", "D", 100, "1"}, {"S", "b", "D", 100, "2"}, {"S", nullptr, "D", 100, "a\0b\0c\0"s}}},
      {"headers without ] and with a second ]", "[S\r\na=1\r\n[T]]x\r\nb=2\r\n",
       {{nullptr, nullptr, "D", 100, "T]\0"s}, {"S", "a", "D", 100, "D"}, {"T]", "b", "D", 100, "2"}}},
      {"the first = splits; an empty name is a key", "[S]\r\na==b\r\n=c\r\n",
       {{"S", "a", "D", 100, "=b"}, {"S", "", "D", 100, "c"}, {"S", nullptr, "D", 100, "a\0\0"s}}},
      {"a list starting with an empty name reads as the default", "[S]\r\n=c\r\na=1\r\n",
       {{"S", nullptr, "D", 100, "D"}}},
      {"which characters are blanks", "[S]\r\na=\xa0x\xa0\r\nb=\x1ay\x1a\r\nc=\x0bq\x0c\r\nd=\x1cz\x1f\r\n",
       {{"S", "a", "D", 100, "\xa0x\xa0"}, {"S", "b", "D", 100, "y"}, {"S", "c", "D", 100, "q"},
        {"S", "d", "D", 100, "\x1cz\x1f"}}},
  });
}

TEST(IniContract, DuplicatesAndKeysBeforeTheFirstSection) {
  RunTables({{"first section and first key of a name win",
             "pre=1\r\n[S]\r\na=1\r\na=9\r\n[]\r\ne=5\r\n[S]\r\na=2\r\nb=3\r\n",
             {{"", "pre", "D", 100, "1"},
              {"", "e", "D", 100, "D"},
              {"S", "b", "D", 100, "D"},
              {"S", "a", "D", 100, "1"},
              {"S", nullptr, "D", 100, "a\0a\0"s},
              {nullptr, nullptr, "D", 100, "S\0S\0"s}}}});
}

TEST(IniContract, QuotesAndDefaults) {
  RunTables({{"one pair of quotes comes off values and defaults",
             "[S]\r\nq='abcd'\r\ns='\r\nt=''\r\n",
             {{"S", "q", "D", 100, "abcd"},
              {"S", "q", "D", 5, "abc"},
              {"S", "q", "D", 6, "abcd"},
              {"S", "s", "D", 100, "'"},
              {"S", "t", "D", 100, ""},
              {"S", "zz", "  de  ", 100, "  de"},
              {"S", "zz", "   ", 100, " "},
              {"S", "zz", "'q'", 100, "q"},
              {"S", "zz", nullptr, 100, ""},
              {"S", "", "D", 100, "D"}}}});
}

TEST(IniContract, BufferLimitsCutValuesAndLists) {
  std::string manyKeys = "[S]\r\n", keyList;
  for (int i = 0; i < 3000; ++i) {
    manyKeys += "key" + std::to_string(i) + "=x\r\n";
    keyList += "key" + std::to_string(i) + '\0';
  }
  RunTables({
      {"small buffers", "[S]\r\na=abcdefghij\r\nbb=1\r\nccc=2\r\n",
       {{"S", "a", "D", 5, "abcd"},
        {"S", nullptr, "D", 5, "a\0b"s},
        {"S", nullptr, "D", 6, "a\0bb"s},
        {"S", nullptr, "D", 7, "a\0bb\0"s},
        {"S", nullptr, "D", 8, "a\0bb\0c"s},
        {"S", nullptr, "D", 2, "D"},
        {"S", nullptr, "D", 3, "a"},
        {nullptr, nullptr, "D", 3, "S"},
        {nullptr, nullptr, "D", 4, "S\0"s}}},
      {"a long key list", manyKeys,
       {{"S", nullptr, "D", 100000, keyList},
        {"S", nullptr, "D", 8192, keyList.substr(0, 8190)}}},
  });
}

// Latin-1 text as UTF-16LE with its byte-order mark.
std::string Utf16(const std::string& latin1) {
  std::string out = "\xff\xfe";
  for (char c : latin1) out += std::string{c, '\0'};
  return out;
}

TEST(IniContract, MissingFileAndWindows1252Text) {
  // a-umlaut, euro sign, a Cyrillic letter
  const std::string utf16 = Utf16("[S]\r\na=") + "\xe4\x00\xac\x20\x3a\x04"s;
  RunTables({
      {"a missing file reads as empty", std::nullopt,
       {{"S", "a", "D", 100, "D"}, {nullptr, nullptr, "D", 100, ""}, {"S", nullptr, "D", 100, "D"}}},
      {"bytes above 127 untouched; only ASCII letters fold", "[\xc4rger]\r\n\xe4=\xfc\x80\x81\r\n",
       {{"\xc4RGER", "\xe4", "D", 100, "\xfc\x80\x81"}, {"\xe4rger", "\xe4", "D", 100, "D"}}},
      {"UTF-8 with a byte-order mark", "\xef\xbb\xbf[S]\r\na=\xc3\xa4\xe2\x82\xac\r\n",
       {{"S", "a", "D", 100, "\xe4\x80"}}},
      {"UTF-16 with a byte-order mark", utf16, {{"S", "a", "D", 100, "\xe4\x80?"}}},
  });
}

TEST(IniContract, WritingKeys) {
  RunTables({
      {"a new key follows the last key of its section, a new section the last line",
       "[S]\r\na=1\r\n[T]\r\nx=2\r\n", {}, {{"S", "b", "2", 1}, {"N", "k", "v", 1}},
       "[S]\r\na=1\r\nb=2\r\n[T]\r\nx=2\r\n[N]\r\nk=v\r\n"},
      {"a last line without a line break gets one", "[S]\r\na=1", {}, {{"S", "b", "v", 1}},
       "[S]\r\na=1\r\nb=v\r\n"},
      {"leading blanks of the value are dropped", "[S]\r\na=1\r\n", {{"S", "a", "D", 100, "lead trail"}},
       {{"S", "a", "  lead trail  ", 1}}, "[S]\r\na=lead trail  \r\n"},
      {"names are written less leading blanks", "[S]\r\na=1\r\n", {{"S2", "k", "D", 100, "v"}},
       {{" S2 ", "  k  ", "v", 1}}, "[S]\r\na=1\r\n[S2 ]\r\nk  =v\r\n"},
      {"blanks around a changed line go", "[S]\r\n a = 1 \r\n;x\r\n", {}, {{"S", "a", "2", 1}},
       "[S]\r\na=2\r\n;x\r\n"},
      {"a line without = becomes the key", "[S]\r\nk\r\n", {}, {{"S", "k", "v", 1}}, "[S]\r\nk=v\r\n"},
      {"keys before the first section", "[S]\r\na=1\r\n", {{"", "k", "D", 100, "v"}}, {{"", "k", "v", 1}},
       "k=v\r\n[S]\r\na=1\r\n"},
      {"a null section writes nothing", "[S]\r\na=1\r\n", {}, {{nullptr, "k", "v", 0}}},
      {"UTF-16 files stay UTF-16", Utf16("[S]\r\na=1\r\n"), {{"S", "b", "D", 100, "\xe4"}},
       {{"S", "b", "\xe4", 1}}, Utf16("[S]\r\na=1\r\nb=\xe4\r\n")},
      {"UTF-8 files stay UTF-8", "\xef\xbb\xbf[S]\r\na=\xc3\xa4\r\n", {{"S", "b", "D", 100, "\xe4\x80"}},
       {{"S", "b", "\xe4\x80", 1}}, "\xef\xbb\xbf[S]\r\na=\xc3\xa4\r\nb=\xc3\xa4\xe2\x82\xac\r\n"},
  });
}

TEST(IniContract, DeletingKeysAndSections) {
  RunTables({
      {"names with blanks around them delete nothing", "[S]\r\na=1\r\n", {},
       {{"S", " a ", nullptr, 1}, {" S ", nullptr, nullptr, 1}}},
      {"the last key leaves the header, the section leaves an empty file", "[S]\r\nb=2\r\n", {},
       {{"S", "b", nullptr, 1}, {"S", nullptr, nullptr, 1}}, ""},
      {"a section with a text and no key is deleted", "[S]\r\na=1\r\n[T]\r\nb=2\r\n", {},
       {{"S", nullptr, "text", 1}}, "[T]\r\nb=2\r\n"},
      {"the first section holding the key; the first section of the name",
       "[S]\r\na=1\r\n[S]\r\na=2\r\nb=3\r\n", {{"S", "a", "D", 100, "2"}},
       {{"S", "b", nullptr, 1}, {"S", nullptr, nullptr, 1}}, "[S]\r\na=2\r\n"},
      {"nothing to delete in a missing file creates none", std::nullopt, {},
       {{"S", "a", nullptr, 1}, {"S", nullptr, nullptr, 1}}},
  });
}

TEST(IniContract, AnEditFromOutsideIsSeenByTheNextCall) {
  for (auto& subject : MakeIniSubjects()) {
    SCOPED_TRACE(subject->Name());
    subject->PutFile("[S]\r\na=1\r\n");
    EXPECT_EQ("1", subject->Get(T("S"), T("a"), T("D"), 100));
    EXPECT_EQ(1, subject->Write(T("S"), T("b"), T("2")));
    // Same size as before, so only the content tells them apart.
    subject->PutFile("[S]\r\na=7\r\nb=2\r\n");
    EXPECT_EQ("7", subject->Get(T("S"), T("a"), T("D"), 100));
    subject->PutFile("[S]\r\na=8\r\n");
    EXPECT_EQ(1, subject->Write(T("S"), T("c"), T("3")));
    EXPECT_EQ("[S]\r\na=8\r\nc=3\r\n", subject->FileBytes());
  }
}

// Random writes and deletes from no file on, read back against a model of what the
// profile functions keep: names match without regard to blanks around them or the case
// of ASCII letters, and keep their first spelling and their order (lists leave out
// comments); values lose the blanks around them and one pair of quotes.
using Keys = std::vector<std::pair<std::string, std::string>>;
using Sections = std::vector<std::pair<std::string, Keys>>;

template <class V>
auto Find(V& v, const std::string& name) {
  return std::find_if(v.begin(), v.end(), [&](const auto& e) { return UpperAscii(e.first) == UpperAscii(name); });
}

std::string Trim(std::string v) {
  v.erase(0, v.find_first_not_of(' '));
  return v.erase(v.find_last_not_of(' ') + 1);
}
std::string Unquoted(const std::string& v) {
  return v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0] ? v.substr(1, v.size() - 2) : v;
}

std::string List(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += n + '\0';
  return out;
}

TEST(IniContract, WhatIsWrittenReadsBack) {
  const std::vector<std::string> sectionNames = {"S", "abc", "Lang und breit", "\xc4rger", "\xe4rger", "a=b",
                                                 "x;y", "Gro\xdf \x80"};
  const std::vector<std::string> keyNames = {"a", "B", "key one", ";c", "x]", "\xfc" "ber", "\xdc" "ber", "k'"};
  const std::string chars = "aBz09 =;[]'\"\xe4\xf6\xfc\xc4\xdf\x80.%";
  for (auto& subject : MakeIniSubjects())
    for (unsigned seed : {1u, 2u, 3u}) {
      SCOPED_TRACE(subject->Name() + ", seed " + std::to_string(seed));
      std::mt19937 rng(seed);
      auto any = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
      auto cased = [&](std::string name) {  // ASCII letters in any case
        for (char& c : name)
          if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z' && any(2)) c = static_cast<char>(c ^ 0x20);
        return name;
      };
      auto spelled = [&](const std::string& name) {  // and blanks around
        return std::string(any(2), ' ') + cased(name) + std::string(any(2), ' ');
      };
      subject->PutFile(std::nullopt);
      Sections model;
      for (int step = 0; step < 50; ++step) {
        const std::string section = cased(sectionNames[any(sectionNames.size())]),
                          key = cased(keyNames[any(keyNames.size())]);
        auto s = Find(model, section);
        const std::size_t kind = any(10);
        if (kind == 0) {
          ASSERT_EQ(1, subject->Write(section, std::nullopt, std::nullopt));
          if (s != model.end()) model.erase(s);
        } else if (kind == 1) {
          ASSERT_EQ(1, subject->Write(section, key, std::nullopt));
          if (s != model.end())
            if (auto k = Find(s->second, key); k != s->second.end()) s->second.erase(k);
        } else {
          std::string value(any(8) == 0 ? 200 + any(1300) : any(12), ' ');
          for (char& c : value) c = chars[any(chars.size())];
          if (any(4) == 0) value = std::string(any(2), ' ') + "'\""[any(2)] + value + "'\""[any(2)];
          ASSERT_EQ(1, subject->Write(section, key, value));
          if (s == model.end()) s = model.insert(s, {section, {}});
          if (auto k = Find(s->second, key); k != s->second.end()) k->second = Trim(value);
          else s->second.push_back({key, Trim(value)});
          EXPECT_EQ(Unquoted(Trim(value)), subject->Get(spelled(section), spelled(key), T("D"), 4096)) << step;
        }
      }
      std::vector<std::string> names;
      for (const auto& [section, keys] : model) {
        names.push_back(section);
        std::vector<std::string> keyList;
        for (const auto& [key, value] : keys) {
          if (key[0] != ';') keyList.push_back(key);  // read, but not listed
          EXPECT_EQ(Unquoted(value), subject->Get(spelled(section), spelled(key), T("D"), 4096)) << section << "/" << key;
          // A small buffer holds the start of the value.
          const auto size = static_cast<std::uint32_t>(1 + any(value.size() + 1));
          if (Unquoted(value) == value) {
            EXPECT_EQ(value.substr(0, size - 1), subject->Get(section, key, T("D"), size)) << key << " in " << size;
          }
        }
        if (!keyList.empty()) {
          EXPECT_EQ(List(keyList), subject->Get(section, std::nullopt, T("D"), 4096)) << section;
        }
      }
      EXPECT_EQ(List(names), subject->Get(std::nullopt, std::nullopt, T("D"), 4096));
    }
}

}  // namespace
