#include "service/size_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace talvo {
namespace {

TEST(SizeText, LargestUnitReachedWithDecimalsByMagnitude) {
  const struct {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0.00B"},
      {1023, "1023B"},
      {1024, "1.00KB"},
      {1536, "1.50KB"},
      {10240, "10.0KB"},
      {157286400, "150MB"},
      {1073741824, "1.00GB"},
      {5ull << 40, "5120GB"},  // no unit above GB
  };
  for (const auto& c : cases) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace talvo
