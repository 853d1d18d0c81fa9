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
#include "app/frame/program_windows.h"
#include "tests/app/program_home.h"
#include "tests/support/simulator.h"

namespace talvo::app::test {

class FrameTest : public testing::Test {
 protected:
  // The settings file gets `settings` before the window is made; the window polls fast.
  explicit FrameTest(std::optional<vandir::test::Simulator::Options> simulator =
                         vandir::test::Simulator::Options{});
  ~FrameTest() override;

  // The window comes with its dialogs, as main() makes them: the window hands the pages their
  // parts only once the dialogs exist.
  void MakeWindow(const std::string& settings = "");
  // A new program on the settings file as it is now; the old one goes first.
  void ReopenWindow();
  void CloseWindow();
  // Answers the next modal dialog of type D that opens, once, with `answer` (which usually
  // fills it in and accepts or rejects it). Several may wait at once for different types.
  template <class D>
  void AnswerNextModal(std::function<void(D*)> answer) {
    AnswerModal([answer](QWidget* w) {
      auto* dialog = dynamic_cast<D*>(w);
      if (dialog) answer(dialog);
      return dialog != nullptr;
    });
  }
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
  std::unique_ptr<TProgramWindows> program;
  TFormMain* window = nullptr;
  int completions = 0;

 private:
  // `answer` returns whether the modal widget was the one it waits for.
  void AnswerModal(std::function<bool(QWidget*)> answer);
  // Parent of the answers still waiting; they end with the test.
  std::unique_ptr<QObject> answers_ = std::make_unique<QObject>();
};

}  // namespace talvo::app::test
