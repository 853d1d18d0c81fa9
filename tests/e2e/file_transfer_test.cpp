// File transfer and NC file commands through the link against the simulator's file system.
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "link/transfer_watch.h"
#include "link/transport.h"
#include "tests/e2e/files_fixture.h"

namespace vandir::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct UploadCase {
  std::size_t size;
  int dataPackages;
  int percent;
};

class Upload : public Files, public testing::WithParamInterface<UploadCase> {};

TEST_P(Upload, SendsStartDataAndEndPackages) {
  const std::string content = Bytes(GetParam().size);
  WriteBytes(local / "O1000.NC", content);
  sim.Command("log-clear");
  ASSERT_EQ(link.SendFile((local / "O1000.NC").string(), "C:\\NCFILES\\O1000.NC", false), kOk);
  ASSERT_TRUE(AwaitUpload());
  EXPECT_EQ(link.SendCMD->FileError, 0);
  EXPECT_EQ(Percent(), GetParam().percent);
  std::vector<int> expected = {373};
  expected.insert(expected.end(), static_cast<std::size_t>(GetParam().dataPackages), 4352);
  expected.push_back(4354);
  EXPECT_EQ(Commands(0), expected);
  EXPECT_EQ(ReadBytes(Remote("O1000.NC")), content);
  EXPECT_EQ(ReadBytes(local / "O1000.NC"), content);  // the local file is only read
}

INSTANTIATE_TEST_SUITE_P(Sizes, Upload,
                         testing::Values(UploadCase{1000, 3, 100}, UploadCase{150, 1, 125},
                                         UploadCase{0, 0, 0}, UploadCase{496, 1, 119},
                                         UploadCase{100000, 202, 100}));

TEST_F(Files, UploadStartPackageCarriesBothNames) {
  const fs::path previous = fs::current_path();
  fs::current_path(local);
  WriteBytes("abc", "12345");
  ASSERT_EQ(link.SendFile("abc", "d", true), kOk);
  ASSERT_TRUE(AwaitUpload());
  fs::current_path(previous);
  // iLength 30, overwrite 1, name lengths + 1 = 4 and 2, offset 0, size 5, "abc\0d\0".
  EXPECT_PRED2(MatchesHex,
               "ok 040275011e00****0000010004000200" "00000000" "05000000" "61626300" "6400",
               sim.Command("last 373"));
}

TEST_F(Files, ExistingTargetIsRefusedWithoutOverwrite) {
  WriteBytes(local / "O1.NC", "first");
  ASSERT_EQ(link.SendFile((local / "O1.NC").string(), "C:\\NCFILES\\O1.NC", false), kOk);
  ASSERT_TRUE(AwaitUpload());
  WriteBytes(local / "O1.NC", "second");
  ASSERT_EQ(link.SendFile((local / "O1.NC").string(), "C:\\NCFILES\\O1.NC", false), kOk);
  ASSERT_TRUE(AwaitUpload());
  EXPECT_EQ(link.SendCMD->FileError, 9);
  EXPECT_EQ(ReadBytes(Remote("O1.NC")), "first");
  ASSERT_EQ(link.SendFile((local / "O1.NC").string(), "C:\\NCFILES\\O1.NC", true), kOk);
  ASSERT_TRUE(AwaitUpload());
  EXPECT_EQ(link.SendCMD->FileError, 0);
  EXPECT_EQ(ReadBytes(Remote("O1.NC")), "second");
}

TEST_F(Files, StartingOperationsCheckTheirArguments) {
  EXPECT_EQ(link.SendFile("", "C:\\NCFILES\\A.NC", false), -21);
  EXPECT_EQ(link.SendFile((local / "missing").string(), "C:\\NCFILES\\A.NC", false), -22);
  EXPECT_EQ(link.SendFile((local / "x").string(), std::string(480, 'n'), false), -21);
  EXPECT_EQ(link.ReceiveFile("C:\\NCFILES\\A.NC", ""), -17);
  TVandirCNC offline;
  WriteBytes(local / "A.NC", "a");
  EXPECT_EQ(offline.SendFile((local / "A.NC").string(), "C:\\NCFILES\\A.NC", false), -1);
  EXPECT_EQ(offline.ReceiveFile("C:\\NCFILES\\A.NC", (local / "B.NC").string()), -1);
}

