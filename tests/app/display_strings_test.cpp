// The controller's display strings as the pages read them.
#include <gtest/gtest.h>

#include "app/language/display_strings.h"
#include "tests/app/program_home.h"

namespace talvo::app::test {
namespace {

TEST(DisplayStrings, FileChoiceByLanguageAndDemoMode) {
  const struct {
    int language;
    bool demo;
    const char* file;
  } cases[] = {{0, false, "DspC.str"}, {1, false, "DspC.str"}, {2, false, "DspE.str"},
               {3, false, "Dsp.str"},  {0, true, "Dsp.str"},   {2, true, "Dsp.str"}};
  for (const auto& c : cases)
    EXPECT_EQ(TDisplayStrings::FileName(c.language, c.demo), c.file) << c.language << c.demo;
}

TEST(DisplayStrings, TrimmedConvertedAndReadAgainWhenTheFileChanges) {
  ProgramHome home;
  // 10001 holds Big5 for 中文, padded with blanks; 10002 is present but empty.
  home.WriteFile("Resource/DspC.str",
                 "[HMISTRINGTABLE]\n10001=  \xA4\xA4\xA4\xE5  \n10002=\n10003=AUTO\n");
  TDisplayStrings traditional(home.Path("Resource/DspC.str"), 0);
  TDisplayStrings simplified(home.Path("Resource/DspC.str"), 1);
  EXPECT_EQ(traditional.Text(10001), QString::fromUtf8("中文"));
  EXPECT_EQ(traditional.Bytes(10001), "\xA4\xA4\xA4\xE5");
  EXPECT_EQ(simplified.Bytes(10001), "\xD6\xD0\xCE\xC4") << "Big5 becomes GB2312";
  EXPECT_EQ(simplified.Text(10001), QString::fromUtf8("中文"));
  EXPECT_EQ(traditional.Text(10002), "");
  EXPECT_EQ(traditional.Text(10004), "") << "a missing key";
  EXPECT_EQ(traditional.Text(10003), "AUTO");

  // A new connection writes the file again: the next read sees the new texts.
  home.WriteFile("Resource/DspC.str", "[HMISTRINGTABLE]\n10003=MDI mode\n");
  EXPECT_EQ(traditional.Text(10003), "MDI mode");
  std::filesystem::remove(home.Path("Resource/DspC.str"));
  EXPECT_EQ(traditional.Text(10003), "") << "no file, no texts";
}

}  // namespace
}  // namespace talvo::app::test
