#include "text/hmi_merge.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace talvo::text {
namespace {

std::vector<std::string> Merged(const std::vector<std::string>& work) {
  std::vector<std::string> hmi;
  MergeLines(work, &hmi);
  return hmi;
}

TEST(MergeLines, CommentBlocksAreDroppedUpToALineBeginningWithTheCloser) {
  struct Case {
    const char* name;
    std::vector<std::string> work;
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      {"a one-line comment still runs to the next closer line",
       {"/* header */", "10001=Auto"},
       {}},
      {"boundary lines and what lies between are dropped",
       {"/*", "note", "*/", "10001=Auto"},
       {"10001=Auto"}},
      {"the closer counts only at the start of a line",
       {"/* a", "x */", "*/ tail", "10000=Edit"},
       {"10000=Edit"}},
      {"blank lines and lines outside blocks are kept unchanged",
       {"", "10000=Edit ", "  /* not a block", "*/"},
       {"", "10000=Edit ", "  /* not a block", "*/"}},
      {"an unclosed block drops the rest of the file",
       {"1=a", "/*", "2=b"},
       {"1=a"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Merged(c.work), c.kept) << c.name;
}

TEST(MergeLines, EachFileStartsOutsideAComment) {
  std::vector<std::string> hmi{"[HMISTRINGTABLE]"};
  MergeLines({"/*", "open at the end of the first file"}, &hmi);
  MergeLines({"10001=Auto"}, &hmi);
  EXPECT_EQ(hmi, (std::vector<std::string>{"[HMISTRINGTABLE]", "10001=Auto"}));
}

TEST(SplitLines, AcceptsEveryLineBreakAndAddsNoLineForAFinalBreak) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(SplitLines("").empty());
  // Big5 trail bytes are ordinary bytes: nothing but CR and LF splits a line.
  EXPECT_EQ(SplitLines("1=\xa4\x40\xa5\\\r\n"), (std::vector<std::string>{"1=\xa4\x40\xa5\\"}));
}

TEST(SaveLines, WritesCrLfLinesAndReadsThemBack) {
  const auto dir = std::filesystem::temp_directory_path() / "talvo_hmi_save";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "DspE.str").string();
  ASSERT_TRUE(SaveLines(path, {"[HMISTRINGTABLE]", "10000=EDIT"}));
  std::vector<std::string> back;
  ASSERT_TRUE(LoadLines(path, &back));
  EXPECT_EQ(back, (std::vector<std::string>{"[HMISTRINGTABLE]", "10000=EDIT"}));
  EXPECT_EQ(std::filesystem::file_size(path), 30u);
  EXPECT_FALSE(std::filesystem::exists(path + ".part"));
  std::filesystem::remove_all(dir);
}

TEST(SaveLines, AFailedWriteKeepsTheOldFile) {
  const auto dir = std::filesystem::temp_directory_path() / "talvo_hmi_keep";
  std::filesystem::create_directories(dir / "DspE.str.part");  // the temporary name is taken
  const std::string path = (dir / "DspE.str").string();
  std::ofstream(path) << "old";
  EXPECT_FALSE(SaveLines(path, {"new"}));
  std::vector<std::string> back;
  ASSERT_TRUE(LoadLines(path, &back));
  EXPECT_EQ(back, std::vector<std::string>{"old"});
  EXPECT_FALSE(LoadLines((dir / "missing").string(), &back));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace talvo::text