// The file is whole and gets the permissions of any new file of the user's, not a
// temporary file's private ones.
TEST_F(Files, DownloadIsByteIdentical) {
  const std::string content = Bytes(5000, 7);
  fs::create_directories(Remote(""));
  WriteBytes(Remote("O2000.NC"), content);
  const mode_t mask = umask(027);
  ASSERT_EQ(link.ReceiveFile("C:\\NCFILES\\O2000.NC", (local / "O2000.NC").string()), kOk);
  ASSERT_TRUE(AwaitDownload());
  EXPECT_EQ(link.SendCMD->FileError, 0);
  EXPECT_EQ(link.SendCMD->RecvPercent, 100);
  umask(mask);
  EXPECT_EQ(ReadBytes(local / "O2000.NC"), content);
  EXPECT_EQ(fs::status(local / "O2000.NC").permissions(), fs::perms(0640));
  EXPECT_EQ(std::distance(fs::directory_iterator(local), {}), 1);  // no leftovers
}

// A download started while the transport is busy with polls must run with its own names, not
// with the previous job's: each target gets its own file and no start is lost.
TEST_F(Files, BackToBackDownloadsEachRunTheirOwnNamesWhilePollsKeepTheTransportBusy) {
  fs::create_directories(Remote(""));
  WriteBytes(Remote("A.NC"), "first");
  WriteBytes(Remote("B.NC"), "second");
  std::atomic<bool> polling{true};
  std::thread poller([&] {
    while (polling) {
      if (link.AskStatusMode() != 0) std::this_thread::yield();
    }
  });
  for (int round = 0; round < 300 && !HasFailure(); ++round) {
    const char* name = round % 2 ? "B.NC" : "A.NC";
    const fs::path target = local / (std::to_string(round) + name);
    ASSERT_EQ(link.ReceiveFile(std::string("C:\\NCFILES\\") + name, target.string()), kOk);
    ASSERT_TRUE(AwaitDownload());
    EXPECT_EQ(link.SendCMD->FileError, 0) << round;
    EXPECT_EQ(ReadBytes(target), round % 2 ? "second" : "first") << round;
  }
  polling = false;
  poller.join();
}

TEST_F(Files, EmptyDownloadCompletesAtOnce) {
  fs::create_directories(Remote(""));
  WriteBytes(Remote("EMPTY.NC"), "");
  ASSERT_EQ(link.ReceiveFile("C:\\NCFILES\\EMPTY.NC", (local / "EMPTY.NC").string()), kOk);
  ASSERT_TRUE(AwaitDownload());
  EXPECT_EQ(link.SendCMD->FileError, 0);
  EXPECT_EQ(link.SendCMD->RecvPercent, 100);
  EXPECT_TRUE(fs::exists(local / "EMPTY.NC"));
  EXPECT_EQ(fs::file_size(local / "EMPTY.NC"), 0u);
}

TEST_F(Files, FailedDownloadKeepsTheOldLocalFile) {
  WriteBytes(local / "KEEP.NC", "precious");
  ASSERT_EQ(link.ReceiveFile("C:\\NCFILES\\NOPE.NC", (local / "KEEP.NC").string()), kOk);
  ASSERT_TRUE(AwaitDownload());
  EXPECT_GT(link.SendCMD->FileError, 0);
  EXPECT_EQ(ReadBytes(local / "KEEP.NC"), "precious");
  EXPECT_EQ(std::distance(fs::directory_iterator(local), {}), 1);
}

TEST_F(Files, DownloadBrokenOffKeepsTheOldLocalFile) {
  fs::create_directories(Remote(""));
  WriteBytes(Remote("BIG.NC"), Bytes(20000));
  WriteBytes(local / "BIG.NC", "old copy");
  sim.Command("drop-transfer 5");
  ASSERT_EQ(link.ReceiveFile("C:\\NCFILES\\BIG.NC", (local / "BIG.NC").string()), kOk);
  ASSERT_TRUE(AwaitDownload());
  EXPECT_LT(link.SendCMD->FileError, 0);
  EXPECT_EQ(ReadBytes(local / "BIG.NC"), "old copy");
  EXPECT_EQ(std::distance(fs::directory_iterator(local), {}), 1);
}

TEST_F(Files, RefusedStartEndsTheUploadThere) {
  WriteBytes(local / "E.NC", Bytes(1200));
  sim.Command("fail-file 7");
  sim.Command("log-clear");
  ASSERT_EQ(link.SendFile((local / "E.NC").string(), "C:\\NCFILES\\E.NC", true), kOk);
  ASSERT_TRUE(AwaitUpload());
  EXPECT_EQ(link.SendCMD->FileError, 7);
  EXPECT_EQ(Commands(0), (std::vector<int>{373}));
  EXPECT_FALSE(fs::exists(Remote("E.NC")));
}

