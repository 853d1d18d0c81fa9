#include "text/screen_text.h"

#include "text/iconv_conversion.h"
#include "text/interface_language.h"
#include "text/utf8.h"

namespace talvo::text {
namespace {

bool IsBig5Trail(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
}

// A well-formed Big5 pair that iconv has no character for is one unknown character, and
// its trail byte, possibly ASCII, must not reappear on its own.
std::size_t Big5ReplacedSpan(std::string_view input, std::size_t at) {
  const auto lead = static_cast<unsigned char>(input[at]);
  const bool pair = lead >= 0x81 && lead <= 0xFE && at + 1 < input.size() &&
                    IsBig5Trail(static_cast<unsigned char>(input[at + 1]));
  return pair ? 2 : 1;
}

std::size_t SingleByte(std::string_view, std::size_t) { return 1; }

// One '?' per typed character the code page lacks, however many bytes it takes in UTF-8.
std::size_t Utf8ReplacedSpan(std::string_view input, std::size_t at) {
  const std::size_t length = Utf8SequenceLength(input, at);
  return length == 0 ? 1 : length;
}

}  // namespace

std::string ControllerBytesToUtf8(int language, std::string_view bytes) {
  switch (language) {
    case kTraditionalChinese:
      return IconvConvert("BIG5", "UTF-8", bytes, Big5ReplacedSpan);
    case kSimplifiedChinese:
      return IconvConvert("GB18030", "UTF-8", bytes, SingleByte);
    default:
      if (IsValidUtf8(bytes)) return std::string(bytes);
      return IconvConvert("CP1252", "UTF-8", bytes, SingleByte);
  }
}

std::string Utf8ToControllerBytes(int language, std::string_view utf8) {
  switch (language) {
    case kTraditionalChinese:
      return IconvConvert("UTF-8", "BIG5", utf8, Utf8ReplacedSpan);
    case kSimplifiedChinese:
      return IconvConvert("UTF-8", "GB2312", utf8, Utf8ReplacedSpan);
    default:
      return IconvConvert("UTF-8", "CP1252", utf8, Utf8ReplacedSpan);
  }
}

}  // namespace talvo::text
