// The recorder's file format to the character, file rotation and its refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "link/data_recorder.h"
#include "link/vandircnc.h"
#include "tests/link/reply_bytes.h"

namespace vandir {
namespace {

namespace fs = std::filesystem;
using test::ReplyBytes;

// ID 7, ISR time 1234, location 5, channels X1 = 10 and Y2 = -3.
ReplyBytes TwoChannelRecord(int param1 = 1, int index = 0) {
  ReplyBytes r(21845, param1);
  r.p.set_iIndex(static_cast<std::int16_t>(index));
  r.I16(0, 7).I16(2, 2).I32(4, 1234).U8(8, 5).U8(12, 'X').U8(13, 'Y').I16(52, 1).I16(54, 2);
  r.I32(132, 10).I32(136, -3);
  return r;
}

TEST(RecordFormat, LinesToTheCharacter) {
  const auto& r = TwoChannelRecord().p;
  EXPECT_EQ(RecordHeaderLine(r), "     ID       Isr Time  Location X1    Y2   ");
  EXPECT_EQ(RecordRuleLine(r), std::string(43, '='));
  EXPECT_EQ(RecordLine(r), "         7         1234       5    10    -3   ");
}

TEST(RecordFormat, ChannelCountIsBoundedByTheRecord) {
  ReplyBytes many(21845, 1);
  many.I16(2, 300);
  EXPECT_EQ(RecordRuleLine(many.p).size(), 31u + 6 * 40);
  ReplyBytes negative(21845, 1);
  negative.I16(2, -4);
  EXPECT_EQ(RecordRuleLine(negative.p).size(), 31u);
}

TEST(RecordFormat, FileNameIsTheStartTime) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 9;
  t.tm_hour = 7;
  t.tm_min = 5;
  t.tm_sec = 3;
  EXPECT_EQ(RecordFileName("/data/dr", t), "/data/dr/20261209070503");
  EXPECT_EQ(RecordFileName("/data/dr/", t), "/data/dr/20261209070503");
}

class Recorder : public testing::Test {
 protected:
  Recorder() {
    folder = fs::temp_directory_path() / ("recorder-" + std::to_string(getpid()) + "-" +
                                          testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
    cache.WithCurrent([&](CacheData& c) {
      std::strcpy(c.DRSavePath, folder.c_str());
      c.DRChangeTimer = 3;
    });
  }
  ~Recorder() override { fs::remove_all(folder); }

  // Each new file gets the next second, so names never collide.
  DataRecorder::LocalTime Ticking() {
    return [this] {
      std::tm t{};
      t.tm_year = 126;
      t.tm_mday = 1;
      t.tm_sec = seconds++;
      return t;
    };
  }
  std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> lines;
    std::string all = text.str(), line;
    for (std::size_t at = 0, end; (end = all.find("\r\n", at)) != std::string::npos; at = end + 2)
      lines.push_back(all.substr(at, end - at));
    return lines;
  }
  std::vector<fs::path> Files() {
    std::vector<fs::path> files(fs::directory_iterator(folder), {});
    std::sort(files.begin(), files.end());
    return files;
  }
  std::uint32_t Count() {
    return cache.WithCurrent([](const CacheData& c) { return c.DRRecordCount; });
  }

  fs::path folder;
  Cache cache;
  int seconds = 0;
};

TEST_F(Recorder, SevenRecordsThreePerFile) {
  DataRecorder recorder(cache, DataRecorder::Channel::Command, Ticking());
  for (int i = 0; i < 7; ++i) recorder.WriteRecord(TwoChannelRecord().p);
  const auto files = Files();
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].filename(), "20260101000000");
  EXPECT_EQ(Lines(files[0]).size(), 5u);  // header, rule, three records
  EXPECT_EQ(Lines(files[2]).size(), 3u);
  EXPECT_EQ(Lines(files[1])[2], RecordLine(TwoChannelRecord().p));
  EXPECT_EQ(Count(), 1u);
}

TEST_F(Recorder, RecordWithoutAPositiveFirstWordIsIgnored) {
  DataRecorder recorder(cache, DataRecorder::Channel::Command, Ticking());
  recorder.WriteRecord(TwoChannelRecord(0).p);
  recorder.WriteRecord(TwoChannelRecord(-1).p);
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(Count(), 0u);
}

TEST_F(Recorder, DncChannelSkipsARepeatedIndex) {
  DataRecorder recorder(cache, DataRecorder::Channel::Dnc, Ticking());
  recorder.WriteRecord(TwoChannelRecord(1, 4).p);
  recorder.WriteRecord(TwoChannelRecord(1, 4).p);
  recorder.WriteRecord(TwoChannelRecord(1, 5).p);
  EXPECT_EQ(Count(), 2u);
  EXPECT_EQ(Lines(Files().at(0)).size(), 4u);
}

TEST_F(Recorder, ZeroRecordsPerFileMeansAThousand) {
  cache.WithCurrent([](CacheData& c) { c.DRChangeTimer = 0; });
  DataRecorder recorder(cache, DataRecorder::Channel::Command, Ticking());
  for (int i = 0; i < 5; ++i) recorder.WriteRecord(TwoChannelRecord().p);
  EXPECT_EQ(Files().size(), 1u);
  EXPECT_EQ(cache.WithCurrent([](const CacheData& c) { return c.DRChangeTimer; }), 1000u);
}

TEST_F(Recorder, UnwritableFolderLosesRecordsQuietly) {
  cache.WithCurrent([](CacheData& c) { std::strcpy(c.DRSavePath, "/nonexistent/recorder"); });
  DataRecorder recorder(cache, DataRecorder::Channel::Command, Ticking());
  recorder.WriteRecord(TwoChannelRecord().p);
  EXPECT_EQ(Count(), 0u);
}

TEST(RecorderSettings, LongPathIsRefusedAndNothingIsRecorded) {
  TVandirCNC link;
  EXPECT_EQ(link.Set_DR_Save_Path(std::string(256, 'p')), -17);
  EXPECT_EQ(link.Set_DR_Save_Path("/tmp"), 0);
  link.Set_DR_ChangeTimer(5);
  EXPECT_EQ(link.Get_DR_Data(), 0);
}

}  // namespace
}  // namespace vandir
