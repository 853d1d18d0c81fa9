// The controller's side of the DNC channel: a PC played by the test connects to the
// simulator's port 2000 and answers the requests the control commands make it send.
#include <gtest/gtest.h>

#include <algorithm>
#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/package.h"
#include "tests/sim/sim_client.h"
#include "tests/support/simulator.h"

namespace vandir {
namespace {

using namespace std::chrono_literals;
using test::Client;
using test::Simulator;
using test::WaitUntil;

using Bytes = std::vector<std::uint8_t>;

std::string Hex(const std::uint8_t* bytes, std::size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::size_t i = 0; i < size; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0xF];
  }
  return hex;
}

// A 16-bit word as it travels.
std::string Word(std::size_t value) {
  const std::uint8_t bytes[] = {static_cast<std::uint8_t>(value),
                                static_cast<std::uint8_t>(value >> 8)};
  return Hex(bytes, 2);
}

std::string Zeros(std::size_t bytes) { return std::string(2 * bytes, '0'); }
std::string TextHex(const std::string& text) {
  return Hex(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// All 512 bytes of `request` against the bytes written out in `expected` (in hex, spaces
// between the words as wished), zeros after them; "iiii" at bytes 6-7 stands for whatever
// iIndex the simulator chose.
void ExpectRequest(const defPACKAGE& request, std::string expected) {
  std::erase(expected, ' ');
  if (expected.compare(12, 4, "iiii") == 0) expected.replace(12, 4, Hex(&request.bytes[6], 2));
  expected.resize(2 * kPackageSize, '0');
  EXPECT_EQ(Hex(request.bytes.data(), kPackageSize), expected);
}

// A reply as the PC builds it: the request's iIndex, the code + 4096.
defPACKAGE ReplyTo(const defPACKAGE& request, std::int16_t length, std::int16_t p1 = 0,
                   std::int16_t p2 = 0, std::int16_t p3 = 0, const Bytes& data = {}) {
  defPACKAGE reply;
  reply.set_iHead(kPackageHead);
  reply.set_iCommand(static_cast<std::int16_t>(request.iCommand() + 4096));
  reply.set_iLength(length);
  reply.set_iIndex(request.iIndex());
  reply.set_iParam1(p1);
  reply.set_iParam2(p2);
  reply.set_iParam3(p3);
  std::copy(data.begin(), data.end(), reply.bytes.begin() + kData);
  return reply;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The PC's end of the DNC channel: it connects to port 2000, reads whole 512-byte
// requests and sends each the first iLength bytes of what `answer` gives; for nothing it
// stays silent, or hangs up when told so.
class FakePc {
 public:
  using Answer = std::function<std::optional<defPACKAGE>(const defPACKAGE& request)>;
  enum class Silence { kWait, kHangUp };

  FakePc(Simulator& sim, Answer answer, Silence silence = Silence::kWait)
      : socket_(io_), answer_(std::move(answer)), silence_(silence) {
    socket_.connect({asio::ip::make_address(sim.Address()), kDncChannelPort});
    thread_ = std::thread([this] { Run(); });
    EXPECT_TRUE(WaitUntil([&] { return sim.Command("dnc").starts_with("ok connected=1"); }));
  }
  ~FakePc() {
    ::shutdown(socket_.native_handle(), SHUT_RDWR);
    thread_.join();
  }

  std::vector<defPACKAGE> Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  bool Closed() const { return closed_; }

 private:
  void Run() {
    for (;;) {
      defPACKAGE request;
      std::error_code ec;
      asio::read(socket_, asio::buffer(request.bytes), ec);
      if (ec) break;
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      const auto reply = answer_(request);
      if (!reply && silence_ == Silence::kHangUp) break;
      if (!reply) continue;
      const auto size = std::clamp<int>(reply->iLength(), kHeaderSize, kPackageSize);
      asio::write(socket_, asio::buffer(reply->bytes.data(), static_cast<std::size_t>(size)), ec);
    }
    closed_ = true;
    ::shutdown(socket_.native_handle(), SHUT_RDWR);
  }

  asio::io_context io_;
  asio::basic_stream_socket<asio::ip::tcp, asio::io_context::executor_type> socket_;
  const Answer answer_;
  const Silence silence_;
  std::mutex mutex_;
  std::vector<defPACKAGE> requests_;
  std::atomic<bool> closed_{false};
  std::thread thread_;
};

TEST(SimDncChannel, OnePcHoldsTheChannelAndANewerOneReplacesIt) {
  Simulator sim;
  EXPECT_EQ(sim.Command("dnc"), "ok connected=0 unasked=0");
  EXPECT_REFUSED(sim, "dnc root", "no PC connected");

  Client first(sim.Address(), kDncChannelPort);
  ASSERT_TRUE(WaitUntil([&] { return sim.Command("dnc") == "ok connected=1 unasked=0"; }));
  // The controller sends nothing until a command asks it to.
  EXPECT_EQ(first.Read(1, 200ms).error, asio::error::timed_out);

  Client second(sim.Address(), kDncChannelPort);
  EXPECT_TRUE(first.ClosedByPeer());
  EXPECT_EQ(sim.Command("dnc"), "ok connected=1 unasked=0");

  defPACKAGE stray;
  second.Send(stray, 5);
  EXPECT_TRUE(WaitUntil([&] { return sim.Command("dnc") == "ok connected=1 unasked=5"; }));

  EXPECT_EQ(sim.Command("dnc drop"), "ok");
  EXPECT_TRUE(second.ClosedByPeer());
  EXPECT_EQ(sim.Command("dnc"), "ok connected=0 unasked=5");

  {
    Client third(sim.Address(), kDncChannelPort);
    ASSERT_TRUE(WaitUntil([&] { return sim.Command("dnc") == "ok connected=1 unasked=5"; }));
  }
  EXPECT_TRUE(WaitUntil([&] { return sim.Command("dnc") == "ok connected=0 unasked=5"; }));
}

struct Exchange {
  std::string line;
  std::string request;  // hex, "iiii" for the index
  std::function<defPACKAGE(const defPACKAGE&)> reply;
  std::string answer;
};

TEST(SimDncRequests, EachCommandSendsItsRequestAndReportsTheReply) {
  const std::string path = TextHex("D:\\NC\\O1") + "00";  // 9 bytes with the NUL
  const Exchange exchanges[] = {
      {"dnc root", "0402 0010 1000 iiii 0000 0000 0000 0000",
       [](const defPACKAGE& r) { return ReplyTo(r, 272, 256, 0, 0, Text("D:\\CNC Data\\")); },
       R"(ok "D:\\CNC Data\\")"},
      {"dnc cd D:\\NC", "0402 0110 1600 iiii 0000 0000 0000 0000 " + TextHex("D:\\NC") + "00",
       [](const defPACKAGE& r) { return ReplyTo(r, 272, 256, -1, 0, Text("D:\\NC\\")); },
       R"(ok result=-1 path="D:\\NC\\")"},
      {"dnc delete D:\\NC\\O1", "0402 1110 1900 iiii 0000 0000 0000 0000 " + path,
       [](const defPACKAGE& r) { return ReplyTo(r, 272, 256, 0); }, "ok result=0"},
      {"dnc rename O1 O2.NC",
       "0402 1210 1900 iiii 0000 0300 0600 0000 " + TextHex("O1") + "00" + TextHex("O2.NC") + "00",
       [](const defPACKAGE& r) { return ReplyTo(r, 25, 3, 6, -1); }, "ok result=-1"},
      {"dnc copy A B",
       "0402 1310 1400 iiii 0000 0200 0200 0000 " + TextHex("A") + "00" + TextHex("B") + "00",
       [](const defPACKAGE& r) { return ReplyTo(r, 20, 2, 2, 0); }, "ok result=0"},
      {"dnc open D:\\NC\\O1 rb",
       "0402 2210 1301 iiii 0000 0000 0000 0000 " + path + Zeros(256 - 9) + TextHex("rb") + "00",
       [](const defPACKAGE& r) { return ReplyTo(r, 16, 3); }, "ok handle=3"},
      {"dnc close 3", "0402 2310 1000 iiii 0000 0300 0000 0000",
       [](const defPACKAGE& r) { return ReplyTo(r, 16, -9); }, "ok result=-9"},
      {"dnc read 3", "0402 2410 1000 iiii 0000 0300 0000 0000",
       [](const defPACKAGE& r) { return ReplyTo(r, 21, 5, 16, 1, Text("Hello")); },
       "ok count=5 position=65552 data=48656c6c6f"},
      {"dnc write 3 4731300a", "0402 2510 1500 iiii 0000 0300 0000 0000 4731300a00",
       [](const defPACKAGE& r) { return ReplyTo(r, 16, 4); }, "ok result=4"},
      {"dnc seek 3 -10 2", "0402 2610 1400 iiii 0000 0300 0200 0000 f6ffffff",
       [](const defPACKAGE& r) { return ReplyTo(r, 16, 0); }, "ok result=0"},
      {"dnc eof 3", "0402 2710 1000 iiii 0000 0300 0000 0000",
       [](const defPACKAGE& r) { return ReplyTo(r, 16, 32); }, "ok result=32"},
      {"dnc tell 3", "0402 2810 1000 iiii 0000 0300 0000 0000",
       [](const defPACKAGE& r) {
         return ReplyTo(r, 512, 0, 0, 0, {0x10, 0x27, 0, 0});
       },
       "ok position=10000"},
      {"dnc attr D:\\NC\\O1", "0402 2910 1900 iiii 0000 0000 0000 0000 " + path,
       [](const defPACKAGE& r) { return ReplyTo(r, 16, 32); }, "ok result=32"},
      {"dnc access D:\\NC\\O1 2", "0402 2a10 1900 iiii 0000 0200 0000 0000 " + path,
       [](const defPACKAGE& r) { return ReplyTo(r, 16, -1); }, "ok result=-1"},
      {"dnc read-items 3 1 4", "0402 2b10 1000 iiii 0000 0300 0100 0400",
       [](const defPACKAGE& r) {
         return ReplyTo(r, 20, 4, 0, 0, {1, 2, 3, 4});
       },
       "ok count=4 data=01020304"},
      {"dnc write-items 3 2 2 0a000b00", "0402 2c10 1400 iiii 0000 0300 0200 0200 0a000b00",
       [](const defPACKAGE& r) { return ReplyTo(r, 16, 2); }, "ok count=2"},
      {"dnc free 3", "0402 2d10 1000 iiii 0000 0300 0000 0000",
       [](const defPACKAGE& r) {
         return ReplyTo(r, 24, 0, 0, 0, {0xe8, 0x03, 0x64, 0, 8, 0, 0, 2});
       },
       "ok result=0 total=1000 available=100 sectors=8 bytes=512"},
  };
  Simulator sim;
  std::atomic<std::size_t> row{0};
  FakePc pc(sim, [&](const defPACKAGE& request) { return exchanges[row].reply(request); });
  for (; row < std::size(exchanges); ++row) {
    const auto& exchange = exchanges[row];
    SCOPED_TRACE(exchange.line);
    EXPECT_EQ(sim.Command(exchange.line), exchange.answer);
    const auto requests = pc.Requests();
    ASSERT_EQ(requests.size(), row + 1);
    ExpectRequest(requests.back(), exchange.request);
    if (row > 0) {
      EXPECT_NE(requests[row].iIndex(), requests[row - 1].iIndex());
    }
  }
}

TEST(SimDncRequests, SearchTakesEntriesUntilThePcHasNoMore) {
  const auto entry = [](std::uint8_t attributes, std::uint32_t size, const std::string& name) {
    Bytes data(58);
    data[21] = attributes;
    for (std::size_t i = 0; i < 4; ++i) data[26 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    std::copy(name.begin(), name.end(), data.begin() + 30);
    return data;
  };
  const std::string longName = "Program for part 4711 rev.B";  // 28 bytes: no room for a NUL
  Simulator sim;
  int taken = 0;  // entries the PC handed out since the search began
  FakePc pc(sim, [&](const defPACKAGE& r) {
    taken = r.iCommand() == 4128 ? 1 : taken + 1;
    if (taken == 1) return ReplyTo(r, 74, 0, 2, 0, entry(0x20, 1000, "O1234.NC"));
    if (taken == 2) return ReplyTo(r, 74, 0, 1, 0, entry(0x10, 0, longName));
    return ReplyTo(r, 74, -1, 0);
  });
  EXPECT_EQ(sim.Command("dnc search D:\\NC\\*.* 16"),
            R"(ok 2 "O1234.NC"/1000/32 "Program for part 4711 rev.B"/0/16)");
  const auto requests = pc.Requests();
  ASSERT_EQ(requests.size(), 3u);
  ExpectRequest(requests[0],
                "0402 2010 1a00 iiii 0000 0000 1000 0000 " + TextHex("D:\\NC\\*.*") + "00");
  ExpectRequest(requests[1], "0402 2110 1000 iiii 0000 0000 0000 0000");
  ExpectRequest(requests[2], "0402 2110 1000 iiii 0000 0000 0000 0000");
}

TEST(SimDncRequests, RawRequestsGoAsGivenAndLaterOnesNumberOnFromThem) {
  Simulator sim;
  FakePc pc(sim, [](const defPACKAGE& request) -> std::optional<defPACKAGE> {
    if (request.iCommand() == 21845) return std::nullopt;
    auto echo = request;
    echo.set_iCommand(static_cast<std::int16_t>(request.iCommand() + 4096));
    return echo;
  });
  EXPECT_EQ(sim.Command("dnc raw 4200 77 1 -2 3 abcd"),
            "ok 0402"
            "6820"
            "1200"
            "4d00"
            "0000"
            "0100"
            "feff"
            "0300"
            "abcd");
  // A record gets no reply, so the command does not wait for one.
  EXPECT_EQ(sim.Command("dnc raw 21845 5 0 0 0"), "ok");
  EXPECT_EQ(sim.Command("dnc eof 1"), "ok result=1");
  const auto requests = pc.Requests();
  ASSERT_EQ(requests.size(), 3u);
  ExpectRequest(requests[0], "0402 6810 1200 4d00 0000 0100 feff 0300 abcd");
  ExpectRequest(requests[1], "0402 5555 1000 0500");
  ExpectRequest(requests[2], "0402 2710 1000 0600 0000 0100");

  EXPECT_REFUSED(sim, "dnc cd", "usage: dnc cd PATH");
  EXPECT_REFUSED(sim, "dnc raw 4096 1 0 0 0 abc", "usage: dnc raw CMD INDEX P1 P2 P3 [HEX]");
  EXPECT_REFUSED(sim, "dnc format C:", "unknown command");
}

// A PC file as the PC serves it piece by piece, each piece at the offset asked for.
defPACKAGE RunPiece(const defPACKAGE& request, const Bytes& file) {
  const auto offset = static_cast<std::size_t>(static_cast<std::uint16_t>(request.iParam2()) |
                                               request.iParam3() << 16);
  const auto count = std::min<std::size_t>(492, file.size() - offset);
  Bytes data(4 + count);
  for (std::size_t i = 0; i < 4; ++i) data[i] = static_cast<std::uint8_t>(file.size() >> (8 * i));
  std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset), count, data.begin() + 4);
  return ReplyTo(request, static_cast<std::int16_t>(20 + count), static_cast<std::int16_t>(count),
                 request.iParam2(), request.iParam3(), data);
}

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 % 251);
  return bytes;
}

