#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "link/vandircnc.h"

namespace vandir {

namespace {

std::string Hex8(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%.8X", value);
  return text;
}

}  // namespace

std::string TVandirCNC::GetCPUID() const {
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return Hex8(edx);
#endif
  // No identification instruction: a stable value derived from the machine's identity.
  std::ifstream file("/etc/machine-id");
  std::string id;
  std::getline(file, id);
  return Hex8(static_cast<std::uint32_t>(std::hash<std::string>{}(id)));
}

}  // namespace vandir
