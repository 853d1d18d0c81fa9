#include "text/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace talvo::text {
namespace {

// The examples of FIPS 180-4 and the NIST test vectors: they cross the padding's edge cases
// (the length field fitting in the last block or needing one more).
TEST(Sha256, MatchesThePublishedDigests) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
       "lmnopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Sha256Hex(c.message), c.digest) << c.message.size();
}

// A file is hashed as it is read, in pieces that fall anywhere in a block.
TEST(Sha256, GivesOneDigestHoweverTheBytesArePieced) {
  std::string bytes(200, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 + 7);
  for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 128u, 200u}) {
    const std::string message = bytes.substr(0, length);
    const std::string whole = Sha256Hex(message);
    for (std::size_t cut = 0; cut <= length; ++cut) {
      Sha256 pieced;
      pieced.Add(std::string_view(message).substr(0, cut));
      pieced.Add(std::string_view(message).substr(cut));
      ASSERT_EQ(pieced.HexDigest(), whole) << length << " cut at " << cut;
    }
  }
}

}  // namespace
}  // namespace talvo::text
