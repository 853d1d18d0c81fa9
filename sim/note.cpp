#include "sim/note.h"

#include <cstdarg>
#include <cstdio>

namespace vandir::sim {

void Note(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  // One call per line: stdio locks the stream, so lines of both port threads never interleave.
  std::fprintf(stderr, "vandir-sim: %s\n", text);
}

}  // namespace vandir::sim
