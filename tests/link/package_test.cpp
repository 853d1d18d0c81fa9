#include <gtest/gtest.h>

#include <vector>

#include "link/package.h"

namespace vandir {
namespace {

std::vector<std::uint8_t> Bytes(const defPACKAGE& p, int from, int count) {
  return {p.bytes.begin() + from, p.bytes.begin() + from + count};
}

TEST(Package, HeaderWordsAreLittleEndianAtTheirOffsets) {
  defPACKAGE p;
  p.set_iHead(516);
  p.set_iCommand(258);
  p.set_iLength(16);
  p.set_iIndex(1);
  p.set_iReplyLength(16);
  p.set_iParam1(-1);
  p.set_iParam2(0x1234);
  p.set_iParam3(-32768);
  const std::vector<std::uint8_t> expected = {0x04, 0x02, 0x02, 0x01, 0x10, 0x00, 0x01, 0x00,
                                              0x10, 0x00, 0xFF, 0xFF, 0x34, 0x12, 0x00, 0x80};
  EXPECT_EQ(Bytes(p, 0, 16), expected);
  EXPECT_EQ(p.iParam1(), -1);
  EXPECT_EQ(p.iParam3(), -32768);
}

TEST(Package, DataValuesAreLittleEndian) {
  defPACKAGE p;
  p.put_i32(kData, -2);
  p.put_f64(kData + 4, 1.0);
  p.put_u16(kData + 12, 0xBEEF);
  EXPECT_EQ(Bytes(p, 16, 14), (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0,
                                                           0, 0xF0, 0x3F, 0xEF, 0xBE}));
  EXPECT_EQ(p.i32(kData), -2);
  EXPECT_EQ(p.f64(kData + 4), 1.0);
  EXPECT_EQ(p.i8(kData), -2);
}

TEST(Package, ValuesSpanningHeaderWordsReadBackWhole) {
  // Some writes put a 32-bit value across two header words (bytes 12-15).
  defPACKAGE p;
  p.put_i32(12, 70000);
  EXPECT_EQ(p.iParam2(), 70000 & 0xFFFF);
  EXPECT_EQ(p.iParam3(), 1);
}

TEST(Package, TextStopsAtNulOrLimit) {
  defPACKAGE p;
  ASSERT_TRUE(p.put_text(kData, "O1234"));
  EXPECT_EQ(p.text(kData), "O1234");
  EXPECT_EQ(p.text(kData, kData + 3), "O12");
  EXPECT_EQ(p.text(kData + 10, kData + 5), "");
  p.bytes.fill('A');
  EXPECT_EQ(p.text(kPackageSize - 4).size(), 4u);  // no NUL before the end of the package
}

TEST(Package, TextThatWouldRunPastThePackageIsRefused) {
  defPACKAGE p;
  EXPECT_FALSE(p.put_text(kPackageSize - 2, "abc"));
  EXPECT_EQ(p.u8(kPackageSize - 2), 0);
  EXPECT_TRUE(p.put_text(kPackageSize - 3, "abc"));
}

}  // namespace
}  // namespace vandir
