// cInifile: whole values and lists, null fields, write results and window positions.
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

TEST_F(IniFileTest, ValuesAndListsReadWholeHoweverLong) {
  std::string file = "[S]\r\nedge='" + std::string(253, 'y') + "'\r\nhuge=" + std::string(100000, 'z') + "\r\n";
  for (int i = 0; i < 2000; ++i) file += "name" + std::to_string(100000 + i) + "=1\r\n";
  for (int i = 0; i < 1000; ++i) file += "[Section" + std::to_string(10000 + i) + "]\r\n";
  fp.files.AddFile(kIni, file);
  ini.Section("S");
  ini.Key("edge");  // quoted, filling the first buffer exactly
  EXPECT_EQ(std::string(253, 'y'), ini.Value());
  ini.Key("huge");
  EXPECT_EQ(std::string(100000, 'z'), ini.Value());
  std::vector<std::string> list{"stale"};
  std::int32_t count = 0;
  ini.EnumerateCurrentSection(list, count);
  ASSERT_EQ(2002, count);
  EXPECT_EQ("name101999", list.back());
  ini.EnumerateAllSections(list, count);
  ASSERT_EQ(1001, count);
  EXPECT_EQ("Section10999", list.back());
  ini.Section("missing");
  ini.EnumerateCurrentSection(list, count);
  EXPECT_EQ(0, count);
  EXPECT_TRUE(list.empty());
}

TEST_F(IniFileTest, WritesDropNulsAndReportThroughLastReturnCode) {
  ini.Section("S");
  ini.Key("k");
  std::string text = "a\0b\0c"s;
  ini.Value(text);
  EXPECT_EQ("abc", text);  // the caller's string is changed too
  EXPECT_TRUE(ini.Success());
  fp.files.AddFile(kIni, fp.files.Content(kIni), plat::fattr::kReadOnly);
  ini.Value(std::string("new"));
  EXPECT_FALSE(ini.Success());
  fp.files.AddFile(kIni, fp.files.Content(kIni));
  EXPECT_EQ("abc", ini.Value());
  ini.DeleteKey();
  EXPECT_TRUE(ini.Success());
  EXPECT_EQ("", ini.Value());
  fp.files.AddFile(kIni, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[C]\r\nz=3\r\n");
  ini.Section("A");
  ini.DeleteSection();
  ini.Section("B");
  ini.INISection("ignored");
  EXPECT_EQ("[C]\r\nz=3\r\n", fp.files.Content(kIni));
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
  const std::string placed = "Left=1500\r\nTop=1500\r\nWidth=6000\r\nHeight=4500\r\n";
  EXPECT_EQ("[Window]\r\nMaximised=0\r\n" + placed, fp.files.Content(kIni));
  form.maximized = true;
  form.left = 0;
  ini.SaveFormPosition(form);
  EXPECT_EQ("[Window]\r\nMaximised=1\r\n" + placed, fp.files.Content(kIni));
  form.minimized = true;
  fp.files.Remove(kIni);
  ini.SaveFormPosition(form);
  EXPECT_FALSE(fp.files.Exists(kIni));
}

TEST_F(IniFileTest, LoadFormPositionKeepsTheWindowOnTheScreen) {
  ini.Section("Window");
  ini.Key("Keep");
  ini.Default("Mine");
  const struct {
    std::string saved;
    long minW, minH, left, top, width, height;
    bool maximised, throws;
  } cases[] = {
      {"", 0, 0, 1500, 1500, 6000, 4500, false, false},  // missing keys keep the window's values
      {"Left=300\r\nTop=450\r\nWidth=3000\r\nHeight=2000\r\nMaximised=1\r\n", 0, 0, 300, 450, 3000, 2000, true, false},
      {"Left=-900\r\nTop=0\r\n", 0, 0, 60, 60, 6000, 4500, false, false},  // to the 4-pixel margin
      {"Left=14000\r\nTop=10000\r\n", 0, 0, 15360 - 60 - 6000, 11520 - 60 - 4500, 6000, 4500, false, false},
      {"Left=0\r\nWidth=20000\r\n", 0, 0, 60, 1500, 15360 - 120, 4500, false, false},  // width cut
      {"Width=100\r\nHeight=100\r\n", 2000, 1000, 1500, 1500, 2000, 1000, false, false},
      {"Width=20000\r\n", 16000, 0, 1500, 1500, 6000, 4500, false, false},  // cannot fit: not moved
      {"Left=abc\r\nWidth=\r\nMaximised=x\r\n", 0, 0, 1500, 1500, 6000, 4500, false, false},
      {"Left=300\r\nMaximised=1\r\n", 0, 0, 1500, 1500, 6000, 4500, false, true},  // Move fails
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.saved);
    fp.files.AddFile(kIni, "[Window]\r\n" + c.saved);
    ini.Value(std::string("x"));  // a success, which only a failure inside clears
    FakeGeometry form;
    form.throwOnMove = c.throws;
    ini.LoadFormPosition(form, c.minW, c.minH);
    EXPECT_EQ(!c.throws, ini.Success());
    EXPECT_EQ((std::vector<long>{c.left, c.top, c.width, c.height}),
              (std::vector<long>{form.left, form.top, form.width, form.height}));
    EXPECT_EQ(c.maximised, form.maximized);
    EXPECT_EQ("Keep", ini.Key());
    EXPECT_EQ("Mine", ini.Default());  // not the "FAIL" used inside
  }
}

}  // namespace

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
}
