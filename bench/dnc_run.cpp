// A DNC run of a 1 MiB program: the simulator fetches it piece by piece (request 4144) from
// the link's DNC server, and, in the same run, from a bare answering loop.
//
// The baseline is the simulator's same `dnc run` against a bare loop on one blocking socket
// that takes the DNC channel in the link's place (the simulator keeps the newest PC
// connection). Both sides see the same requests from the same peer and send the same
// replies, so the difference is only what the link adds on the PC's side: the path checks
// of the first piece, the file table and the kept reply for retransmissions, the waits that
// let another thread stop it. The bare loop answers with plain reads of the already open
// file at the offset asked for.
#include <unistd.h>

#include <algorithm>
#include <asio.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "link/vandircnc.h"
#include "tests/support/file_bytes.h"
#include "tests/support/simulator.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vandir::defPACKAGE;
using vandir::kData;
using vandir::kPackageSize;

constexpr std::int32_t kProgramSize = 1 << 20;
constexpr int kPiece = 492;
constexpr int kReplyHeader = kData + 4;  // header and the file's size
constexpr int kRounds = 10;
constexpr double kMiB = 1024.0 * 1024.0;

// Answers the 4144 requests of one run, then closes the channel; stops early when the
// simulator drops it.
class BareServer {
 public:
  BareServer(const std::string& address, const fs::path& program)
      : socket_(io_), file_(program, std::ios::binary) {
    socket_.connect({asio::ip::make_address(address), vandir::kDncChannelPort});
    socket_.set_option(asio::ip::tcp::no_delay(true));
  }

  void ServeOneRun() {
    defPACKAGE request, reply;
    asio::error_code ec;
    for (std::int32_t served = 0; served < kProgramSize;) {
      asio::read(socket_, asio::buffer(request.bytes), ec);
      if (ec) break;
      const std::int32_t offset =
          request.iParam3() * 65536 + static_cast<std::uint16_t>(request.iParam2());
      const int bytes = std::min(kPiece, kProgramSize - offset);
      file_.seekg(offset);
      file_.read(reinterpret_cast<char*>(reply.bytes.data() + kReplyHeader), bytes);
      reply.set_iHead(vandir::kPackageHead);
      reply.set_iCommand(static_cast<std::int16_t>(request.iCommand() + 4096));
      reply.set_iLength(static_cast<std::int16_t>(kReplyHeader + bytes));
      reply.set_iIndex(request.iIndex());
      reply.set_iParam1(static_cast<std::int16_t>(bytes));
      reply.set_iParam2(request.iParam2());
      reply.set_iParam3(request.iParam3());
      reply.put_i32(kData, kProgramSize);
      const std::size_t length = static_cast<std::size_t>(kReplyHeader + bytes);
      if (asio::write(socket_, asio::buffer(reply.bytes.data(), length), ec) != length) break;
      served = offset + bytes;
    }
    socket_.close(ec);
  }

 private:
  asio::io_context io_;
  asio::ip::tcp::socket socket_;
  std::ifstream file_;
};

void AwaitChannel(vandir::test::Simulator& sim, bool held) {
  const std::string wanted = held ? "ok connected=1" : "ok connected=0";
  if (!vandir::test::WaitUntil([&] { return sim.Command("dnc").starts_with(wanted); }))
    throw std::runtime_error(held ? "no PC took the DNC channel" : "the DNC channel stays taken");
}

// The run's rate in MiB/s; 0 when the simulator did not keep exactly `program`.
double RunRate(vandir::test::Simulator& sim, const std::string& program) {
  const std::string expected = "ok size=" + std::to_string(kProgramSize) +
                               " pieces=" + std::to_string((kProgramSize + kPiece - 1) / kPiece);
  const auto start = std::chrono::steady_clock::now();
  const std::string reply = sim.Command("dnc run BIG.NC");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!reply.starts_with(expected + ' ') ||
      vandir::test::ReadBytes(sim.Root() / "C" / "DNCRUN" / "BIG.NC") != program) {
    std::fprintf(stderr, "dnc run: %s\n", reply.c_str());
    sim.Command("dnc drop");  // so that a bare loop still waiting for a request ends
    return 0;
  }
  return kProgramSize / kMiB / seconds;
}

// A 1 MiB program run from the link and from the bare loop, the best of several rounds each.
void Measure() {
  vandir::test::Simulator sim;
  sim.Command("cycle off");
  const fs::path folder = fs::temp_directory_path() / ("bench-dnc-" + std::to_string(getpid()));
  fs::create_directories(folder);
  std::string program(kProgramSize, '\0');
  for (std::size_t i = 0; i < program.size(); ++i) program[i] = static_cast<char>(i * 31 + i / 977);
  vandir::test::WriteBytes(folder / "BIG.NC", program);

  vandir::TVandirCNC::SetRootPath(folder.string() + "/");
  vandir::TVandirCNC link;
  link.Connect_TCP(2, sim.Address());
  while (link.QueryUserStatus() == vandir::kNoNewLogin) std::this_thread::sleep_for(10ms);

  double bareRate = 0, linkRate = 0;
  for (int round = 0; round < kRounds; ++round) {
    link.DisableDNC();
    AwaitChannel(sim, false);
    {
      BareServer server(sim.Address(), folder / "BIG.NC");
      AwaitChannel(sim, true);
      std::thread answering([&] { server.ServeOneRun(); });
      bareRate = std::max(bareRate, RunRate(sim, program));
      answering.join();
    }
    AwaitChannel(sim, false);
    link.EnableDNC();
    AwaitChannel(sim, true);
    linkRate = std::max(linkRate, RunRate(sim, program));
  }
  link.Disconnect();
  fs::remove_all(folder);
  std::printf("dnc run 1 MiB bare=%.2f MiB/s link=%.2f MiB/s ratio=%.3f\n", bareRate, linkRate,
              linkRate / bareRate);
}

}  // namespace

int main() {
  try {
    Measure();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_dnc_run: %s\n", e.what());
    return 1;
  }
  return 0;
}
