// A folder of its own for one test, removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/file_bytes.h"

namespace vandir::test {

class TempFolder {
 public:
  TempFolder() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "vandir-" + std::to_string(getpid()) + "-" + info->test_suite_name() +
                       "-" + info->name();
    for (char& c : name)
      if (c == '/') c = '_';  // parameterised tests are named "Prefix/Case/0"
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Writes `content` to the file `name` below the folder, creating folders on the way.
  std::filesystem::path Write(const std::string& name, const std::string& content) const {
    const auto file = path_ / name;
    WriteBytes(file, content);
    return file;
  }
  std::string Read(const std::string& name) const { return ReadBytes(path_ / name); }

 private:
  std::filesystem::path path_;
};

}  // namespace vandir::test
