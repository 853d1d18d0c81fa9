// The MTConnect adapter against a running simulator, with agents on real sockets: what
// agents see, how fast, and what happens when the controller or an agent misbehaves.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "cli/adapter/adapter.h"
#include "cli/session.h"
#include "link/transport.h"
#include "tests/cli/cli_process.h"
#include "tests/cli/shdr_agent.h"
#include "tests/support/file_bytes.h"
#include "tests/support/simulator.h"
#include "tests/support/timing.h"

namespace talvo::cli::test {
namespace {

using namespace std::chrono_literals;
using adapter::AdapterOptions;
using vandir::test::Simulator;
using vandir::test::Stretched;
using vandir::test::WaitUntil;

AdapterOptions FastOptions() {
  AdapterOptions options;
  options.listenAddress = "127.0.0.1";
  options.port = 0;
  options.times.interval = 20ms;
  options.times.staleAfter = 300ms;
  options.times.loginTimeout = 1s;
  options.times.reconnectDelay = 50ms;
  // Small enough that a stalled agent passes it long before the system's socket buffers
  // are full, however large they are.
  options.limits.maxQueuedBytes = 64 * 1024;
  return options;
}

// The adapter on a thread of its own, as the command runs it on the main thread.
class RunningAdapter {
 public:
  RunningAdapter(const std::string& host, AdapterOptions options)
      : adapter_(link_, host, options), thread_([this] {
          adapter_.Run([this](std::chrono::milliseconds wait) {
            std::unique_lock lock(mutex_);
            return stopped_.wait_for(lock, wait, [this] { return stop_; });
          });
        }) {}
  ~RunningAdapter() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    stopped_.notify_all();
    thread_.join();
  }
  std::uint16_t Port() const { return adapter_.Port(); }
  const adapter::AgentServer& Server() const { return adapter_.Server(); }

 private:
  vandir::TVandirCNC link_;
  adapter::Adapter adapter_;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stop_ = false;
  std::thread thread_;
};

bool Available(const AgentView& view) { return view.Value("avail") == "AVAILABLE"; }
bool Unavailable(const AgentView& view) { return view.Value("avail") == "UNAVAILABLE"; }

class Adapter : public testing::Test {
 protected:
  Adapter() {
    // Nothing moves unless a test says so.
    sim.Command("cycle off");
  }
  // An agent that has its dump from a controller the adapter reaches.
  std::unique_ptr<ShdrAgent> ConnectedAgent() {
    auto agent = std::make_unique<ShdrAgent>(adapter.Port());
    EXPECT_TRUE(agent->ReadUntil(Available));
    return agent;
  }

