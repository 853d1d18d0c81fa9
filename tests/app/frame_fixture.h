// The program's main window in a home folder of its own, beside its own simulator.
#pragma once

#include <gtest/gtest.h>

#include <QString>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/frame/main_window.h"
#include "tests/support/simulator.h"

// QStrings in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace talvo::app::test {

// Runs the event loop until `done` or the timeout; returns done's last value.
bool RunUntil(const std::function<bool()>& done,
              std::chrono::milliseconds timeout = std::chrono::seconds(10));
void RunFor(std::chrono::milliseconds time);

// A fresh program home under the temporary folder, removed with the object.
class TempHome {
 public:
  TempHome();
  ~TempHome();
  const std::string& Text() const { return text_; }  // with a trailing '/'
  std::filesystem::path Path(const std::string& relative) const { return path_ / relative; }
  void Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;

 private:
  std::filesystem::path path_;
  std::string text_;
};

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

  TempHome home;
  std::unique_ptr<vandir::test::Simulator> sim;
  std::unique_ptr<TFormMain> window;
  int completions = 0;
};

}  // namespace talvo::app::test
