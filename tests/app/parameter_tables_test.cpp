// The parameter grids' rules without a screen: group ranges, descriptions, go-to, search,
// the user-parameter rows and the parameter listing.
#include <gtest/gtest.h>

#include <QStringList>

#include "app/pages/parameter_listing.h"
#include "app/pages/parameter_tables.h"
#include "app/pages/user_parameter2_page.h"
#include "app/pages/user_parameter_page.h"
#include "tests/app/program_home.h"

namespace talvo::app::test {
namespace {

TEST(ParameterGroups, RangesOutsideTheTableMakeTheIndexFaulty) {
  const struct {
    int first, count;
    bool faulty;
    int rows;
  } cases[] = {
      {0, 0, true, 0},       // ends at 0, below 1
      {1, 0, false, 0},      // an empty group
      {0, 10, false, 10},    {4990, 11, false, 11}, {5000, 1, false, 1},
      {5000, 2, true, 0},    // ends past the table
      {5001, 0, true, 0},    {-1, 5, true, 0},
  };
  for (const auto& c : cases) {
    ParamIndex index;
    index.GroupStart[2] = c.first;
    index.GroupCount[2] = c.count;
    const auto range = GroupRange(index, 3);
    EXPECT_EQ(!range.has_value(), c.faulty) << c.first << "+" << c.count;
    if (range) {
      EXPECT_EQ(range->End - range->First, c.rows) << c.first << "+" << c.count;
    }
  }
  EXPECT_EQ(GroupOfSheet(1), 1);
  EXPECT_EQ(GroupOfSheet(7), 7);
  EXPECT_EQ(GroupOfSheet(8), 11) << "the sheet of \"Other\"";
}

TEST(ParameterDescriptions, OnlyTheFirstDoublePercentIsReduced) {
  EXPECT_EQ(ReduceFirstDoublePercent("feed %% of %% max"), "feed % of %% max");
  EXPECT_EQ(ReduceFirstDoublePercent("100%%%"), "100%%");
  EXPECT_EQ(ReduceFirstDoublePercent("5 % each"), "5 % each");
}

// A grid of rows 1..n: numbers "%04d" and descriptions.
struct FakeGrid {
  QStringList numbers;  // [0] is the header
  QStringList descriptions;
  TCellText Cells() const {
    return [this](int col, int row) { return col == 0 ? numbers[row] : descriptions[row]; };
  }
  int Rows() const { return static_cast<int>(numbers.size()); }
};

TEST(ParameterGoto, FindsTheRowOfANumberListedOnTheSheet) {
  const FakeGrid servo{{"No", "0001", "0002", "0141", "1999"}, {}};
  const struct {
    const char* typed;
    std::optional<int> row;
  } cases[] = {{"141", 3}, {" 2 ", 2}, {"1999", 4}, {"15", std::nullopt},  // in another group
               {"0", std::nullopt}, {"2001", std::nullopt}, {"x1", std::nullopt},
               {"", std::nullopt}};
  for (const auto& c : cases)
    EXPECT_EQ(FindParameterRow(servo.Cells(), servo.Rows(), c.typed), c.row) << c.typed;
}

TEST(ParameterSearch, NextMatchDownwardsNeverTheCurrentCell) {
  const FakeGrid grid{{"No", "0001", "0002", "0003", "0004"},
                      {"Explain", "Spindle 1 maximum speed", "Axis feed", "spindle speed gear",
                       "主軸speed"}};
  const int descriptionCol = 4;
  const struct {
    const char* what;
    int col, row;
    const char* wanted;
    std::optional<int> found;
  } cases[] = {
      {"from the top, any case", 1, 1, "speed", 1},
      {"the current description is passed over", descriptionCol, 1, " SPEED ", 3},
      {"the current row counts while another column is current", 2, 3, "SPEED", 3},
      {"after a character of two bytes on the controller", descriptionCol, 3, "SPEED", 4},
      {"nothing after the last match", descriptionCol, 4, "SPEED", std::nullopt},
      {"a text no description holds", 1, 1, "torque", std::nullopt},
      {"a blank search", 1, 1, "  ", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindDescriptionRow(grid.Cells(), grid.Rows(), c.col, c.row, c.wanted), c.found)
        << c.what;
}

TEST(UserParameters, RowsMapToTheirRegistersAndTexts) {
  const struct {
    int row, reg, function, explanation;
  } cases[] = {{1, 51, 14551, 14801}, {20, 70, 14570, 14820}, {21, 81, 14581, 14831},
               {40, 100, 14600, 14850}};
  for (const auto& c : cases) {
    EXPECT_EQ(TUserParameterPage::RegisterOfRow(c.row), c.reg);
    EXPECT_EQ(TUserParameterPage::RowOfRegister(c.reg), c.row);
    EXPECT_EQ(TUserParameterPage::TextKeys(c.row).function, c.function);
    EXPECT_EQ(TUserParameterPage::TextKeys(c.row).explanation, c.explanation);
  }
  for (int unused : {50, 71, 80, 101}) EXPECT_EQ(TUserParameterPage::RowOfRegister(unused), 0);
  EXPECT_EQ(TUserParameter2Page::TextKeys(40).function, 19540);
  EXPECT_EQ(TUserParameter2Page::TextKeys(1).explanation, 19701);
  EXPECT_EQ(TUserParameter2Page::MapIndexOfRow(3), 1844) << "parameter 1845";
}

std::string LittleEndian(const std::vector<std::int32_t>& values) {
  std::string bytes;
  for (std::int32_t v : values)
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
  return bytes;
}

TEST(ParameterListing, OneLinePerValueFromTheBackupsParameterFile) {
  std::vector<std::int32_t> values(2001);
  values[7] = -5;
  values[2000] = 2147483647;
  values[1] = -2147483647 - 1;
  ProgramHome home;
  home.WriteFile("Machine/PARAM.BIN", LittleEndian(values));  // as the backup names it
  ASSERT_TRUE(WriteParameterListing(home.Path("Machine")));
  const std::string listing = home.ReadFile("Machine/Param.txt");
  EXPECT_EQ(listing.rfind("Parameter Value Listing:\r\n No   Type     Value\r\n0000  Long", 0), 0u);
  EXPECT_NE(listing.find("\r\n0007  Long              -5\r\n"), std::string::npos);
  EXPECT_NE(listing.find("\r\n0001  Long     -2147483648\r\n"), std::string::npos);
  EXPECT_NE(listing.find("\r\n2000  Long      2147483647\r\n"), std::string::npos);
  EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 2 + 2001);

  // A file cut short lists what it holds, the value cut in two included in nothing.
  home.WriteFile("Machine/PARAM.BIN", LittleEndian({1, 2, 3}) + "\x01\x02");
  ASSERT_TRUE(WriteParameterListing(home.Path("Machine")));
  EXPECT_EQ(home.ReadFile("Machine/Param.txt"),
            "Parameter Value Listing:\r\n No   Type     Value\r\n0000  Long               1\r\n"
            "0001  Long               2\r\n0002  Long               3\r\n");

  // No parameter file: no listing.
  ProgramHome empty;
  std::filesystem::create_directories(empty.Path("Machine"));
  EXPECT_FALSE(WriteParameterListing(empty.Path("Machine")));
  EXPECT_FALSE(std::filesystem::exists(empty.Path("Machine/Param.txt")));
}

}  // namespace
}  // namespace talvo::app::test
