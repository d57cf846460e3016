// Damaged version blocks (cut, flipped bytes, wrong lengths): the version reader must
// stay inside the block and report only what the block holds.
#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <set>
#include <vector>

#include "support/CFileVersionInfo.h"
#include "tests/fakes/FakeServices.h"
#include "tests/fakes/VersionBlock.h"

namespace {

std::vector<std::string> Seeds() {
  VersionSpec full;
  full.fileVersion[0] = 16, full.fileVersion[1] = 1, full.fileVersion[2] = 12, full.fileVersion[3] = 345;
  full.fileFlags = 0x2B;
  full.fileType = 3;
  full.fileSubtype = 7;
  full.strings = {{"CompanyName", "Gleisbau Müller"}, {"ProductName", "EEP"},
                  {"ProductVersion", "16.1"},        {"FileDescription", "Eisenbahn"},
                  {"LegalTrademarks2", "TM2"},       {"Comments", std::string(300, 'x')}};
  VersionSpec fallback;
  fallback.codePage = 0x04B0;
  fallback.strings = {{"ProductName", "Deutsch"}};
  fallback.extraTables[{0x0409, 0x04B0}] = {{"CompanyName", "Maker"}, {"ProductName", "English"}};
  VersionSpec bare;
  bare.translation = false;
  return {BuildVersionBlock(full), BuildVersionBlock(fallback), BuildVersionBlock(bare)};
}

std::string Mutate(std::string block, std::mt19937& rng) {
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
  switch (pick(4)) {
    case 0:  // cut anywhere
      block.resize(pick(block.size() + 1));
      break;
    case 1:  // flip a few bytes
      for (std::size_t i = 0, n = 1 + pick(8); i < n && !block.empty(); ++i)
        block[pick(block.size())] ^= static_cast<char>(1 + pick(255));
      break;
    case 2: {  // a wrong length, value length or type in some header
      const std::size_t at = pick(block.size() / 4 + 1) * 4 + pick(3) * 2;
      if (at + 1 < block.size()) {
        const auto v = static_cast<std::uint16_t>(pick(4) == 0 ? 0xFFFF : pick(block.size() + 64));
        block[at] = static_cast<char>(v & 0xFF);
        block[at + 1] = static_cast<char>(v >> 8);
      }
      break;
    }
    default:  // cut, then damage what is left
      block.resize(pick(block.size() + 1));
      if (!block.empty()) block[pick(block.size())] = static_cast<char>(pick(256));
      break;
  }
  return block;
}

}  // namespace

TEST(VersionBlockFuzz, VersionReaderOverDamagedBlocks) {
  const std::vector<std::string> seeds = Seeds();
  const std::set<std::string> oses = {"DOS-Win16", "DOS-Win32", "OS/2-16 PM-16", "OS/2-16 PM-32",
                                      "NT-Win32",  "Unknown"};
  const std::set<std::string> types = {"Application", "DLL", "Driver", "Font", "VxD", "Unknown", "Lib"};
  const std::regex version(R"(-?\d+\.-?\d{2,}\.-?\d{4,})");
  std::mt19937 rng(4711);
  int available = 0;
  for (int round = 0; round < 2000; ++round) {
    FakePlatform fake;
    CFileVersionInfo info(fake.platform);
    const std::string damaged = Mutate(seeds[round % seeds.size()], rng);
    fake.version.SetRawBlock("C:\\x.exe", damaged);
    info.FullPathName("C:\\x.exe");

    // Available exactly when the block yields a whole fixed record.
    bool record = false;
    if (std::uint32_t size = fake.version.InfoSize("C:\\x.exe")) {
      std::vector<unsigned char> buffer(size);
      fake.version.InfoData("C:\\x.exe", size, buffer.data());
      const void* value = nullptr;
      std::uint32_t len = 0;
      record = fake.version.QueryValue(buffer.data(), "\\", &value, &len) && len >= 52;
    }
    ASSERT_EQ(record, info.Available()) << round;
    if (!info.Available()) {
      ASSERT_EQ("", info.VerFile()) << round;
      continue;
    }
    ++available;
    ASSERT_TRUE(std::regex_match(info.VerFile(), version)) << round << " " << info.VerFile();
    ASSERT_TRUE(std::regex_match(info.VerProduct(), version)) << round << " " << info.VerProduct();
    ASSERT_TRUE(oses.count(info.FileOS())) << round;
    ASSERT_TRUE(types.count(info.FileType())) << round;
    for (int i = 0; i < 15; ++i) {
      const std::string v = info.PredefinedValue(i);
      ASSERT_EQ(std::string::npos, v.find('\0')) << round << " item " << i;
      ASSERT_LE(v.size(), damaged.size()) << round << " item " << i;
    }
  }
  EXPECT_GT(available, 400);
}
