// How a file job is judged from what the transport publishes of it.
#include <gtest/gtest.h>

#include "link/transfer_watch.h"
#include "link/transport.h"
#include "link/vandircnc.h"

namespace vandir {
namespace {

struct JudgeCase {
  const char* name;
  TransferState state;
  TransferProgress expected;
};

void PrintTo(const JudgeCase& c, std::ostream* os) { *os << c.name; }

class Judge : public testing::TestWithParam<JudgeCase> {};

TEST_P(Judge, TellsRunningFinishedAndFailed) {
  EXPECT_EQ(JudgeTransfer(GetParam().state), GetParam().expected);
}

constexpr auto kRunning = TransferPhase::kRunning;
constexpr auto kFinished = TransferPhase::kFinished;
constexpr auto kFailed = TransferPhase::kFailed;

INSTANTIATE_TEST_SUITE_P(
    States, Judge,
    testing::Values(
        JudgeCase{"Requested", {true, 0, 0}, {kRunning, 0, 0}},
        JudgeCase{"HalfWay", {true, 0, 47}, {kRunning, 0, 47}},
        // 150 bytes reach 125 % with the data package; the end package is still to go.
        JudgeCase{"SmallUploadPastFullBeforeItsEnd", {true, 0, 125}, {kRunning, 0, 125}},
        JudgeCase{"Ended", {false, 0, 100}, {kFinished, 0, 100}},
        JudgeCase{"SmallUploadEnded", {false, 0, 125}, {kFinished, 0, 100}},
        JudgeCase{"EmptyUploadEndsAtZero", {false, 0, 0}, {kFinished, 0, 100}},
        JudgeCase{"ControllerCodeWhileTheFlagIsUp", {true, 9, 0}, {kFailed, 9, 0}},
        JudgeCase{"LaterPieceNotWritten", {false, kDownloadPieceNotWritten, 40},
                  {kFailed, kDownloadPieceNotWritten, 40}},
        JudgeCase{"ConnectionLost", {false, kJobConnectionLost, 100},
                  {kFailed, kJobConnectionLost, 100}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadTransfer, TakesTheFlagAndFigureOfItsOwnDirection) {
  TVandirCNC link;  // not connected: the transport sleeps and leaves its fields alone
  Send_Recv& transport = *link.SendCMD;
  transport.Sending = true;
  transport.SendPercent = 40;
  transport.Receiving = false;
  transport.RecvPercent = 70;
  transport.FileError = 0;
  EXPECT_EQ(WatchTransfer(transport, TransferDirection::kUpload),
            (TransferProgress{kRunning, 0, 40}));
  EXPECT_EQ(WatchTransfer(transport, TransferDirection::kDownload),
            (TransferProgress{kFinished, 0, 100}));
  transport.FileError = kDownloadPieceShortReply;
  EXPECT_EQ(WatchTransfer(transport, TransferDirection::kDownload),
            (TransferProgress{kFailed, kDownloadPieceShortReply, 70}));
  transport.Sending = false;
}

}  // namespace
}  // namespace vandir
