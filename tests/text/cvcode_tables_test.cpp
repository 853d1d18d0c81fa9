// Properties of the generated tables, checked through the conversion functions so that a
// regenerated table with shifted rows, a wrong source or swapped bytes is caught.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>

#include "text/cvcode.h"
#include "text/cvcode_tables.h"

namespace talvo::text {
namespace {

constexpr std::uint16_t kBlank = 0x2020;

std::string Pair(unsigned code) {
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

unsigned Code(const std::string& pair) {
  return static_cast<unsigned char>(pair[0]) << 8 | static_cast<unsigned char>(pair[1]);
}

bool IsBig5Code(unsigned code) {
  const unsigned lead = code >> 8;
  const unsigned trail = code & 0xFF;
  return lead >= 0xA1 && lead <= 0xFE &&
         ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE));
}

bool IsGbCode(unsigned code) {
  const unsigned lead = code >> 8;
  const unsigned trail = code & 0xFF;
  return lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

struct CommonText {
  const char* meaning;
  std::string big5;
  std::string gb;
};

void PrintTo(const CommonText& testCase, std::ostream* out) { *out << testCase.meaning; }

class CommonTextTest : public testing::TestWithParam<CommonText> {};

TEST_P(CommonTextTest, ConvertsBothWays) {
  EXPECT_EQ(BIG5toGB(GetParam().big5), GetParam().gb);
  EXPECT_EQ(GBtoBIG5(GetParam().gb), GetParam().big5);
}

// Written out from Python's big5 and gb2312 codecs, independently of the tables.
INSTANTIATE_TEST_SUITE_P(
    ControllerWords, CommonTextTest,
    testing::Values(
        CommonText{"machine tool", "\xBE\xF7\xA7\xC9", "\xBB\xFA\xB4\xB2"},
        CommonText{"alarm", "\xC4\xB5\xB3\xF8", "\xBE\xAF\xB1\xA8"},
        CommonText{"spindle speed", "\xA5\x44\xB6\x62\xC2\xE0\xB3\x74",
                   "\xD6\xF7\xD6\xE1\xD7\xAA\xCB\xD9"},
        CommonText{"coordinate system", "\xAE\x79\xBC\xD0\xA8\x74", "\xD7\xF9\xB1\xEA\xCF\xB5"},
        CommonText{"emergency stop", "\xBA\xF2\xAB\xE6\xB0\xB1\xA4\xEE",
                   "\xBD\xF4\xBC\xB1\xCD\xA3\xD6\xB9"},
        CommonText{"lubricant low", "\xBC\xED\xB7\xC6\xAA\x6F\xA4\xA3\xA8\xAC",
                   "\xC8\xF3\xBB\xAC\xD3\xCD\xB2\xBB\xD7\xE3"},
        // OpenCC's dictionary forms (啓, 爲) are not in Big5; the Taiwan forms are.
        CommonText{"open", "\xB1\xD2", "\xC6\xF4"},
        CommonText{"for", "\xAC\xB0", "\xCE\xAA"},
        CommonText{"after", "\xAB\xE1", "\xBA\xF3"},
        CommonText{"emit", "\xB5\x6F", "\xB7\xA2"},
        // The codecs decode the two sets' middle dots to different code points.
        CommonText{"middle dot", "\xA1\x50", "\xA1\xA4"}));

TEST(CvcodeTablesTest, FullWidthDigitsAndLettersKeepTheirOrder) {
  for (unsigned i = 0; i < 10; ++i) {
    EXPECT_EQ(Code(BIG5toGB(Pair(0xA2AF + i))), 0xA3B0 + i) << "digit " << i;
  }
  for (unsigned i = 0; i < 26; ++i) {
    EXPECT_EQ(Code(BIG5toGB(Pair(0xA2CF + i))), 0xA3C1 + i) << "capital " << i;
  }
}

TEST(CvcodeTablesTest, EveryEntryIsBlankOrACodeOfTheOtherSet) {
  EXPECT_TRUE(std::all_of(kBig5ToGb.begin(), kBig5ToGb.end(),
                          [](std::uint16_t gb) { return gb == kBlank || IsGbCode(gb); }));
  EXPECT_TRUE(std::all_of(kGbToBig5.begin(), kGbToBig5.end(),
                          [](std::uint16_t big5) { return big5 == kBlank || IsBig5Code(big5); }));
}

TEST(CvcodeTablesTest, ACharacterSentToTheControllerComesBackReadable) {
  for (unsigned lead = 0xA1; lead <= 0xF7; ++lead) {
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string big5 = GBtoBIG5(Pair(lead << 8 | trail));
      if (Code(big5) != kBlank) {
        EXPECT_NE(Code(BIG5toGB(big5)), kBlank) << std::hex << (lead << 8 | trail);
      }
    }
  }
}

// About 7647 Big5 and 1248 GB2312 positions are known to lack a counterpart; tables built
// from the wrong code page or with shifted rows land far from that.
TEST(CvcodeTablesTest, AboutHalfOfBig5AndAnEighthOfGbHaveNoCounterpart) {
  const auto big5Blanks = std::count(kBig5ToGb.begin(), kBig5ToGb.end(), kBlank);
  const auto gbBlanks = std::count(kGbToBig5.begin(), kGbToBig5.end(), kBlank);
  EXPECT_NEAR(big5Blanks, 7647, 7647 * 0.05);
  EXPECT_NEAR(gbBlanks, 1248, 1248 * 0.10);
}

}  // namespace
}  // namespace talvo::text
