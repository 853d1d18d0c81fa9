// The program's main window in a home folder of its own, beside its own simulator.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/frame/main_window.h"
#include "tests/app/program_home.h"
#include "tests/support/simulator.h"

namespace talvo::app::test {

class FrameTest : public testing::Test {
 protected:
  // The settings file gets `settings` before the window is made; the window polls fast.
  explicit FrameTest(std::optional<vandir::test::Simulator::Options> simulator =
                         vandir::test::Simulator::Options{});
  ~FrameTest() override;

  void MakeWindow(const std::string& settings = "");
  // Connects to the simulator and waits for the connection to complete.
  void ConnectAndComplete();
  bool Completed() const { return completions > 0; }
  template <class W>
  W* Find(const char* name) const {
    W* widget = window->findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QString Text(const char* name) const;

  ProgramHome home;
  std::unique_ptr<vandir::test::Simulator> sim;
  std::unique_ptr<TFormMain> window;
  int completions = 0;
};

}  // namespace talvo::app::test
