// One table of profile-function behaviour, run against every subject: natively the
// INI engine on the fake file system; under Wine the real GetPrivateProfileStringA /
// WritePrivateProfileStringA and the engine on the real file system.
#include "tests/contract/IniContract.h"

#include <gtest/gtest.h>

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

struct ReadTable {
  const char* name;
  std::optional<std::string> file;
  std::vector<ReadCase> reads;
};

void RunReads(const std::vector<ReadTable>& tables) {
  for (auto& subject : MakeIniSubjects()) {
    SCOPED_TRACE(subject->Name());
    for (const auto& t : tables) {
      SCOPED_TRACE(t.name);
      subject->PutFile(t.file);
      for (const auto& r : t.reads) {
        SCOPED_TRACE(std::string(r.section ? r.section : "(null)") + " / " +
                     (r.key ? r.key : "(null)") + " / size " + std::to_string(r.size));
        EXPECT_EQ(r.expected, subject->Get(T(r.section), T(r.key), T(r.def), r.size));
      }
    }
  }
}

TEST(IniContract, NamesBlanksCommentsAndLinesWithoutEquals) {
  RunReads({
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
  RunReads({{"first section and first key of a name win",
             "pre=1\r\n[S]\r\na=1\r\na=9\r\n[]\r\ne=5\r\n[S]\r\na=2\r\nb=3\r\n",
             {{"", "pre", "D", 100, "1"},
              {"", "e", "D", 100, "D"},
              {"S", "b", "D", 100, "D"},
              {"S", "a", "D", 100, "1"},
              {"S", nullptr, "D", 100, "a\0a\0"s},
              {nullptr, nullptr, "D", 100, "S\0S\0"s}}}});
}

TEST(IniContract, QuotesAndDefaults) {
  RunReads({{"one pair of quotes comes off values and defaults",
             "[S]\r\nq='abcd'\r\nr=\"x'\r\ns='\r\nt=''\r\nu= \"  a  \" \r\n",
             {{"S", "q", "D", 100, "abcd"},
              {"S", "q", "D", 5, "abc"},
              {"S", "q", "D", 6, "abcd"},
              {"S", "r", "D", 100, "\"x'"},
              {"S", "s", "D", 100, "'"},
              {"S", "t", "D", 100, ""},
              {"S", "u", "D", 100, "  a  "},
              {"S", "zz", "  de  ", 100, "  de"},
              {"S", "zz", "   ", 100, " "},
              {"S", "zz", "'q'", 100, "q"},
              {"S", "zz", nullptr, 100, ""},
              {"S", "", "D", 100, "D"}}}});
}

TEST(IniContract, BufferLimitsCutValuesAndLists) {
  const std::string longValue(1000, 'v');
  std::string manyKeys = "[S]\r\n", keyList;
  for (int i = 0; i < 3000; ++i) {
    manyKeys += "key" + std::to_string(i) + "=x\r\n";
    keyList += "key" + std::to_string(i) + '\0';
  }
  RunReads({
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
      {"long values and lists whole in a buffer that holds them",
       "[S]\r\nlong=" + longValue + "\r\n",
       {{"S", "long", "D", 2000, longValue}, {"S", "long", "D", 255, longValue.substr(0, 254)}}},
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
  RunReads({
      {"a missing file reads as empty", std::nullopt,
       {{"S", "a", "D", 100, "D"}, {nullptr, nullptr, "D", 100, ""}, {"S", nullptr, "D", 100, "D"}}},
      {"bytes above 127 untouched; only ASCII letters fold", "[\xc4rger]\r\n\xe4=\xfc\x80\x81\r\n",
       {{"\xc4RGER", "\xe4", "D", 100, "\xfc\x80\x81"}, {"\xe4rger", "\xe4", "D", 100, "D"}}},
      {"UTF-8 with a byte-order mark", "\xef\xbb\xbf[S]\r\na=\xc3\xa4\xe2\x82\xac\r\n",
       {{"S", "a", "D", 100, "\xe4\x80"}}},
      {"UTF-16 with a byte-order mark", utf16, {{"S", "a", "D", 100, "\xe4\x80?"}}},
  });
}

// Writes: the return value, the resulting bytes, and reads afterwards.
struct Op {
  const char* section;
  const char* key;
  const char* value;
  std::int32_t result;
};

struct WriteTable {
  const char* name;
  std::optional<std::string> file;
  std::vector<Op> ops;
  std::optional<std::string> after;         // nullopt: no file
  std::optional<std::string> profileAfter;  // when the real functions differ
  std::vector<ReadCase> reads;
};

void RunWrites(const std::vector<WriteTable>& tables) {
  for (auto& subject : MakeIniSubjects()) {
    SCOPED_TRACE(subject->Name());
    for (const auto& t : tables) {
      SCOPED_TRACE(t.name);
      subject->PutFile(t.file);
      for (const auto& op : t.ops)
        EXPECT_EQ(op.result, subject->Write(T(op.section), T(op.key), T(op.value)));
      const auto& want = subject->RewritesWholeFile() && t.profileAfter ? t.profileAfter : t.after;
      EXPECT_EQ(want, subject->FileBytes());
      for (const auto& r : t.reads)
        EXPECT_EQ(r.expected, subject->Get(T(r.section), T(r.key), T(r.def), r.size))
            << (r.section ? r.section : "(null)") << " / " << (r.key ? r.key : "(null)");
    }
  }
}

TEST(IniContract, WritingKeys) {
  RunWrites({
      {"a new key follows the last key of its section", "[S]\r\na=1\r\n[T]\r\nx=2\r\n",
       {{"S", "b", "2", 1}}, "[S]\r\na=1\r\nb=2\r\n[T]\r\nx=2\r\n", std::nullopt, {}},
      {"a new section goes to the end", "[S]\r\na=1\r\n", {{"N", "k", "v", 1}},
       "[S]\r\na=1\r\n[N]\r\nk=v\r\n", std::nullopt, {}},
      {"a last line without a line break gets one", "[S]\r\na=1", {{"S", "b", "v", 1}},
       "[S]\r\na=1\r\nb=v\r\n", std::nullopt, {}},
      {"a new value keeps the key's name and place", "[S]\r\na=1\r\nb=2\r\n", {{"s", "A", "9", 1}},
       "[S]\r\na=9\r\nb=2\r\n", std::nullopt, {}},
      {"leading blanks of the value are dropped", "[S]\r\na=1\r\n", {{"S", "a", "  lead trail  ", 1}},
       "[S]\r\na=lead trail  \r\n", std::nullopt, {{"S", "a", "D", 100, "lead trail"}}},
      {"names are written less leading blanks", "[S]\r\na=1\r\n", {{" S2 ", "  k  ", "v", 1}},
       "[S]\r\na=1\r\n[S2 ]\r\nk  =v\r\n", std::nullopt, {{"S2", "k", "D", 100, "v"}}},
      {"blanks around a changed line go", "[S]\r\n a = 1 \r\n;x\r\n", {{"S", "a", "2", 1}},
       "[S]\r\na=2\r\n;x\r\n", std::nullopt, {}},
      {"a line without = becomes the key", "[S]\r\nk\r\n", {{"S", "k", "v", 1}}, "[S]\r\nk=v\r\n",
       std::nullopt, {}},
      {"keys before the first section", "[S]\r\na=1\r\n", {{"", "k", "v", 1}},
       "k=v\r\n[S]\r\na=1\r\n", std::nullopt, {{"", "k", "D", 100, "v"}}},
      {"the first write creates the file", std::nullopt, {{"S", "a", "1", 1}}, "[S]\r\na=1\r\n",
       std::nullopt, {}},
      {"an empty and a blank value", "[S]\r\na=1\r\n", {{"S", "a", "  ", 1}, {"S", "b", "", 1}},
       "[S]\r\na=\r\nb=\r\n", std::nullopt, {{"S", "a", "D", 100, ""}}},
      {"a null section writes nothing", "[S]\r\na=1\r\n", {{nullptr, "k", "v", 0}},
       "[S]\r\na=1\r\n", std::nullopt, {}},
      {"UTF-16 files stay UTF-16", Utf16("[S]\r\na=1\r\n"), {{"S", "b", "\xe4", 1}},
       Utf16("[S]\r\na=1\r\nb=\xe4\r\n"), std::nullopt, {{"S", "b", "D", 100, "\xe4"}}},
      {"UTF-8 files stay UTF-8", "\xef\xbb\xbf[S]\r\na=\xc3\xa4\r\n", {{"S", "b", "\xe4\x80", 1}},
       "\xef\xbb\xbf[S]\r\na=\xc3\xa4\r\nb=\xc3\xa4\xe2\x82\xac\r\n", std::nullopt,
       {{"S", "b", "D", 100, "\xe4\x80"}}},
      // The real functions rewrite every line and drop blank lines; the engine keeps
      // lines it does not change as they were.
      {"blank lines and LF line breaks", "[S]\n\na=1\n\n[T]\nb=2\n", {{"S", "c", "3", 1}},
       "[S]\n\na=1\nc=3\r\n\n[T]\nb=2\n", "[S]\r\na=1\r\nc=3\r\n[T]\r\nb=2\r\n",
       {{"S", "c", "D", 100, "3"}, {"S", nullptr, "D", 100, "a\0c\0"s}}},
  });
}

TEST(IniContract, DeletingKeysAndSections) {
  RunWrites({
      {"a key, without regard to case", "[S]\r\na=1\r\nb=2\r\n", {{"s", "A", nullptr, 1}},
       "[S]\r\nb=2\r\n", std::nullopt, {{"S", "a", "D", 100, "D"}}},
      {"names with blanks around them delete nothing", "[S]\r\na=1\r\n",
       {{"S", " a ", nullptr, 1}, {" S ", nullptr, nullptr, 1}}, "[S]\r\na=1\r\n", std::nullopt, {}},
      {"the last key leaves the header, the section leaves an empty file", "[S]\r\nb=2\r\n",
       {{"S", "b", nullptr, 1}, {"S", nullptr, nullptr, 1}}, "", std::nullopt, {}},
      {"a section with a text and no key is deleted", "[S]\r\na=1\r\n[T]\r\nb=2\r\n",
       {{"S", nullptr, "text", 1}}, "[T]\r\nb=2\r\n", std::nullopt, {}},
      {"the first section holding the key; the first section of the name",
       "[S]\r\na=1\r\n[S]\r\na=2\r\nb=3\r\n", {{"S", "b", nullptr, 1}, {"S", nullptr, nullptr, 1}},
       "[S]\r\na=2\r\n", std::nullopt, {{"S", "a", "D", 100, "2"}}},
      {"nothing to delete in a missing file creates none", std::nullopt,
       {{"S", "a", nullptr, 1}, {"S", nullptr, nullptr, 1}}, std::nullopt, std::nullopt, {}},
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

}  // namespace
