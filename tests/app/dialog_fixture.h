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
#include "tests/support/simulator.h"

namespace talvo::app::dialog_test {

// A fresh program home, removed again at the end of the test.
class ProgramHome {
 public:
  ProgramHome();
  ~ProgramHome();
  ProgramHome(const ProgramHome&) = delete;
  ProgramHome& operator=(const ProgramHome&) = delete;

  // The home folder text, ending in '/'.
  std::string Text() const { return path_.string() + "/"; }
  const std::filesystem::path& Path() const { return path_; }
  void WriteFile(const std::filesystem::path& relative, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// Runs the event loop until `done` or the timeout; returns done's last value.
bool RunUntil(const std::function<bool()>& done,
              std::chrono::milliseconds timeout = std::chrono::seconds(10));
void RunFor(std::chrono::milliseconds time);

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
