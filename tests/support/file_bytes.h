// Whole files as bytes, and contents that hold every byte value, for the tests that compare
// what a transfer wrote with what it was given.
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vandir::test {

// Empty when the file cannot be read.
inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Creates the folders on the way.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  std::ofstream(path, std::ios::binary) << bytes;
}

// Bytes of every value, not repeating every 256, so a transfer that trips over NULs or line
// ends, or puts a piece at the wrong offset, shows.
inline std::string EveryByteValue(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

}  // namespace vandir::test
