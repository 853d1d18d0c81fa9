// The controller's file system behind vandir-sim: uploads, downloads, file commands and
// listings through real TCP with a bare client, checked against the host folder.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/package.h"
#include "tests/sim/sim_client.h"
#include "tests/support/file_bytes.h"
#include "tests/support/simulator.h"

namespace vandir::test {
namespace {

namespace fs = std::filesystem;

constexpr std::int16_t kDone = 0;
constexpr std::int16_t kNotFound = 2;
constexpr std::int16_t kWrongKind = 5;
constexpr std::int16_t kExists = 9;
constexpr std::int16_t kFolderExists = 12;
constexpr std::int16_t kNotEmpty = 13;
constexpr std::int16_t kBadName = 14;
constexpr std::int16_t kOutOfOrder = 16;

constexpr std::int16_t kRename = 401, kDelete = 402, kMakeFolder = 405, kRemoveFolder = 407;

std::vector<std::string> HostNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

defPACKAGE UploadStart(const std::string& target, std::int32_t size, bool overwrite,
                       const std::string& source = "local.nc") {
  const auto length = static_cast<std::int16_t>(26 + source.size() + target.size());
  auto request = Request(373, 0, 0, length);
  request.set_iParam1(overwrite ? 1 : 0);
  request.set_iParam2(static_cast<std::int16_t>(source.size() + 1));
  request.set_iParam3(static_cast<std::int16_t>(target.size() + 1));
  request.put_i32(20, size);
  request.put_text(24, source);
  request.put_text(static_cast<int>(25 + source.size()), target);
  return request;
}

defPACKAGE UploadData(const std::string& bytes) {
  const auto length = static_cast<std::int16_t>(kHeaderSize + bytes.size());
  auto request = Request(4352, 0, 0, length);
  request.set_iParam3(length);
  request.put_text(kData, bytes);
  return request;
}

defPACKAGE UploadEnd() {
  auto request = Request(4354, 0, 0);
  request.set_iParam3(kHeaderSize);
  return request;
}

defPACKAGE PieceRequest(const std::string& name, std::int32_t offset, bool first,
                        const std::string& local = "/tmp/back.nc") {
  const auto length = static_cast<std::int16_t>(22 + name.size() + local.size());
  auto request = Request(368, 0, 0, length);
  request.set_iParam1(first ? 0 : 1);
  request.set_iParam2(static_cast<std::int16_t>(name.size() + 1));
  request.set_iParam3(static_cast<std::int16_t>(local.size() + 1));
  request.put_i32(16, offset);
  request.put_text(20, name);
  request.put_text(static_cast<int>(21 + name.size()), local);
  return request;
}

// Rename takes both names; the other commands only the first.
defPACKAGE FileCommand(std::int16_t command, const std::string& name,
                       const std::string& newName = "") {
  const bool rename = command == kRename;
  const auto length =
      static_cast<std::int16_t>(kHeaderSize + name.size() + 1 + (rename ? newName.size() + 1 : 0));
  auto request = Request(command, 0, rename ? 272 : 144, length);
  request.set_iParam2(static_cast<std::int16_t>(name.size()));
  request.set_iParam3(static_cast<std::int16_t>(newName.size()));
  request.put_text(kData, name);
  if (rename) request.put_text(static_cast<int>(kData + name.size() + 1), newName);
  return request;
}

defPACKAGE ListRequest(const std::string& folder, std::int16_t mode) {
  auto request = Request(409, 0, kPackageSize, static_cast<std::int16_t>(kHeaderSize + folder.size()));
  request.set_iParam1(mode);
  request.put_text(kData, folder);
  return request;
}

Simulator::Options NoShippedFiles() {
  Simulator::Options options;
  options.extraArgs = {"--data", "/nonexistent"};
  return options;
}

class SimFiles : public testing::Test {
 protected:
  SimFiles() : client(LoggedIn(sim)) {}