Bytes Contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<long> Offsets(const std::vector<defPACKAGE>& requests) {
  std::vector<long> offsets;
  for (const auto& r : requests) {
    offsets.push_back(static_cast<std::uint16_t>(r.iParam2()) | static_cast<long>(r.iParam3())
                                                                    << 16);
  }
  return offsets;
}

TEST(SimDncRun, ProgramsComeInPiecesOf492BytesAndAreKeptWhole) {
  struct Case {
    Bytes file;
    std::vector<long> offsets;
    std::string answer;
  };
  const Case cases[] = {
      {Pattern(1000), {0, 492, 984}, "size=1000 pieces=3 "},
      {Pattern(984), {0, 492}, "size=984 pieces=2 "},
      {Text("123456789"), {0}, "size=9 pieces=1 crc32=cbf43926 "},
      {{}, {0}, "size=0 pieces=1 crc32=00000000 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.size());
    Simulator sim;
    FakePc pc(sim, [&](const defPACKAGE& r) { return RunPiece(r, c.file); });
    const auto answer = sim.Command("dnc run D:\\NC\\o1234.nc");
    EXPECT_TRUE(answer.starts_with("ok " + c.answer)) << answer;
    EXPECT_TRUE(answer.ends_with(" file=C:\\DNCRUN\\o1234.nc")) << answer;
    const auto requests = pc.Requests();
    EXPECT_EQ(Offsets(requests), c.offsets);
    ASSERT_FALSE(requests.empty());
    ExpectRequest(requests[0],
                  "0402 3010 1f00 iiii 0000 0e00 0000 0000 " + TextHex("D:\\NC\\o1234.nc") + "00");
    EXPECT_EQ(Contents(sim.Root() / "C" / "DNCRUN" / "O1234.NC"), c.file);
  }
}

TEST(SimDncRun, OffsetsBeyond64KiBUseTheHighWord) {
  const auto file = Pattern(70'000);
  Simulator sim;
  FakePc pc(sim, [&](const defPACKAGE& r) { return RunPiece(r, file); });
  EXPECT_TRUE(sim.Command("dnc run BIG").starts_with("ok size=70000 pieces=143 "));
  const auto requests = pc.Requests();
  ASSERT_EQ(requests.size(), 143u);
  EXPECT_EQ(requests.back().iParam3(), 1);
  EXPECT_EQ(static_cast<std::uint16_t>(requests.back().iParam2()), 142 * 492 - 65536);
  EXPECT_EQ(Contents(sim.Root() / "C" / "DNCRUN" / "BIG"), file);
}

TEST(SimDncRun, ARepeatedPieceGoesUnderTheSameIndexAndMustGetTheSameReply) {
  const auto file = Pattern(1000);
  Simulator sim;
  {
    FakePc pc(sim, [&](const defPACKAGE& r) { return RunPiece(r, file); });
    EXPECT_TRUE(sim.Command("dnc run O1 repeat 2").starts_with("ok size=1000 pieces=3 "));
    const auto requests = pc.Requests();
    EXPECT_EQ(Offsets(requests), (std::vector<long>{0, 492, 492, 984}));
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[1].bytes, requests[2].bytes);
    EXPECT_NE(requests[0].iIndex(), requests[1].iIndex());
    EXPECT_NE(requests[2].iIndex(), requests[3].iIndex());
  }
  // A PC that reads on instead of answering from its kept reply.
  int served = 0;
  FakePc forgetful(sim, [&](const defPACKAGE& r) {
    auto piece = RunPiece(r, file);
    if (++served == 3) piece.bytes[kData + 4] ^= 0xFF;
    return piece;
  });
  EXPECT_REFUSED(sim, "dnc run O2 repeat 2", "the repeated request got another reply");
  EXPECT_EQ(sim.Command("files C:\\DNCRUN"), "ok C:\\DNCRUN\\O1=1000");
}

TEST(SimDncRun, AFailedPieceEndsTheRunAndKeepsNothing) {
  Simulator sim;
  const auto file = Pattern(1000);
  FakePc pc(sim, [&](const defPACKAGE& r) -> std::optional<defPACKAGE> {
    if (r.iParam2() == 0 && r.iParam3() == 0) {
      return r.iParam1() == 7 ? ReplyTo(r, 20, -1) : RunPiece(r, file);
    }
    return ReplyTo(r, 20, 0, r.iParam2(), r.iParam3(), {0xe8, 0x03, 0, 0});  // an empty piece
  });
  EXPECT_REFUSED(sim, "dnc run MISSING", "the PC cannot send MISSING");
  EXPECT_REFUSED(sim, "dnc run O1", "piece 2 at offset 492 failed: iParam1 0");
  EXPECT_EQ(pc.Requests().size(), 3u);
  EXPECT_EQ(sim.Command("files C:\\DNCRUN"), "ok");
}

// The pieces of a file sent to the PC: (iParam3, data bytes), with the data put together.
struct SentPieces {
  std::vector<std::pair<int, int>> pieces;
  Bytes data;
};

SentPieces Pieces(const std::vector<defPACKAGE>& requests) {
  SentPieces sent;
  for (const auto& r : requests) {
    sent.pieces.emplace_back(r.iParam3(), r.iParam2());
    sent.data.insert(sent.data.end(), r.bytes.begin() + 276, r.bytes.begin() + 276 + r.iParam2());
  }
  return sent;
}

void PutControllerFile(const Simulator& sim, const std::string& name, const Bytes& bytes) {
  std::ofstream out(sim.Root() / "C" / "NCFILES" / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// The PC writes every byte; the reply echoes the request as the PC keeps it.
std::optional<defPACKAGE> Stored(const defPACKAGE& request) {
  auto reply = request;
  reply.set_iCommand(static_cast<std::int16_t>(request.iCommand() + 4096));
  return reply;
}

TEST(SimDncSend, FilesGoInPiecesOf236BytesTheFirstNamingTheFile) {
  struct Case {
    std::size_t size;
    std::vector<std::pair<int, int>> pieces;
  };
  const Case cases[] = {
      {100, {{0, 100}}},
      {0, {{0, 0}}},
      {236, {{0, 236}, {1, 0}}},
      {1000, {{0, 236}, {2, 236}, {2, 236}, {2, 236}, {1, 56}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    Simulator sim;
    const auto file = Pattern(c.size);
    PutControllerFile(sim, "O1000", file);
    FakePc pc(sim, Stored);
    EXPECT_EQ(sim.Command("dnc send C:\\NCFILES\\O1000 D:\\IN\\O1000.NC"),
              "ok bytes=" + std::to_string(c.size) + " pieces=" + std::to_string(c.pieces.size()));
    const auto requests = pc.Requests();
    const auto sent = Pieces(requests);
    EXPECT_EQ(sent.pieces, c.pieces);
    EXPECT_EQ(sent.data, file);
    ASSERT_FALSE(requests.empty());
    // iLength 276 + the bytes, iParam1 the name's length, iParam2 the bytes; the name at 20,
    // the bytes at 276.
    const auto first = std::min<std::size_t>(c.size, 236);
    const auto header =
        "0402 3110 " + Word(276 + first) + " iiii 0000 0e00 " + Word(first) + " 0000";
    ExpectRequest(requests[0], header + " 00000000 " + TextHex("D:\\IN\\O1000.NC") +
                                   Zeros(256 - 14) + Hex(file.data(), first));
    for (std::size_t i = 1; i < requests.size(); ++i) {
      EXPECT_EQ(requests[i].iParam1(), 0);
      EXPECT_EQ(Hex(&requests[i].bytes[16], 260), Zeros(260)) << "no name after the first piece";
    }
  }
}

TEST(SimDncSend, RepeatsAndShortWritesAsForRuns) {
  Simulator sim;
  PutControllerFile(sim, "O1", Pattern(500));
  {
    FakePc pc(sim, Stored);
    EXPECT_EQ(sim.Command("dnc send O1 O1.NC repeat 3"), "ok bytes=500 pieces=3");
    const auto requests = pc.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[2].bytes, requests[3].bytes);
    EXPECT_EQ(requests[3].iParam3(), 1);
  }
  FakePc full(sim, [](const defPACKAGE& r) {
    return ReplyTo(r, r.iLength(), r.iParam1(), -1, r.iParam3());
  });
  EXPECT_REFUSED(sim, "dnc send O1 O1.NC", "piece 1: the PC wrote -1 of 236 bytes");
  EXPECT_EQ(full.Requests().size(), 1u);
  EXPECT_REFUSED(sim, "dnc send O9 O9.NC", "cannot read O9 (file code 2)");
}

TEST(SimDncRecord, RecordsGoUnansweredEachUnderAFreshIndex) {
  Simulator sim;
  sim.Command("cycle off");
  sim.Command("position machine 1000 -2000 30000 4 5 6");
  FakePc pc(sim, [](const defPACKAGE&) { return std::nullopt; });
  EXPECT_EQ(sim.Command("dnc record 2"), "ok records=2");
  EXPECT_EQ(sim.Command("dnc record repeat 1"), "ok records=1");
  ASSERT_TRUE(WaitUntil([&] { return pc.Requests().size() == 4; }));
  const auto records = pc.Requests();
  for (const auto& record : records) {
    EXPECT_EQ(record.iHead(), kPackageHead);
    EXPECT_EQ(record.iCommand(), 21845);
    EXPECT_EQ(record.iLength(), kPackageSize);
    EXPECT_EQ(record.iParam1(), 1);
    EXPECT_EQ(record.i16(kData + 2), 3);
    EXPECT_EQ(Hex(&record.bytes[kData + 12], 3), TextHex("XYZ"));
    EXPECT_EQ(record.i32(kData + 132 + 4), -2000);
  }
  EXPECT_EQ(records[1].i16(kData), records[0].i16(kData) + 1);
  EXPECT_NE(records[1].iIndex(), records[0].iIndex());
  EXPECT_NE(records[2].iIndex(), records[1].iIndex());
  EXPECT_EQ(records[2].bytes, records[3].bytes);
}

TEST(SimDncFailures, ATimeoutOrABrokenReplyDropsThePcAWrongOneDoesNot) {
  Simulator sim;
  sim.Command("dnc timeout 200");
  {
    FakePc silent(sim, [](const defPACKAGE&) { return std::nullopt; });
    EXPECT_REFUSED(sim, "dnc root", "timeout");
    EXPECT_TRUE(WaitUntil([&] { return silent.Closed(); }));
    EXPECT_EQ(sim.Command("dnc"), "ok connected=0 unasked=0");
  }
  {
    FakePc leaving(
        sim, [](const defPACKAGE&) { return std::nullopt; }, FakePc::Silence::kHangUp);
    EXPECT_REFUSED(sim, "dnc tell 0", "connection lost");
    EXPECT_EQ(sim.Command("dnc"), "ok connected=0 unasked=0");
  }
  {
    FakePc garbled(sim, [](const defPACKAGE& r) { return ReplyTo(r, 600); });
    EXPECT_REFUSED(sim, "dnc root", "bad reply: iLength 600");
    EXPECT_TRUE(WaitUntil([&] { return garbled.Closed(); }));
  }
  FakePc confused(sim, [](const defPACKAGE& r) {
    auto reply = ReplyTo(r, 16);
    reply.set_iIndex(static_cast<std::int16_t>(r.iIndex() + 1));
    return reply;
  });
  EXPECT_REFUSED(sim, "dnc eof 0", "bad reply: iHead 516 iCommand 8231 iIndex");
  EXPECT_EQ(sim.Command("dnc"), "ok connected=1 unasked=0");
}

}  // namespace
}  // namespace vandir
