// Listing blocks as the controller's directory search lays them out, written out byte by
// byte, and the collector that follows a listing over its replies.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>

#include "link/listing_entry.h"

namespace vandir {
namespace {

using Block = FileListQueue::Block;

// One entry as the controller sends it: attributes at 21, time at 22, date at 24, size at
// 26, the 8.3 name at 30.
Block Entry(std::uint8_t attributes, std::array<std::uint8_t, 4> size, const char* name,
            std::uint16_t date = 0x5A21, std::uint16_t time = 0x6DBD) {
  Block block(kListingEntrySize, 0xEE);  // reserved bytes: anything
  block[21] = attributes;
  block[22] = static_cast<std::uint8_t>(time);
  block[23] = static_cast<std::uint8_t>(time >> 8);
  block[24] = static_cast<std::uint8_t>(date);
  block[25] = static_cast<std::uint8_t>(date >> 8);
  std::copy(size.begin(), size.end(), block.begin() + 26);
  std::fill(block.begin() + 30, block.end(), 0);
  std::copy(name, name + std::strlen(name), block.begin() + 30);
  return block;
}

struct FatCase {
  std::uint16_t date, time;
  int year, month, day, hour, minute, second;
};

class FatDateTime : public testing::TestWithParam<FatCase> {};

TEST_P(FatDateTime, UnpacksIntoItsFields) {
  const FatCase& c = GetParam();
  const auto entry = DecodeListingEntry(Entry(0x20, {0, 0, 0, 0}, "A", c.date, c.time));
  ASSERT_TRUE(entry);
  EXPECT_EQ((std::array{entry->year, entry->month, entry->day, entry->hour, entry->minute,
                        entry->second}),
            (std::array{c.year, c.month, c.day, c.hour, c.minute, c.second}));
}

// Date: year - 1980 in bits 15-9, month 8-5, day 4-0. Time: hours 15-11, minutes 10-5,
// seconds / 2 in 4-0.
INSTANTIATE_TEST_SUITE_P(Layout, FatDateTime,
                         testing::Values(FatCase{0x5A21, 0x6DBD, 2025, 1, 1, 13, 45, 58},
                                         FatCase{0x3B9F, 0xBF7D, 2009, 12, 31, 23, 59, 58},
                                         FatCase{0x0021, 0x0001, 1980, 1, 1, 0, 0, 2},
                                         FatCase{0x0000, 0x0000, 1980, 0, 0, 0, 0, 0},
                                         FatCase{0xFFFF, 0xFFFF, 2107, 15, 31, 31, 63, 62}));

TEST(ListingEntry, DecodesAFileFromTheControllersLayout) {
  const auto entry = DecodeListingEntry(Entry(0x21, {0x45, 0x23, 0x01, 0x00}, "O1234.NC"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->name, "O1234.NC");
  EXPECT_EQ(entry->size, 0x012345);
  EXPECT_EQ(entry->attributes, kAttributeArchive | kAttributeReadOnly);
  EXPECT_FALSE(entry->IsFolder());
}

TEST(ListingEntry, AFolderIsMarkedWhateverItsOtherAttributes) {
  const auto entry = DecodeListingEntry(Entry(0x11, {0, 0, 0, 0}, "MACHINE"));
  ASSERT_TRUE(entry);
  EXPECT_TRUE(entry->IsFolder());
}

TEST(ListingEntry, SizesUseAllFourBytes) {
  EXPECT_EQ(DecodeListingEntry(Entry(0x20, {0x00, 0x00, 0x00, 0x80}, "BIG"))->size,
            std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(DecodeListingEntry(Entry(0x20, {0xFF, 0xFF, 0xFF, 0x7F}, "BIG"))->size,
            std::numeric_limits<std::int32_t>::max());
}

TEST(ListingEntry, AFullLengthNameWithoutItsEndIsKeptWhole) {
  const auto entry = DecodeListingEntry(Entry(0x20, {1, 0, 0, 0}, "ABCDEFGH.XYZW"));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->name, "ABCDEFGH.XYZW");
}

TEST(ListingEntry, ABlockOfAnotherSizeIsNoEntry) {
  EXPECT_FALSE(DecodeListingEntry(Block(kListingEntrySize - 1)));
  EXPECT_FALSE(DecodeListingEntry(Block(kListingEntrySize + 1)));
  EXPECT_FALSE(DecodeListingEntry(Block{3, 0}));
  const std::vector<Block> blocks{Block{3, 0}, Entry(0x20, {1, 0, 0, 0}, "A.NC"), Block(7),
                                  Entry(0x10, {0, 0, 0, 0}, "SUB")};
  const auto entries = DecodeListingEntries(blocks);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "A.NC");
  EXPECT_EQ(entries[1].name, "SUB");
}

TEST(ListingTotal, IsASignedLittleEndianWordOfItsOwnSize) {
  EXPECT_EQ(DecodeListingTotal(Block{0x2C, 0x01}), 300);
  EXPECT_EQ(DecodeListingTotal(Block{0xFE, 0xFF}), -2);
  EXPECT_FALSE(DecodeListingTotal(Block{1, 0, 0}));
  EXPECT_FALSE(DecodeListingTotal(Entry(0x20, {1, 0, 0, 0}, "A")));
}

TEST(ListingCollector, FollowsTheTotalAndTheEntriesToTheEnd) {
  std::vector<Block> entries;
  ListingCollector listing(entries);
  listing.Take(Entry(0x20, {9, 0, 0, 0}, "STALE"));  // before any total: no listing of ours
  EXPECT_FALSE(listing.Total());
  EXPECT_EQ(listing.Percent(), 0);
  EXPECT_FALSE(listing.Complete());
  listing.Take(Block{3, 0});
  EXPECT_EQ(listing.Total(), 3);
  EXPECT_EQ(listing.Percent(), 0);
  listing.Take(Entry(0x20, {1, 0, 0, 0}, "A.NC"));
  EXPECT_EQ(listing.Percent(), 33);
  listing.Take(Entry(0x20, {2, 0, 0, 0}, "B.NC"));
  listing.Take(Block(7));  // not an entry: ignored
  EXPECT_EQ(listing.Percent(), 66);
  EXPECT_FALSE(listing.Complete());
  listing.Take(Entry(0x10, {0, 0, 0, 0}, "SUB"));
  EXPECT_TRUE(listing.Complete());
  EXPECT_EQ(listing.Percent(), 100);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[2], Entry(0x10, {0, 0, 0, 0}, "SUB")) << "kept as the controller sent it";
}

TEST(ListingCollector, AnEmptyOrNegativeTotalIsCompleteAtOnce) {
  for (const Block& total : {Block{0, 0}, Block{0xFE, 0xFF}}) {
    std::vector<Block> entries;
    ListingCollector listing(entries);
    listing.Take(total);
    EXPECT_TRUE(listing.Complete());
    EXPECT_EQ(listing.Percent(), 100);
  }
}

TEST(ListingCollector, CountsOnlyItsOwnEntriesAndTakesWhatTheQueueHolds) {
  std::vector<Block> entries{Entry(0x20, {1, 0, 0, 0}, "OLD1"), Entry(0x20, {1, 0, 0, 0}, "OLD2")};
  ListingCollector listing(entries);
  FileListQueue queue;
  queue.Push({2, 0});
  queue.Push(Entry(0x20, {1, 0, 0, 0}, "NEW1"));
  listing.TakeWaiting(queue);
  EXPECT_EQ(queue.Size(), 0u);
  EXPECT_FALSE(listing.Complete()) << "the caller's earlier entries are not this listing's";
  EXPECT_EQ(listing.Percent(), 50);
  queue.Push(Entry(0x20, {1, 0, 0, 0}, "NEW2"));
  listing.TakeWaiting(queue);
  EXPECT_TRUE(listing.Complete());
  EXPECT_EQ(DecodeListingEntries(entries).back().name, "NEW2");
}

TEST(ListingCollector, IsGivenUpWhenPartsBringNothingOrItTakesTooLong) {
  std::vector<Block> entries;
  ListingCollector listing(entries, 1000);
  listing.Take(Block{30, 0});
  for (int part = 0; part < 3; ++part) {
    listing.PartAsked();
    listing.Take(Entry(0x20, {1, 0, 0, 0}, "A.NC"));
  }
  // Parts that bring nothing, in a row: the count starts again with the one that brings one.
  for (int part = 1; part < kMostBarrenListingParts; ++part) listing.PartAsked();
  EXPECT_FALSE(listing.GivenUp(1000));
  listing.Take(Entry(0x20, {1, 0, 0, 0}, "B.NC"));
  listing.PartAsked();
  for (int part = 1; part < kMostBarrenListingParts; ++part) listing.PartAsked();
  EXPECT_FALSE(listing.GivenUp(1000));
  listing.PartAsked();
  EXPECT_TRUE(listing.GivenUp(1000));

  std::vector<Block> slow;
  ListingCollector late(slow, 1000);  // its total never comes
  EXPECT_FALSE(late.GivenUp(1000 + kLongestListingSeconds - 1));
  EXPECT_TRUE(late.GivenUp(1000 + kLongestListingSeconds));

  std::vector<Block> whole;
  ListingCollector done(whole, 1000);
  done.Take(Block{0, 0});
  EXPECT_FALSE(done.GivenUp(1000 + kLongestListingSeconds)) << "a complete listing stays so";
}

}  // namespace
}  // namespace vandir