  // The reply, which must carry the request's index and exactly `size` bytes.
  defPACKAGE Exchange(defPACKAGE request, std::size_t size) {
    request.set_iIndex(++index);
    const auto reply = client->Exchange(request, size);
    EXPECT_FALSE(reply.error) << "command " << request.iCommand() << ": " << reply.error.message();
    EXPECT_EQ(reply.package.iLength(), static_cast<std::int16_t>(size));
    EXPECT_EQ(reply.package.iIndex(), index);
    return reply.package;
  }
  std::int16_t Step(const defPACKAGE& request) {
    const auto size = request.iCommand() == 373 ? request.iLength() : kHeaderSize;
    const auto reply = Exchange(request, static_cast<std::size_t>(size));
    EXPECT_EQ(reply.iCommand(), request.iCommand() + kReplyOffset);
    return reply.iParam1();
  }
  // The first result of start, data packages of at most 496 bytes and end that is not 0.
  std::int16_t Upload(const std::string& target, const std::string& bytes, bool overwrite = false) {
    if (const auto start = Step(UploadStart(target, static_cast<std::int32_t>(bytes.size()), overwrite))) {
      return start;
    }
    for (std::size_t sent = 0; sent < bytes.size(); sent += kDataSize) {
      if (const auto result = Step(UploadData(bytes.substr(sent, kDataSize)))) return result;
    }
    return Step(UploadEnd());
  }
  std::int16_t Command(std::int16_t command, const std::string& name, const std::string& newName = "") {
    const auto request = FileCommand(command, name, newName);
    return Exchange(request, static_cast<std::size_t>(request.iReplyLength())).iParam1();
  }
  fs::path Host(const std::string& relative) const { return sim.Root() / "C" / relative; }

