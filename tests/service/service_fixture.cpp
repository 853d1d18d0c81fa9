#include "tests/service/service_fixture.h"

#include <QCoreApplication>

#include <thread>

#include "tests/support/file_bytes.h"

namespace talvo::test {

ServiceTest::ServiceTest(vandir::test::Simulator::Options options) : sim(std::move(options)) {
  home = sim.Root().parent_path() / (sim.Root().filename().string() + "-home");
  std::filesystem::create_directories(home / "Resource");
  std::filesystem::create_directories(home / "Ncfiles");
  std::filesystem::create_directories(home / "Machine");
  resourceDir = home / "Resource";
  hmiFile = resourceDir / "DspE.str";
  sim.Command("cycle off");
  service = std::make_unique<TTalvoService>(nullptr, clock);
  service->SetProcessInterval(20);
  auto log = [this](std::string text) { events.push_back(std::move(text)); };
  service->OnConnecting = [log](TTalvoService*) { log("connecting"); };
  service->OnConnect = [this, log](TTalvoService*) {
    log("connect");
    if (onConnectDo) onConnectDo();
  };
  service->OnDisconnect = [log](TTalvoService*, EProcessKind kind, EConnectState state, int level) {
    log("disconnect " + std::to_string(kind) + " " + std::to_string(state) + " " +
        std::to_string(level));
  };
  service->OnError = [log](TTalvoService*, EProcessKind kind, int error) {
    log("error " + std::to_string(kind) + " " + std::to_string(error));
  };
  service->OnConnectStateChange = [log](TTalvoService*, EConnectState state) {
    log("state " + std::to_string(state));
  };
  service->OnProgress = [log](TTalvoService*, EProcessKind kind, int percent) {
    log("progress " + std::to_string(kind) + " " + std::to_string(percent));
  };
  service->OnProcessFinish = [log](TTalvoService*, EProcessKind kind) {
    log("finish " + std::to_string(kind));
  };
  service->OnCmdListExecute = [log](TTalvoService*, EProcessKind kind, int index) {
    log("execute " + std::to_string(kind) + " " + std::to_string(index));
  };
  service->OnAbortCmdList = [log](TTalvoService*, EProcessKind kind) {
    log("abort " + std::to_string(kind));
  };
  service->OnFileOverwrite = [this, log](TTalvoService*, EProcessKind kind, std::string name,
                                         int& result) {
    log("overwrite " + std::to_string(kind) + " " + name);
    result = overwriteAnswer;
  };
  service->OnConnectCountdown = [log](TTalvoService*, int remain) {
    log("countdown " + std::to_string(remain));
  };
}

ServiceTest::~ServiceTest() {
  service.reset();
  std::error_code ec;
  std::filesystem::remove_all(home, ec);
}

bool ServiceTest::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool ServiceTest::RunUntilWithTimePassing(const std::function<bool()>& done) {
  return RunUntil([&] {
    clock->Advance(1);
    return done();
  });
}

void ServiceTest::RunFor(std::chrono::milliseconds time) {
  RunUntil([] { return false; }, time);
}

bool ServiceTest::Logged(const std::string& event) const {
  return std::find(events.begin(), events.end(), event) != events.end();
}

std::vector<std::string> ServiceTest::EventsStartingWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const auto& e : events)
    if (e.starts_with(prefix)) found.push_back(e);
  return found;
}

bool ServiceTest::StartConnect(int language) {
  return service->ConnectToMachine(1, sim.Address(), -1, "", resourceDir.string(),
                                   (home / "Ncfiles").string(), hmiFile.string(), language);
}

void ServiceTest::Connect(int language) {
  ASSERT_TRUE(StartConnect(language));
  ASSERT_TRUE(RunUntil([this] { return Logged("connect"); })) << testing::PrintToString(events);
}

void ServiceTest::PutControllerFile(const std::string& folder, const std::string& name,
                                    const std::string& bytes) {
  vandir::test::WriteBytes(sim.Root() / "C" / folder / name, bytes);
}

std::string ServiceTest::ReadLocal(const std::filesystem::path& path) const {
  return vandir::test::ReadBytes(path);
}

}  // namespace talvo::test
