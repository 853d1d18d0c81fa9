// Whole files as bytes, and contents that hold every byte value, for the tests that compare
// what a transfer wrote with what it was given.
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
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

// Every file and folder below `folder`, as paths relative to it: what a job may have
// written where it should not shows as a difference.
inline std::set<std::string> TreeBelow(const std::filesystem::path& folder) {
  std::set<std::string> tree;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec))
    tree.insert(std::filesystem::relative(it->path(), folder, ec).string());
  return tree;
}

}  // namespace vandir::test
