#include "text/cvcode.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "text/interface_language.h"

namespace talvo::text {
namespace {

enum class Direction { kBig5ToGb, kGbToBig5 };

struct ConversionCase {
  const char* name;
  Direction direction;
  std::string input;
  std::string expected;
};

void PrintTo(const ConversionCase& testCase, std::ostream* out) { *out << testCase.name; }

std::string Convert(Direction direction, const std::string& text) {
  return direction == Direction::kBig5ToGb ? BIG5toGB(text) : GBtoBIG5(text);
}

class ConversionTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(ConversionTest, ConvertsPairsAndPassesTheRest) {
  EXPECT_EQ(Convert(GetParam().direction, GetParam().input), GetParam().expected);
}

using std::string_literals::operator""s;

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ConversionTest,
    testing::Values(
        ConversionCase{"AsciiFromBig5", Direction::kBig5ToGb, "abc", "abc"},
        ConversionCase{"AsciiFromGb", Direction::kGbToBig5, "abc", "abc"},
        ConversionCase{"OneFromBig5", Direction::kBig5ToGb, "\xA4\x40", "\xD2\xBB"},
        ConversionCase{"OneFromGb", Direction::kGbToBig5, "\xD2\xBB", "\xA4\x40"},
        ConversionCase{"CountryToSimplified", Direction::kBig5ToGb, "\xB0\xEA", "\xB9\xFA"},
        ConversionCase{"CountryToTraditional", Direction::kGbToBig5, "\xB9\xFA", "\xB0\xEA"},
        ConversionCase{"FullWidthZero", Direction::kBig5ToGb, "\xA2\xAF", "\xA3\xB0"},
        ConversionCase{"Big5FullWidthSpace", Direction::kBig5ToGb, "\xA1\x40", "  "},
        ConversionCase{"GbFullWidthSpace", Direction::kGbToBig5, "\xA1\xA1", "  "},
        ConversionCase{"Big5PositionWithoutCharacter", Direction::kBig5ToGb, "\xA3\xE1", "  "},
        ConversionCase{"LoneFinalBig5Lead", Direction::kBig5ToGb, "ab\xA4", "ab\xA4"},
        ConversionCase{"LoneFinalGbLead", Direction::kGbToBig5, "ab\xB0", "ab\xB0"},
        ConversionCase{"GbLeadBeforeAscii", Direction::kGbToBig5, "\xB0\x41", "\xB0\x41"},
        ConversionCase{"Big5LeadBeforeDigit", Direction::kBig5ToGb, "\xA4" "0", "\xA4" "0"},
        ConversionCase{"Big5LeadBeforeNul", Direction::kBig5ToGb, "\xA4\0"s, "\xA4\0"s},
        ConversionCase{"Big5TrailGapAfter7E", Direction::kBig5ToGb, "\xA4\x7F", "\xA4\x7F"},
        ConversionCase{"Big5LeadFFBeyondTable", Direction::kBig5ToGb, "\xFF\x40", "\xFF\x40"},
        ConversionCase{"GbLeadBeyondF7", Direction::kGbToBig5, "\xF8\xA1", "\xF8\xA1"},
        // Pairs are taken from the left: the second A4 is a trail, the third a lead.
        ConversionCase{"PairsFromTheLeft", Direction::kBig5ToGb, "\xA4\xA4\xA4\x40",
                       "\xD6\xD0\xD2\xBB"},
        ConversionCase{"MixedText", Direction::kBig5ToGb, "T1 \xBE\xF7\xA7\xC9 OK",
                       "T1 \xBB\xFA\xB4\xB2 OK"},
        ConversionCase{"SkippedLeadLetsNextPairConvert", Direction::kGbToBig5,
                       "\xB0\x41\xD2\xBB", "\xB0\x41\xA4\x40"}),
    [](const testing::TestParamInfo<ConversionCase>& info) { return info.param.name; });

struct PairTestCase {
  const char* name;
  std::string text;
  bool big5;
  bool gb;
};

void PrintTo(const PairTestCase& testCase, std::ostream* out) { *out << testCase.name; }

class PairTest : public testing::TestWithParam<PairTestCase> {};

TEST_P(PairTest, LooksAtTheFirstTwoBytes) {
  EXPECT_EQ(isBIG5(GetParam().text), GetParam().big5);
  EXPECT_EQ(isGB(GetParam().text), GetParam().gb);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PairTest,
    testing::Values(PairTestCase{"Empty", "", false, true},
                    PairTestCase{"Ascii", "ab", false, false},
                    PairTestCase{"InBoth", "\xB0\xA1", true, true},
                    PairTestCase{"Big5LowTrail", "\xA4\x40", true, false},
                    PairTestCase{"GbLeadBeyondF7", "\xF8\xA1", true, false},
                    PairTestCase{"LeadFF", "\xFF\x40", true, false},
                    PairTestCase{"OnlyFirstPairCounts", "a\xB0\xA1", false, false}),
    [](const testing::TestParamInfo<PairTestCase>& info) { return info.param.name; });

TEST(ControllerTextTest, OnlySimplifiedChineseConverts) {
  const std::string big5 = "\xB0\xEA";
  const std::string gb = "\xB9\xFA";
  for (int language : {kTraditionalChinese, kEnglish, kUserLanguage, -1, 4}) {
    std::string fromController;
    std::string toController;
    FromControllerText(language, big5, fromController);
    ToControllerText(language, gb, toController);
    EXPECT_EQ(fromController, big5) << "language " << language;
    EXPECT_EQ(toController, gb) << "language " << language;
  }
  std::string fromController;
  std::string toController;
  FromControllerText(kSimplifiedChinese, big5, fromController);
  ToControllerText(kSimplifiedChinese, gb, toController);
  EXPECT_EQ(fromController, gb);
  EXPECT_EQ(toController, big5);
}

TEST(ControllerTextTest, ConvertsInPlace) {
  std::string text = "\xA4\x40";
  FromControllerText(kSimplifiedChinese, text, text);
  EXPECT_EQ(text, "\xD2\xBB");
  ToControllerText(kSimplifiedChinese, text, text);
  EXPECT_EQ(text, "\xA4\x40");
}

}  // namespace
}  // namespace talvo::text