  Simulator sim;
  RunningAdapter adapter{sim.Address(), FastOptions()};
};

TEST_F(Adapter, NewAgentGetsEveryCurrentValueThenOnlyChanges) {
  sim.Command("set program O4321");
  sim.Command("set mode 2");
  sim.Command("position machine 10000 -20000 30000 0 0 5");
  sim.Command("set feed-override 50");
  auto agent = ConnectedAgent();
  // Within a round the controller answers one request after the other, so the settings
  // may arrive in different rounds and in any order.
  const std::map<std::string, std::string> expected = {
      {"program", "O4321"},   {"mode", "MANUAL_DATA_INPUT"}, {"execution", "READY"},
      {"x_machine", "1.0000"}, {"y_machine", "-2.0000"},     {"axis6_machine", "0.0005"},
      {"feed_ovr", "50"}};
  const auto matches = [&](const AgentView& v) {
    return std::all_of(expected.begin(), expected.end(),
                       [&](const auto& item) { return v.Value(item.first) == item.second; });
  };
  EXPECT_TRUE(agent->ReadUntil(matches));
  const AgentView& view = agent->View();
  for (const auto& [key, value] : expected) EXPECT_EQ(view.Value(key), value) << key;
  EXPECT_EQ(view.conditions.at("alarm").size(), 0u);
  EXPECT_EQ(view.values.size(), 34u);

  // A second agent's dump names every item in one line, after the first agent's changes.
  ShdrAgent second(adapter.Port());
  ASSERT_TRUE(second.ReadUntil([](const AgentView& v) { return v.values.size() == 34; }));
  EXPECT_EQ(second.View().lines.size(), 3u);

  const std::size_t before = view.lines.size();
  sim.Command("set tcode 7");
  ASSERT_TRUE(agent->ReadUntil([](const AgentView& v) { return v.Value("tool") == "7"; }));
  // Only the change travels: a line with the one item, the conditions unchanged.
  const std::string last = view.lines.back();
  EXPECT_TRUE(last.ends_with("|tool|7")) << last;
  EXPECT_EQ(view.lines.size(), before + 1) << last;
}

// The read that first sees a change is at most one interval away, and what it asked for goes
// out with the next read: two intervals, and the few milliseconds the answers take.
TEST(AdapterSpeed, ChangeReachesAgentsWithinTwoIntervals) {
  Simulator sim;
  sim.Command("cycle off");
  AdapterOptions options = FastOptions();
  options.times.interval = adapter::PollTimes{}.interval;
  RunningAdapter adapter(sim.Address(), options);
  ShdrAgent agent(adapter.Port());
  ASSERT_TRUE(agent.ReadUntil(Available));
  for (const std::string parts : {"101", "102", "103"}) {
    sim.Command("set parts " + parts);
    const auto set = std::chrono::steady_clock::now();
    ASSERT_TRUE(
        agent.ReadUntil([&](const AgentView& v) { return v.Value("part_count") == parts; }));
    EXPECT_LE(std::chrono::steady_clock::now() - set,
              Stretched(2 * options.times.interval + 30ms));
  }
}

// One read of the machine's state per interval, counted where it lands: at the controller.
TEST(AdapterSpeed, ReadsTheControllerOncePerInterval) {
  Simulator sim;
  sim.Command("cycle off");
  long perRead = 0;
  {
    Session session;
    session.Connect(sim.Address(), false);
    // A read asks for what it needs once, though a link busy with its list may turn away a
    // request now and then: the fullest of a few reads is what one read takes.
    for (int read = 0; read < 3; ++read) {
      const long before = sim.Stats()["requests"];
      const std::int32_t replies = session.Replies();
      adapter::ReadMachineState(session.Link());
      // Every request queued has been taken, each one the controller counted is answered,
      // and no more arrive for a while: a request taken but not yet sent is counted nowhere
      // for a moment, so a look at one instant can come too early.
      long counted = -1;
      auto quietSince = std::chrono::steady_clock::now();
      session.Await(
          [&] {
            const long now = sim.Stats()["requests"] - before;
            const bool answered = session.Link().SendCMD->CommandListCount() == 0 &&
                                  session.Replies() - replies == now;
            if (now != counted || !answered) {
              counted = now;
              quietSince = std::chrono::steady_clock::now();
            }
            return answered && std::chrono::steady_clock::now() - quietSince >= 300ms;
          },
          "the answers to one read");
      perRead = std::max(perRead, counted);
    }
  }
  ASSERT_GT(perRead, 10);
  AdapterOptions options = FastOptions();
  options.times.interval = 100ms;
  RunningAdapter adapter(sim.Address(), options);
  ShdrAgent agent(adapter.Port());
  ASSERT_TRUE(agent.ReadUntil(Available));
  const long start = sim.Stats()["requests"];
  const auto since = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(2s);
  const long requests = sim.Stats()["requests"] - start;
  const double rounds = std::chrono::duration<double>(std::chrono::steady_clock::now() - since) /
                        options.times.interval;
  EXPECT_GE(static_cast<double>(requests), perRead * (rounds - 2)) << perRead << " a read";
  EXPECT_LE(static_cast<double>(requests), perRead * (rounds + 1)) << perRead << " a read";
}

TEST_F(Adapter, AnswersPingWithHeartbeatAndIgnoresOtherAgentCommands) {
  auto agent = ConnectedAgent();
  agent->Send("* shdrVersion: 2\r\n* PING\n");
  ASSERT_TRUE(agent->ReadUntil([](const AgentView& v) { return !v.commands.empty(); }));
  EXPECT_EQ(agent->View().commands, std::vector<std::string>{"* PONG 10000"});
}

TEST_F(Adapter, AlarmsAndWarningsAreConditionsClearedWhenGone) {
  auto agent = ConnectedAgent();
  sim.Command("alarm 3015");
  sim.Command("alarm 1012");
  sim.Command("warning 2003");
  const auto& conditions = agent->View().conditions;
  ASSERT_TRUE(agent->ReadUntil([](const AgentView& v) {
    return v.conditions.at("alarm").size() == 2 && v.conditions.at("warning").size() == 1;
  }));
  EXPECT_EQ(conditions.at("alarm").at("3015"), "FAULT|DOOR OPEN DURING AUTOMATIC OPERATION");
  EXPECT_EQ(conditions.at("alarm").at("1012"), "FAULT|") << "the controller has no text for it";
  // The screen shows PLC warnings one up from the bit that raises them, with that one's text.
  EXPECT_EQ(conditions.at("warning").at("2004"), "WARNING|LUBRICATION OIL LEVEL LOW");

  // Held replies: no answer is made between the two commands, so the list goes from two
  // alarms to one, never through none.
  sim.Command("stall 1000");
  sim.Command("alarm-clear");
  sim.Command("alarm 1012");
  sim.Command("stall 0");
  ASSERT_TRUE(agent->ReadUntil([](const AgentView& v) { return v.conditions.at("alarm").size() == 1; }));
  EXPECT_TRUE(conditions.at("alarm").contains("1012"));
  // The one that went is cleared by its code; the other stays active.
  const auto& lines = agent->View().lines;
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.ends_with("|alarm|NORMAL|3015|||");
  }));

  sim.Command("alarm-clear");
  sim.Command("warning-clear");
  ASSERT_TRUE(agent->ReadUntil([](const AgentView& v) {
    return v.conditions.at("alarm").empty() && v.conditions.at("warning").empty();
  }));
}

