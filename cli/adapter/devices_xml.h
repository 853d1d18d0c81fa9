// What one MTConnect agent needs to serve a whole shop: a device file with one Device per
// machine, and the agent's adapter entries that tie each device to its machine's adapter.
// Pure text work, so both can be checked without a controller.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/adapter/controller_setup.h"

namespace talvo::cli::adapter {

struct ShopMachine {
  std::string title;    // the machine list's name, UTF-8
  std::string address;  // the controller's
  std::uint16_t port;   // its adapter's
  ControllerSetup setup;
};

// The agent's device name of each machine, in order: the machine's name in letters, digits,
// '-', '_' and '.' (others become '_'), or "machineN" (N from 1) when that leaves none or
// names an earlier machine. Also the name of its adapter's unit and configuration file.
std::vector<std::string> DeviceNames(const std::vector<ShopMachine>& machines);

// Each DataItem's name is the key of its adapter's lines; ids carry the machine's number, so
// they are unique in the file; uuids derive from the controllers' addresses.
std::string DevicesXml(const std::vector<ShopMachine>& machines,
                       std::chrono::system_clock::time_point time);

// The adapter entries of an agent configuration for the file above, with the adapters on
// the agent's own host; the configuration file of each machine's adapter unit in comments.
std::string AgentConfiguration(const std::vector<ShopMachine>& machines);

}  // namespace talvo::cli::adapter
