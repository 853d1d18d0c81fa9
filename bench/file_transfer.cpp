// Upload and download of a 4 MiB file to the simulator through TVandirCNC, against a bare
// blocking-socket client making the same package exchanges in the same run.
#include <unistd.h>

#include <asio.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "link/transport.h"
#include "link/vandircnc.h"
#include "tests/support/simulator.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;
using vandir::defSEND_PACKAGE;
using vandir::kData;
using vandir::kHeaderSize;
using vandir::kPackageSize;

constexpr std::int32_t kFileSize = 4 << 20;
constexpr double kMiB = 1024.0 * 1024.0;

defSEND_PACKAGE Package(std::int16_t command, int length) {
  defSEND_PACKAGE p;
  p.set_iHead(vandir::kPackageHead);
  p.set_iCommand(command);
  p.set_iLength(static_cast<std::int16_t>(length));
  return p;
}

// The same exchanges the link's jobs make, written out on one thread.
class BareClient {
 public:
  explicit BareClient(const std::string& address) : socket_(io_) {
    socket_.connect({asio::ip::make_address(address), vandir::kCommandPort});
    socket_.set_option(asio::ip::tcp::no_delay(true));
    defSEND_PACKAGE login = Package(vandir::kCmdLogin, kPackageSize);
    login.set_iParam1(1);
    Exchange(login, kHeaderSize);
  }
  ~BareClient() { Exchange(Package(vandir::kCmdLogout, kHeaderSize), kHeaderSize); }

  void Upload(const std::string& local, const std::string& remote) {
    std::ifstream file(local, std::ios::binary);
    const int names = static_cast<int>(local.size() + remote.size());
    defSEND_PACKAGE start = Package(373, 26 + names);
    start.set_iParam1(1);
    start.set_iParam2(static_cast<std::int16_t>(local.size() + 1));
    start.set_iParam3(static_cast<std::int16_t>(remote.size() + 1));
    start.put_i32(20, kFileSize);
    start.put_text(24, local);
    start.put_text(24 + static_cast<int>(local.size()) + 1, remote);
    Exchange(start, start.iLength());
    for (std::int32_t sent = 0; sent < kFileSize;) {
      const int n = std::min<std::int32_t>(kFileSize - sent, vandir::kDataSize);
      defSEND_PACKAGE data = Package(4352, kHeaderSize + n);
      data.set_iParam3(data.iLength());
      file.read(reinterpret_cast<char*>(data.bytes.data() + kData), n);
      Exchange(data, kHeaderSize);
      sent += n;
    }
    defSEND_PACKAGE end = Package(4354, kHeaderSize);
    end.set_iParam3(kHeaderSize);
    Exchange(end, kHeaderSize);
  }

  void Download(const std::string& remote, const std::string& local) {
    std::ofstream file(local, std::ios::binary);
    const int names = static_cast<int>(local.size() + remote.size());
    std::int64_t remaining = 1;
    for (std::int32_t offset = 0, first = 1; remaining > 0; first = 0) {
      defSEND_PACKAGE request = Package(368, 22 + names);
      request.set_iParam1(first ? 0 : 1);
      request.set_iParam2(static_cast<std::int16_t>(remote.size() + 1));
      request.set_iParam3(static_cast<std::int16_t>(local.size() + 1));
      request.put_i32(16, offset);
      request.put_text(20, remote);
      request.put_text(20 + static_cast<int>(remote.size()) + 1, local);
      const vandir::defRECEIVE_PACKAGE reply = Exchange(request, kPackageSize);
      const std::int32_t piece = reply.i32(20);
      if (first) remaining = reply.i32(24);
      if (reply.iParam1() != 0 || piece <= 0) break;
      file.write(reinterpret_cast<const char*>(reply.bytes.data() + 30 + names), piece);
      remaining -= piece;
      offset += piece;
    }
  }

 private:
  vandir::defRECEIVE_PACKAGE Exchange(const defSEND_PACKAGE& p, int replyLength) {
    vandir::defRECEIVE_PACKAGE reply;
    asio::write(socket_, asio::buffer(p.bytes.data(), static_cast<std::size_t>(p.iLength())));
    asio::read(socket_, asio::buffer(reply.bytes.data(), static_cast<std::size_t>(replyLength)));
    return reply;
  }

  asio::io_context io_;
  asio::ip::tcp::socket socket_;
};

template <class Run>
double MiBPerSecond(Run run) {
  const auto start = SteadyClock::now();
  run();
  return kFileSize / kMiB / std::chrono::duration<double>(SteadyClock::now() - start).count();
}

void Await(const std::atomic<bool>& running) {
  while (running) std::this_thread::sleep_for(1ms);  // a caller polls; the service every 100 ms
}

}  // namespace

int main() {
  vandir::test::Simulator sim;
  sim.Command("cycle off");
  const fs::path folder = fs::temp_directory_path() / ("bench-files-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string source = (folder / "SOURCE.NC").string();
  const std::string back = (folder / "BACK.NC").string();
  {
    std::ofstream out(source, std::ios::binary);
    for (std::int32_t i = 0; i < kFileSize; ++i) out.put(static_cast<char>(i * 31));
  }

  double bareUp = 0, bareDown = 0, linkUp = 0, linkDown = 0;
  for (int round = 0; round < 3; ++round) {
    {
      BareClient bare(sim.Address());
      bareUp = std::max(bareUp, MiBPerSecond([&] { bare.Upload(source, "C:\\NCFILES\\BARE.NC"); }));
      bareDown = std::max(bareDown, MiBPerSecond([&] { bare.Download("C:\\NCFILES\\BARE.NC", back); }));
    }
    vandir::TVandirCNC link;
    link.Connect_TCP(1, sim.Address());
    while (link.QueryUserStatus() == vandir::kNoNewLogin) std::this_thread::sleep_for(10ms);
    linkUp = std::max(linkUp, MiBPerSecond([&] {
      link.SendFile(source, "C:\\NCFILES\\LINK.NC", true);
      Await(link.SendCMD->Sending);
    }));
    linkDown = std::max(linkDown, MiBPerSecond([&] {
      link.ReceiveFile("C:\\NCFILES\\LINK.NC", back);
      Await(link.SendCMD->Receiving);
    }));
    if (link.SendCMD->FileError != 0) std::fprintf(stderr, "file error %d\n", link.SendCMD->FileError.load());
    link.Disconnect();
  }
  fs::remove_all(folder);
  std::printf("upload   bare=%.2f MiB/s link=%.2f MiB/s ratio=%.3f\n", bareUp, linkUp, linkUp / bareUp);
  std::printf("download bare=%.2f MiB/s link=%.2f MiB/s ratio=%.3f\n", bareDown, linkDown,
              linkDown / bareDown);
  return 0;
}
