// One MTConnect agent for a shop: the device file and agent configuration devices-xml writes
// for three machines, and three adapters serving their agents at once, each on the address it
// was told to listen on.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "tests/cli/cli_process.h"
#include "tests/cli/fleet_support.h"
#include "tests/cli/shdr_agent.h"
#include "tests/support/file_bytes.h"
#include "tests/support/simulator.h"

namespace talvo::cli::test {
namespace {

using vandir::test::Simulator;

// What a real XML parser makes of a device file: every Device as name|uuid|description and
// its axes as Kind:Letter, and any id given twice. Fails the test when the file does not parse.
std::string ParsedDevices(const fs::path& file, const fs::path& work) {
  const fs::path script = work / "devices.py";
  vandir::test::WriteBytes(script,
      "import sys, xml.etree.ElementTree as ET\n"
      "ns = {'m': 'urn:mtconnect.org:MTConnectDevices:1.7'}\n"
      "root = ET.parse(sys.argv[1]).getroot()\n"
      "header = root.find('m:Header', ns)\n"
      "print('header', header.get('creationTime') == header.get('deviceModelChangeTime') != None)\n"
      "ids = [e.get('id') for e in root.iter() if e.get('id')]\n"
      "print('repeated ids', sorted({i for i in ids if ids.count(i) > 1}))\n"
      "for d in root.iterfind('m:Devices/m:Device', ns):\n"
      "  axes = [c.tag.split('}')[1] + ':' + c.get('name') for c in d.find('m:Components/m:Axes/m:Components', ns)]\n"
      "  keys = [i.get('name') for i in d.iter('{%s}DataItem' % ns['m'])]\n"
      "  print(d.get('name'), d.get('uuid'), d.find('m:Description', ns).text, ' '.join(axes), len(keys), len(set(keys)), sep='|')\n");
  const std::string command = "python3 " + script.string() + " " + file.string() + " 2>&1";
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  char buffer[4096];
  for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) out.append(buffer, n);
  return out;
}

class Shop : public FleetStore {
 protected:
  Shop() {
    // The second machine: axis 4 a U (linear), axis 5 none at all, axis 6 a C.
    sims[1]->Command("set param 122 3");
    sims[1]->Command("set param 288 9");
    for (std::size_t n = 0; n < sims.size(); ++n) {
      sims[n]->Command("cycle off");
      sims[n]->Command("set program O100" + std::to_string(n + 1));
    }
    // Two machines of one name, and one named in Big5 ("測試") by a Chinese program.
    WriteMachineList(machines, {{"Mill 1", sims[0]->Address()}, {"\xb4\xfa\xb8\xd5", sims[1]->Address()},
                                {"Mill 1", sims[2]->Address()}},
                     "[OPTIONS]\r\nLANGUAGE=0\r\n");
  }

