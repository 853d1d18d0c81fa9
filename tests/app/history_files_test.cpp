// The controller's history files as the Alarm page shows them, and the warning numbers.
#include <gtest/gtest.h>

#include "app/pages/history_files.h"
#include "tests/app/program_home.h"

namespace talvo::app::test {
namespace {

using Lines = std::vector<std::string>;

TEST(AlarmHistory, RecordsNewestFirstWithTheirContinuations) {
  const struct {
    const char* what;
    Lines file;
    Lines shown;
  } cases[] = {
      {"a continuation joins its message, trimmed",
       {"H1", "M1", "H2", "M2", "  more"},
       {"H2", "M2more", "", "H1", "M1", ""}},
      {"empty lines between records are skipped",
       {"", "H1", "", "M1", "", "", "H2", "M2", ""},
       {"H2", "M2", "", "H1", "M1", ""}},
      {"a header alone at the end is not shown", {"H1", "M1", "H2"}, {"H1", "M1", ""}},
      {"an empty line ends a message before a blank-led line",
       {"H1", "M1", "", " not a continuation"},
       {"H1", "M1", ""}},
      {"a line that does not begin with a blank starts the next record",
       {"H1", "M1", "\tH2", "M2"},
       {"\tH2", "M2", "", "H1", "M1", ""}},
      {"an empty file", {}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(AlarmHistoryLines(c.file), c.shown) << c.what;
}

TEST(OperationHistory, TheRingFromTheLastRecordWrittenBackToTheOldest) {
  const struct {
    const char* what;
    Lines file;
    Lines shown;
  } cases[] = {
      {"write index 2: the older part C, D first, newest on top",
       {"A", "a", "B", "b", "C", "c", "D", "d", " 2 "},
       {"B", "b", "", "A", "a", "", "D", "d", "", "C", "c", ""}},
      {"a blank first line ends its pass: only record 0",
       {"A", "a", "  ", "b", "C", "c", "0"},
       {"A", "a", ""}},
      {"a blank second line is left out", {"A", " ", "B", "b", "1"}, {"A", "", "B", "b", ""}},
      {"a write index that is no number counts as 0", {"A", "a", "B", "b", "x"},
       {"B", "b", "", "A", "a", ""}},
      {"a write index past the ring is held to it", {"A", "a", "B", "b", "99"},
       {"B", "b", "", "A", "a", ""}},
      {"a negative write index is held to 0", {"A", "a", "B", "b", "-3"},
       {"B", "b", "", "A", "a", ""}},
      {"a record cut short by the index line", {"A", "a", "B", "1"}, {"A", "a", ""}},
      {"the index line alone", {"0"}, {}},
      {"an empty file", {}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(OperationHistoryLines(c.file), c.shown) << c.what;
}

TEST(HistoryFile, LinesSplitAtEveryKindOfLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines(""), Lines{});

  ProgramHome home;
  home.WriteFile("Machine/CNCSYS.LOG", "H1\r\nM1\r\n");
  EXPECT_EQ(ReadTextLines(home.Path("Machine/CNCSYS.LOG")), (Lines{"H1", "M1"}));
  EXPECT_FALSE(ReadTextLines(home.Path("Machine/OPMSG.LOG")).has_value());
}

TEST(Warnings, PlcWarningsShowOneHigher) {
  const struct {
    int read, shown;
  } cases[] = {{1999, 1999}, {2000, 2001}, {2500, 2501}, {2998, 2999}, {2999, 2999}, {9000, 9000}};
  for (const auto& c : cases) EXPECT_EQ(ShownWarningNumber(c.read), c.shown) << c.read;
}

}  // namespace
}  // namespace talvo::app::test
