#include "text/utf8.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace talvo::text {
namespace {

struct Utf8Case {
  const char* name;
  std::string text;
  bool valid;
};

void PrintTo(const Utf8Case& testCase, std::ostream* out) { *out << testCase.name; }

class Utf8Test : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Test, AcceptsOnlyWellFormedText) {
  EXPECT_EQ(IsValidUtf8(GetParam().text), GetParam().valid);
}

using std::string_literals::operator""s;

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8Test,
    testing::Values(Utf8Case{"Empty", "", true},
                    Utf8Case{"AsciiWithNul", "G01\0X"s, true},
                    Utf8Case{"ThreeBytes", "\xE4\xB8\xAD", true},
                    Utf8Case{"FourBytes", "\xF0\x9F\x98\x80", true},
                    Utf8Case{"FirstThreeByteCodePoint", "\xE0\xA0\x80", true},
                    Utf8Case{"LastBeforeSurrogates", "\xED\x9F\xBF", true},
                    Utf8Case{"LastCodePoint", "\xF4\x8F\xBF\xBF", true},
                    Utf8Case{"OverlongTwoBytes", "\xC0\x80", false},
                    Utf8Case{"OverlongThreeBytes", "\xE0\x9F\xBF", false},
                    Utf8Case{"Surrogate", "\xED\xA0\x80", false},
                    Utf8Case{"BeyondLastCodePoint", "\xF4\x90\x80\x80", false},
                    Utf8Case{"CutOffAtEnd", "ab\xE4\xB8", false},
                    Utf8Case{"AsciiInsideSequence", "\xE4" "a\xAD", false},
                    Utf8Case{"Big5Text", "\xA4\xA4\xA4\xE5", false},
                    Utf8Case{"Cp1252Text", "caf\xE9", false}),
    [](const testing::TestParamInfo<Utf8Case>& info) { return info.param.name; });

}  // namespace
}  // namespace talvo::text
