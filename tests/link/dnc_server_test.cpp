// The DNC requests served straight against a root folder of real files: the reply words of
// every request code, the kept replies of repeated requests, and the refusals of paths,
// handles and lengths a request may carry.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <filesystem>
#include <string>
#include <vector>

#include "link/dnc/dnc_server.h"
#include "tests/link/dnc_request.h"
#include "tests/link/temp_folder.h"

namespace vandir {
namespace {

namespace fs = std::filesystem;
using test::DncRequest;

struct RecordSink : DataRecordSink {
  void WriteRecord(const defRECEIVE_PACKAGE& record) override {
    indexes.push_back(record.iIndex());
  }
  std::vector<int> indexes;
};

std::string Pattern(int size) {
  std::string bytes;
  for (int i = 0; i < size; ++i) bytes += static_cast<char>(i * 7 + i / 251);
  return bytes;
}

class DncServing : public testing::Test {
 protected:
  DncServing() {
    fs::create_directories(folder / "root");
    folder.Write("secret", "keep out");
  }

  DncRequest Next(int code, int p1 = 0, int p2 = 0, int p3 = 0) {
    return DncRequest(code, ++index, p1, p2, p3);
  }
  // A request carrying one NUL-terminated text at the start of its data area.
  DncRequest WithText(int code, const std::string& text, int p1 = 0, int p2 = 0) {
    return Next(code, p1, p2).Bytes(kData, text + '\0');
  }
  defPACKAGE Serve(const DncRequest& request) {
    defPACKAGE reply;
    const int length = server.Serve(request.p, reply);
    EXPECT_EQ(length, reply.iLength());
    EXPECT_GE(length, kHeaderSize);
    EXPECT_LE(length, kPackageSize);
    EXPECT_EQ(reply.iHead(), kPackageHead);
    EXPECT_EQ(reply.iCommand(), static_cast<std::int16_t>(request.p.iCommand() + 4096));
    EXPECT_EQ(reply.iIndex(), request.p.iIndex());
    return reply;
  }
  int Open(const std::string& name, const std::string& mode) {
    return Serve(Next(4130).Bytes(kData, name + '\0').Bytes(272, mode + '\0')).iParam1();
  }
  static std::string Data(const defPACKAGE& reply, int size, int from = 0) {
    return std::string(reinterpret_cast<const char*>(reply.bytes.data()) + kData + from,
                       static_cast<std::size_t>(size));
  }
  std::string Root(const std::string& name) const { return folder.Read("root/" + name); }
  bool InRoot(const std::string& name) const { return fs::exists(folder / ("root/" + name)); }

