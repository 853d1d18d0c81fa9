// Status requests answered per second through TVandirCNC (SendCommand -> reply decoded)
// against the same exchange made by a bare blocking Asio client, both against one
// simulator in this run. Prints both rates and ratio=link/bare.
#include <time.h>

#include <asio.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "link/transport.h"
#include "link/vandircnc.h"
#include "tests/support/simulator.h"

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;
constexpr auto kRound = 1500ms;
constexpr std::int16_t kStatusRequest = 258;

vandir::defSEND_PACKAGE Header(std::int16_t command, std::int16_t length) {
  vandir::defSEND_PACKAGE p;
  p.set_iHead(vandir::kPackageHead);
  p.set_iCommand(command);
  p.set_iLength(length);
  p.set_iReplyLength(vandir::kHeaderSize);
  return p;
}

double Seconds(SteadyClock::duration d) { return std::chrono::duration<double>(d).count(); }

// One request written, one reply read, on the calling thread: the floor of what a link can do.
double BareClientRate(const std::string& address) {
  asio::io_context io;
  asio::ip::tcp::socket socket(io);
  socket.connect({asio::ip::make_address(address), vandir::kCommandPort});
  socket.set_option(asio::ip::tcp::no_delay(true));
  vandir::defSEND_PACKAGE login = Header(vandir::kCmdLogin, vandir::kPackageSize);
  login.set_iParam1(1);
  vandir::defRECEIVE_PACKAGE reply;
  asio::write(socket, asio::buffer(login.bytes));
  asio::read(socket, asio::buffer(reply.bytes.data(), vandir::kHeaderSize));

  const vandir::defSEND_PACKAGE status = Header(kStatusRequest, vandir::kHeaderSize);
  long exchanges = 0;
  const auto start = SteadyClock::now();
  while (SteadyClock::now() - start < kRound) {
    asio::write(socket, asio::buffer(status.bytes.data(), vandir::kHeaderSize));
    asio::read(socket, asio::buffer(reply.bytes.data(), vandir::kHeaderSize));
    ++exchanges;
  }
  const double rate = exchanges / Seconds(SteadyClock::now() - start);
  const vandir::defSEND_PACKAGE logout = Header(vandir::kCmdLogout, vandir::kHeaderSize);
  asio::write(socket, asio::buffer(logout.bytes.data(), vandir::kHeaderSize));
  asio::read(socket, asio::buffer(reply.bytes.data(), vandir::kHeaderSize));
  return rate;
}

bool AwaitLogin(vandir::TVandirCNC& link) {
  for (int i = 0; i < 500; ++i) {
    const auto status = link.QueryUserStatus();
    if (status != vandir::kNoNewLogin) return status == vandir::kLoginFull;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

// The program queues a batch of polls and leaves the transport to it. `window` requests are
// kept in the list; the producer sleeps while the list is full, as a polling program would,
// instead of spinning on a core the transport and the controller need. With a window of 1
// every request waits for the previous reply (latency bound).
double LinkRate(vandir::TVandirCNC& link, std::size_t window) {
  const vandir::defSEND_PACKAGE status = Header(kStatusRequest, vandir::kHeaderSize);
  const int before = link.SendCMD->ReplyCount;
  int sent = 0;
  const auto start = SteadyClock::now();
  while (SteadyClock::now() - start < kRound) {
    const int answered = link.SendCMD->ReplyCount - before;
    if (static_cast<std::size_t>(sent - answered) < window) {
      if (link.SendCommand(status) == 0) ++sent;
    } else if (window > 1) {
      std::this_thread::sleep_for(1ms);
    } else {
      std::this_thread::yield();
    }
  }
  const auto elapsed = SteadyClock::now() - start;
  return (link.SendCMD->ReplyCount - before) / Seconds(elapsed);
}

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

int main() {
  vandir::test::Simulator sim;
  double bare = 0, queued = 0, single = 0;
  for (int round = 0; round < 3; ++round) {
    bare = std::max(bare, BareClientRate(sim.Address()));
    vandir::TVandirCNC link;
    link.Connect_TCP(1, sim.Address());
    if (!AwaitLogin(link)) {
      std::fprintf(stderr, "bench_link_rate: login failed\n");
      return 1;
    }
    queued = std::max(queued, LinkRate(link, 256));
    single = std::max(single, LinkRate(link, 1));
    link.Disconnect();
  }

  vandir::TVandirCNC idle;
  idle.Connect_TCP(1, sim.Address());
  AwaitLogin(idle);
  const double cpuBefore = ProcessCpuSeconds();
  std::this_thread::sleep_for(3s);
  const double idleCpu = (ProcessCpuSeconds() - cpuBefore) / 3.0 * 100.0;
  idle.Disconnect();

  std::printf("bare_client=%.0f/s link_queued=%.0f/s link_one_at_a_time=%.0f/s\n", bare, queued,
              single);
  std::printf("idle_link_cpu=%.3f%% of one core\n", idleCpu);
  std::printf("ratio=%.3f\n", queued / bare);
  return 0;
}
