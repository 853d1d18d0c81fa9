// Texts in a request's data area. A request brings only its first iLength bytes, and the
// lengths it declares may be wrong, so a text ends at its NUL, its declared length or the
// end of the request, whichever comes first.
#pragma once

#include <string>

#include "link/package.h"

namespace vandir::sim {

std::string RequestText(const defPACKAGE& request, int offset, int length);

struct TextPair {
  std::string first;
  std::string second;
};
// Two texts of declared lengths one after the other, a NUL between them.
TextPair RequestTexts(const defPACKAGE& request, int offset, int firstLength, int secondLength);

}  // namespace vandir::sim