// The texts are read from the controller's files at each login and merged as the program
// merges them: a number the PLC texts already give keeps that text, the user strings add the
// numbers it lacks; a file the controller lacks is left out; a separator in a text cannot
// break the agent's line.
TEST_F(Adapter, ConditionTextsAreTheControllersOwnAtEachLogin) {
  auto agent = ConnectedAgent();
  vandir::test::WriteBytes(sim.Root() / "C" / "MACHINE" / "USRENG.STR",
                           "/* user texts\r\n*/\r\n3015 = user text for a PLC alarm\r\n"
                           "1012 = SPINDLE|OVERLOAD (user text) \r\n");
  std::filesystem::remove(sim.Root() / "C" / "RESOURCE" / "DSPE.STR");
  sim.Command("drop");
  ASSERT_TRUE(agent->ReadUntil(Unavailable));
  sim.Command("alarm 3015");
  sim.Command("alarm 1012");
  sim.Command("warning 2003");
  ASSERT_TRUE(agent->ReadUntil([](const AgentView& v) {
    return Available(v) && v.conditions.at("alarm").size() == 2 &&
           v.conditions.at("warning").size() == 1;
  }));
  const auto& conditions = agent->View().conditions;
  EXPECT_EQ(conditions.at("alarm").at("3015"), "FAULT|DOOR OPEN DURING AUTOMATIC OPERATION");
  EXPECT_EQ(conditions.at("alarm").at("1012"), "FAULT|SPINDLE OVERLOAD (user text)");
  EXPECT_EQ(conditions.at("warning").at("2004"), "WARNING|LUBRICATION OIL LEVEL LOW");
}

TEST_F(Adapter, DroppedControllerMakesEverythingUnavailableUntilReconnected) {
  auto agent = ConnectedAgent();
  sim.Command("drop");
  ASSERT_TRUE(agent->ReadUntil(Unavailable));
  const AgentView& view = agent->View();
  for (const auto& [key, value] : view.values) EXPECT_EQ(value, "UNAVAILABLE") << key;
  EXPECT_TRUE(view.conditions.at("alarm").contains(""));
  sim.Command("set parts 77");
  ASSERT_TRUE(agent->ReadUntil([](const AgentView& v) {
    return Available(v) && v.Value("part_count") == "77";
  }));
  EXPECT_TRUE(view.conditions.at("alarm").empty());
}

// Read at each login: the letters of axes 4-6 and the screen language's code page come from
// the key parameters, the unit system from the active G code; lengths arrive in millimetres.
TEST_F(Adapter, KeyParametersAndUnitsOfTheControllerShapeWhatAgentsGet) {
  auto agent = ConnectedAgent();
  sim.Command("set param 202 1");  // a traditional Chinese screen: Big5 texts
  sim.Command("set param 122 3");  // axis 4 is U, a linear axis
  sim.Command("set gcode 6 20");   // G20: inches
  sim.Command("set program \xb4\xfa\xb8\xd5");  // "測試"
  sim.Command("position machine 10000 0 0 10000 900000 0");
  sim.Command("drop");
  ASSERT_TRUE(agent->ReadUntil(Unavailable));
  const std::map<std::string, std::string> expected = {
      {"program", "\xe6\xb8\xac\xe8\xa9\xa6"}, {"x_machine", "25.4000"},
      {"axis4_machine", "25.4000"}, {"axis5_machine", "90.0000"}};
  const auto matches = [&](const AgentView& v) {
    return std::all_of(expected.begin(), expected.end(),
                       [&](const auto& item) { return v.Value(item.first) == item.second; });
  };
  EXPECT_TRUE(agent->ReadUntil(matches));
  for (const auto& [key, value] : expected) EXPECT_EQ(agent->View().Value(key), value) << key;
}