  // Without the shipped controller files, so the file area holds what the tests put there.
  Simulator sim{NoShippedFiles()};
  std::unique_ptr<Client> client;
  std::int16_t index = 0;
};

TEST_F(SimFiles, MachineFoldersExistFromTheStart) {
  EXPECT_TRUE(fs::is_directory(Host("NCFILES")));
  EXPECT_TRUE(fs::is_directory(Host("MACHINE")));
  EXPECT_EQ(sim.Command("files"), "ok C:\\MACHINE\\ C:\\NCFILES\\");
}

TEST(SimShippedFiles, AFreshSimulatorHoldsTheControllersOwnFiles) {
  Simulator sim;
  const std::string files = sim.Command("files");
  for (const char* item : {"C:\\MACHINE\\ENG_MLC.ERR=", "C:\\MACHINE\\USRCHI.STR=",
                           "C:\\MACHINE\\CNCSYS.LOG=", "C:\\MACHINE\\OPMSG.LOG=",
                           "C:\\MACHINE\\PARAM.BIN=", "C:\\RESOURCE\\DSPE.STR=",
                           "C:\\RESOURCE\\DSPC.STR=", "C:\\RESOURCE\\PARAM.IDX=48124"}) {
    EXPECT_NE(files.find(item), std::string::npos) << item;
  }
}

TEST_F(SimFiles, UploadInPiecesThenDownloadGivesBackEveryByte) {
  const std::string program = EveryByteValue(1300);  // pieces of 496, 496 and 308 bytes
  ASSERT_EQ(Upload("C:\\NCFILES\\O1234.NC", program), kDone);
  EXPECT_EQ(ReadBytes(Host("NCFILES/O1234.NC")), program);
  EXPECT_EQ(HostNames(Host("NCFILES")), std::vector<std::string>{"O1234.NC"});
  EXPECT_EQ(sim.Command("files C:\\NCFILES"), "ok C:\\NCFILES\\O1234.NC=1300");

  // A long local name leaves less room for each piece: 482 - 19 - 40 bytes.
  const std::string name = "C:\\NCFILES\\O1234.NC";
  const std::string local = "/home/engineer/backups/machine-7/o1234.nc";
  const int room = 482 - static_cast<int>(name.size() + local.size());
  std::string back;
  for (bool first = true; back.size() < program.size(); first = false) {
    const auto reply = Exchange(PieceRequest(name, static_cast<std::int32_t>(back.size()), first, local),
                                kPackageSize);
    ASSERT_EQ(reply.iCommand(), 368 + kReplyOffset);
    ASSERT_EQ(reply.iParam1(), kDone);
    const int length = reply.i32(20);
    ASSERT_EQ(length, std::min<int>(room, static_cast<int>(program.size() - back.size())));
    EXPECT_EQ(reply.i32(24), static_cast<std::int32_t>(program.size() - back.size()));
    EXPECT_EQ(reply.text(28), name);
    EXPECT_EQ(reply.text(static_cast<int>(29 + name.size())), local);
    const int at = 30 + static_cast<int>(name.size() + local.size());
    back.append(reinterpret_cast<const char*>(reply.bytes.data() + at), static_cast<std::size_t>(length));
  }
  EXPECT_EQ(back, program);
}

TEST_F(SimFiles, EmptyFileTakesStartAndEndAndDownloadsAsNothing) {
  ASSERT_EQ(Upload("C:\\NCFILES\\EMPTY.NC", ""), kDone);
  EXPECT_EQ(fs::file_size(Host("NCFILES/EMPTY.NC")), 0u);
  const auto reply = Exchange(PieceRequest("C:\\NCFILES\\EMPTY.NC", 0, true), kPackageSize);
  EXPECT_EQ(reply.iParam1(), kDone);
  EXPECT_EQ(reply.i32(20), 0);
  EXPECT_EQ(reply.i32(24), 0);
}

TEST_F(SimFiles, ExistingTargetIsRefusedWithNineUnlessOverwriteIsSet) {
  WriteBytes(Host("NCFILES/O1.NC"), "old");
  EXPECT_EQ(Step(UploadStart("C:\\NCFILES\\O1.NC", 3, false)), kExists);
  EXPECT_EQ(ReadBytes(Host("NCFILES/O1.NC")), "old");
  EXPECT_EQ(Upload("C:\\NCFILES\\O1.NC", "new", true), kDone);
  EXPECT_EQ(ReadBytes(Host("NCFILES/O1.NC")), "new");

  // A name taken while the upload ran is not overwritten at its end either.
  ASSERT_EQ(Step(UploadStart("C:\\NCFILES\\O2.NC", 3, false)), kDone);
  ASSERT_EQ(Step(UploadData("new")), kDone);
  WriteBytes(Host("NCFILES/o2.nc"), "other");
  EXPECT_EQ(Step(UploadEnd()), kExists);
  EXPECT_EQ(HostNames(Host("NCFILES")), (std::vector<std::string>{"O1.NC", "o2.nc"}));
}

TEST_F(SimFiles, BrokenUploadLeavesTheOldFileAndNoHalfOne) {
  struct Case {
    const char* what;
    std::optional<defPACKAGE> breakOff;  // nullopt: the connection goes away
    std::int16_t result;
  };
  const Case cases[] = {
      {"end before every byte", UploadEnd(), kOutOfOrder},
      {"more bytes than announced", UploadData(EveryByteValue(400)), kOutOfOrder},
      {"a new start", UploadStart("C:\\NCFILES\\O2.NC", 1, true), kDone},
      {"connection gone", std::nullopt, kDone},
  };
  WriteBytes(Host("NCFILES/O1.NC"), "old");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(Step(UploadStart("C:\\NCFILES\\O1.NC", 600, true)), kDone);
    ASSERT_EQ(Step(UploadData(EveryByteValue(300))), kDone);
    if (c.breakOff) {
      EXPECT_EQ(Step(*c.breakOff), c.result);
    } else {
      client.reset();  // the port serves one client at a time
      client = LoggedIn(sim);
    }
    // Nothing is left to end, and the old file is all there is.
    EXPECT_EQ(Step(UploadEnd()), kOutOfOrder);
    EXPECT_TRUE(WaitUntil([&] { return HostNames(Host("NCFILES")) == std::vector<std::string>{"O1.NC"}; }));
    EXPECT_EQ(ReadBytes(Host("NCFILES/O1.NC")), "old");
  }
}

TEST_F(SimFiles, TransferStepsAreRefusedWhereTheyMakeNoSense) {
  struct Case {
    const char* what;
    defPACKAGE request;
    std::int16_t result;
  };
  fs::create_directory(Host("NCFILES/SUB"));
  WriteBytes(Host("NCFILES/O1.NC"), "12345");
  const Case cases[] = {
      {"data without a start", UploadData("x"), kOutOfOrder},
      {"end without a start", UploadEnd(), kOutOfOrder},
      {"upload onto a folder", UploadStart("C:\\NCFILES\\SUB", 1, true), kWrongKind},
      {"upload into a missing folder", UploadStart("C:\\NONE\\O1.NC", 1, true), kNotFound},
      {"upload not 8.3", UploadStart("C:\\NCFILES\\PROGRAM12.NC", 1, true), kBadName},
      {"download of a missing file", PieceRequest("C:\\NCFILES\\O9.NC", 0, true), kNotFound},
      {"download of a folder", PieceRequest("C:\\NCFILES\\SUB", 0, true), kWrongKind},
      {"download past the end", PieceRequest("C:\\NCFILES\\O1.NC", 6, false), kOutOfOrder},
      {"names leave no room for a piece",
       PieceRequest("C:\\NCFILES\\O1.NC", 0, true, std::string(470, 'x')), kBadName},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto size = c.request.iCommand() == 368   ? kPackageSize
                      : c.request.iCommand() == 373 ? c.request.iLength()
                                                    : kHeaderSize;
    EXPECT_EQ(Exchange(c.request, static_cast<std::size_t>(size)).iParam1(), c.result);
  }
  EXPECT_EQ(sim.Command("files C:\\NCFILES"), "ok C:\\NCFILES\\O1.NC=5 C:\\NCFILES\\SUB\\");
}

TEST_F(SimFiles, FileCommandsChangeTheFoldersAndEchoTheirNames) {
  struct Case {
    std::int16_t command;
    std::string name;
    std::string newName;
    std::int16_t result;
  };
  WriteBytes(Host("NCFILES/A.NC"), "a");
  const Case cases[] = {
      {kMakeFolder, "C:\\NCFILES\\SUB", "", kDone},
      {kMakeFolder, "C:\\NCFILES\\SUB", "", kFolderExists},
      {kMakeFolder, "C:\\NCFILES\\A.NC", "", kExists},
      {kMakeFolder, "C:\\NONE\\SUB", "", kNotFound},
      {kRename, "C:\\NCFILES\\A.NC", "C:\\NCFILES\\SUB\\B.NC", kDone},
      {kRename, "C:\\NCFILES\\SUB\\B.NC", "C.NC", kDone},  // stays in its folder
      {kRename, "C:\\NCFILES\\A.NC", "C:\\NCFILES\\D.NC", kNotFound},
      {kRemoveFolder, "C:\\NCFILES\\SUB", "", kNotEmpty},
      {kDelete, "C:\\NCFILES\\SUB", "", kWrongKind},
      {kRemoveFolder, "C:\\NCFILES\\SUB\\C.NC", "", kWrongKind},
      {kDelete, "C:\\NCFILES\\SUB\\C.NC", "", kDone},
      {kDelete, "C:\\NCFILES\\SUB\\C.NC", "", kNotFound},
      {kRemoveFolder, "C:\\NCFILES\\SUB", "", kDone},
      {kRemoveFolder, "C:\\NCFILES\\SUB", "", kNotFound},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.command) + " " + c.name + " " + c.newName);
    const auto request = FileCommand(c.command, c.name, c.newName);
    const auto reply = Exchange(request, static_cast<std::size_t>(request.iReplyLength()));
    EXPECT_EQ(reply.iCommand(), c.command + kReplyOffset);
    EXPECT_EQ(reply.iParam1(), c.result);
    EXPECT_EQ(reply.iParam2(), static_cast<std::int16_t>(c.name.size()));
    EXPECT_EQ(reply.text(kData), c.name);
    EXPECT_EQ(reply.text(kData + reply.iParam2() + 1), c.newName);
  }
  EXPECT_EQ(sim.Command("files C:\\NCFILES"), "ok");
}

