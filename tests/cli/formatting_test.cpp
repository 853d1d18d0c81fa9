// The pure parts behind the reports: folder listings in the controller's FAT layout,
// drive names and sizes, progress lines and number formatting.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "cli/disk.h"
#include "cli/listing.h"
#include "cli/output.h"
#include "cli/progress.h"

namespace talvo::cli {
namespace {

struct FatCase {
  std::uint16_t date, time;
  const char* text;
};

class FatDateTime : public testing::TestWithParam<FatCase> {};

TEST_P(FatDateTime, DecodesToIsoText) {
  EXPECT_EQ(FatTimestamp(GetParam().date, GetParam().time), GetParam().text);
}

// Date: year - 1980 in bits 15-9, month 8-5, day 4-0. Time: hours 15-11, minutes 10-5,
// seconds / 2 in 4-0.
INSTANTIATE_TEST_SUITE_P(Layout, FatDateTime,
                         testing::Values(FatCase{0x5A21, 0x6DBD, "2025-01-01 13:45:58"},
                                         FatCase{0x3B9F, 0xBF7D, "2009-12-31 23:59:58"},
                                         FatCase{0x0021, 0x0001, "1980-01-01 00:00:02"},
                                         FatCase{0x0000, 0x0000, "1980-00-00 00:00:00"}));

// One entry as the controller sends it: attributes at 21, time at 22, date at 24, size at
// 26, the 8.3 name at 30.
std::vector<std::uint8_t> Entry(std::uint8_t attributes, std::array<std::uint8_t, 4> size,
                                const char* name) {
  std::vector<std::uint8_t> block(kEntrySize, 0xEE);  // reserved bytes: anything
  block[21] = attributes;
  block[22] = 0xBD;
  block[23] = 0x6D;
  block[24] = 0x21;
  block[25] = 0x5A;
  std::copy(size.begin(), size.end(), block.begin() + 26);
  std::fill(block.begin() + 30, block.end(), 0);
  std::copy(name, name + std::strlen(name), block.begin() + 30);
  return block;
}

TEST(DirectoryEntry, DecodesAFileFromTheControllersLayout) {
  const auto entry = DecodeEntry(Entry(0x20, {0x45, 0x23, 0x01, 0x00}, "O1234.NC"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(*entry, (DirectoryEntry{false, 0x5A21, 0x6DBD, 0x012345, "O1234.NC"}));
  EXPECT_EQ(ListingLine(*entry), "2025-01-01 13:45:58       74565  O1234.NC");
}

TEST(DirectoryEntry, AFolderIsMarkedWhateverItsOtherAttributes) {
  const auto entry = DecodeEntry(Entry(0x11, {0, 0, 0, 0}, "MACHINE"));
  ASSERT_TRUE(entry);
  EXPECT_TRUE(entry->folder);
  EXPECT_EQ(ListingLine(*entry), "2025-01-01 13:45:58       <DIR>  MACHINE");
}

TEST(DirectoryEntry, AFullLengthNameWithoutItsEndIsKeptWhole) {
  const auto entry = DecodeEntry(Entry(0x20, {1, 0, 0, 0}, "ABCDEFGH.XYZW"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->name, "ABCDEFGH.XYZW");
}

TEST(DirectoryEntry, ABlockOfAnotherSizeIsNoEntry) {
  EXPECT_FALSE(DecodeEntry(std::vector<std::uint8_t>(kEntrySize - 1)));
  EXPECT_FALSE(DecodeEntry(std::vector<std::uint8_t>(kEntrySize + 1)));
}

TEST(ListingCollector, IsCompleteWhenTheAnnouncedNumberOfEntriesArrived) {
  ListingCollector listing;
  EXPECT_FALSE(listing.Complete());
  listing.Take(std::vector<std::uint8_t>{3, 0});
  listing.Take(Entry(0x20, {1, 0, 0, 0}, "A.NC"));
  listing.Take(Entry(0x20, {2, 0, 0, 0}, "B.NC"));
  EXPECT_FALSE(listing.Complete());
  listing.Take(std::vector<std::uint8_t>(7));  // not an entry: ignored
  listing.Take(Entry(0x10, {0, 0, 0, 0}, "SUB"));
  EXPECT_TRUE(listing.Complete());
  ASSERT_EQ(listing.Entries().size(), 3u);
  EXPECT_EQ(listing.Entries()[2].name, "SUB");
}

TEST(ListingCollector, AnEmptyFolderIsCompleteWithItsTotal) {
  ListingCollector listing;
  listing.Take(std::vector<std::uint8_t>{0, 0});
  EXPECT_TRUE(listing.Complete());
  EXPECT_EQ(listing.Total(), 0);
}

TEST(ListingCollector, TheTotalIsASignedLittleEndianWord) {
  ListingCollector many, negative;
  many.Take(std::vector<std::uint8_t>{0x2C, 0x01});
  negative.Take(std::vector<std::uint8_t>{0xFE, 0xFF});
  EXPECT_EQ(many.Total(), 300);
  EXPECT_EQ(negative.Total(), -2);
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
  EXPECT_EQ(NumberList({}), "");
  const std::int32_t axes[] = {1, -2, 300000};
  EXPECT_EQ(NumberList(axes), "1 -2 300000");
}

}  // namespace
}  // namespace talvo::cli