TEST_F(Adapter, StalledControllerIsUnavailableAndRecovers) {
  auto agent = ConnectedAgent();
  sim.Command("stall 1000");
  const auto stalled = std::chrono::steady_clock::now();
  ASSERT_TRUE(agent->ReadUntil(Unavailable));
  EXPECT_LE(std::chrono::steady_clock::now() - stalled,
            Stretched(FastOptions().times.staleAfter + 200ms));
  sim.Command("stall 0");
  EXPECT_TRUE(agent->ReadUntil(Available));
}

TEST_F(Adapter, StalledAgentIsDroppedWhileOthersAreServed) {
  auto reader = ConnectedAgent();
  // Asks for answers without ever reading them, until its queue passes the bound.
  ShdrAgent stalled(adapter.Port(), 4096);
  std::string pings;
  for (int i = 0; i < 20000; ++i) pings += "* PING\n";
  std::thread flood([&] {
    for (int i = 0; i < 40 && adapter.Server().Dropped() == 0; ++i) stalled.Send(pings);
  });
  EXPECT_TRUE(WaitUntil([&] { return adapter.Server().Dropped() >= 1; }));
  flood.join();
  EXPECT_EQ(adapter.Server().Agents(), 1u);
  sim.Command("set tcode 9");
  EXPECT_TRUE(reader->ReadUntil([](const AgentView& v) { return v.Value("tool") == "9"; }));
}

TEST_F(Adapter, AgentSendingGarbageIsDropped) {
  auto reader = ConnectedAgent();
  const std::string garbage[] = {"GET / HTTP/1.1\r\n", std::string(2000, 'x'), "*PING\n"};
  for (const std::string& text : garbage) {
    ShdrAgent agent(adapter.Port());
    agent.Send(text);
    EXPECT_TRUE(agent.ClosedWithin(2s)) << text.substr(0, 20);
  }
  EXPECT_TRUE(WaitUntil([&] { return adapter.Server().Agents() == 1; }));
  sim.Command("set tcode 3");
  EXPECT_TRUE(reader->ReadUntil([](const AgentView& v) { return v.Value("tool") == "3"; }));
}

TEST_F(Adapter, ConnectionsBeyondTheCapAreTurnedAway) {
  auto reader = ConnectedAgent();
  std::vector<std::unique_ptr<ShdrAgent>> crowd;
  for (int i = 0; i < 200; ++i) crowd.push_back(std::make_unique<ShdrAgent>(adapter.Port()));
  const std::size_t cap = adapter::AgentLimits{}.maxAgents;
  EXPECT_TRUE(WaitUntil([&] { return adapter.Server().Dropped() == 200 - (cap - 1); }));
  EXPECT_EQ(adapter.Server().Agents(), cap);
  // The last to come found the room full and was closed at once.
  EXPECT_TRUE(crowd.back()->ClosedWithin(2s));
  crowd.clear();
  EXPECT_TRUE(WaitUntil([&] { return adapter.Server().Agents() == 1; }));
  sim.Command("set tcode 4");
  EXPECT_TRUE(reader->ReadUntil([](const AgentView& v) { return v.Value("tool") == "4"; }));
}

TEST(AdapterCommand, ServesUntilTerminatedAndReportsItsPort) {
  Simulator sim;
  CliProcess cli({"--host", sim.Address(), "adapter", "--port", "0", "--interval", "50"});
  const auto line = cli.ReadLine();
  ASSERT_TRUE(line && line->starts_with("adapter_port="));
  ShdrAgent agent(static_cast<std::uint16_t>(std::stoi(line->substr(13))));
  EXPECT_TRUE(agent.ReadUntil(Available));
  const CliResult result = cli.Stop(SIGTERM);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(agent.ClosedWithin(2s));
  EXPECT_EQ(sim.Stats()["logouts"], 1);
}

}  // namespace
}  // namespace talvo::cli::test