TEST_F(SimFiles, RenameTakesNoTakenNameButMayChangeTheCase) {
  WriteBytes(Host("NCFILES/a.nc"), "a");
  WriteBytes(Host("NCFILES/B.NC"), "b");
  EXPECT_EQ(Command(kRename, "C:\\NCFILES\\A.NC", "b.nc"), kExists);
  EXPECT_EQ(Command(kRename, "C:\\NCFILES\\A.NC", "a.nc"), kDone);
  EXPECT_EQ(HostNames(Host("NCFILES")), (std::vector<std::string>{"A.NC", "B.NC"}));
}

TEST_F(SimFiles, NamesAreFoundWithoutCaseAndRelativeToTheNcFilesFolder) {
  fs::create_directory(Host("NCFILES/sub"));
  WriteBytes(Host("NCFILES/sub/o5.nc"), "five");
  const auto reply = Exchange(PieceRequest("c:\\NcFiles\\SUB\\O5.NC", 0, true), kPackageSize);
  EXPECT_EQ(reply.iParam1(), kDone);
  EXPECT_EQ(reply.i32(20), 4);
  EXPECT_EQ(Upload("new.nc", "n"), kDone);
  EXPECT_EQ(Upload("\\MACHINE\\m.dat", "m"), kDone);
  EXPECT_EQ(ReadBytes(Host("NCFILES/NEW.NC")), "n");
  EXPECT_EQ(ReadBytes(Host("MACHINE/M.DAT")), "m");
}

