// cInifile: buffer limits, null fields, lists, write results, number conversion and
// window positions.
#include <gtest/gtest.h>

#include <stdexcept>

#include "support/cInifile.h"
#include "tests/fakes/FakeServices.h"

using namespace std::string_literals;

namespace {
const char kIni[] = "C:\\Gleisora\\Test.ini";

struct IniFileTest : ::testing::Test {
  FakePlatform fp;
  cInifile ini{fp.platform};
  void SetUp() override { ini.Path(kIni); }
};

TEST_F(IniFileTest, LongValuesReadWholeAndMissingKeysGiveTheDefault) {
  fp.files.AddFile(kIni, "[S]\r\nlong=" + std::string(300, 'x') + "\r\nedge='" +
                             std::string(253, 'y') + "'\r\nhuge=" + std::string(100000, 'z') +
                             "\r\n");
  ini.Section("S");
  ini.Key("long");
  EXPECT_EQ(std::string(300, 'x'), ini.Value());
  ini.Key("edge");  // quoted, filling the first buffer exactly
  EXPECT_EQ(std::string(253, 'y'), ini.Value());
  ini.Key("huge");
  EXPECT_EQ(std::string(100000, 'z'), ini.Value());
  ini.Key("missing");
  EXPECT_EQ("", ini.Value());
  ini.Default("DEFAULT");
  EXPECT_EQ("DEFAULT", ini.Value());
}

TEST_F(IniFileTest, WritesRemoveNulsAndReportThroughLastReturnCode) {
  EXPECT_EQ(0, ini.LastReturnCode());
  ini.Section("S");
  ini.Key("k");
  std::string text = "a\0b\0c"s;
  ini.Value(text);
  EXPECT_EQ("abc", text);  // the caller's string is changed too
  EXPECT_TRUE(ini.Success());
  EXPECT_EQ("[S]\r\nk=abc\r\n", fp.files.Content(kIni));

  fp.files.failWrites = true;
  ini.Value(std::string("new"));
  EXPECT_EQ(0, ini.LastReturnCode());
  EXPECT_EQ("[S]\r\nk=abc\r\n", fp.files.Content(kIni));
  EXPECT_EQ("abc", ini.Value());  // the failed write left nothing behind
  fp.files.failWrites = false;

  ini.Default("gone");
  ini.DeleteKey();
  EXPECT_TRUE(ini.Success());
  EXPECT_EQ("gone", ini.Value());
}

TEST_F(IniFileTest, SectionsAreDeletedByDeleteSectionAndByAssigningINISection) {
  fp.files.AddFile(kIni, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[C]\r\nz=3\r\n");
  ini.Section("A");
  ini.DeleteSection();
  ini.Section("B");
  ini.INISection("ignored");
  EXPECT_TRUE(ini.Success());
  EXPECT_EQ("[C]\r\nz=3\r\n", fp.files.Content(kIni));
}

TEST_F(IniFileTest, ListsReadWholeHoweverLong) {
  std::string file = "[S]\r\n";
  for (int i = 0; i < 2000; ++i) file += "name" + std::to_string(100000 + i) + "=1\r\n";
  fp.files.AddFile(kIni, file);
  ini.Section("S");
  EXPECT_EQ(2000u * 11, ini.INISection().size());
  std::vector<std::string> list;
  std::int32_t count = 0;
  ini.EnumerateCurrentSection(list, count);
  ASSERT_EQ(2000, count);
  EXPECT_EQ("name100000", list.front());
  EXPECT_EQ("name101999", list.back());
  ini.Section("missing");
  ini.EnumerateCurrentSection(list, count);
  EXPECT_EQ(0, count);
  EXPECT_TRUE(list.empty());
  std::string many;
  for (int i = 0; i < 1000; ++i) many += "[Section" + std::to_string(10000 + i) + "]\r\n";
  fp.files.AddFile(kIni, many);
  ini.EnumerateAllSections(list, count);
  EXPECT_EQ(1000, count);
  EXPECT_EQ("Section10000", list.front());
  EXPECT_EQ("Section10999", list.back());
}

TEST_F(IniFileTest, NeverAssignedFieldsActAsNullPointers) {
  fp.files.AddFile(kIni, "[S]\r\na=1\r\nb=2\r\n[T]\r\n");
  ini.Section("S");
  EXPECT_EQ("a\0b\0"s, ini.Value());  // no key: the key list
  cInifile noSection(fp.platform);
  noSection.Path(kIni);
  noSection.Key("a");
  EXPECT_EQ("S\0T\0"s, noSection.Value());
  noSection.Value(std::string("x"));
  EXPECT_EQ(0, noSection.LastReturnCode());
  cInifile noPath(fp.platform);
  noPath.Section("S");
  noPath.Key("a");
  noPath.Default("D");
  EXPECT_EQ("D", noPath.Value());
  noPath.Value(std::string("x"));
  EXPECT_EQ(0, noPath.LastReturnCode());
}

TEST(CLngDefault, ConvertsLikeTheNumberConversionOrGivesTheDefault) {
  struct Case {
    const char* text;
    std::int32_t expected;
  } cases[] = {
      {"12", 12},          {"", 5},          {"FAIL", 5},           {"  42  ", 42},
      {"+7", 7},           {"-13", -13},     {"2.5", 2},            {"3.5", 4},
      {"-2.5", -2},        {"0.5", 0},       {"2.5000001", 3},      {"1.49", 1},
      {"1e3", 1000},       {"15E-1", 2},     {".5", 0},             {"5.", 5},
      {"2147483647", 2147483647},            {"2147483648", 5},     {"-2147483648", INT32_MIN},
      {"-2147483649", 5},  {"2147483647.5", 5},                     {"&HFF", 255},
      {"&hffffffff", -1},  {"&H100000000", 5}, {"&O17", 15},        {"&O8", 5},
      {"12abc", 5},        {"1,000", 5},     {".", 5},              {"-", 5},
      {"1e", 5},           {"99999999999999999999", 5},             {"   ", 5},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, cInifile::CLngDefault(c.text, 5)) << c.text;
  EXPECT_EQ(0, cInifile::CLngDefault("x"));
}

// A window: twips, 15 per pixel, on a 1024 x 768 pixel screen.
struct FakeGeometry : IFormGeometry {
  bool minimized = false, maximized = false, throwOnMove = false;
  long left = 1500, top = 1500, width = 6000, height = 4500;
  int moves = 0;
  bool Minimized() override { return minimized; }
  bool Maximized() override { return maximized; }
  long Left() override { return left; }
  long Top() override { return top; }
  long Width() override { return width; }
  long Height() override { return height; }
  void Move(long l, long t, long w, long h) override {
    if (throwOnMove) throw std::runtime_error("move failed");
    left = l, top = t, width = w, height = h;
    ++moves;
  }
  void Maximize() override { maximized = true; }
  long ScreenWidth() override { return 1024 * 15; }
  long ScreenHeight() override { return 768 * 15; }
  long TwipsPerPixelX() override { return 15; }
  long TwipsPerPixelY() override { return 15; }
};

TEST_F(IniFileTest, SaveFormPositionWritesPlacementUnlessMinimised) {
  FakeGeometry form;
  ini.Section("Window");
  ini.Key("Keep");
  ini.SaveFormPosition(form);
  EXPECT_EQ("Keep", ini.Key());
  EXPECT_EQ("[Window]\r\nMaximised=0\r\nLeft=1500\r\nTop=1500\r\nWidth=6000\r\nHeight=4500\r\n",
            fp.files.Content(kIni));
  form.maximized = true;
  form.left = 0;
  ini.SaveFormPosition(form);
  EXPECT_EQ("[Window]\r\nMaximised=1\r\nLeft=1500\r\nTop=1500\r\nWidth=6000\r\nHeight=4500\r\n",
            fp.files.Content(kIni));
  form.minimized = true;
  fp.files.Remove(kIni);
  ini.SaveFormPosition(form);
  EXPECT_FALSE(fp.files.Exists(kIni));
}

TEST_F(IniFileTest, LoadFormPositionKeepsTheWindowOnTheScreen) {
  ini.Section("Window");
  ini.Key("Keep");
  ini.Default("Mine");
  struct Case {
    std::string saved;
    long minW, minH;
    long left, top, width, height;
    bool maximised;
  } cases[] = {
      // Missing keys keep the window's own values.
      {"", 0, 0, 1500, 1500, 6000, 4500, false},
      {"Left=300\r\nTop=450\r\nWidth=3000\r\nHeight=2000\r\nMaximised=1\r\n", 0, 0, 300, 450, 3000, 2000, true},
      // Off the left and top edge: to the 4-pixel margin.
      {"Left=-900\r\nTop=0\r\n", 0, 0, 60, 60, 6000, 4500, false},
      // Past the right edge: moved left to end at the margin.
      {"Left=14000\r\nTop=10000\r\n", 0, 0, 15360 - 60 - 6000, 11520 - 60 - 4500, 6000, 4500, false},
      // Wider than the screen: left at the margin, width cut.
      {"Left=0\r\nWidth=20000\r\n", 0, 0, 60, 1500, 15360 - 120, 4500, false},
      // Below the minimum size: grown to it.
      {"Width=100\r\nHeight=100\r\n", 2000, 1000, 1500, 1500, 2000, 1000, false},
      // Garbage values are ignored.
      {"Left=abc\r\nWidth=\r\nMaximised=x\r\n", 0, 0, 1500, 1500, 6000, 4500, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.saved);
    fp.files.AddFile(kIni, "[Window]\r\n" + c.saved);
    FakeGeometry form;
    ini.LoadFormPosition(form, c.minW, c.minH);
    EXPECT_EQ(c.left, form.left);
    EXPECT_EQ(c.top, form.top);
    EXPECT_EQ(c.width, form.width);
    EXPECT_EQ(c.height, form.height);
    EXPECT_EQ(c.maximised, form.maximized);
    EXPECT_EQ("Keep", ini.Key());
    EXPECT_EQ("Mine", ini.Default());
  }
  // A minimum the screen cannot hold: the window is not moved.
  fp.files.AddFile(kIni, "[Window]\r\nWidth=20000\r\n");
  FakeGeometry wide;
  ini.LoadFormPosition(wide, 16000, 0);
  EXPECT_EQ(0, wide.moves);
}

TEST_F(IniFileTest, AFailureInLoadFormPositionRestoresKeyAndDefault) {
  fp.files.AddFile(kIni, "[Window]\r\nLeft=300\r\nMaximised=1\r\n");
  ini.Section("Window");
  ini.Key("a");
  ini.Value(std::string("1"));
  ASSERT_TRUE(ini.Success());
  FakeGeometry form;
  form.throwOnMove = true;
  ini.LoadFormPosition(form);
  EXPECT_EQ(0, ini.LastReturnCode());
  EXPECT_FALSE(form.maximized);
  EXPECT_EQ("a", ini.Key());
  EXPECT_EQ("", ini.Default());
  EXPECT_EQ("1", ini.Value());  // Default is empty again, not "FAIL"
}

}  // namespace
