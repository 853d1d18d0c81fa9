#include "text/json.h"

#include <gtest/gtest.h>

#include <string>

namespace talvo::text::json {
namespace {

TEST(Json, ReadsBackWhatItWrites) {
  const Value written = Object{
      {"text", "quote \" backslash \\ tab \t line\n bell \x07 \xE4\xB8\xAD"},
      {"whole", std::int64_t{-9007199254740993}},  // beyond a double's exact integers
      {"fraction", 0.1},
      {"flags", Array{true, false, Value()}},
      {"empty", Object{}},
  };
  const std::string text = Write(written);
  std::string error;
  const auto read = Parse(text, &error);
  ASSERT_TRUE(read) << error << "\n" << text;
  EXPECT_EQ(*read->Find("text")->String(), *written.Find("text")->String());
  EXPECT_EQ(*read->Find("whole")->Integer(), -9007199254740993);
  EXPECT_EQ(std::get<double>(read->Find("fraction")->data), 0.1);
  ASSERT_EQ(read->Find("flags")->Items()->size(), 3u);
  EXPECT_EQ(*(*read->Find("flags")->Items())[0].Boolean(), true);
  EXPECT_TRUE(std::holds_alternative<std::nullptr_t>((*read->Find("flags")->Items())[2].data));
  EXPECT_EQ(read->Find("missing"), nullptr);
  // The control character is written as an escape, not raw: raw ones are not JSON.
  EXPECT_NE(text.find("\\u0007"), std::string::npos);
}

TEST(Json, DecodesEscapesToUtf8) {
  const auto read = Parse(R"(["\u00e9\ud83d\ude00\/\b\f\r"])");
  ASSERT_TRUE(read);
  EXPECT_EQ(*(*read->Items())[0].String(), "\xC3\xA9\xF0\x9F\x98\x80/\b\f\r");
}

TEST(Json, RefusesWhatIsNotJson) {
  const std::string deep = std::string(65, '[') + std::string(65, ']');
  const char* cases[] = {
      "",           "{",        "[1,]",          "{\"a\":1,}",  "01",       "1.",
      "-",          "1e",       "tru",           "\"a",         "\"\x01\"", "\"\\x\"",
      "\"\\ud800\"", "\"\\udc00\"", "[1] [2]",   "{\"a\" 1}",   "{1:2}",    "\"\xC0\x80\"",
      "1e999",
  };
  for (const char* text : cases) {
    std::string error;
    EXPECT_FALSE(Parse(text, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
  EXPECT_FALSE(Parse(deep));
  EXPECT_TRUE(Parse(std::string(64, '[') + std::string(64, ']')));
}

}  // namespace
}  // namespace talvo::text::json
