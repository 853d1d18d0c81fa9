#include "sim/wire/request_text.h"

#include <algorithm>

namespace vandir::sim {

std::string RequestText(const defPACKAGE& request, int offset, int length) {
  if (length <= 0) return {};
  return request.text(offset, std::min<int>(request.iLength(), offset + length));
}

TextPair RequestTexts(const defPACKAGE& request, int offset, int firstLength, int secondLength) {
  if (firstLength < 0) return {};
  return {RequestText(request, offset, firstLength),
          RequestText(request, offset + firstLength + 1, secondLength)};
}

}  // namespace vandir::sim
