// The DNC channel end to end: a link connected for DNC serves the PC's folder to the
// simulator, whose dnc commands play the controller's requests over real TCP.
#include <climits>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "tests/e2e/link_fixture.h"
#include "tests/link/temp_folder.h"
#include "tests/support/file_bytes.h"

namespace vandir::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kAny = INT_MIN;  // a reply word the step does not check

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

std::string Unhex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

// A text as the controller sends it: with its NUL.
std::string Z(const std::string& text) { return text + '\0'; }

std::string I32(std::int32_t value) {
  defPACKAGE p;
  p.put_i32(0, value);
  return std::string(p.bytes.begin(), p.bytes.begin() + 4);
}

// Open request data: the path field of 256 bytes, then the mode.
std::string PathAndMode(const std::string& path, const std::string& mode) {
  std::string data = path;
  data.resize(256, '\0');
  return data + Z(mode);
}

// 4145 request data: four unused bytes, the name field of 256 bytes, then the file's bytes.
std::string ReceivePiece(const std::string& name, const std::string& bytes) {
  std::string data(4, '\0');
  data += name;
  data.resize(260, '\0');
  return data + bytes;
}

// The CRC-32 of zip, written out here so the simulator's own cannot agree with itself.
std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

// Whether this process, where the link serves the channel, holds `file` open.
bool HeldOpen(const fs::path& file) {
  const fs::path wanted = fs::weakly_canonical(file);
  for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (fs::read_symlink(fd.path(), ec) == wanted) return true;
  }
  return false;
}

class DncService : public LinkTest {
 protected:
  DncService() {
    fs::create_directories(root);
    fs::create_directories(records);
    TVandirCNC::SetRootPath(root.string() + "/");
    link.Set_DR_Save_Path(records.string());
  }
  ~DncService() override { TVandirCNC::SetRootPath(""); }

  void SetUp() override {
    sim.Command("cycle off");
    ConnectAndLogin(2);
    ASSERT_TRUE(AwaitChannel(true));
  }

  bool AwaitChannel(bool connected) {
    const std::string wanted = connected ? "ok connected=1" : "ok connected=0";
    return WaitUntil([&] { return sim.Command("dnc").starts_with(wanted); });
  }

  // One request with these header words and data under `requestIndex`; the reply as it came.
  defPACKAGE RawAt(int code, int requestIndex, int p1, int p2, int p3,
                   const std::string& data = "") {
    std::string line = "dnc raw " + std::to_string(code) + ' ' + std::to_string(requestIndex) +
                       ' ' + std::to_string(p1) + ' ' + std::to_string(p2) + ' ' +
                       std::to_string(p3);
    if (!data.empty()) line += ' ' + Hex(data);
    const std::string reply = sim.Command(line);
    const std::string bytes = reply.size() > 3 ? Unhex(reply.substr(3)) : "";
    defPACKAGE p;
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), kPackageSize), p.bytes.begin());
    EXPECT_EQ(static_cast<std::size_t>(p.iLength()), bytes.size()) << "reply to " << code;
    return p;
  }
  // The same under a fresh index.
  defPACKAGE Raw(int code, int p1, int p2, int p3, const std::string& data = "") {
    return RawAt(code, ++index, p1, p2, p3, data);
  }

  static std::string Data(const defPACKAGE& p, std::size_t count) {
    return std::string(p.bytes.begin() + kData, p.bytes.begin() + kData + count);
  }

  TempFolder base;
  const fs::path root = base / "root";
  const fs::path records = base / "records";
  int index = 100;  // raw requests number on from here; the simulator's own follow them
};

struct Step {
  const char* what;
  int code, p1, p2, p3;
  std::string data;
  int length;  // the reply's iLength
  int r1, r2, r3;
  std::string replyData = "";  // what the reply's data area starts with
};

