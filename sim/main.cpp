// vandir-sim: a stand-in for the controller on ports 1888 and 1988, with a machine that
// runs its program on its own clock, and on port 2000 for the PC's end of the DNC channel,
// steered through stdin so tests can change the machine and its login level, inject
// faults and run DNC sessions.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <asio.hpp>

#include "link/package.h"
#include "sim/control/control.h"
#include "sim/controller.h"
#include "sim/dnc/dnc_channel.h"
#include "sim/wire/listener.h"
#include "sim/machine/machine_clock.h"
#include "sim/note.h"
#include "sim/options.h"
#include "sim/wire/session.h"
#include "sim/files/shipped_files.h"

namespace {

struct Port {
  std::uint16_t number;
  vandir::sim::Listener::Serve serve;
};

constexpr std::chrono::milliseconds kMachineTick{50};

// The folders the machine reports must exist for a client that lists or fills them.
bool MakeMachineFolders(vandir::sim::Controller& controller) {
  const auto folders = controller.machine.With([](const vandir::sim::MachineState& m) {
    return std::vector<std::string>{m.ncRootPath, m.ncMachinePath, m.ncFilesPath};
  });
  for (const auto& folder : folders) {
    if (!controller.files.MakeFolders(folder)) {
      std::fprintf(stderr, "error root: cannot make the folder %s\n", folder.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vandir::sim;

  const auto options = ParseOptions(argc, argv);
  if (!options) return 2;

  std::error_code ec;
  const auto address = asio::ip::make_address(options->bind, ec);
  if (ec) {
    std::fprintf(stderr, "error bind %s: %s\n", options->bind.c_str(), ec.message().c_str());
    return 1;
  }
  std::filesystem::create_directories(options->root, ec);
  if (ec) {
    std::fprintf(stderr, "error root %s: %s\n", options->root.c_str(), ec.message().c_str());
    return 1;
  }

  // A client that vanishes makes a write fail; that ends its connection, not the process.
  signal(SIGPIPE, SIG_IGN);
  // Blocked before any thread starts, so every thread inherits the mask and only the
  // control loop sees the stop signals.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  Controller controller(*options);
  if (!MakeMachineFolders(controller) || !ShipControllerFiles(controller, options->data)) return 1;
  Note("%s, root %s, login level %d", options->lathe ? "lathe" : "milling machine",
       options->root.c_str(), options->login);

  MachineClock clock(controller.machine, kMachineTick);
  asio::io_context io;
  DncChannel dnc;
  // channel: what the handshake carries in iParam1.
  const auto session = [&controller](int channel) -> Listener::Serve {
    return [&controller, channel](Socket& client) { Session(controller, client, channel).Run(); };
  };
  const Port ports[] = {
      {vandir::kCommandPort, session(1)},
      {vandir::kDncCommandPort, session(2)},
      {vandir::kDncChannelPort, [&dnc](Socket& client) { dnc.Adopt(std::move(client)); }},
  };
  std::vector<std::unique_ptr<Listener>> listeners;
  for (const auto& port : ports) {
    try {
      listeners.push_back(std::make_unique<Listener>(
          io, asio::ip::tcp::endpoint(address, port.number), port.serve));
    } catch (const std::system_error& error) {
      std::fprintf(stderr, "error bind %s:%u: %s\n", options->bind.c_str(), port.number,
                   error.code().message().c_str());
      return 1;
    }
  }
  std::printf("ready %s\n", address.to_string().c_str());
  std::fflush(stdout);

  RunControl(controller, dnc, stopSignals);

  controller.faults.Stop();
  controller.connections.Close();
  listeners.clear();
  Note("stopped");
  return 0;
}