  std::array<std::unique_ptr<Simulator>, 3> sims{std::make_unique<Simulator>(), std::make_unique<Simulator>(),
                                                 std::make_unique<Simulator>()};
  const fs::path machines = work / "Talvo-Maintenance.ini";
};

TEST_F(Shop, DeviceFileForThreeMachinesIsValidXmlWithUniqueDevicesAndTheirOwnAxes) {
  const CliResult result = RunCli({"devices-xml", "--machines", machines.string(), "--port", "7900"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const fs::path file = work / "Devices.xml";
  vandir::test::WriteBytes(file, result.out);
  const std::string items = "|36|36";  // every key of the adapter once per device
  const std::string expected =
      "header True\n"
      "repeated ids []\n"
      "Mill_1|vandir-" + sims[0]->Address() + "|Mill 1 (" + sims[0]->Address() +
      "), served by talvo-cli adapter on port 7900|Linear:X Linear:Y Linear:Z Rotary:A Rotary:B "
      "Rotary:C Rotary:S1 Rotary:S2 Rotary:S3" + items + "\n"
      "machine2|vandir-" + sims[1]->Address() + "|\xe6\xb8\xac\xe8\xa9\xa6 (" + sims[1]->Address() +
      "), served by talvo-cli adapter on port 7901|Linear:X Linear:Y Linear:Z Linear:U Rotary:C "
      "Rotary:S1 Rotary:S2 Rotary:S3|34|34\n"
      "machine3|vandir-" + sims[2]->Address() + "|Mill 1 (" + sims[2]->Address() +
      "), served by talvo-cli adapter on port 7902|Linear:X Linear:Y Linear:Z Rotary:A Rotary:B "
      "Rotary:C Rotary:S1 Rotary:S2 Rotary:S3" + items + "\n";
  EXPECT_EQ(ParsedDevices(file, work), expected);

  const CliResult config =
      RunCli({"devices-xml", "--machines", machines.string(), "--port", "7900", "--agent-config"});
  ASSERT_EQ(config.status, 0) << config.err;
  for (const std::string& entry : std::vector<std::string>{"  Mill_1 {\n    Device = Mill_1\n    Host = 127.0.0.1\n    Port = 7900\n  }\n",
                                  "  machine2 {\n    Device = machine2\n    Host = 127.0.0.1\n    Port = 7901\n  }\n",
                                  "# /etc/talvo/adapter/machine3.conf (talvo-adapter@machine3.service):\n#   HOST=" +
                                      sims[2]->Address() + "\n#   PORT=7902\n"})
    EXPECT_NE(config.out.find(entry), std::string::npos) << entry;
}

// A machine that cannot be asked is still described, with the controller's default axes,
// and the status says that one was not reached.
TEST_F(Shop, UnreachableMachineIsDescribedByDefaultsAndReported) {
  sims[2].reset();
  const CliResult result = RunCli({"devices-xml", "--machines", machines.string()});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("Mill 1 ("), std::string::npos) << result.err;
  EXPECT_NE(result.out.find("<Device id=\"m3\" name=\"machine3\""), std::string::npos);
  EXPECT_NE(result.out.find("<Rotary id=\"m3_axis4_axis\" name=\"A\">"), std::string::npos);
}

bool Accepts(const std::string& address, std::uint16_t port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  ::inet_pton(AF_INET, address.c_str(), &peer.sin_addr);
  const bool accepted = ::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0;
  ::close(fd);
  return accepted;
}

TEST_F(Shop, ThreeAdaptersServeTheirOwnMachinesAtOnceOnTheirOwnAddresses) {
  std::vector<std::unique_ptr<CliProcess>> adapters;
  std::vector<std::string> binds;
  std::vector<std::unique_ptr<ShdrAgent>> agents;
  for (std::size_t n = 0; n < sims.size(); ++n) {
    binds.push_back(vandir::test::UniqueLoopbackAddress());
    adapters.push_back(std::make_unique<CliProcess>(std::vector<std::string>{
        "--host", sims[n]->Address(), "adapter", "--port", "0", "--interval", "50", "--bind", binds[n]}));
    const auto line = adapters[n]->ReadLine();
    ASSERT_TRUE(line && line->starts_with("adapter_port=")) << line.value_or("");
    const auto port = static_cast<std::uint16_t>(std::stoi(line->substr(13)));
    // Listening only where it was told to.
    EXPECT_FALSE(Accepts("127.0.0.1", port));
    agents.push_back(std::make_unique<ShdrAgent>(port, 0, binds[n]));
  }
  for (std::size_t n = 0; n < sims.size(); ++n) sims[n]->Command("set tcode " + std::to_string(20 + n));
  for (std::size_t n = 0; n < sims.size(); ++n) {
    const std::string program = "O100" + std::to_string(n + 1);
    const std::string tool = std::to_string(20 + n);
    EXPECT_TRUE(agents[n]->ReadUntil([&](const AgentView& v) {
      return v.Value("avail") == "AVAILABLE" && v.Value("program") == program && v.Value("tool") == tool;
    })) << n;
    // Axis 4 of the second machine is linear: its position arrives in millimetres all the same.
    EXPECT_EQ(agents[n]->View().values.size(), 34u) << n;
  }
  for (std::size_t n = 0; n < sims.size(); ++n) {
    const CliResult result = adapters[n]->Stop(SIGTERM);
    EXPECT_EQ(result.status, 0) << n;
    EXPECT_EQ(result.err, "") << n;
    EXPECT_EQ(sims[n]->Stats()["logouts"], 1) << n;
  }
}

}  // namespace
}  // namespace talvo::cli::test
