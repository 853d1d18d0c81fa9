// File jobs that meet each other or a caller's cancel while the controller holds back its
// replies: each job keeps its own offsets and result, and a download that does not finish
// never touches the local file it was to replace.
#include <algorithm>
#include <filesystem>

#include "link/transport.h"
#include "tests/e2e/files_fixture.h"

namespace vandir::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The piece length the simulator serves between these two names.
std::size_t PieceLength(const std::string& remote, const fs::path& local) {
  return 482 - remote.size() - local.string().size();
}

class FileJobs : public Files {
 protected:
  // Holds every reply back, so that a job can be caught with a request at the controller.
  void HoldReplies() {
    sim.Command("stall 400");
    sim.Command("log-clear");
  }
  bool AwaitRequests(int command, std::size_t count) {
    return WaitUntil([&] { return Commands(command).size() >= count; }, 10s);
  }
  std::vector<std::string> SortedLocalNames() const {
    std::vector<std::string> names = LocalNames();
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(FileJobs, UploadStartedDuringADownloadsLastPieceCancelsTheDownloadCleanly) {
  const std::string remote = "C:\\NCFILES\\LAST.NC";
  const fs::path target = local / "LAST.NC";
  WriteBytes(Remote("LAST.NC"), Bytes(2 * PieceLength(remote, target) + 100, 3));
  WriteBytes(target, "old copy");
  const std::string upload = Bytes(3000, 4);
  WriteBytes(local / "UP.NC", upload);
  HoldReplies();
  ASSERT_EQ(link.ReceiveFile(remote, target.string()), kOk);
  ASSERT_TRUE(AwaitRequests(368, 3));  // the last piece is asked for; its reply is held
  ASSERT_EQ(link.SendFile((local / "UP.NC").string(), "C:\\NCFILES\\UP.NC", true), kOk);
  sim.Command("stall 0");
  ASSERT_TRUE(AwaitUpload());
  EXPECT_FALSE(link.SendCMD->Receiving);
  EXPECT_EQ(link.SendCMD->FileError, kJobFine);
  EXPECT_EQ(link.SendCMD->FileOffset, 3000);
  EXPECT_EQ(link.SendCMD->FileSize, 3000);
  EXPECT_EQ(link.SendCMD->SendPercent, 100);
  EXPECT_TRUE(ReadBytes(Remote("UP.NC")) == upload);
  EXPECT_TRUE(ReadBytes(target) == "old copy");
  EXPECT_EQ(SortedLocalNames(), (std::vector<std::string>{"LAST.NC", "UP.NC"}));
  EXPECT_EQ(Commands(368).size(), 3u);
}

TEST_F(FileJobs, DownloadStartedDuringAnUploadPieceAsksFromItsOwnStart) {
  const std::string content = Bytes(4000, 5);
  WriteBytes(Remote("DOWN.NC"), content);
  WriteBytes(local / "BIG.NC", Bytes(50000, 6));
  HoldReplies();
  ASSERT_EQ(link.SendFile((local / "BIG.NC").string(), "C:\\NCFILES\\BIG.NC", true), kOk);
  ASSERT_TRUE(AwaitRequests(4352, 2));  // a data package is at the controller
  ASSERT_EQ(link.ReceiveFile("C:\\NCFILES\\DOWN.NC", (local / "DOWN.NC").string()), kOk);
  sim.Command("stall 0");
  ASSERT_TRUE(AwaitDownload());
  EXPECT_FALSE(link.SendCMD->Sending);
  EXPECT_EQ(link.SendCMD->FileError, kJobFine);
  EXPECT_EQ(link.SendCMD->RecvPercent, 100);
  EXPECT_EQ(link.SendCMD->FileOffset, 4000);
  EXPECT_TRUE(ReadBytes(local / "DOWN.NC") == content);
  EXPECT_TRUE(Commands(4354).empty());  // the cancelled upload was not ended
  EXPECT_FALSE(fs::exists(Remote("BIG.NC")));
}

TEST_F(FileJobs, CancelledDownloadAsksForNothingMoreAndKeepsTheOldFile) {
  WriteBytes(Remote("CANCEL.NC"), Bytes(5000, 7));
  WriteBytes(local / "CANCEL.NC", "old copy");
  HoldReplies();
  ASSERT_EQ(link.ReceiveFile("C:\\NCFILES\\CANCEL.NC", (local / "CANCEL.NC").string()), kOk);
  ASSERT_TRUE(AwaitRequests(368, 2));
  link.CancelReceiveFile();
  EXPECT_FALSE(link.SendCMD->Receiving);
  sim.Command("stall 0");
  // The piece under way is still read; then the job ends and takes its partial file along.
  ASSERT_TRUE(WaitUntil([&] { return link.SendCMD->IsIdle() && LocalNames().size() == 1; }));
  EXPECT_EQ(ReadBytes(local / "CANCEL.NC"), "old copy");
  EXPECT_EQ(Commands(368).size(), 2u);
  EXPECT_EQ(link.SendCMD->FileError, kJobFine);
  EXPECT_LT(link.SendCMD->RecvPercent, 100);
}

TEST_F(FileJobs, DownloadProgressClimbsPieceByPiece) {
  const std::string content = Bytes(4000, 8);
  WriteBytes(Remote("SLOW.NC"), content);
  sim.Command("stall 30");
  ASSERT_EQ(link.ReceiveFile("C:\\NCFILES\\SLOW.NC", (local / "SLOW.NC").string()), kOk);
  std::vector<int> seen;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const bool running = link.SendCMD->Receiving;
        const int percent = link.SendCMD->RecvPercent;
        if (seen.empty() || seen.back() != percent) seen.push_back(percent);
        return !running;
      },
      20s));
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << testing::PrintToString(seen);
  EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](int p) { return p > 0 && p < 100; }))
      << testing::PrintToString(seen);
  EXPECT_EQ(link.SendCMD->RecvPercent, 100);
  EXPECT_EQ(link.SendCMD->FileSize, 4000);
  EXPECT_TRUE(ReadBytes(local / "SLOW.NC") == content);
}

