// What the user reads when a command fails, and the exit status a script sees.
#include "cli/errors.h"

#include <gtest/gtest.h>

namespace talvo::cli {
namespace {

struct Outcome {
  ExitStatus status;
  std::string message;
};

void ExpectOutcome(const std::optional<Failure>& failure, const std::optional<Outcome>& expected) {
  ASSERT_EQ(failure.has_value(), expected.has_value()) << (failure ? failure->what() : "none");
  if (!failure) return;
  EXPECT_EQ(failure->Status(), expected->status);
  EXPECT_EQ(failure->what(), expected->message);
}

struct LoginCase {
  std::int16_t login;
  std::optional<Outcome> outcome;
};

class Login : public testing::TestWithParam<LoginCase> {};

TEST_P(Login, AcceptsBothLevelsAndNamesEveryOtherResult) {
  ExpectOutcome(LoginFailure(GetParam().login), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Results, Login,
    testing::Values(LoginCase{502, std::nullopt}, LoginCase{501, std::nullopt},
                    LoginCase{500, Outcome{ExitStatus::kConnection, "login refused (500)"}},
                    LoginCase{503, Outcome{ExitStatus::kConnection, "login refused (503)"}},
                    LoginCase{-1, Outcome{ExitStatus::kConnection, "not connected"}},
                    LoginCase{-2, Outcome{ExitStatus::kConnection, "not connected"}}));

struct WriteCase {
  std::int16_t setStatus;
  std::optional<Outcome> outcome;
};

class Write : public testing::TestWithParam<WriteCase> {};

TEST_P(Write, SucceedsOnlyOnZero) {
  ExpectOutcome(WriteFailure(GetParam().setStatus), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(
    SetStatus, Write,
    testing::Values(
        WriteCase{0, std::nullopt},
        WriteCase{2, Outcome{ExitStatus::kControllerRefused, "controller error code 2"}},
        WriteCase{-5, Outcome{ExitStatus::kControllerRefused, "controller error code -5"}},
        WriteCase{-999, Outcome{ExitStatus::kTimedOut,
                                "timed out waiting for the controller to confirm the write"}},
        WriteCase{-1000, Outcome{ExitStatus::kControllerRefused,
                                 "refused: this login level gives no right to write"}}));

struct TransferCase {
  Transfer kind;
  std::int32_t fileError;
  bool connected;
  Outcome outcome;
};

class TransferError : public testing::TestWithParam<TransferCase> {};

TEST_P(TransferError, TellsControllerLocalAndConnectionFailuresApart) {
  const TransferCase& c = GetParam();
  ExpectOutcome(TransferFailure(c.kind, c.fileError, c.connected, "o1.nc"), c.outcome);
}

INSTANTIATE_TEST_SUITE_P(
    FileError, TransferError,
    testing::Values(
        TransferCase{Transfer::kUpload, 9, true,
                     {ExitStatus::kControllerRefused,
                      "controller error code 9 (the file exists; --overwrite replaces it)"}},
        TransferCase{Transfer::kDownload, 9, true,
                     {ExitStatus::kControllerRefused, "controller error code 9"}},
        TransferCase{Transfer::kUpload, -1, true,
                     {ExitStatus::kLocalFile, "local file error: o1.nc: cannot be read"}},
        TransferCase{Transfer::kUpload, -1, false, {ExitStatus::kConnection, "not connected"}},
        TransferCase{Transfer::kUpload, -5, true,
                     {ExitStatus::kConnection,
                      "transfer failed: no full answer to a piece of the file (-5)"}},
        TransferCase{Transfer::kDownload, -11, true,
                     {ExitStatus::kLocalFile, "local file error: o1.nc: cannot be created"}},
        TransferCase{Transfer::kDownload, -16, true,
                     {ExitStatus::kConnection,
                      "transfer failed: no full answer to the first piece request (-16)"}}));

TEST(TransferStart, NamesWhyTheLinkWouldNotStart) {
  ExpectOutcome(TransferStartFailure(-1, "o1.nc"),
                Outcome{ExitStatus::kConnection, "not connected"});
  ExpectOutcome(TransferStartFailure(-22, "o1.nc"),
                Outcome{ExitStatus::kLocalFile, "local file error: o1.nc: no such file"});
  ExpectOutcome(TransferStartFailure(-23, "o1.nc"),
                Outcome{ExitStatus::kLocalFile, "local file error: o1.nc: cannot be read"});
  EXPECT_EQ(TransferStartFailure(-17, "o1.nc").Status(), ExitStatus::kUsage);
  EXPECT_EQ(TransferStartFailure(-21, "o1.nc").Status(), ExitStatus::kUsage);
}

}  // namespace
}  // namespace talvo::cli
