// What vandir-sim sends and shows besides machine data and files: data-recorder records,
// message boxes and operator messages.
#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "link/package.h"
#include "tests/sim/sim_client.h"
#include "tests/support/simulator.h"

namespace vandir::test {
namespace {

constexpr std::int16_t kRecord = 21845;

TEST(SimRecords, EachRequestGetsTheNextRecordOfTheAxisPositions) {
  Simulator sim;
  sim.Command("cycle off");
  sim.Command("position machine 1000 -2000 30000 4 5 6");
  auto client = LoggedIn(sim);
  std::int16_t firstId = 0;
  for (std::int16_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const auto reply = client->Exchange(Request(kRecord, i, kPackageSize, kPackageSize), kPackageSize);
    ASSERT_FALSE(reply.error) << reply.error.message();
    const auto& record = reply.package;
    EXPECT_EQ(record.iCommand(), kRecord);
    EXPECT_EQ(record.iLength(), kPackageSize);
    EXPECT_EQ(record.iIndex(), i);
    EXPECT_EQ(record.iParam1(), 1);
    if (i == 0) firstId = record.i16(kData);
    EXPECT_EQ(record.i16(kData), firstId + i);
    EXPECT_EQ(record.i16(kData + 2), 3);
    EXPECT_GT(record.i32(kData + 4), 0);
    const std::int32_t values[] = {1000, -2000, 30000};
    for (int channel = 0; channel < 3; ++channel) {
      EXPECT_EQ(record.u8(kData + 12 + channel), "XYZ"[channel]);
      EXPECT_EQ(record.i16(kData + 52 + 2 * channel), channel + 1);
      EXPECT_EQ(record.i32(kData + 132 + 4 * channel), values[channel]);
    }
    EXPECT_EQ(record.u8(kData + 12 + 3), 0);  // no fourth channel
  }
}

defPACKAGE MessageBox(const std::string& text, const std::string& title) {
  auto request = Request(418, 0, 400, static_cast<std::int16_t>(18 + text.size() + title.size()));
  request.set_iParam2(static_cast<std::int16_t>(text.size()));
  request.set_iParam3(static_cast<std::int16_t>(title.size()));
  request.put_text(kData, text);
  request.put_text(static_cast<int>(kData + text.size() + 1), title);
  return request;
}

defPACKAGE OperatorMessage(std::int16_t kind, const std::string& text) {
  auto request = Request(422, 0, kHeaderSize, static_cast<std::int16_t>(17 + text.size()));
  request.set_iParam1(kind);
  request.set_iParam2(static_cast<std::int16_t>(text.size() + 1));
  request.put_text(kData, text);
  return request;
}

TEST(SimMessages, TheLastTwentyAreKeptInOrderWithTheirTextsQuoted) {
  Simulator sim;
  auto client = LoggedIn(sim);
  EXPECT_EQ(sim.Command("messages"), "ok");
  const auto box = client->Exchange(MessageBox("Tool 5 \"worn\"", "Setup"), 400);
  ASSERT_FALSE(box.error);
  EXPECT_EQ(box.package.iCommand(), 674);
  const auto message = client->Exchange(OperatorMessage(3, ""), kHeaderSize);
  ASSERT_FALSE(message.error);
  EXPECT_EQ(message.package.iCommand(), 678);
  EXPECT_EQ(message.package.iParam1(), 0);
  client->Exchange(OperatorMessage(0, "C:\\NC\xa4\xa4"), kHeaderSize);
  EXPECT_EQ(sim.Command("messages"),
            "ok box \"Setup\" \"Tool 5 \\\"worn\\\"\" message 3 \"\" message 0 \"C:\\\\NC\\xa4\\xa4\"");

  for (int i = 0; i < 18; ++i) client->Exchange(OperatorMessage(1, "m"), kHeaderSize);
  const std::string list = sim.Command("messages");
  EXPECT_TRUE(list.starts_with("ok message 3 \"\" message 0 ")) << list;  // the box is gone
  EXPECT_TRUE(list.ends_with("message 1 \"m\"")) << list;
}

}  // namespace
}  // namespace vandir::test
