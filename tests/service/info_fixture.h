// Information objects registered with a real service whose link is logged in to its own
// simulator. The machine's clock is stopped, so values change only when a test says so.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "link/transport.h"
#include "service/talvo_info.h"
#include "service/talvo_service.h"
#include "tests/service/qt_app.h"
#include "tests/support/simulator.h"

namespace talvo::test {

class InfoObjectTest : public testing::Test {
 protected:
  explicit InfoObjectTest(vandir::test::Simulator::Options options = {})
      : sim(std::move(options)) {
    sim.Command("cycle off");
  }

  void SetUp() override {
    ASSERT_EQ(Link().Connect_TCP(1, sim.Address()), vandir::kOk);
    std::int16_t login = vandir::kNoNewLogin;
    vandir::test::WaitUntil(
        [&] { return (login = Link().QueryUserStatus()) != vandir::kNoNewLogin; });
    ASSERT_TRUE(login == vandir::kLoginFull || login == vandir::kLoginLimited) << login;
  }

  vandir::TVandirCNC& Link() { return *service.Link(); }

  // Registers `info` in `group` and activates the group, as a page switch does.
  void Show(TTalvoInfo& info, int group = 2) {
    info.Group = group;
    info.SetService(&service);
    service.GroupInfoSetActive(group);
  }

  // Waits until the link has sent everything queued and decoded every reply, so that the next
  // read hands out what the controller holds now.
  void Settle() {
    ASSERT_TRUE(vandir::test::WaitUntil([&] { return Link().SendCMD->IsIdle(); }));
  }

  // One poll as the service makes it: the list has drained, then the object refreshes.
  void Poll(TTalvoInfo& info) {
    Settle();
    info.Refresh(false);
  }

  // Polls the objects until `done`; reads arrive one poll after the request that fetched them.
  bool PollUntil(const std::vector<TTalvoInfo*>& infos, const std::function<bool()>& done) {
    for (int poll = 0; poll < 50; ++poll) {
      Settle();
      for (TTalvoInfo* info : infos) info->Refresh(false);
      if (done()) return true;
    }
    return false;
  }

  // The commands the controller received while `action` ran, keep-alive echoes left out: a
  // marker request queued behind it shows when everything before it has arrived.
  std::vector<int> RequestsDuring(const std::function<void()>& action) {
    constexpr int kEcho = 271;
    constexpr int kMarker = 301;  // the root part path, which no information object asks for
    Settle();
    sim.Command("log-clear");
    action();
    EXPECT_TRUE(vandir::test::WaitUntil([&] { return Link().AskRootPart() == vandir::kOk; }));
    std::vector<int> commands;
    EXPECT_TRUE(vandir::test::WaitUntil([&] {
      commands.clear();
      for (const auto& [command, index] : sim.Log())
        if (command != kEcho) commands.push_back(command);
      return std::find(commands.begin(), commands.end(), kMarker) != commands.end();
    }));
    std::erase(commands, kMarker);
    return commands;
  }

  static bool Contains(const std::vector<int>& commands, int command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
  }

  QCoreApplication& app = EnsureQtApp();
  vandir::test::Simulator sim;
  TTalvoService service;
};

}  // namespace talvo::test
