// The pure parts behind the reports: folder listing lines,
// drive names and sizes, progress lines and number formatting.
#include <gtest/gtest.h>

#include "cli/disk.h"
#include "cli/listing.h"
#include "cli/output.h"
#include "cli/progress.h"

namespace talvo::cli {
namespace {

// Decoding the controller's entries is the link's; this is the line printed for one.
vandir::ListingEntry Entry(std::uint8_t attributes, std::int32_t size, const char* name) {
  vandir::ListingEntry entry;
  entry.name = name;
  entry.size = size;
  entry.attributes = attributes;
  entry.year = 2025;
  entry.month = 1;
  entry.day = 1;
  entry.hour = 13;
  entry.minute = 45;
  entry.second = 58;
  return entry;
}

TEST(ListingLine, DateSizeRightAlignedAndName) {
  EXPECT_EQ(ListingLine(Entry(0x20, 0x012345, "O1234.NC")),
            "2025-01-01 13:45:58       74565  O1234.NC");
  EXPECT_EQ(ListingLine(Entry(0x20, 1234567890, "ABCDEFGH.XYZ")),
            "2025-01-01 13:45:58  1234567890  ABCDEFGH.XYZ");
  // A controller's control bytes never reach the terminal as they came.
  EXPECT_EQ(ListingLine(Entry(0x20, 5, "\x1B[2J.NC")), "2025-01-01 13:45:58           5  \\x1B[2J.NC");
}

TEST(ListingLine, AFolderShowsDirWhateverItsOtherAttributes) {
  EXPECT_EQ(ListingLine(Entry(0x11, 0, "MACHINE")), "2025-01-01 13:45:58       <DIR>  MACHINE");
}

TEST(ListingLine, AnUnsetDateKeepsItsColumns) {
  EXPECT_EQ(Timestamp(vandir::ListingEntry{}), "1980-00-00 00:00:00");
}

struct DriveCase {
  const char* text;
  std::optional<unsigned> drive;
};

// The case's text names it in test listings.
void PrintTo(const DriveCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class DriveName : public testing::TestWithParam<DriveCase> {};

TEST_P(DriveName, MapsLettersAndNumbersAlike) {
  EXPECT_EQ(ParseDrive(GetParam().text), GetParam().drive);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DriveName,
    testing::Values(DriveCase{"A", 0u}, DriveCase{"C", 2u}, DriveCase{"c", 2u},
                    DriveCase{"C:", 2u}, DriveCase{"D", 3u}, DriveCase{"Z", 25u},
                    DriveCase{"0", 0u}, DriveCase{"2", 2u}, DriveCase{"25", 25u},
                    DriveCase{"26", std::nullopt}, DriveCase{"", std::nullopt},
                    DriveCase{":", std::nullopt}, DriveCase{"CD", std::nullopt},
                    DriveCase{"C:\\", std::nullopt}, DriveCase{"-1", std::nullopt},
                    DriveCase{"1.5", std::nullopt}));

TEST(DiskSpace, MultipliesClustersBySectorsAndBytes) {
  const DiskSpace space = DiskSpaceOf({60000, 41250, 8, 512});
  EXPECT_EQ(space.totalBytes, 245'760'000u);
  EXPECT_EQ(space.freeBytes, 168'960'000u);
}

TEST(DiskSpace, ALargeDriveDoesNotOverflow32Bits) {
  const DiskSpace space = DiskSpaceOf({65535, 65535, 128, 4096});
  EXPECT_EQ(space.totalBytes, 34'359'214'080u);
  EXPECT_EQ(space.freeBytes, 34'359'214'080u);
}

TEST(ProgressLine, FillsTheBarByPercentAndStaysWithinIt) {
  EXPECT_EQ(ProgressLine("O1.NC", 0), "[..............................]    0%  O1.NC");
  EXPECT_EQ(ProgressLine("O1.NC", 50), "[###############...............]   50%  O1.NC");
  // A small upload reports past 100.
  EXPECT_EQ(ProgressLine("O1.NC", 125), "[##############################]  100%  O1.NC");
  EXPECT_EQ(ProgressLine("O1.NC", -3), ProgressLine("O1.NC", 0));
}

TEST(Numbers, OverridesInShortestFormAndListsSpaceSeparated) {
  EXPECT_EQ(ShortestDecimal(100), "100");
  EXPECT_EQ(ShortestDecimal(95.5), "95.5");
  EXPECT_EQ(ShortestDecimal(0.1), "0.1");
  EXPECT_EQ(PercentOfFraction(1), "100");
  EXPECT_EQ(PercentOfFraction(0.505), "50.5");
  EXPECT_EQ(PercentOfFraction(0.8025), "80.25");
  EXPECT_EQ(PercentOfFraction(0), "0");
  EXPECT_EQ(NumberList({}), "");
  const std::int32_t axes[] = {1, -2, 300000};
  EXPECT_EQ(NumberList(axes), "1 -2 300000");
}

}  // namespace
}  // namespace talvo::cli
