// GetText: the language file beside the program fills itself with the defaults and
// gives translated texts, with "\n" as a line break.
#include <gtest/gtest.h>

#include "support/mdlTools.h"
#include "tests/fakes/FakeServices.h"

namespace {
const char kLng[] = "C:\\Gleisora\\Gleisora.lng";
const char kQuit[] = "Gleisora kann im Moment nicht beendet werden!\\nBitte warten Sie einen Moment!";

TEST(GetText, AMissingTextIsWrittenAsItsDefaultAndShownWithLineBreaks) {
  FakePlatform fp;
  fp.files.AddFile(kLng, "");
  EXPECT_EQ("Gleisora kann im Moment nicht beendet werden!\r\nBitte warten Sie einen Moment!",
            GetText(fp.platform, "Messages", "CANNOT_QUIT", kQuit));
  EXPECT_EQ(std::string("[Messages]\r\nCANNOT_QUIT=") + kQuit + "\r\n", fp.files.Content(kLng));
  // Without a file at all the file is created.
  FakePlatform fresh;
  EXPECT_EQ("Info über...", GetText(fresh.platform, "frmMain", "cmdInfo.ToolTipText", "Info über..."));
  EXPECT_EQ("[frmMain]\r\ncmdInfo.ToolTipText=Info über...\r\n", fresh.files.Content(kLng));
}

TEST(GetText, TranslationsWinAndBlankOnesAreReplaced) {
  FakePlatform fp;
  fp.files.AddFile(kLng,
                   "[frmMain]\r\ncmdInfo.Caption=About\r\ncmdReset.Caption=   \r\n"
                   "cmdDefault.Caption=One\\nTwo\r\ncmdDetails.Caption=Back\\\\nslash\r\n");
  EXPECT_EQ("About", GetText(fp.platform, "frmMain", "cmdInfo.Caption", "Info"));
  EXPECT_EQ("Wiederherstellen", GetText(fp.platform, "frmMain", "cmdReset.Caption", "Wiederherstellen"));
  EXPECT_NE(std::string::npos, fp.files.Content(kLng).find("cmdReset.Caption=Wiederherstellen\r\n"));
  EXPECT_EQ("One\r\nTwo", GetText(fp.platform, "frmMain", "cmdDefault.Caption", "x"));
  EXPECT_EQ("Back\\\r\nslash", GetText(fp.platform, "frmMain", "cmdDetails.Caption", "x"));
  // A translator edits the file while the program runs.
  fp.files.AddFile(kLng, "[frmMain]\r\ncmdInfo.Caption=Über\r\n");
  EXPECT_EQ("Über", GetText(fp.platform, "frmMain", "cmdInfo.Caption", "Info"));
}

TEST(GetText, BadLanguageFilesStillGiveTheDefaultsAndLoseNothing) {
  const std::string binary("\x00\xff[frmMain\x00]\r\n\x1a\x1a", 14);
  struct Case {
    const char* name;
    std::string bytes;
    std::uint32_t attributes;
  } cases[] = {
      {"read-only", "[frmMain]\r\nother=1\r\n", plat::fattr::kReadOnly},
      {"binary", binary, plat::fattr::kArchive},
      {"a very long text", "[frmMain]\r\ncmdInfo.Caption=" + std::string(400, 'y') + "\r\n",
       plat::fattr::kArchive},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform fp;
    fp.files.AddFile(kLng, c.bytes, c.attributes);
    const std::string got = GetText(fp.platform, "frmMain", "cmdInfo.Caption", "Info");
    EXPECT_EQ(c.bytes, fp.files.Content(kLng).substr(0, c.bytes.size()));
    EXPECT_EQ(c.name == std::string("a very long text") ? std::string(400, 'y') : "Info", got);
  }
  FakePlatform noFolder("C:\\Missing");
  noFolder.files.Remove("C:\\Missing");
  EXPECT_EQ("Info", GetText(noFolder.platform, "frmMain", "cmdInfo.Caption", "Info"));
}

}  // namespace
