#include "text/screen_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <system_error>

#include "text/cvcode.h"
#include "text/iconv_conversion.h"
#include "text/interface_language.h"
#include "text/utf8.h"

namespace talvo::text {
namespace {

struct CodePageCase {
  const char* name;
  int language;
  std::string bytes;
  std::string utf8;
};

void PrintTo(const CodePageCase& testCase, std::ostream* out) { *out << testCase.name; }

class DecodeTest : public testing::TestWithParam<CodePageCase> {};

TEST_P(DecodeTest, DecodesByInterfaceLanguage) {
  EXPECT_EQ(ControllerBytesToUtf8(GetParam().language, GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    ControllerBytes, DecodeTest,
    testing::Values(
        CodePageCase{"Ascii", kTraditionalChinese, "O1234", "O1234"},
        CodePageCase{"Big5", kTraditionalChinese, "\xA4\xA4\xA4\xE5", "中文"},
        CodePageCase{"Gb2312", kSimplifiedChinese, "\xD6\xD0\xCE\xC4", "中文"},
        CodePageCase{"GbkBeyondGb2312", kSimplifiedChinese, "\x81\x40", "丂"},
        CodePageCase{"Cp1252", kEnglish, "caf\xE9", "café"},
        CodePageCase{"Cp1252EuroNotLatin1", kUserLanguage, "5\x80", "5€"},
        // GB2312 "状态" is well-formed UTF-8 as well; the code page wins.
        CodePageCase{"GbThatLooksLikeUtf8", kSimplifiedChinese, "\xD7\xB4\xCC\xAC", "状态"},
        CodePageCase{"Utf8KeptEnglish", kEnglish, "café", "café"},
        CodePageCase{"LoneFinalBig5Lead", kTraditionalChinese, "A\xA4", "A?"},
        CodePageCase{"Big5LeadBeforeAscii", kTraditionalChinese, "\xA4" "0B", "?0B"},
        // A well-formed pair without a character is one unknown character: its trail '@'
        // must not show.
        CodePageCase{"UnmappedBig5Pair", kTraditionalChinese, "\xFA@x", "?x"},
        CodePageCase{"GbByteFF", kSimplifiedChinese, "\xFF" "A\xD6\xD0", "?A中"},
        CodePageCase{"Cp1252Unassigned", kEnglish, "a\x81" "b\x8D", "a?b?"}),
    [](const testing::TestParamInfo<CodePageCase>& info) { return info.param.name; });

class EncodeTest : public testing::TestWithParam<CodePageCase> {};

TEST_P(EncodeTest, EncodesTypedTextByInterfaceLanguage) {
  EXPECT_EQ(Utf8ToControllerBytes(GetParam().language, GetParam().utf8), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    TypedText, EncodeTest,
    testing::Values(
        CodePageCase{"Big5", kTraditionalChinese, "\xA4\xA4\xA4\xE5", "中文"},
        CodePageCase{"Gb2312", kSimplifiedChinese, "\xD6\xD0\xCE\xC4", "中文"},
        CodePageCase{"Cp1252", kEnglish, "caf\xE9 5\x80", "café 5€"},
        CodePageCase{"Ascii", kUserLanguage, "G54 X10.", "G54 X10."},
        // One '?' per missing character, however many bytes it has in UTF-8.
        CodePageCase{"HanziInCp1252", kEnglish, "?x?", "中x😀"},
        CodePageCase{"TraditionalNotInGb2312", kSimplifiedChinese, "?", "國"},
        CodePageCase{"GbkOnlyNotSent", kSimplifiedChinese, "?", "丂"},
        CodePageCase{"CutOffUtf8", kEnglish, "a??", "a\xE4\xB8"}),
    [](const testing::TestParamInfo<CodePageCase>& info) { return info.param.name; });

TEST(ScreenTextTest, TypedTextReachesTheControllerInBig5AndComesBack) {
  std::string toController;
  ToControllerText(kSimplifiedChinese, Utf8ToControllerBytes(kSimplifiedChinese, "国"),
                   toController);
  EXPECT_EQ(toController, "\xB0\xEA");

  std::string fromController;
  FromControllerText(kSimplifiedChinese, toController, fromController);
  EXPECT_EQ(ControllerBytesToUtf8(kSimplifiedChinese, fromController), "国");
}

std::string EveryBytePair() {
  std::string bytes;
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      bytes += static_cast<char>(first);
      bytes += static_cast<char>(second);
    }
  }
  return bytes;
}

TEST(ScreenTextTest, AnyBytesDecodeToValidUtf8) {
  const std::string bytes = EveryBytePair();
  for (int language : {kTraditionalChinese, kSimplifiedChinese, kEnglish}) {
    EXPECT_TRUE(IsValidUtf8(ControllerBytesToUtf8(language, bytes))) << "language " << language;
  }
}

TEST(ScreenTextTest, AnyBytesEncodeWithoutStopping) {
  const std::string bytes = EveryBytePair() + "END";
  for (int language : {kTraditionalChinese, kSimplifiedChinese, kEnglish}) {
    const std::string encoded = Utf8ToControllerBytes(language, bytes);
    EXPECT_TRUE(encoded.ends_with("END")) << "language " << language;
  }
}

TEST(ScreenTextTest, UnknownCodePageIsReported) {
  EXPECT_THROW(IconvConvert("NO-SUCH-CODE-PAGE", "UTF-8", "x",
                            [](std::string_view, std::size_t) -> std::size_t { return 1; }),
               std::system_error);
}

}  // namespace
}  // namespace talvo::text
