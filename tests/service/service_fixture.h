// A maintenance service on a Qt event loop, talking real TCP to its own simulator, with
// every event it delivers written down in order as a short text.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "service/talvo_service.h"
#include "tests/service/qt_app.h"
#include "tests/support/manual_clock.h"
#include "tests/support/simulator.h"

namespace talvo::test {

class ServiceTest : public testing::Test {
 protected:
  explicit ServiceTest(vandir::test::Simulator::Options options = {});
  ~ServiceTest() override;

  // Runs the event loop until `done` or the timeout; returns done's last value.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // RunUntil while the link's clock moves a second per turn: a silent link is noticed
  // whenever its last reply came in.
  bool RunUntilWithTimePassing(const std::function<bool()>& done);
  // Runs the event loop for a while, for checks that something does not happen.
  void RunFor(std::chrono::milliseconds time);
  bool Logged(const std::string& event) const;
  std::vector<std::string> EventsStartingWith(const std::string& prefix) const;

  // ConnectToMachine with the main window's arguments and this test's folders.
  bool StartConnect(int language = 2);
  // Connects and waits for OnConnect; the test fails when it does not come.
  void Connect(int language = 2);
  // A controller file in the simulator's file area, written on the host.
  void PutControllerFile(const std::string& folder, const std::string& name,
                         const std::string& bytes);
  std::string ReadLocal(const std::filesystem::path& path) const;

  QCoreApplication& app = EnsureQtApp();
  vandir::test::Simulator sim;
  // The link's wall clock: still unless a test moves it past the 6 s liveness limit.
  std::shared_ptr<vandir::test::ManualClock> clock = std::make_shared<vandir::test::ManualClock>();
  std::filesystem::path home;  // the program home: Resource/, Ncfiles/, Machine/
  std::filesystem::path resourceDir;
  std::filesystem::path hmiFile;
  std::unique_ptr<TTalvoService> service;
  std::vector<std::string> events;
  int overwriteAnswer = kAnswerYes;
  std::function<void()> onConnectDo;
};

}  // namespace talvo::test