  int index = 0;
  test::TempFolder folder;
  std::string rootText = (folder / "root").string() + "/";
  RecordSink records;
  DncServer server{[this] { return rootText; }, &records};
};

TEST_F(DncServing, RootPathIsTheFirst256Bytes) {
  const defPACKAGE reply = Serve(Next(4096));
  EXPECT_EQ(reply.iParam1(), 256);
  EXPECT_EQ(reply.iParam2(), 0);
  EXPECT_EQ(reply.iLength(), 272);
  EXPECT_EQ(reply.text(kData), rootText);
}

TEST_F(DncServing, ChangeDirectoryMovesWhereRelativeNamesStart) {
  folder.Write("root/NC/O1", "G0");
  const struct {
    std::string path;
    int result;
  } cases[] = {{"C:\\NOPE", -1}, {"C:\\NC\\O1", -1}, {"..", -1}, {"..\\..", -1}, {"C:\\NC", 0}};
  for (const auto& c : cases) {
    const defPACKAGE reply = Serve(WithText(4097, c.path));
    EXPECT_EQ(reply.iParam2(), c.result) << c.path;
    EXPECT_EQ(reply.iParam1(), 256);
    EXPECT_EQ(reply.iLength(), 272);
    EXPECT_EQ(reply.text(kData), c.path);
  }
  EXPECT_EQ(Serve(WithText(4137, "O1")).iParam1(), 0x20);
  EXPECT_EQ(Serve(WithText(4097, "..")).iParam2(), 0);
  EXPECT_EQ(Serve(WithText(4137, "O1")).iParam1(), -1);
}

TEST_F(DncServing, DeleteRemovesFilesOnly) {
  folder.Write("root/O1", "G0");
  fs::create_directories(folder / "root/SUB");
  fs::create_symlink(folder / "secret", folder / "root/OUT");
  const struct {
    std::string path;
    int result;
  } cases[] = {{"C:\\O1", 0}, {"O1", -1}, {"SUB", -1}, {"..\\secret", -1}, {"OUT", -1}};
  for (const auto& c : cases) {
    const defPACKAGE reply = Serve(WithText(4113, c.path));
    EXPECT_EQ(reply.iParam2(), c.result) << c.path;
    EXPECT_EQ(reply.iLength(), 272);
  }
  EXPECT_FALSE(InRoot("O1"));
  EXPECT_TRUE(InRoot("SUB"));
  EXPECT_EQ(folder.Read("secret"), "keep out");
}

// Two names packed one after the other; the lengths may or may not count the NUL.
DncRequest TwoNames(int code, int index, const std::string& from, const std::string& to) {
  return DncRequest(code, index, static_cast<int>(from.size()), static_cast<int>(to.size()))
      .Bytes(kData, from + to);
}

TEST_F(DncServing, RenameNeverReplacesAndNeverLeavesTheRoot) {
  folder.Write("root/A", "a");
  folder.Write("root/B", "b");
  const struct {
    std::string from, to;
    int result;
  } cases[] = {{"A", "B", -1},           {"A", "..\\stolen", -1}, {"..\\secret", "S", -1},
               {"MISSING", "C", -1},     {"A", "C", 0},           {std::string("C\0", 2), "D", 0}};
  for (const auto& c : cases) {
    const defPACKAGE reply = Serve(TwoNames(4114, ++index, c.from, c.to));
    EXPECT_EQ(reply.iParam3(), c.result) << c.from << " -> " << c.to;
    EXPECT_EQ(reply.iParam1(), static_cast<int>(c.from.size()));
    EXPECT_EQ(reply.iParam2(), static_cast<int>(c.to.size()));
    EXPECT_EQ(reply.iLength(), static_cast<int>(16 + c.from.size() + c.to.size()));
    EXPECT_EQ(Data(reply, static_cast<int>(c.from.size())), c.from);
  }
  EXPECT_EQ(Root("B"), "b");
  EXPECT_EQ(Root("D"), "a");
  EXPECT_FALSE(InRoot("A"));
  EXPECT_FALSE(fs::exists(folder / "stolen"));
  EXPECT_EQ(folder.Read("secret"), "keep out");
}

TEST_F(DncServing, CopySucceedsOnlyWhenBothFilesExistAfterwards) {
  folder.Write("root/A", "program");
  const struct {
    std::string from, to;
    int result;
  } cases[] = {{"A", "B", 0},         {"A", "B", 0},          {"MISSING", "C", -1},
               {"A", "A", -1},        {"..\\secret", "S", -1}, {"A", "..\\stolen", -1}};
  for (const auto& c : cases)
    EXPECT_EQ(Serve(TwoNames(4115, ++index, c.from, c.to)).iParam3(), c.result)
        << c.from << " -> " << c.to;
  EXPECT_EQ(Root("A"), "program");
  EXPECT_EQ(Root("B"), "program");
  EXPECT_FALSE(InRoot("C"));
  EXPECT_FALSE(InRoot("S"));
  EXPECT_FALSE(fs::exists(folder / "stolen"));
}

TEST_F(DncServing, NameLengthsOutsideThePackageAreRefused) {
  folder.Write("root/A", "a");
  const struct {
    int oldLength, newLength;
  } cases[] = {{0, 1}, {1, 0}, {-1, 2}, {1, -5}, {400, 97}, {497, 1}, {32767, 32767}};
  for (const int code : {4114, 4115}) {
    for (const auto& c : cases) {
      const defPACKAGE reply =
          Serve(Next(code, c.oldLength, c.newLength).Bytes(kData, std::string(496, 'A')));
      EXPECT_EQ(reply.iParam3(), -1) << code << " " << c.oldLength << "+" << c.newLength;
      EXPECT_EQ(reply.iLength(), 16);
    }
  }
  EXPECT_EQ(Root("A"), "a");
}

TEST_F(DncServing, SearchQueuesMatchesAsDirectoryEntries) {
  folder.Write("root/O2000.NC", "2");
  folder.Write("root/O1000.NC", "0123456789");
  folder.Write("root/README.TXT", "");
  folder.Write("root/A_NAME_LONGER_THAN_28_BYTES.NC", "");
  fs::create_directories(folder / "root/SUB.NC");
  std::tm stamp{};
  stamp.tm_year = 2024 - 1900;
  stamp.tm_mon = 2;
  stamp.tm_mday = 15;
  stamp.tm_hour = 13;
  stamp.tm_min = 45;
  stamp.tm_sec = 31;
  stamp.tm_isdst = -1;
  const timeval times[2] = {{std::mktime(&stamp), 0}, {std::mktime(&stamp), 0}};
  ASSERT_EQ(::utimes((folder / "root/O1000.NC").c_str(), times), 0);
  ASSERT_EQ(::chmod((folder / "root/O2000.NC").c_str(), 0444), 0);

  defPACKAGE reply = Serve(WithText(4128, "C:\\*.NC", 0, 0));
  EXPECT_EQ(reply.iParam1(), 0);
  EXPECT_EQ(reply.iParam2(), 3);
  EXPECT_EQ(reply.iParam3(), 0);
  EXPECT_EQ(reply.iLength(), 74);
  EXPECT_EQ(Data(reply, 21), std::string(21, '\0'));
  EXPECT_EQ(reply.u8(kData + 21), 0x20);
  EXPECT_EQ(Data(reply, 28, 30), "A_NAME_LONGER_THAN_28_BYTES.");

  reply = Serve(Next(4129));
  EXPECT_EQ(reply.iParam1(), 0);
  EXPECT_EQ(reply.iParam2(), 2);
  EXPECT_EQ(reply.u8(kData + 21), 0x20);
  EXPECT_EQ(reply.u16(kData + 22), (13 << 11) | (45 << 5) | 15);
  EXPECT_EQ(reply.u16(kData + 24), ((2024 - 1980) << 9) | (3 << 5) | 15);
  EXPECT_EQ(reply.u32(kData + 26), 10u);
  EXPECT_EQ(Data(reply, 28, 30), std::string("O1000.NC") + std::string(20, '\0'));

  reply = Serve(Next(4129));
  EXPECT_EQ(reply.u8(kData + 21), 0x21);  // read-only
  EXPECT_EQ(reply.text(kData + 30), "O2000.NC");

  reply = Serve(Next(4129));
  EXPECT_EQ(reply.iParam1(), -1);
  EXPECT_EQ(reply.iParam2(), 0);
  EXPECT_EQ(reply.iLength(), 74);
}

TEST_F(DncServing, SearchReportsFoldersOnlyWhenAskedFor) {
  folder.Write("root/NC/O1", "");
  fs::create_directories(folder / "root/NC/SUB");
  fs::create_directory_symlink(folder.Path(), folder / "root/NC/OUT");
  const struct {
    std::string pattern;
    int mask;
    int found;
  } cases[] = {{"NC\\*.*", 0x00, 1}, {"NC\\*.*", 0x10, 2}, {"C:\\NC\\SUB", 0x10, 1},
               {"NC\\*", 0x27, 1},   {"..\\*", 0x10, 0},   {"NC\\OUT\\*", 0x10, 0},
               {"NOPE\\*", 0x10, 0}, {"C:\\NC\\", 0x10, 0}};
  for (const auto& c : cases) {
    const defPACKAGE reply = Serve(WithText(4128, c.pattern, 0, c.mask));
    EXPECT_EQ(reply.iParam2(), c.found) << c.pattern << " " << c.mask;
    EXPECT_EQ(reply.iParam1(), c.found ? 0 : -1) << c.pattern;
  }
  EXPECT_EQ(Serve(WithText(4137, "C:\\NC\\SUB")).iParam1(), 0x10);
  EXPECT_EQ(Serve(WithText(4137, "NC\\O?")).iParam1(), 0x20);
  EXPECT_EQ(Serve(WithText(4137, "NC\\X*")).iParam1(), -1);
  EXPECT_EQ(Serve(WithText(4137, "..\\secret")).iParam1(), -1);
}

TEST_F(DncServing, AccessTestTakesTheDosModes) {
  folder.Write("root/O1", "");
  const struct {
    std::string path;
    int mode;
    int result;
  } cases[] = {{"O1", 0, 0},  {"O1", 2, 0},  {"O1", 4, 0},         {"O1", 6, 0}, {"O1", 1, -1},
               {"O1", 7, -1}, {"O2", 0, -1}, {"..\\secret", 0, -1}};
  for (const auto& c : cases)
    EXPECT_EQ(Serve(WithText(4138, c.path, c.mode)).iParam1(), c.result) << c.path << c.mode;
}

TEST_F(DncServing, FreeSpaceFitsInSixteenBitClusters) {
  const auto space = fs::space(folder.Path());
  defPACKAGE reply = Serve(Next(4141, 3));
  EXPECT_EQ(reply.iParam1(), 0);
  EXPECT_EQ(reply.iLength(), 24);
  const unsigned total = reply.u16(kData), available = reply.u16(kData + 2);
  const unsigned sectors = reply.u16(kData + 4), bytes = reply.u16(kData + 6);
  EXPECT_EQ(bytes, 512u);
  ASSERT_GT(sectors, 0u);
  EXPECT_EQ(sectors & (sectors - 1), 0u);
  const std::uint64_t cluster = 512ull * sectors;
  EXPECT_EQ(total, std::min<std::uint64_t>(space.capacity / cluster, 0xFFFF));
  EXPECT_LE(available, total);
  if (sectors > 1 && sectors < 0x8000) {
    EXPECT_GT(space.capacity / (cluster / 2), 0xFFFFu);  // no smaller cluster would fit
  }

  EXPECT_EQ(Serve(Next(4141, 27)).iParam1(), 1);
  rootText.clear();
  EXPECT_EQ(Serve(Next(4141, 0)).iParam1(), 1);
}

TEST_F(DncServing, OpenModesAreTheCModes) {
  folder.Write("root/O1", "G0");
  for (const std::string mode : {"r", "rb", "r+", "r+b", "rb+", "w", "wb", "w+", "w+b", "wb+",
                                 "a", "ab", "a+", "a+b", "ab+"}) {
    const int handle = Open("O1", mode);
    EXPECT_EQ(handle, 0) << mode;
    EXPECT_EQ(Serve(Next(4131, handle)).iParam1(), 0) << mode;
  }
  for (const std::string mode : {"", "x", "rw", "r++", "wx", "rt", "b", "R", "r b", "rbb"})
    EXPECT_EQ(Open("O1", mode), -1) << mode;
  // Texts that do not end inside their fields.
  EXPECT_EQ(Serve(Next(4130).Bytes(kData, std::string(256, 'A')).Bytes(272, "r")).iParam1(), -1);
  EXPECT_EQ(Serve(Next(4130).Bytes(kData, "O1").Bytes(272, std::string(240, 'r'))).iParam1(), -1);
}

TEST_F(DncServing, OpenRefusesWhatIsNotARegularFileInsideTheRoot) {
  fs::create_directories(folder / "root/SUB");
  ASSERT_EQ(::mkfifo((folder / "root/PIPE").c_str(), 0600), 0);
  fs::create_symlink(folder / "secret", folder / "root/OUT");
  const std::string names[] = {"SUB", "PIPE", "OUT", "..\\secret", "C:\\..\\secret",
                               (folder / "secret").string(), std::string(300, 'N')};
  for (const auto& name : names) {
    EXPECT_EQ(Open(name, "w"), -1) << name;
    EXPECT_EQ(Open(name, "r"), -1) << name;
  }
  EXPECT_EQ(folder.Read("secret"), "keep out");
  rootText.clear();
  EXPECT_EQ(Open("O1", "w"), -1);
  EXPECT_FALSE(InRoot("O1"));
}

TEST_F(DncServing, FileRequestsAnswerInTheHeaderAlone) {
  folder.Write("root/O1", "G0");
  const int handle = Open("O1", "r+b");
  const DncRequest requests[] = {
      Next(4130).Bytes(kData, std::string("O1") + '\0').Bytes(272, std::string("rb") + '\0'),
      Next(4133, handle).Bytes(kData, std::string("X") + '\0'),
      Next(4134, handle, 1),
      Next(4135, handle),
      WithText(4137, "O1"),
      WithText(4138, "O1"),
      Next(4140, handle, 1, 1),
      Next(4131, handle),
  };
  for (const auto& request : requests) {
    const defPACKAGE reply = Serve(request);
    EXPECT_EQ(reply.iLength(), 16) << request.p.iCommand();
    EXPECT_EQ(reply.iParam2(), 0) << request.p.iCommand();
    EXPECT_EQ(reply.iParam3(), 0) << request.p.iCommand();
    EXPECT_GE(reply.iParam1(), 0) << request.p.iCommand();
  }
}

TEST_F(DncServing, ThirtyTwoFilesAtMost) {
  folder.Write("root/O1", "G0");
  for (int i = 0; i < 32; ++i) ASSERT_EQ(Open("O1", "rb"), i);
  EXPECT_EQ(Open("O1", "rb"), -9);
  EXPECT_EQ(Serve(Next(4131, 7)).iParam1(), 0);
  EXPECT_EQ(Serve(Next(4131, 7)).iParam1(), -9);
  EXPECT_EQ(Open("O1", "rb"), 7);
}

TEST_F(DncServing, HandlesThatNameNoOpenFile) {
  folder.Write("root/O1", "G0");
  ASSERT_EQ(Open("O1", "rb"), 0);
  for (const int handle : {1, 31, 32, -1, 1000}) {
    EXPECT_EQ(Serve(Next(4131, handle)).iParam1(), -9) << handle;
    EXPECT_EQ(Serve(Next(4133, handle).Bytes(kData, "X")).iParam1(), -9) << handle;
    EXPECT_EQ(Serve(Next(4134, handle)).iParam1(), -9) << handle;
    EXPECT_EQ(Serve(Next(4135, handle)).iParam1(), -9) << handle;
    const defPACKAGE read = Serve(Next(4132, handle));
    EXPECT_EQ(read.iParam1(), 0);
    EXPECT_EQ(read.iParam2(), 0);
    EXPECT_EQ(read.iLength(), 16);
    const defPACKAGE tell = Serve(Next(4136, handle));
    EXPECT_EQ(tell.i32(kData), -1);
    EXPECT_EQ(tell.iLength(), 512);
    EXPECT_EQ(Serve(Next(4139, handle, 1, 4)).iLength(), 16);
    EXPECT_EQ(Serve(Next(4140, handle, 1, 4)).iParam1(), 0);
  }
}

TEST_F(DncServing, ReadBlocksCarryTheirPosition) {
  const std::string content = Pattern(70000);
  folder.Write("root/BIG", content);
  const int handle = Open("BIG", "rb");
  defPACKAGE reply = Serve(Next(4132, handle));
  EXPECT_EQ(reply.iParam1(), 496);
  EXPECT_EQ(reply.iParam2(), 0);
  EXPECT_EQ(reply.iLength(), 512);
  EXPECT_EQ(Data(reply, 496), content.substr(0, 496));

  // A repeated request is answered again without reading further.
  const DncRequest second = Next(4132, handle);
  reply = Serve(second);
  const defPACKAGE repeated = Serve(second);
  EXPECT_EQ(repeated.bytes, reply.bytes);
  EXPECT_EQ(reply.iParam2(), 496);
  EXPECT_EQ(Serve(Next(4136, handle)).i32(kData), 992);

  // Positions above 16 bits, and the short block at the end.
  reply = Serve(Next(4134, handle, 0).I32(kData, 65600));
  EXPECT_EQ(reply.iParam1(), 0);
  reply = Serve(Next(4132, handle));
  EXPECT_EQ(reply.iParam2(), 65600 & 0xFFFF);
  EXPECT_EQ(reply.iParam3(), 1);
  EXPECT_EQ(Data(reply, 496), content.substr(65600, 496));
  Serve(Next(4134, handle, 2).I32(kData, -4));
  EXPECT_EQ(Serve(Next(4135, handle)).iParam1(), 0);
  reply = Serve(Next(4132, handle));
  EXPECT_EQ(reply.iParam1(), 4);
  EXPECT_EQ(reply.iLength(), 20);
  EXPECT_EQ(Serve(Next(4135, handle)).iParam1(), 32);
  // At the end: nothing read, and asked again it reads again.
  const DncRequest atEnd = Next(4132, handle);
  EXPECT_EQ(Serve(atEnd).iParam1(), 0);
  Serve(Next(4134, handle, 0).I32(kData, 0));
  EXPECT_EQ(Serve(atEnd).iParam1(), 496);
}

TEST_F(DncServing, SeekOrigins) {
  folder.Write("root/O1", Pattern(100));
  const int handle = Open("O1", "rb");
  const struct {
    int origin, offset, result, position;
  } cases[] = {{0, 10, 0, 10}, {1, 5, 0, 15}, {2, -1, 0, 99}, {0, -1, -1, 99}, {3, 0, -1, 99}};
  for (const auto& c : cases) {
    EXPECT_EQ(Serve(Next(4134, handle, c.origin).I32(kData, c.offset)).iParam1(), c.result)
        << c.origin << " " << c.offset;
    EXPECT_EQ(Serve(Next(4136, handle)).i32(kData), c.position);
  }
}

TEST_F(DncServing, WritesAreDoneOnceWhenRepeated) {
  const int handle = Open("C:\\OUT.NC", "wb");
  ASSERT_EQ(handle, 0);
  const DncRequest text = Next(4133, handle).Bytes(kData, std::string("G01 X1\n") + '\0');
  EXPECT_EQ(Serve(text).iParam1(), 0);
  EXPECT_EQ(Serve(text).iParam1(), 0);
  const DncRequest items = Next(4140, handle, 2, 3).Bytes(kData, "ABCDEF");
  EXPECT_EQ(Serve(items).iParam1(), 3);
  EXPECT_EQ(Serve(items).iParam1(), 3);
  EXPECT_EQ(Serve(Next(4140, handle, 1, 497)).iParam1(), 0);
  EXPECT_EQ(Serve(Next(4140, handle, 0, 4)).iParam1(), 0);
  EXPECT_EQ(Serve(Next(4140, handle, 2, -1)).iParam1(), 0);
  EXPECT_EQ(Serve(Next(4133, handle).Bytes(kData, std::string(496, 'X'))).iParam1(), -1);
  EXPECT_EQ(Serve(Next(4131, handle)).iParam1(), 0);
  EXPECT_EQ(Root("OUT.NC"), "G01 X1\nABCDEF");
}

TEST_F(DncServing, ReadItemsSendsEveryByteOfTheItemsRead) {
  folder.Write("root/O1", Pattern(14));
  const int handle = Open("O1", "rb");
  const DncRequest first = Next(4139, handle, 4, 3);
  defPACKAGE reply = Serve(first);
  EXPECT_EQ(reply.iParam1(), 3);
  EXPECT_EQ(reply.iLength(), 16 + 12);
  EXPECT_EQ(Data(reply, 12), Pattern(12));
  EXPECT_EQ(Serve(first).bytes, reply.bytes);
  reply = Serve(Next(4139, handle, 4, 3));
  EXPECT_EQ(reply.iParam1(), 0);  // two bytes left: no whole item
  for (const auto& [size, count] : {std::pair{4, 125}, {0, 1}, {1, -1}, {-2, -2}})
    EXPECT_EQ(Serve(Next(4139, handle, size, count)).iLength(), 16) << size << "x" << count;
}

// 4144: the PC file goes to the controller in pieces of 492 bytes.
DncRequest SendPiece(int index, const std::string& name, std::int32_t offset) {
  return DncRequest(4144, index, static_cast<int>(name.size()), offset & 0xFFFF, offset >> 16)
      .Bytes(kData, name);
}

TEST_F(DncServing, SendingAThousandBytesTakesThreePieces) {
  const std::string content = Pattern(1000);
  folder.Write("root/NC/O1", content);
  const struct {
    int offset, length;
  } pieces[] = {{0, 492}, {492, 492}, {984, 16}};
  for (const auto& piece : pieces) {
    const DncRequest request = SendPiece(++index, "C:\\NC\\O1", piece.offset);
    const defPACKAGE reply = Serve(request);
    EXPECT_EQ(reply.iParam1(), piece.length);
    EXPECT_EQ(reply.iParam2(), piece.offset);
    EXPECT_EQ(reply.iParam3(), 0);
    EXPECT_EQ(reply.iLength(), 20 + piece.length);
    EXPECT_EQ(reply.i32(kData), 1000);
    EXPECT_EQ(Data(reply, piece.length, 4), content.substr(piece.offset, piece.length));
    EXPECT_EQ(Serve(request).bytes, reply.bytes);  // a repeat gets the same reply
  }
  // The third piece closed the file: nothing is open to continue from.
  EXPECT_EQ(Serve(SendPiece(++index, "C:\\NC\\O1", 984)).iParam1(), -1);
}

TEST_F(DncServing, SendingReadsWhereTheControllerAsks) {
  const std::string content = Pattern(70000);
  folder.Write("root/BIG", content);
  EXPECT_EQ(Serve(SendPiece(++index, "BIG", 0)).iParam1(), 492);
  const defPACKAGE reply = Serve(SendPiece(++index, "BIG", 65600));
  EXPECT_EQ(reply.iParam3(), 1);
  EXPECT_EQ(Data(reply, 492, 4), content.substr(65600, 492));
  EXPECT_EQ(Serve(SendPiece(++index, "BIG", 70001)).iParam1(), -1);
  EXPECT_EQ(Serve(SendPiece(++index, "BIG", 492)).iParam1(), -1);  // the failure closed it
}

TEST_F(DncServing, SendingRefusesBadNames) {
  folder.Write("root/O1", "G0");
  for (const auto& request :
       {SendPiece(++index, "..\\secret", 0), SendPiece(++index, "MISSING", 0),
        SendPiece(++index, "NC", 0), DncRequest(4144, ++index, 0).Bytes(kData, "O1"),
        DncRequest(4144, ++index, 497).Bytes(kData, "O1"),
        DncRequest(4144, ++index, -3).Bytes(kData, "O1")}) {
    const defPACKAGE reply = Serve(request);
    EXPECT_EQ(reply.iParam1(), -1);
    EXPECT_EQ(reply.iLength(), 20);
  }
}

// 4145: the controller's file arrives in pieces of up to 236 bytes.
DncRequest ReceivePiece(int index, const std::string& name, const std::string& data, int piece) {
  DncRequest r(4145, index, static_cast<int>(name.size()), static_cast<int>(data.size()), piece);
  r.p.set_iLength(static_cast<std::int16_t>(276 + data.size()));
  return r.Bytes(20, name).Bytes(276, data);
}

TEST_F(DncServing, ReceivingOneShortPieceClosesTheFileAtOnce) {
  const std::string content = Pattern(100);
  const DncRequest request = ReceivePiece(++index, "C:\\O9", content, 0);
  const defPACKAGE reply = Serve(request);
  EXPECT_EQ(reply.iParam1(), 5);
  EXPECT_EQ(reply.iParam2(), 100);
  EXPECT_EQ(reply.iParam3(), 0);
  EXPECT_EQ(reply.iLength(), 376);
  EXPECT_EQ(Data(reply, 496), Data(request.p, 496));
  EXPECT_EQ(Root("O9"), content);  // complete on disk: closed
}

TEST_F(DncServing, ReceivingInPiecesWritesEachOnce) {
  const std::string content = Pattern(236 * 2 + 50);
  const DncRequest first = ReceivePiece(++index, "O9", content.substr(0, 236), 0);
  const DncRequest middle = ReceivePiece(++index, "", content.substr(236, 236), 2);
  const DncRequest last = ReceivePiece(++index, "", content.substr(472), 1);
  for (const auto* request : {&first, &first, &middle, &middle, &last, &last})
    EXPECT_EQ(Serve(*request).iParam2(), request->p.iParam2());
  EXPECT_EQ(Root("O9"), content);
  // No file open any more: a further piece fails.
  EXPECT_EQ(Serve(ReceivePiece(++index, "", "X", 2)).iParam2(), -1);
}

TEST_F(DncServing, ReceivingRefusesBadNamesAndLengths) {
  const struct {
    std::string name;
    int length;
  } cases[] = {{"..\\stolen", 10}, {"C:\\..\\stolen", 10}, {"O1", 237}, {"O1", -1}, {"", 10},
               {"NOPE\\O1", 10}};
  for (const auto& c : cases) {
    DncRequest r = ReceivePiece(++index, c.name, "0123456789", 0);
    r.p.set_iParam2(static_cast<std::int16_t>(c.length));
    EXPECT_EQ(Serve(r).iParam2(), -1) << c.name << " " << c.length;
  }
  DncRequest longName(4145, ++index, 257, 1, 0);
  EXPECT_EQ(Serve(longName.Bytes(20, std::string(257, 'N'))).iParam2(), -1);
  DncRequest badLength = ReceivePiece(++index, "O1", "0123456789", 0);
  badLength.p.set_iLength(600);
  EXPECT_EQ(Serve(badLength).iParam2(), -1);
  EXPECT_FALSE(fs::exists(folder / "stolen"));
  EXPECT_FALSE(InRoot("O1"));
}

TEST_F(DncServing, UnknownCodesComeBackMarkedAsAnswered) {
  DncRequest request = Next(4200, 1, 2, 3).Bytes(kData, "payload");
  request.p.set_iLength(40);
  defPACKAGE reply = Serve(request);
  EXPECT_EQ(reply.iCommand(), 8296);
  EXPECT_EQ(reply.iLength(), 40);
  EXPECT_EQ(reply.iParam3(), 3);
  EXPECT_EQ(reply.text(kData), "payload");
  for (const int length : {-5, 0, 600, 32767}) {
    request.p.set_iLength(static_cast<std::int16_t>(length));
    reply = Serve(request);
    EXPECT_EQ(reply.iLength(), length < 16 ? 16 : 512);
  }
}

TEST_F(DncServing, RecordsGoToTheRecorderUnanswered) {
  defPACKAGE reply;
  EXPECT_EQ(server.Serve(DncRequest(21845, 77, 1).p, reply), 0);
  EXPECT_EQ(reply.iHead(), 0);
  EXPECT_EQ(reply.iCommand(), 0);
  EXPECT_EQ(records.indexes, std::vector<int>{77});
}

TEST_F(DncServing, ARepeatMustBeTheSameRequest) {
  folder.Write("root/O1", Pattern(600));
  const int handle = Open("O1", "rb");
  Serve(DncRequest(4132, 50, handle));
  // Same index, another request: served, not answered with the kept block.
  const defPACKAGE tell = Serve(DncRequest(4136, 50, handle));
  EXPECT_EQ(tell.i32(kData), 496);
}

TEST_F(DncServing, ALostChannelClosesEverything) {
  const int handle = Open("O1", "wb");
  Serve(Next(4133, handle).Bytes(kData, std::string("G0") + '\0'));
  Serve(ReceivePiece(++index, "O2", std::string(236, 'x'), 0));
  Serve(WithText(4097, "C:\\"));
  server.CloseAll();
  EXPECT_EQ(Root("O1"), "G0");
  EXPECT_EQ(Root("O2"), std::string(236, 'x'));
  EXPECT_EQ(Serve(Next(4131, handle)).iParam1(), -9);
  EXPECT_EQ(Serve(ReceivePiece(++index, "", "y", 1)).iParam2(), -1);
}

}  // namespace
}  // namespace vandir
