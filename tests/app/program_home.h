// What every program test needs: a program home of its own in the temporary folder, and a
// way to let the event loop run until something has happened.
#pragma once

#include <QString>

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "tests/support/timing.h"

// QStrings in failure messages as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace talvo::app::test {

// Runs the event loop until `done` or the timeout; returns done's last value. The default
// allows a connection to complete on a loaded machine in a sanitizer build.
bool RunUntil(const std::function<bool()>& done,
              std::chrono::milliseconds timeout = vandir::test::Stretched(std::chrono::seconds(10)));
void RunFor(std::chrono::milliseconds time);

// A fresh program home with Resource/, Language/ and Ncfiles/, removed with the object.
class ProgramHome {
 public:
  ProgramHome();
  ~ProgramHome();
  ProgramHome(const ProgramHome&) = delete;
  ProgramHome& operator=(const ProgramHome&) = delete;

  // The home as the program takes it: a folder text ending in '/'.
  const std::string& Text() const { return text_; }
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path Path(const std::filesystem::path& relative) const { return path_ / relative; }
  void WriteFile(const std::filesystem::path& relative, const std::string& bytes) const;
  std::string ReadFile(const std::filesystem::path& relative) const;

 private:
  std::filesystem::path path_;
  std::string text_;
};

}  // namespace talvo::app::test