// Faults of a later download piece, as the simulator injects them.
struct LaterPieceFault {
  const char* command;
  int fileError;
};

class DownloadFault : public FileJobs, public testing::WithParamInterface<LaterPieceFault> {};

TEST_P(DownloadFault, EndsTheJobWithItsCodeAndKeepsTheOldFile) {
  WriteBytes(Remote("FAULT.NC"), Bytes(3000, 9));
  WriteBytes(local / "FAULT.NC", "old copy");
  sim.Command(GetParam().command);
  sim.Command("log-clear");
  ASSERT_EQ(link.ReceiveFile("C:\\NCFILES\\FAULT.NC", (local / "FAULT.NC").string()), kOk);
  ASSERT_TRUE(AwaitDownload());
  EXPECT_EQ(link.SendCMD->FileError, GetParam().fileError);
  EXPECT_LT(link.SendCMD->RecvPercent, 100);
  EXPECT_EQ(Commands(368).size(), 2u);  // the faulty piece was the last one asked for
  EXPECT_EQ(ReadBytes(local / "FAULT.NC"), "old copy");
  EXPECT_EQ(LocalNames(), std::vector<std::string>{"FAULT.NC"});
}

INSTANTIATE_TEST_SUITE_P(LaterPiece, DownloadFault,
                         testing::Values(LaterPieceFault{"empty-piece 1", kDownloadPieceNotWritten},
                                         LaterPieceFault{"fail-transfer 1 23", 23}));

// What the controller can refuse of an upload, and the packages the link sent up to there.
struct UploadRefusal {
  const char* command;
  int fileError;
  std::vector<int> packages;
};

class UploadFault : public FileJobs, public testing::WithParamInterface<UploadRefusal> {};

TEST_P(UploadFault, EndsTheJobWithTheControllersCode) {
  WriteBytes(local / "REFUSED.NC", Bytes(1200, 10));  // three data packages
  sim.Command(GetParam().command);
  sim.Command("log-clear");
  ASSERT_EQ(link.SendFile((local / "REFUSED.NC").string(), "C:\\NCFILES\\REFUSED.NC", true), kOk);
  ASSERT_TRUE(AwaitUpload());
  EXPECT_EQ(link.SendCMD->FileError, GetParam().fileError);
  EXPECT_EQ(Commands(0), GetParam().packages);
  EXPECT_FALSE(fs::exists(Remote("REFUSED.NC")));
}

INSTANTIATE_TEST_SUITE_P(
    StartDataOrEnd, UploadFault,
    testing::Values(UploadRefusal{"fail-file 7", 7, {373}},
                    UploadRefusal{"fail-transfer 1 21", 21, {373, 4352, 4352}},
                    UploadRefusal{"fail-transfer 3 22", 22, {373, 4352, 4352, 4352, 4354}}));

TEST_F(FileJobs, UploadAtAnOffsetAnnouncesItAndStopsWhereTheControllerRefuses) {
  WriteBytes(local / "RESUME.NC", Bytes(3000, 11));
  sim.Command("log-clear");
  ASSERT_EQ(link.AskSendFilePiece((local / "RESUME.NC").string(), "C:\\NCFILES\\RESUME.NC", 1000,
                                  400, 3000, true),
            kOk);
  EXPECT_EQ(link.SendCMD->FileOffset, 1000);
  ASSERT_TRUE(AwaitUpload());
  // Offset 1000 and size 3000 in the start package; the simulator takes whole files only.
  const std::string start = sim.Command("last 373");
  EXPECT_EQ(start.substr(3 + 2 * 16, 16), "e8030000b80b0000") << start;
  EXPECT_EQ(link.SendCMD->FileError, 16);
  EXPECT_EQ(Commands(0), std::vector<int>{373});
  EXPECT_EQ(link.SendCMD->FileOffset, 1000);
  EXPECT_EQ(link.SendCMD->SendPercent, 0);
  EXPECT_FALSE(fs::exists(Remote("RESUME.NC")));
}

}  // namespace
}  // namespace vandir::test