TEST_F(SimFiles, NoRequestReachesOutsideTheRoot) {
  const std::string escapes[] = {
      "C:\\..\\..\\ESCAPED",  "C:\\NCFILES\\..\\..\\ESCAPED", "..\\..\\ESCAPED",
      "/tmp/ESCAPED",         "C:\\NCFILES/../ESCAPED",       "C:\\.\\ESCAPED",
      "1:\\ESCAPED",          "C:\\NCFILES\\ESCAPED.NCXY",    "C:\\" + std::string(130, 'A'),
      "C:\\NCFILES\\A*.NC",   "",
  };
  const fs::path outside = sim.Root().parent_path();
  for (const auto& path : escapes) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Command(kMakeFolder, path), kBadName);
    EXPECT_EQ(Upload(path, "x", true), kBadName);
    EXPECT_EQ(Exchange(PieceRequest(path.empty() ? "x?" : path, 0, true), kPackageSize).iParam1(),
              kBadName);
  }
  EXPECT_FALSE(fs::exists(outside / "ESCAPED"));
  EXPECT_FALSE(fs::exists("/tmp/ESCAPED"));
  EXPECT_EQ(sim.Command("files"), "ok C:\\MACHINE\\ C:\\NCFILES\\");
}

// Entries of one listing, asked for part by part until the total is reached.
struct Listing {
  std::vector<std::int16_t> modes;   // iParam1 of each reply
  std::vector<std::int16_t> counts;  // iParam2
  std::vector<std::int16_t> totals;  // iParam3
  std::vector<std::string> names;
  std::vector<defPACKAGE> replies;
};

class SimListing : public SimFiles {
 protected:
  Listing List(const std::string& folder, int mostReplies = 5) {
    Listing listing;
    for (int part = 0; part < mostReplies; ++part) {
      const auto reply = Exchange(ListRequest(folder, part == 0 ? 0 : 1), kPackageSize);
      EXPECT_EQ(reply.iCommand(), 665);
      listing.replies.push_back(reply);
      listing.modes.push_back(reply.iParam1());
      listing.counts.push_back(reply.iParam2());
      listing.totals.push_back(reply.iParam3());
      for (int k = 0; k < reply.iParam2(); ++k) listing.names.push_back(reply.text(kData + 44 * k + 30));
      if (reply.iParam1() < 0 || static_cast<int>(listing.names.size()) >= reply.iParam3()) break;
    }
    return listing;
  }
};

TEST_F(SimListing, TwentyFiveFilesComeInPartsOfElevenElevenAndThree) {
  for (int i = 0; i < 25; ++i) WriteBytes(Host("NCFILES/O" + std::to_string(1000 + i) + ".NC"), "x");
  const Listing listing = List("C:\\NCFILES");
  EXPECT_EQ(listing.modes, (std::vector<std::int16_t>{0, 1, 1}));
  EXPECT_EQ(listing.counts, (std::vector<std::int16_t>{11, 11, 3}));
  EXPECT_EQ(listing.totals, (std::vector<std::int16_t>{25, 25, 25}));
  ASSERT_EQ(listing.names.size(), 25u);
  for (int i = 0; i < 25; ++i) EXPECT_EQ(listing.names[i], "O" + std::to_string(1000 + i) + ".NC");
  // Asked for more, the listing has nothing left.
  const auto after = Exchange(ListRequest("C:\\NCFILES", 1), kPackageSize);
  EXPECT_EQ(after.iParam1(), 1);
  EXPECT_EQ(after.iParam2(), 0);
}

TEST_F(SimListing, EntryCarriesAttributesFatTimeSizeAndName) {
  WriteBytes(Host("NCFILES/O1000.NC"), std::string(1042, 'g'));
  fs::create_directory(Host("NCFILES/SUB"));
  std::tm local{};
  local.tm_year = 2025 - 1900;
  local.tm_mon = 0;
  local.tm_mday = 1;
  local.tm_hour = 13;
  local.tm_min = 45;
  local.tm_sec = 59;
  local.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, Host("NCFILES/O1000.NC").c_str(), times, 0), 0);

  const Listing listing = List("C:\\NCFILES\\");
  ASSERT_EQ(listing.names, (std::vector<std::string>{"O1000.NC", "SUB"}));
  const auto& reply = listing.replies[0];
  for (int off = 0; off < 21; ++off) EXPECT_EQ(reply.u8(kData + off), 0) << off;
  EXPECT_EQ(reply.u8(kData + 21), 0x20);
  EXPECT_EQ(reply.u16(kData + 22), (13 << 11) | (45 << 5) | 29);
  EXPECT_EQ(reply.u16(kData + 24), (45 << 9) | (1 << 5) | 1);
  EXPECT_EQ(reply.i32(kData + 26), 1042);
  EXPECT_EQ(reply.u8(kData + 44 + 21), 0x10);
  EXPECT_EQ(reply.i32(kData + 44 + 26), 0);
}

