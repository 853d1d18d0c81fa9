#include <gtest/gtest.h>

#include "link/reply_decoder.h"

namespace vandir {
namespace {

defRECEIVE_PACKAGE Reply(int code, int param1 = 0) {
  defRECEIVE_PACKAGE r;
  r.set_iHead(kPackageHead);
  r.set_iCommand(static_cast<std::int16_t>(code));
  r.set_iLength(kHeaderSize);
  r.set_iParam1(static_cast<std::int16_t>(param1));
  return r;
}

void CloseGate(Cache& cache) {
  cache.WithCurrent([](CacheData& c) {
    c.SetIdle = 0;
    c.SetStatus = 999;
  });
}

class SetResultReply : public testing::TestWithParam<int> {};

TEST_P(SetResultReply, ReopensTheGateWithTheControllersResult) {
  Cache cache;
  FileListQueue files;
  CloseGate(cache);
  DecodeReply(cache, files, Reply(GetParam(), 7), kHeaderSize, 1234);
  cache.WithCurrent([](const CacheData& c) {
    EXPECT_EQ(c.SetIdle, 1);
    EXPECT_EQ(c.SetStatus, 7);
    EXPECT_EQ(c.LastReplyTime, 1234);
  });
}

INSTANTIATE_TEST_SUITE_P(WriteAndControlReplies, SetResultReply,
                         testing::Values(592, 596, 598, 601, 602, 603, 607, 608, 609, 610, 611,
                                         612, 630, 641, 647, 650, 652, 653, 654, 678));

class OtherReply : public testing::TestWithParam<int> {};

TEST_P(OtherReply, LeavesTheGateAndOnlyStampsTheTime) {
  Cache cache;
  FileListQueue files;
  CloseGate(cache);
  DecodeReply(cache, files, Reply(GetParam(), 0), kHeaderSize, 99);
  cache.WithCurrent([](const CacheData& c) {
    EXPECT_EQ(c.SetIdle, 0);
    EXPECT_EQ(c.SetStatus, 999);
    EXPECT_EQ(c.LastReplyTime, 99);
  });
}

// 512 answers the user login, 593 the parameter detail, 674 the message box, 527 the echo.
INSTANTIATE_TEST_SUITE_P(NonSetReplies, OtherReply,
                         testing::Values(512, 514, 527, 591, 593, 597, 674, 679, 21845));

TEST(Cache, ResetClearsTheCurrentCopyAndMarksEveryFieldUnreported) {
  Cache cache;
  cache.WithCurrent([](CacheData& c) {
    c.SetIdle = 1;
    c.LastReplyTime = 5;
  });
  cache.Reported().SetStatus = 0;
  cache.Reset();
  cache.WithCurrent([](const CacheData& c) {
    EXPECT_EQ(c.SetIdle, 0);
    EXPECT_EQ(c.SetStatus, 0);
    EXPECT_EQ(c.LastReplyTime, 0);
  });
  EXPECT_EQ(cache.Reported().SetStatus, 0x0101);
}

}  // namespace
}  // namespace vandir
