// Shared by the dialog tests: a program home in a temporary folder (with language files
// when a test writes them), and a maintenance service connected by real TCP to its own
// simulator for the dialogs that talk to a controller.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "service/talvo_service.h"
#include "tests/app/program_home.h"
#include "tests/support/simulator.h"

namespace talvo::app::dialog_test {

using test::ProgramHome;
using test::RunFor;
using test::RunUntil;

class ConnectedService : public testing::Test {
 protected:
  ConnectedService();
  ~ConnectedService() override;

  // Connects in `language` and waits for the connection; the test fails without it.
  void Connect(int language = 2);

  ProgramHome home;
  vandir::test::Simulator sim;
  std::unique_ptr<TTalvoService> service;
  bool connected = false;
};

}  // namespace talvo::app::dialog_test
