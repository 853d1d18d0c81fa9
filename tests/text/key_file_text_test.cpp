// Key files as bytes: what reads answer in files people and other programs wrote (damaged
// ones included), and that an edit changes the bytes of its own key's line and nothing else.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/key_file_text.h"

namespace talvo::text {
namespace {

using namespace std::string_literals;
using Edit = KeyFileText::Edit;

const std::string kLongValue(64 * 1024, 'a');
const std::string kNulFile =
    "[OPTIONS]\nLANGUAGE=0\n\0\nSHOW\0TIMER=3\n[MACHINEDATA]\nCNCCOUNT=2\nCNCIP1=10.0.0.2\n"s;

TEST(KeyFileText, ReadsAnswerPastWhatTheyCannotRead) {
  const struct {
    const char* what;
    std::string bytes;
    const char* section;
    std::string key;
    std::optional<std::string> value;
  } cases[] = {
      {"CR LF", "[A]\r\nk=1\r\nn=2\r\n", "A", "n", "2"},
      {"lone CR", "[A]\rk=1\r[B]\rk=2\r", "B", "k", "2"},
      {"no final line end", "[A]\nk=1", "A", "k", "1"},
      {"names without regard to case, trimmed", "[ options ]\n  Language = 1 \t\n", "OPTIONS",
       "LANGUAGE", "1"},
      {"a key written twice: the first", "[A]\nk=1\nk=2\n", "A", "k", "1"},
      {"a section written twice is searched in order", "[A]\nk=1\n[B]\n[a]\nk=2\nm=3\n", "A",
       "m", "3"},
      {"a key of the section below is not this one's", "[A]\n[B]\nk=1\n", "A", "k",
       std::nullopt},
      {"NUL bytes in OPTIONS, MACHINEDATA after them", kNulFile, "MACHINEDATA", "CNCIP1",
       "10.0.0.2"},
      {"NUL bytes: the keys before them", kNulFile, "OPTIONS", "LANGUAGE", "0"},
      {"NUL bytes: a key holding one", kNulFile, "OPTIONS", "SHOW\0TIMER"s, "3"},
      {"a 64 KiB line", "[A]\nlong=" + kLongValue + "\nk=1\n", "A", "long", kLongValue},
      {"after a 64 KiB line", "[A]\nlong=" + kLongValue + "\nk=1\n", "A", "k", "1"},
      {"Big5 bytes, a backslash among them", "[M]\nCNCNAME0=\xA4\xA4\xA5\x5C\n", "M",
       "CNCNAME0", "\xA4\xA4\xA5\x5C"},
      {"junk and an unclosed header", "[A]\n\xFF\xFE[broken\n=novalue\nnoequals\nk=1\n", "A",
       "k", "1"},
      {"a comment is no key", "[A]\n;k=1\n# k=2\n", "A", "k", std::nullopt},
      {"'=' in a value", "[A]\nk=a=b\n", "A", "k", "a=b"},
      {"an empty value", "[A]\nk=  \n", "A", "k", ""},
      {"keys above the first header", "k=1\n[A]\n", "", "k", "1"},
      {"a byte-order mark", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "1"},
  };
  for (const auto& c : cases) {
    const KeyFileText text(c.bytes);
    EXPECT_EQ(text.Bytes(), c.bytes) << c.what;
    const auto found = text.Find(c.section, c.key);
    EXPECT_EQ(found ? std::optional<std::string>(*found) : std::nullopt, c.value) << c.what;
  }
}

TEST(KeyFileText, EditsChangeOnlyTheirOwnLine) {
  enum Op { kSet, kRemove };
  const struct {
    const char* what;
    std::string before;
    Op op;
    const char* section;
    const char* key;
    const char* value;
    Edit result;
    std::string after;
  } cases[] = {
      {"a value, CR LF kept", "[A]\r\nk=1\r\nn=2\r\n", kSet, "A", "k", "22", Edit::kChanged,
       "[A]\r\nk=22\r\nn=2\r\n"},
      {"a value, blanks around it kept", "[A]\nk = 1 \t\n", kSet, "a", "K", "2", Edit::kChanged,
       "[A]\nk = 2 \t\n"},
      {"a value on a last line without line end", "[A]\nk=1", kSet, "A", "k", "5",
       Edit::kChanged, "[A]\nk=5"},
      {"the first of a key written twice", "[A]\nk=1\nk=2\n", kSet, "A", "k", "3",
       Edit::kChanged, "[A]\nk=3\nk=2\n"},
      {"the value already stored", "[A]\r\nk = 1 \r\n", kSet, "A", "k", "1", Edit::kUnchanged,
       "[A]\r\nk = 1 \r\n"},
      {"a new key after the section's last key, in lone-CR style", "[A]\rk=1\r[B]\rk=2\r\r",
       kSet, "B", "n", "3", Edit::kChanged, "[A]\rk=1\r[B]\rk=2\rn=3\r\r"},
      {"a new key before the blank and comment lines that end a section",
       "[A]\nk=1\n\n; next\n[B]\n", kSet, "A", "n", "2", Edit::kChanged,
       "[A]\nk=1\nn=2\n\n; next\n[B]\n"},
      {"a new key in a section without keys", "[A]\r\n[B]\r\nk=1\r\n", kSet, "A", "n", "2",
       Edit::kChanged, "[A]\r\nn=2\r\n[B]\r\nk=1\r\n"},
      {"a new key into the first of two same-named sections", "[A]\nk=1\n[B]\nx=1\n[a]\nm=3\n",
       kSet, "A", "n", "9", Edit::kChanged, "[A]\nk=1\nn=9\n[B]\nx=1\n[a]\nm=3\n"},
      {"a key found in the second of two same-named sections", "[A]\nk=1\n[a]\nm=3\n", kSet,
       "A", "m", "4", Edit::kChanged, "[A]\nk=1\n[a]\nm=4\n"},
      {"a new key after a last line without line end", "[A]\nk=1", kSet, "A", "n", "2",
       Edit::kChanged, "[A]\nk=1\nn=2"},
      {"a new section at the end, in CR LF style", "[A]\r\nk=1\r\n", kSet, "B", "x", "1",
       Edit::kChanged, "[A]\r\nk=1\r\n[B]\r\nx=1\r\n"},
      {"a new section after a last line without line end", "[A]\nk=1", kSet, "B", "x", "1",
       Edit::kChanged, "[A]\nk=1\n[B]\nx=1\n"},
      {"a new section in an empty file", "", kSet, "B", "x", "1", Edit::kChanged,
       "[B]\nx=1\n"},
      {"NUL bytes stay where they are", kNulFile, kSet, "MACHINEDATA", "CNCCOUNT", "3",
       Edit::kChanged,
       "[OPTIONS]\nLANGUAGE=0\n\0\nSHOW\0TIMER=3\n[MACHINEDATA]\nCNCCOUNT=3\nCNCIP1=10.0.0.2\n"s},
      {"Big5 bytes written as they are", "[M]\nCNCNAME0=x\n", kSet, "M", "CNCNAME0",
       "\xA4\xA4\xA5\x5C", Edit::kChanged, "[M]\nCNCNAME0=\xA4\xA4\xA5\x5C\n"},
      {"after a 64 KiB line", "[A]\nlong=" + kLongValue + "\r\nk=1\r\n", kSet, "A", "n", "2",
       Edit::kChanged, "[A]\nlong=" + kLongValue + "\r\nk=1\r\nn=2\r\n"},
      {"a key above the first header, after the byte-order mark", "\xEF\xBB\xBF[A]\n", kSet, "",
       "k", "1", Edit::kChanged, "\xEF\xBB\xBFk=1\n[A]\n"},
      {"delete: just that line", "[A]\r\nk=1\r\nn=2\r\n", kRemove, "A", "k", "", Edit::kChanged,
       "[A]\r\nn=2\r\n"},
      {"delete: every line that would answer", "[A]\nk=1\n[B]\nk=b\n[A]\nk=2\nn=3\n", kRemove,
       "a", "K", "", Edit::kChanged, "[A]\n[B]\nk=b\n[A]\nn=3\n"},
      {"delete: the byte-order mark stays", "\xEF\xBB\xBFk=1\n[A]\n", kRemove, "", "k", "",
       Edit::kChanged, "\xEF\xBB\xBF[A]\n"},
      {"delete: nothing to delete", "[A]\nk=1\n", kRemove, "B", "k", "", Edit::kUnchanged,
       "[A]\nk=1\n"},
      {"refused: a value holding a line end", "[A]\nk=1\n", kSet, "A", "k", "1\n[B]",
       Edit::kRefused, "[A]\nk=1\n"},
      {"refused: a key holding '='", "[A]\n", kSet, "A", "k=", "1", Edit::kRefused, "[A]\n"},
      {"refused: a section holding ']'", "", kSet, "A]", "k", "1", Edit::kRefused, ""},
  };
  for (const auto& c : cases) {
    KeyFileText text(c.before);
    const Edit result = c.op == kSet ? text.Set(c.section, c.key, c.value)
                                     : text.Remove(c.section, c.key);
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(text.Bytes(), c.after) << c.what;
    // The edit is seen at once.
    if (c.result == Edit::kChanged) {
      EXPECT_EQ(text.Find(c.section, c.key),
                c.op == kSet ? std::optional<std::string_view>(c.value) : std::nullopt)
          << c.what;
    }
  }
}

}  // namespace
}  // namespace talvo::text
