// `talvo-cli devices-xml`: asks each machine of the machine list for its key parameters, so
// that each Device names the axes its controller has, and prints the shop's device file or
// agent configuration.
#include <iostream>

#include "cli/adapter/devices_xml.h"
#include "cli/commands.h"
#include "cli/errors.h"
#include "cli/fleet/machine_list.h"
#include "text/durable_file.h"

namespace talvo::cli {

namespace {

// Through the DNC port, which the machine's adapter leaves free while it holds the command
// port.
adapter::ControllerSetup AskSetup(const std::string& address) {
  Session session;
  session.Connect(address, true);
  std::vector<Session::Ask> asks;
  for (const int first : adapter::kSetupParameterBlocks)
    asks.push_back([first](vandir::TVandirCNC& link) { return link.AskParameter(first); });
  session.Request(asks, "the key parameters");
  return adapter::ReadControllerSetup(session.Link());
}

}  // namespace

ExitStatus Run(const DevicesXml& command, std::ostream& out) {
  const std::filesystem::path settings =
      command.machines ? std::filesystem::path(*command.machines) : DefaultSettingsFile();
  const auto bytes = text::ReadWhole(settings);
  if (!bytes) throw LocalFileError(settings.string() + ": cannot be read (the machine list)");
  std::vector<adapter::ShopMachine> machines;
  ExitStatus status = ExitStatus::kSuccess;
  for (const FleetMachine& machine : ReadMachineList(*bytes)) {
    if (machine.address.empty()) {
      std::cerr << machine.name << ": no address in the machine list; left out\n";
      continue;
    }
    const std::size_t index = machines.size();
    if (command.port + index > 65535) throw UsageError("--port leaves no port for " + machine.name);
    adapter::ShopMachine shop{machine.name, machine.address,
                              static_cast<std::uint16_t>(command.port + index), {}};
    if (!command.agentConfig) {
      try {
        shop.setup = AskSetup(machine.address);
      } catch (const Failure& failure) {
        std::cerr << machine.name << " (" << machine.address << "): " << failure.what()
                  << "; its axes 4-6 are described as A, B, C\n";
        status = ExitStatus::kConnection;
      }
    }
    machines.push_back(std::move(shop));
  }
  if (machines.empty()) throw UsageError("the machine list in " + settings.string() + " is empty");
  out << (command.agentConfig ? adapter::AgentConfiguration(machines)
                              : adapter::DevicesXml(machines, std::chrono::system_clock::now()));
  return status;
}

}  // namespace talvo::cli