TEST_F(SimListing, PatternsFoldersAndMissingFolders) {
  struct Case {
    std::string folder;
    std::vector<std::string> names;
    std::int16_t mode;
  };
  for (const char* name : {"O1.NC", "o2.nc", "O3.TXT", "NOEXT", "long-name.nc", ".hidden"}) {
    WriteBytes(Host("NCFILES") / name, "x");
  }
  fs::create_directory(Host("NCFILES/EMPTY"));
  const Case cases[] = {
      {"C:\\NCFILES", {"EMPTY", "NOEXT", "O1.NC", "O2.NC", "O3.TXT"}, 0},
      {"C:\\NCFILES\\*.*", {"EMPTY", "NOEXT", "O1.NC", "O2.NC", "O3.TXT"}, 0},
      {"C:\\NCFILES\\*.NC", {"O1.NC", "O2.NC"}, 0},
      {"c:\\ncfiles\\o?.*", {"O1.NC", "O2.NC", "O3.TXT"}, 0},
      {"C:\\NCFILES\\*", {"EMPTY", "NOEXT"}, 0},
      {"C:\\NCFILES\\O3.TXT", {"O3.TXT"}, 0},
      {"C:\\NCFILES\\X*.*", {}, 0},
      {"C:\\NCFILES\\EMPTY", {}, 0},
      {"C:\\NONE", {}, -1},
      {"C:\\NONE\\*.*", {}, -1},
      {"C:\\NCFILES\\..", {}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const Listing listing = List(c.folder);
    EXPECT_EQ(listing.modes.front(), c.mode);
    EXPECT_EQ(listing.names, c.names);
    if (c.mode == 0) {
      EXPECT_EQ(listing.totals.front(), static_cast<std::int16_t>(c.names.size()));
    }
  }
}

TEST_F(SimListing, EachConnectionPagesItsOwnListing) {
  for (int i = 0; i < 12; ++i) WriteBytes(Host("NCFILES/A" + std::to_string(10 + i)), "x");
  for (int i = 0; i < 12; ++i) WriteBytes(Host("MACHINE/B" + std::to_string(10 + i)), "x");
  auto other = LoggedIn(sim, kDncCommandPort);
  // Nothing to continue before a listing started.
  EXPECT_EQ(other->Exchange(ListRequest("", 1), kPackageSize).package.iParam1(), -1);
  Exchange(ListRequest("C:\\NCFILES", 0), kPackageSize);
  other->Exchange(ListRequest("C:\\MACHINE", 0), kPackageSize);
  const auto mine = Exchange(ListRequest("", 1), kPackageSize);
  EXPECT_EQ(mine.iParam2(), 1);
  EXPECT_EQ(mine.text(kData + 30), "A21");
  EXPECT_EQ(other->Exchange(ListRequest("", 1), kPackageSize).package.text(kData + 30), "B21");
}

TEST_F(SimListing, HostileNamesEndEveryListingAndAreServedUntilSwitchedOff) {
  WriteBytes(Host("NCFILES/O1.NC"), "x");
  ASSERT_EQ(sim.Command("hostile-names"), "ok");
  const std::vector<std::string> hostile = {"../.profile", "..\\AUTOEXEC", "..",       ".",
                                            "SUB/EVIL.NC", "BELL\a.NC",   "DEL\x7F.NC"};
  std::vector<std::string> expected = {"O1.NC"};
  expected.insert(expected.end(), hostile.begin(), hostile.end());
  EXPECT_EQ(List("C:\\NCFILES").names, expected);
  for (const std::string& name : hostile) {
    const auto reply = Exchange(PieceRequest("C:\\NCFILES\\" + name, 0, true), kPackageSize);
    EXPECT_EQ(reply.iParam1(), kDone) << name;
    EXPECT_GT(reply.i32(20), 0) << name;
  }
  EXPECT_EQ(sim.Command("files"), "ok C:\\MACHINE\\ C:\\NCFILES\\ C:\\NCFILES\\O1.NC=1")
      << "served, never made";
  ASSERT_EQ(sim.Command("hostile-names off"), "ok");
  EXPECT_EQ(List("C:\\NCFILES").names, std::vector<std::string>{"O1.NC"});
  EXPECT_EQ(Exchange(PieceRequest("C:\\NCFILES\\..", 0, true), kPackageSize).iParam1(), kBadName);
}

TEST_F(SimListing, AnEndlessListingAnnouncesWhatNeverComesOnce) {
  WriteBytes(Host("NCFILES/O1.NC"), "x");
  ASSERT_EQ(sim.Command("endless-listing"), "ok");
  const Listing endless = List("C:\\NCFILES", 4);
  EXPECT_EQ(endless.totals, (std::vector<std::int16_t>{1001, 1001, 1001, 1001}));
  EXPECT_EQ(endless.counts, (std::vector<std::int16_t>{1, 0, 0, 0}));
  EXPECT_EQ(List("C:\\NCFILES").totals, std::vector<std::int16_t>{1}) << "the next one is whole";
}

TEST_F(SimFiles, FailFileAnswersTheNextFileStepWithItsCodeAndChangesNothing) {
  sim.Command("fail-file 7");
  EXPECT_EQ(Command(kMakeFolder, "C:\\NCFILES\\SUB"), 7);
  EXPECT_EQ(Command(kMakeFolder, "C:\\NCFILES\\SUB"), kDone);

  sim.Command("fail-file 31");
  EXPECT_EQ(Upload("C:\\NCFILES\\O1.NC", "x"), 31);
  ASSERT_EQ(Step(UploadStart("C:\\NCFILES\\O1.NC", 1000, false)), kDone);
  ASSERT_EQ(Step(UploadData(EveryByteValue(496))), kDone);
  sim.Command("fail-file 8");
  EXPECT_EQ(Step(UploadData(EveryByteValue(496))), 8);
  EXPECT_EQ(Step(UploadEnd()), kOutOfOrder);  // the failed step ended the upload

  WriteBytes(Host("NCFILES/O2.NC"), "two");
  sim.Command("fail-file 3");
  EXPECT_EQ(Exchange(PieceRequest("C:\\NCFILES\\O2.NC", 0, true), kPackageSize).iParam1(), 3);
  EXPECT_EQ(Exchange(PieceRequest("C:\\NCFILES\\O2.NC", 0, true), kPackageSize).iParam1(), kDone);
  EXPECT_EQ(sim.Command("files C:\\NCFILES"), "ok C:\\NCFILES\\O2.NC=3 C:\\NCFILES\\SUB\\");
}

TEST_F(SimFiles, DropTransferClosesTheConnectionAfterThatManyStepsOfTheNextTransfer) {
  sim.Command("drop-transfer 2");
  Command(kMakeFolder, "C:\\NCFILES\\SUB");  // no transfer: the fault waits
  ASSERT_EQ(Step(UploadStart("C:\\NCFILES\\O1.NC", 2000, false)), kDone);
  ASSERT_EQ(Step(UploadData(EveryByteValue(496))), kDone);
  ASSERT_EQ(Step(UploadData(EveryByteValue(496))), kDone);
  EXPECT_EQ(client->Exchange(UploadData(EveryByteValue(496)), kHeaderSize).error, asio::error::eof);
  EXPECT_TRUE(WaitUntil([&] { return HostNames(Host("NCFILES")) == std::vector<std::string>{"SUB"}; }));

  WriteBytes(Host("NCFILES/O2.NC"), EveryByteValue(2000));
  client = LoggedIn(sim);
  sim.Command("drop-transfer 1");
  const std::string name = "C:\\NCFILES\\O2.NC";
  const auto first = client->Exchange(PieceRequest(name, 0, true), kPackageSize);
  ASSERT_FALSE(first.error);
  const auto second = client->Exchange(PieceRequest(name, first.package.i32(20), false), kPackageSize);
  EXPECT_EQ(second.error, asio::error::eof);

  // Spent: the next download runs to its end.
  client = LoggedIn(sim);
  std::int32_t offset = 0;
  for (bool firstPiece = true; offset < 2000; firstPiece = false) {
    const auto piece = client->Exchange(PieceRequest(name, offset, firstPiece), kPackageSize);
    ASSERT_FALSE(piece.error);
    ASSERT_GT(piece.package.i32(20), 0);
    offset += piece.package.i32(20);
  }
}

TEST_F(SimFiles, DropTransferCanCloseInsteadOfAnsweringTheEndPackage) {
  sim.Command("drop-transfer 1");
  ASSERT_EQ(Step(UploadStart("C:\\NCFILES\\O1.NC", 496, false)), kDone);
  ASSERT_EQ(Step(UploadData(EveryByteValue(496))), kDone);
  EXPECT_EQ(client->Exchange(UploadEnd(), kHeaderSize).error, asio::error::eof);
  EXPECT_TRUE(WaitUntil([&] { return HostNames(Host("NCFILES")).empty(); }));
}

TEST_F(SimFiles, FailTransferAnswersTheStepAfterTheNthWithItsCode) {
  sim.Command("fail-transfer 1 21");
  EXPECT_EQ(Command(kMakeFolder, "C:\\NCFILES\\SUB"), kDone);  // no transfer: the fault waits
  ASSERT_EQ(Step(UploadStart("C:\\NCFILES\\O1.NC", 1000, false)), kDone);
  ASSERT_EQ(Step(UploadData(EveryByteValue(496))), kDone);
  EXPECT_EQ(Step(UploadData(EveryByteValue(496))), 21);
  EXPECT_EQ(Step(UploadEnd()), kOutOfOrder);  // the failed step ended the upload

  sim.Command("fail-transfer 1 22");
  ASSERT_EQ(Step(UploadStart("C:\\NCFILES\\O1.NC", 496, false)), kDone);
  ASSERT_EQ(Step(UploadData(EveryByteValue(496))), kDone);
  EXPECT_EQ(Step(UploadEnd()), 22);
  EXPECT_EQ(HostNames(Host("NCFILES")), std::vector<std::string>{"SUB"});

  const std::string name = "C:\\NCFILES\\O2.NC";
  WriteBytes(Host("NCFILES/O2.NC"), EveryByteValue(2000));
  sim.Command("fail-transfer 1 23");
  const auto first = Exchange(PieceRequest(name, 0, true), kPackageSize);
  ASSERT_EQ(first.iParam1(), kDone);
  const std::int32_t offset = first.i32(20);
  EXPECT_EQ(Exchange(PieceRequest(name, offset, false), kPackageSize).iParam1(), 23);
  const auto again = Exchange(PieceRequest(name, offset, false), kPackageSize);  // spent
  EXPECT_EQ(again.iParam1(), kDone);
  EXPECT_EQ(again.i32(20), offset);

  EXPECT_REFUSED(sim, "fail-transfer 1", "usage: fail-transfer N CODE");
  EXPECT_REFUSED(sim, "fail-transfer 1 0", "usage: fail-transfer N CODE");
}

TEST_F(SimFiles, EmptyPieceAnswersALaterPieceWithNoBytesAndTheSameCountStillToCome) {
  const std::string name = "C:\\NCFILES\\O2.NC";
  WriteBytes(Host("NCFILES/O2.NC"), EveryByteValue(2000));
  sim.Command("empty-piece 2");
  ASSERT_EQ(Upload("C:\\NCFILES\\O3.NC", EveryByteValue(1000)), kDone);  // waits for a download
  std::int32_t offset = 0;
  for (int piece = 0; piece < 2; ++piece) {
    const auto reply = Exchange(PieceRequest(name, offset, piece == 0), kPackageSize);
    ASSERT_GT(reply.i32(20), 0);
    offset += reply.i32(20);
  }
  const auto empty = Exchange(PieceRequest(name, offset, false), kPackageSize);
  EXPECT_EQ(empty.iParam1(), kDone);
  EXPECT_EQ(empty.i32(16), offset);
  EXPECT_EQ(empty.i32(20), 0);
  EXPECT_EQ(empty.i32(24), 2000 - offset);
  EXPECT_GT(Exchange(PieceRequest(name, offset, false), kPackageSize).i32(20), 0);
}

TEST_F(SimFiles, BothPortsTransferAtTheSameTime) {
  const std::string program = EveryByteValue(20000);
  auto other = std::thread([&] {
    Client dnc(sim.Address(), kDncCommandPort);
    dnc.Exchange(HandshakeRequest(2), kHeaderSize);
    for (int round = 0; round < 5; ++round) {
      const std::string target = "C:\\MACHINE\\M" + std::to_string(round) + ".DAT";
      dnc.Exchange(UploadStart(target, static_cast<std::int32_t>(program.size()), true), 26 + 8 + target.size());
      for (std::size_t sent = 0; sent < program.size(); sent += kDataSize) {
        dnc.Exchange(UploadData(program.substr(sent, kDataSize)), kHeaderSize);
      }
      dnc.Exchange(UploadEnd(), kHeaderSize);
    }
  });
  for (int round = 0; round < 5; ++round) {
    EXPECT_EQ(Upload("C:\\NCFILES\\O" + std::to_string(round) + ".NC", program, true), kDone);
    sim.Command("files");
  }
  other.join();
  for (int round = 0; round < 5; ++round) {
    EXPECT_EQ(ReadBytes(Host("NCFILES/O" + std::to_string(round) + ".NC")), program);
    EXPECT_EQ(ReadBytes(Host("MACHINE/M" + std::to_string(round) + ".DAT")), program);
  }
}

}  // namespace
}  // namespace vandir::test