TEST_F(DncService, EveryRequestIsAnsweredWithItsWordsAndLength) {
  const std::string program = EveryByteValue(1000);
  WriteBytes(root / "PROG.NC", program);
  fs::create_directory(root / "SUB");
  const std::string rootText = root.string() + "/";
  const Step steps[] = {
      {"root path", 4096, 0, 0, 0, "", 272, 256, 0, kAny, rootText},
      {"change into a folder", 4097, 0, 0, 0, Z("SUB"), 272, 256, 0, kAny, Z("SUB")},
      {"change back to the root", 4097, 0, 0, 0, Z("\\"), 272, 256, 0, kAny},
      {"change to no folder", 4097, 0, 0, 0, Z("NOPE"), 272, 256, -1, kAny, Z("NOPE")},
      {"open", 4130, 0, 0, 0, PathAndMode("C:\\PROG.NC", "rb"), 16, 0, 0, 0},
      {"read a block", 4132, 0, 0, 0, "", 512, 496, 0, 0, program.substr(0, 496)},
      {"tell", 4136, 0, 0, 0, "", 512, kAny, 0, 0, I32(496)},
      {"seek near the end", 4134, 0, 0, 0, I32(990), 16, 0, kAny, kAny},
      {"read the rest", 4132, 0, 0, 0, "", 26, 10, 990, 0, program.substr(990)},
      {"end of file", 4135, 0, 0, 0, "", 16, 32, kAny, kAny},
      {"seek to the start", 4134, 0, 0, 0, I32(0), 16, 0, kAny, kAny},
      {"not at the end", 4135, 0, 0, 0, "", 16, 0, kAny, kAny},
      {"read items", 4139, 0, 1, 4, "", 20, 4, 0, 0, program.substr(0, 4)},
      {"close", 4131, 0, 0, 0, "", 16, 0, 0, 0},
      {"close a closed handle", 4131, 0, 0, 0, "", 16, -9, 0, 0},
      {"read a closed handle", 4132, 0, 0, 0, "", 16, 0, 0, 0},
      {"end of file of no handle", 4135, 40, 0, 0, "", 16, -9, kAny, kAny},
      {"open for writing", 4130, 0, 0, 0, PathAndMode("NEW.NC", "wb"), 16, 0, 0, 0},
      {"write text", 4133, 0, 0, 0, Z("G01"), 16, 0, 0, 0},
      {"write items", 4140, 0, 1, 3, "X10", 16, 3, 0, 0},
      {"close the new file", 4131, 0, 0, 0, "", 16, 0, 0, 0},
      {"attributes", 4137, 0, 0, 0, Z("PROG.NC"), 16, 0x20, 0, 0},
      {"attributes of nothing", 4137, 0, 0, 0, Z("NONE.NC"), 16, -1, 0, 0},
      {"access to read", 4138, 4, 0, 0, Z("PROG.NC"), 16, 0, 0, 0},
      {"access to nothing", 4138, 0, 0, 0, Z("NONE.NC"), 16, -1, 0, 0},
      {"free space", 4141, 0, 0, 0, "", 24, 0, 0, 0},
      {"free space of no drive", 4141, 27, 0, 0, "", 24, 1, 0, 0},
      {"search first", 4128, 0, 0, 0, Z("*.NC"), 74, 0, 2, 0},
      {"search next", 4129, 0, 0, 0, "", 74, 0, 1, 0},
      {"search past the last", 4129, 0, 0, 0, "", 74, -1, 0, 0},
      {"rename", 4114, 7, 7, 0, Z("NEW.NC") + Z("REN.NC"), 30, 7, 7, 0},
      {"copy", 4115, 7, 7, 0, Z("REN.NC") + Z("CPY.NC"), 30, 7, 7, 0},
      {"copy of nothing", 4115, 7, 7, 0, Z("MIS.NC") + Z("XXX.NC"), 30, 7, 7, -1},
      {"delete", 4113, 0, 0, 0, Z("CPY.NC"), 272, 256, 0, kAny},
      {"delete of nothing", 4113, 0, 0, 0, Z("CPY.NC"), 272, 256, -1, kAny},
      {"first piece of a program", 4144, 7, 0, 0, "PROG.NC", 512, 492, 0, 0,
       I32(1000) + program.substr(0, 492)},
      {"a short file from the controller", 4145, 6, 10, 0, ReceivePiece("RCV.NC", "0123456789"),
       286, 6, 10, 0},
      {"a code without an operation", 4200, 1, 2, 3, "ABC", 19, 1, 2, 3, "ABC"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    const defPACKAGE reply = Raw(step.code, step.p1, step.p2, step.p3, step.data);
    EXPECT_EQ(reply.iHead(), kPackageHead);
    EXPECT_EQ(reply.iCommand(), step.code + 4096);
    EXPECT_EQ(reply.iIndex(), index);
    EXPECT_EQ(reply.iLength(), step.length);
    for (const auto& [want, got] :
         {std::pair{step.r1, reply.iParam1()}, std::pair{step.r2, reply.iParam2()},
          std::pair{step.r3, reply.iParam3()}}) {
      if (want != kAny) {
        EXPECT_EQ(got, want);
      }
    }
    EXPECT_EQ(Data(reply, step.replyData.size()), step.replyData);
  }
  EXPECT_EQ(ReadBytes(root / "REN.NC"), "G01X10");
  EXPECT_EQ(ReadBytes(root / "RCV.NC"), "0123456789");
  EXPECT_FALSE(fs::exists(root / "NEW.NC"));
  EXPECT_FALSE(fs::exists(root / "CPY.NC"));
}

TEST_F(DncService, SearchesReportNameSizeAndAttributes) {
  WriteBytes(root / "B.NC", "12345");
  WriteBytes(root / "A.NC", "");
  WriteBytes(root / "C.TXT", "x");
  fs::create_directory(root / "D.NC");
  EXPECT_EQ(sim.Command("dnc search *.NC 0"), "ok 2 \"A.NC\"/0/32 \"B.NC\"/5/32");
  EXPECT_EQ(sim.Command("dnc search C:\\*.NC 16"),
            "ok 3 \"A.NC\"/0/32 \"B.NC\"/5/32 \"D.NC\"/0/16");
}

TEST_F(DncService, RepeatedRequestsAreAnsweredFromTheKeptResult) {
  const std::string program = EveryByteValue(1000);
  WriteBytes(root / "PROG.NC", program);
  ASSERT_EQ(sim.Command("dnc open PROG.NC rb"), "ok handle=0");

  // Read block: the repeat gets the same block, and the file has not moved on.
  const defPACKAGE block = Raw(4132, 0, 0, 0);
  EXPECT_EQ(RawAt(4132, index, 0, 0, 0).bytes, block.bytes);
  EXPECT_EQ(Raw(4132, 0, 0, 0).iParam2(), 496);

  // Read items: the same items again, then the ones that follow them.
  ASSERT_EQ(Raw(4134, 0, 0, 0, I32(0)).iParam1(), 0);
  const defPACKAGE items = Raw(4139, 0, 1, 8);
  EXPECT_EQ(RawAt(4139, index, 0, 1, 8).bytes, items.bytes);
  EXPECT_EQ(Data(Raw(4139, 0, 1, 8), 8), program.substr(8, 8));

  // Write text and write items: written once, however often they come.
  ASSERT_EQ(sim.Command("dnc open OUT.NC wb"), "ok handle=1");
  EXPECT_EQ(Raw(4133, 1, 0, 0, Z("G0")).iParam1(), 0);
  EXPECT_EQ(RawAt(4133, index, 1, 0, 0, Z("G0")).iParam1(), 0);
  EXPECT_EQ(Raw(4140, 1, 1, 3, "X10").iParam1(), 3);
  EXPECT_EQ(RawAt(4140, index, 1, 1, 3, "X10").iParam1(), 3);
  ASSERT_EQ(sim.Command("dnc close 1"), "ok result=0");
  EXPECT_EQ(ReadBytes(root / "OUT.NC"), "G0X10");

  // Whole files: the simulator sends piece K twice and insists on the same reply.
  const std::string sent = EveryByteValue(600);  // 236 + 236 + 128
  WriteBytes(sim.Root() / "C" / "NCFILES" / "SENT.NC", sent);
  for (const int repeat : {1, 2, 3}) {
    SCOPED_TRACE(repeat);
    const std::string k = " repeat " + std::to_string(repeat);
    EXPECT_TRUE(sim.Command("dnc run PROG.NC" + k).starts_with("ok size=1000 pieces=3 "));
    EXPECT_EQ(sim.Command("dnc send C:\\NCFILES\\SENT.NC SENT.NC" + k), "ok bytes=600 pieces=3");
    EXPECT_EQ(ReadBytes(root / "SENT.NC"), sent);
  }
  EXPECT_EQ(ReadBytes(sim.Root() / "C" / "DNCRUN" / "PROG.NC"), program);
}

TEST_F(DncService, ThirtyTwoFilesAtMost) {
  WriteBytes(root / "PROG.NC", "G0");
  for (int handle = 0; handle < 32; ++handle)
    ASSERT_EQ(sim.Command("dnc open PROG.NC rb"), "ok handle=" + std::to_string(handle));
  EXPECT_EQ(sim.Command("dnc open PROG.NC rb"), "ok handle=-9");
  EXPECT_EQ(sim.Command("dnc close 17"), "ok result=0");
  EXPECT_EQ(sim.Command("dnc open PROG.NC rb"), "ok handle=17");
}

TEST_F(DncService, AThousandBytesGoIn492_492_16AndTheThirdClosesTheFile) {
  const std::string program = EveryByteValue(1000);
  WriteBytes(root / "K1.NC", program);
  const struct {
    int offset, bytes;
    bool openAfter;
  } pieces[] = {{0, 492, true}, {492, 492, true}, {984, 16, false}};
  for (const auto& piece : pieces) {
    SCOPED_TRACE(piece.offset);
    const defPACKAGE reply = Raw(4144, 5, piece.offset, 0, "K1.NC");
    EXPECT_EQ(reply.iParam1(), piece.bytes);
    EXPECT_EQ(reply.iParam2(), piece.offset);
    EXPECT_EQ(reply.iLength(), 20 + piece.bytes);
    EXPECT_EQ(reply.i32(kData), 1000);
    EXPECT_EQ(Data(reply, 4 + piece.bytes).substr(4), program.substr(piece.offset, piece.bytes));
    EXPECT_EQ(HeldOpen(root / "K1.NC"), piece.openAfter);
  }
  // The transfer is over: the last piece asked for again under a new index gets nothing.
  const defPACKAGE after = Raw(4144, 5, 984, 0, "K1.NC");
  EXPECT_EQ(after.iParam1(), -1);
  EXPECT_EQ(after.iLength(), 20);
}

TEST_F(DncService, AHundredByteFileFromTheControllerIsOnePieceClosedAtOnce) {
  const std::string bytes = EveryByteValue(100);
  WriteBytes(sim.Root() / "C" / "NCFILES" / "H100.NC", bytes);
  EXPECT_EQ(sim.Command("dnc send C:\\NCFILES\\H100.NC H100.NC"), "ok bytes=100 pieces=1");
  EXPECT_FALSE(HeldOpen(root / "H100.NC"));
  EXPECT_EQ(ReadBytes(root / "H100.NC"), bytes);
}

TEST_F(DncService, AMegabyteProgramRunsByteForByte) {
  const std::string program = EveryByteValue(1 << 20);
  WriteBytes(root / "BIG.NC", program);
  const std::string reply = sim.Command("dnc run BIG.NC");
  std::smatch fields;
  ASSERT_TRUE(std::regex_match(
      reply, fields, std::regex(R"(ok size=(\d+) pieces=(\d+) crc32=([0-9a-f]{8}) file=(.*))")))
      << reply;
  EXPECT_EQ(std::stol(fields[1]), 1 << 20);
  EXPECT_EQ(std::stol(fields[2]), ((1 << 20) + 491) / 492);
  EXPECT_EQ(std::stoul(fields[3], nullptr, 16), Crc32(program));
  EXPECT_EQ(fields[4], "C:\\DNCRUN\\BIG.NC");
  EXPECT_TRUE(ReadBytes(sim.Root() / "C" / "DNCRUN" / "BIG.NC") == program);
  EXPECT_FALSE(HeldOpen(root / "BIG.NC"));
}

class DncEscapes : public DncService {
 protected:
  void SetUp() override {
    DncService::SetUp();
    WriteBytes(root / "PROG.NC", "G0");
    WriteBytes(outside / "SECRET.NC", "secret");
    fs::create_directory_symlink(outside, root / "OUT");
    fs::create_symlink(outside / "SECRET.NC", root / "LINK.NC");
  }
  std::set<std::string> OutsideNames() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(outside))
      names.insert(entry.path().filename().string());
    return names;
  }
  const fs::path outside = base / "outside";
};