TEST_F(Files, DroppedUploadReportsAShortReply) {
  WriteBytes(local / "D.NC", Bytes(5000));
  sim.Command("drop-transfer 3");
  ASSERT_EQ(link.SendFile((local / "D.NC").string(), "C:\\NCFILES\\D.NC", true), kOk);
  ASSERT_TRUE(AwaitUpload());
  EXPECT_EQ(link.SendCMD->FileError, -5);
  EXPECT_FALSE(fs::exists(Remote("D.NC")));
}

// Both kinds of job, started on a file of `size` bytes in each direction.
class BrokenJob : public Files, public testing::WithParamInterface<TransferDirection> {
 protected:
  bool Upload() const { return GetParam() == TransferDirection::kUpload; }
  void Start(std::size_t size) {
    fs::create_directories(Remote(""));
    WriteBytes(Remote("BIG.NC"), Bytes(size));
    WriteBytes(local / "BIG.NC", Bytes(size));
    ASSERT_EQ(Upload() ? link.SendFile((local / "BIG.NC").string(), "C:\\NCFILES\\UP.NC", true)
                       : link.ReceiveFile("C:\\NCFILES\\BIG.NC", (local / "DOWN.NC").string()),
              kOk);
  }
  bool Flag() const { return Upload() ? link.SendCMD->Sending.load() : link.SendCMD->Receiving.load(); }
};

TEST_P(BrokenJob, ItsConnectionIsGoneBeforeItsErrorShows) {
  sim.Command("drop-transfer 2");
  Start(20000);
  bool errorWhileConnected = false;
  ASSERT_TRUE(WaitUntil([&] {
    const std::int32_t error = link.SendCMD->FileError;
    if (error != 0 && link.SendCMD->SocketConnected()) errorWhileConnected = true;
    return !Flag();
  }));
  EXPECT_FALSE(errorWhileConnected) << "an error seen while the stream it broke still counts as up";
  EXPECT_EQ(link.SendCMD->FileError, Upload() ? kUploadDataShortReply : kDownloadPieceShortReply);
  EXPECT_TRUE(ConnectionBroke(link.SendCMD->FileError, GetParam()));
}

TEST_P(BrokenJob, OneTheShutdownStopsNeverEndsWell) {
  sim.Command("stall 20");
  Start(50000);
  ASSERT_TRUE(WaitUntil([&] { return link.SendCMD->FileOffset > 1000; }));
  std::thread stop([&] { link.Disconnect(); });
  bool flag = true;
  std::int32_t error = 0;
  // The flag first: a job sets its error before it lets the flag go.
  while (flag) {
    flag = Flag();
    error = link.SendCMD->FileError;
  }
  stop.join();
  EXPECT_EQ(error, kJobConnectionLost) << "the flag went without an error: read as finished";
  EXPECT_FALSE(WatchTransfer(*link.SendCMD, GetParam()).phase == TransferPhase::kFinished);
  EXPECT_FALSE(fs::exists(local / "DOWN.NC"));
}

INSTANTIATE_TEST_SUITE_P(BothWays, BrokenJob,
                         testing::Values(TransferDirection::kUpload, TransferDirection::kDownload),
                         [](const auto& info) {
                           return info.param == TransferDirection::kUpload ? "Upload" : "Download";
                         });

TEST_F(Files, CancelledUploadSendsNoEndPackage) {
  WriteBytes(local / "C.NC", Bytes(50000));
  sim.Command("stall 20");
  sim.Command("log-clear");
  ASSERT_EQ(link.SendFile((local / "C.NC").string(), "C:\\NCFILES\\C.NC", true), kOk);
  ASSERT_TRUE(WaitUntil([&] { return Commands(4352).size() >= 3; }));
  link.CancelSendFile();
  ASSERT_TRUE(AwaitUpload());
  sim.Command("stall 0");
  std::this_thread::sleep_for(100ms);
  EXPECT_TRUE(Commands(4354).empty());
  EXPECT_LT(Commands(4352).size(), 50u);
}

