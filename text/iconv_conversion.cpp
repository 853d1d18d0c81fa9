#include "text/iconv_conversion.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <string>
#include <system_error>
#include <type_traits>

namespace talvo::text {
namespace {

struct IconvCloser {
  void operator()(iconv_t descriptor) const { iconv_close(descriptor); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

IconvHandle OpenIconv(const char* from, const char* to) {
  iconv_t descriptor = iconv_open(to, from);
  if (descriptor == reinterpret_cast<iconv_t>(-1)) {
    throw std::system_error(errno, std::generic_category(),
                            std::string("iconv ") + from + " -> " + to);
  }
  return IconvHandle(descriptor);
}

}  // namespace

std::string IconvConvert(const char* from, const char* to, std::string_view input,
                         ReplacedSpan replacedSpan) {
  const IconvHandle converter = OpenIconv(from, to);
  std::string result;
  result.reserve(input.size());
  // iconv's prototype takes non-const input, but it only reads it.
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  // Any one character fits in a chunk, so every pass moves on.
  std::array<char, 256> chunk;
  while (inLeft > 0) {
    char* out = chunk.data();
    std::size_t outLeft = chunk.size();
    const std::size_t converted = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
    result.append(chunk.data(), out);
    if (converted != static_cast<std::size_t>(-1) || errno == E2BIG) continue;

    // EILSEQ (invalid, or no counterpart in the target) or EINVAL (cut off at the end).
    const std::size_t at = input.size() - inLeft;
    const std::size_t skipped = std::clamp<std::size_t>(replacedSpan(input, at), 1, inLeft);
    result.push_back('?');
    in += skipped;
    inLeft -= skipped;
  }
  return result;
}

}  // namespace talvo::text
