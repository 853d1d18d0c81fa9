// SHA-256 (FIPS 180-4), for the fingerprints a backup keeps of every file it holds, so that
// a file changed or damaged later is found by hashing it again.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace talvo::text {

class Sha256 {
 public:
  Sha256();
  // Any number of pieces, of any length.
  void Add(std::string_view bytes);
  // The digest as 64 lower-case hexadecimal digits. The object is spent afterwards.
  std::string HexDigest();

 private:
  void Compress(const unsigned char* block);

  std::array<std::uint32_t, 8> state_;
  std::array<unsigned char, 64> block_{};
  std::size_t filled_ = 0;       // bytes waiting in block_
  std::uint64_t totalBytes_ = 0;
};

inline std::string Sha256Hex(std::string_view bytes) {
  Sha256 hash;
  hash.Add(bytes);
  return hash.HexDigest();
}

struct FileDigest {
  std::uint64_t size = 0;
  std::string sha256;
};

// The digest of a whole file as it lies on the disk; nothing, with the cause in `error`, when
// it cannot be read to its end.
std::optional<FileDigest> Sha256OfFile(const std::filesystem::path& path, std::string* error);

}  // namespace talvo::text