TEST_F(Files, ListingArrivesInPartsOfElevenWithTheTotalFirst) {
  fs::create_directories(Remote(""));
  for (int i = 0; i < 25; ++i) WriteBytes(Remote("O" + std::to_string(1000 + i) + ".NC"), "x");
  ASSERT_EQ(Retried([&] { return link.FileList("C:\\NCFILES", 0); }), kOk);
  int total = -1, modeOne = 0;
  std::vector<std::string> names;
  ASSERT_TRUE(WaitUntil([&] {
    while (auto block = link.FileListQueue.Pop()) {
      if (total < 0) {
        EXPECT_EQ(block->size(), 2u);
        total = (*block)[0] | (*block)[1] << 8;
      } else {
        EXPECT_EQ(block->size(), 44u);
        names.emplace_back(reinterpret_cast<const char*>(block->data() + 30));
      }
    }
    if (total >= 0 && static_cast<int>(names.size()) < total && link.SendCMD->IsIdle() &&
        static_cast<int>(names.size()) == 11 * (modeOne + 1)) {
      if (link.FileList("C:\\NCFILES", 1) == kOk) ++modeOne;
    }
    return total >= 0 && static_cast<int>(names.size()) == total;
  }));
  EXPECT_EQ(total, 25);
  EXPECT_EQ(modeOne, 2);
  EXPECT_EQ(std::count(names.begin(), names.end(), "O1024.NC"), 1);
}

TEST_F(Files, FileCommandsAreTrackedByTheirAnswers) {
  fs::create_directories(Remote(""));
  WriteBytes(Remote("A1"), "a");
  link.ResetCount();
  ASSERT_EQ(Retried([&] { return link.NCFileRename("C:\\NCFILES\\A1", "C:\\NCFILES\\B22"); }), kOk);
  int requested = 0, answered = 0;
  ASSERT_TRUE(WaitUntil([&] { return link.GetCount(&requested, &answered) == 1; }));
  std::string name;
  int error = -1;
  link.GetErrorFilename(&name, &error);
  EXPECT_EQ(error, 0);
  link.GetErrorNewname(&name);
  EXPECT_EQ(name, "C:\\NCFILES\\B22");
  EXPECT_TRUE(fs::exists(Remote("B22")));

  ASSERT_EQ(Retried([&] { return link.NCDirCreate("C:\\NCFILES\\SUB"); }), kOk);
  ASSERT_EQ(Retried([&] { return link.NCDirCreate("C:\\NCFILES\\SUB"); }), kOk);
  ASSERT_TRUE(WaitUntil([&] { return link.GetCount(&requested, &answered) == 3; }));
  EXPECT_EQ(requested, 3);
  link.GetErrorFilename(&name, &error);
  EXPECT_EQ(error, 12);
  ASSERT_EQ(Retried([&] { return link.NCDirDelete("C:\\NCFILES\\SUB"); }), kOk);
  ASSERT_EQ(Retried([&] { return link.NCFileDelete("C:\\NCFILES\\B22"); }), kOk);
  ASSERT_TRUE(WaitUntil([&] { return link.GetCount(&requested, &answered) == 5; }));
  link.GetErrorFilename(&name, &error);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(name, "C:\\NCFILES\\B22");
  EXPECT_FALSE(fs::exists(Remote("B22")));
  EXPECT_FALSE(fs::exists(Remote("SUB")));
  EXPECT_EQ(link.NCFileDelete("0"), kRefused);
}

TEST_F(Files, FileCommandsTheTransportTurnsAwayAreRefusedAndNotCounted) {
  fs::create_directories(Remote(""));
  link.ResetCount();
  link.SendCMD->ListBusy = true;  // as while the transport takes a package off its list
  EXPECT_EQ(link.NCDirCreate("C:\\NCFILES\\SUB"), kRefused);
  EXPECT_EQ(link.NCFileDelete("C:\\NCFILES\\A"), kRefused);
  EXPECT_EQ(link.FileList("C:\\NCFILES", 0), kRefused);
  int requested = -1, answered = -1;
  link.GetCount(&requested, &answered);
  EXPECT_EQ(requested, 0);  // nothing to wait for

  link.SendCMD->ListBusy = false;
  ASSERT_EQ(Retried([&] { return link.NCDirCreate("C:\\NCFILES\\SUB"); }), kOk);
  ASSERT_TRUE(WaitUntil([&] { return link.GetCount(&requested, &answered) == 1; }));
  EXPECT_EQ(requested, 1);
  EXPECT_TRUE(fs::is_directory(Remote("SUB")));
}

TEST_F(Files, RecordsAskedOnTheCommandChannelAreWritten) {
  link.Set_DR_Save_Path(local.string());
  link.Set_DR_ChangeTimer(2);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Retried([&] { return link.AskGetDRData(); }), kOk);
  ASSERT_TRUE(WaitUntil([&] { return Replies() >= 3; }));
  EXPECT_EQ(link.Get_DR_Data(), 1);
  EXPECT_GE(std::distance(fs::directory_iterator(local), {}), 1);
}

}  // namespace
}  // namespace vandir::test