TEST_F(DncEscapes, AreRefusedAndTouchNothingOutsideTheRoot) {
  const std::string abs = outside.string();
  const struct {
    std::string command;
    std::string answer;
  } attempts[] = {
      {"open ..\\outside\\SECRET.NC rb", "ok handle=-1"},
      {"open " + abs + "/SECRET.NC rb", "ok handle=-1"},
      {"open C:\\..\\outside\\SECRET.NC rb", "ok handle=-1"},
      {"open D:..\\outside\\SECRET.NC rb", "ok handle=-1"},
      {"open OUT\\SECRET.NC rb", "ok handle=-1"},
      {"open LINK.NC rb", "ok handle=-1"},
      {"open ..\\outside\\NEW.NC wb", "ok handle=-1"},
      {"open OUT\\NEW.NC wb", "ok handle=-1"},
      {"open " + abs + "/NEW.NC wb", "ok handle=-1"},
      {"open LINK.NC wb", "ok handle=-1"},
      {"delete ..\\outside\\SECRET.NC", "ok result=-1"},
      {"delete " + abs + "/SECRET.NC", "ok result=-1"},
      {"delete OUT\\SECRET.NC", "ok result=-1"},
      {"rename PROG.NC ..\\outside\\MOVED.NC", "ok result=-1"},
      {"rename OUT\\SECRET.NC MINE.NC", "ok result=-1"},
      {"copy LINK.NC MINE.NC", "ok result=-1"},
      {"copy PROG.NC " + abs + "/COPY.NC", "ok result=-1"},
      {"copy PROG.NC OUT\\COPY.NC", "ok result=-1"},
      {"cd ..", "ok result=-1"},
      {"cd " + abs, "ok result=-1"},
      {"cd OUT", "ok result=-1"},
      {"search ..\\outside\\*.* 16", "ok 0"},
      {"search OUT\\*.* 16", "ok 0"},
      {"attr ..\\outside\\SECRET.NC", "ok result=-1"},
      {"access " + abs + "/SECRET.NC 0", "ok result=-1"},
      {"access LINK.NC 0", "ok result=-1"},
  };
  for (const auto& attempt : attempts)
    EXPECT_TRUE(sim.Command("dnc " + attempt.command).starts_with(attempt.answer))
        << attempt.command;
  for (const std::string& name :
       std::vector<std::string>{"..\\outside\\SECRET.NC", "LINK.NC", abs + "/SECRET.NC"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Raw(4144, static_cast<int>(name.size()), 0, 0, name).iParam1(), -1);
    EXPECT_EQ(Raw(4145, static_cast<int>(name.size()), 3, 0, ReceivePiece(name, "BAD")).iParam2(),
              -1);
  }
  EXPECT_EQ(OutsideNames(), std::set<std::string>{"SECRET.NC"});
  EXPECT_EQ(ReadBytes(outside / "SECRET.NC"), "secret");
  EXPECT_TRUE(fs::is_symlink(root / "LINK.NC"));
  EXPECT_TRUE(fs::is_symlink(root / "OUT"));
  EXPECT_EQ(ReadBytes(root / "PROG.NC"), "G0");
}

