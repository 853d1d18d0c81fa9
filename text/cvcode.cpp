#include "text/cvcode.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "text/cvcode_tables.h"
#include "text/interface_language.h"

namespace talvo::text {
namespace {

bool IsBig5Pair(unsigned char lead, unsigned char trail) {
  return lead >= 0xA1 && ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE));
}

bool IsGbPair(unsigned char lead, unsigned char trail) {
  return lead >= 0xA1 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

// A lead byte of 0xFF passes the Big5 test but lies beyond the table; the caller's range
// check turns it into a single byte.
std::size_t Big5Index(unsigned char lead, unsigned char trail) {
  const std::size_t column = trail <= 0x7E ? trail - 0x40u : trail - 0xA1u + 63u;
  return (lead - 0xA1u) * 157u + column;
}

std::size_t GbIndex(unsigned char lead, unsigned char trail) {
  return (lead - 0xA1u) * 94u + (trail - 0xA1u);
}

template <bool (*IsPair)(unsigned char, unsigned char),
          std::size_t (*Index)(unsigned char, unsigned char), std::size_t N>
std::string Convert(const std::string& text, const std::array<std::uint16_t, N>& table) {
  std::string result;
  result.reserve(text.size());
  std::size_t p = 0;
  while (p < text.size()) {
    const auto lead = static_cast<unsigned char>(text[p]);
    // At the last byte the pair's second byte is the terminating NUL, which no trail
    // range contains: a lone final lead byte stays as it is.
    const unsigned char trail = p + 1 < text.size() ? text[p + 1] : '\0';
    if (IsPair(lead, trail)) {
      const std::size_t index = Index(lead, trail);
      if (index < table.size()) {
        result.push_back(static_cast<char>(table[index] >> 8));
        result.push_back(static_cast<char>(table[index] & 0xFF));
        p += 2;
        continue;
      }
    }
    result.push_back(text[p]);
    ++p;
  }
  return result;
}

}  // namespace

bool isBIG5(const std::string& text) {
  return text.size() >= 2 &&
         IsBig5Pair(static_cast<unsigned char>(text[0]), static_cast<unsigned char>(text[1]));
}

bool isGB(const std::string& text) {
  return text.size() < 2 ||
         IsGbPair(static_cast<unsigned char>(text[0]), static_cast<unsigned char>(text[1]));
}

std::string BIG5toGB(const std::string& text) {
  return Convert<IsBig5Pair, Big5Index>(text, kBig5ToGb);
}

std::string GBtoBIG5(const std::string& text) {
  return Convert<IsGbPair, GbIndex>(text, kGbToBig5);
}

void FromControllerText(int language, const std::string& input, std::string& output) {
  output = language == kSimplifiedChinese ? BIG5toGB(input) : input;
}

void ToControllerText(int language, const std::string& input, std::string& output) {
  output = language == kSimplifiedChinese ? GBtoBIG5(input) : input;
}

}  // namespace talvo::text