TEST_F(DncService, RecordsOnTheChannelAreWrittenIntoTheSavePath) {
  EXPECT_EQ(sim.Command("dnc record 3 repeat 2"), "ok records=3");
  ASSERT_TRUE(WaitUntil([&] { return link.Get_DR_Data() == 3; })) << link.Get_DR_Data();
  const auto files = std::vector(fs::directory_iterator(records), fs::directory_iterator());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(std::regex_match(files[0].path().filename().string(), std::regex(R"(\d{14})")));
  std::ifstream in(files[0].path());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 5u);  // header, rule and one line per record: the repeat is skipped
  EXPECT_TRUE(lines[0].starts_with("     ID")) << lines[0];
  EXPECT_NE(lines[2], lines[3]);
  // The channel answers the controller's next request as before.
  EXPECT_EQ(sim.Command("dnc root"), "ok \"" + root.string() + "/\"");
}

TEST_F(DncService, DisablingClosesTheChannelAndItsFilesEnablingBringsItBack) {
  WriteBytes(root / "PROG.NC", "G0");
  ASSERT_EQ(sim.Command("dnc open PROG.NC rb"), "ok handle=0");
  ASSERT_TRUE(HeldOpen(root / "PROG.NC"));
  link.DisableDNC();
  EXPECT_FALSE(link.GetDNCEnabled());
  EXPECT_FALSE(HeldOpen(root / "PROG.NC"));
  EXPECT_TRUE(AwaitChannel(false));

  ASSERT_EQ(link.EnableDNC(), kOk);
  EXPECT_TRUE(link.GetDNCEnabled());
  ASSERT_TRUE(AwaitChannel(true));
  EXPECT_EQ(sim.Command("dnc root"), "ok \"" + root.string() + "/\"");
  EXPECT_EQ(sim.Command("dnc open PROG.NC rb"), "ok handle=0");
}

TEST_F(DncService, DisconnectClosesTheChannel) {
  link.Disconnect();
  EXPECT_FALSE(link.GetDNCEnabled());
  EXPECT_TRUE(AwaitChannel(false));
}

TEST_F(DncService, AChannelTheControllerDropsStaysDownUntilEnabledAgain) {
  sim.Command("dnc drop");
  std::this_thread::sleep_for(400ms);
  EXPECT_TRUE(sim.Command("dnc").starts_with("ok connected=0"));
  EXPECT_TRUE(link.GetDNCEnabled());
  link.DisableDNC();
  ASSERT_EQ(link.EnableDNC(), kOk);
  EXPECT_TRUE(AwaitChannel(true));
}

TEST(DncOnACommandConnection, IsRefusedAndStartsNothing) {
  Simulator sim;
  TVandirCNC link;
  ASSERT_EQ(link.Connect_TCP(1, sim.Address()), kOk);
  ASSERT_EQ(AwaitLogin(link), kLoginFull);
  EXPECT_EQ(link.EnableDNC(), kRefused);
  EXPECT_FALSE(link.GetDNCEnabled());
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(sim.Command("dnc").starts_with("ok connected=0"));
}

}  // namespace
}  // namespace vandir::test
