#include <gtest/gtest.h>

#include "link/download_reply.h"
#include "tests/link/reply_bytes.h"

namespace vandir {
namespace {

struct PieceCase {
  const char* name;
  int length;
  int namesLength;
  bool fits;
};

void PrintTo(const PieceCase& c, std::ostream* os) { *os << c.name; }

class DownloadPiece : public testing::TestWithParam<PieceCase> {};

TEST_P(DownloadPiece, MustLieInsideTheReply) {
  test::ReplyBytes r(624, 0);
  r.I32(4, GetParam().length).I32(8, 5000);  // bytes 20-23 and 24-27 of the package
  const DownloadPieceReply piece = ReadDownloadPiece(r.p, GetParam().namesLength);
  EXPECT_EQ(piece.length, GetParam().length);
  EXPECT_EQ(piece.remaining, 5000);
  EXPECT_EQ(piece.offset, 30 + GetParam().namesLength);
  EXPECT_EQ(piece.fits, GetParam().fits);
}

// With names "O1.NC" and "/tmp/O1.NC" (15 bytes) the piece starts at byte 45.
INSTANTIATE_TEST_SUITE_P(
    Lengths, DownloadPiece,
    testing::Values(PieceCase{"Empty", 0, 15, true}, PieceCase{"FillsTheReply", 467, 15, true},
                    PieceCase{"OneByteTooLong", 468, 15, false},
                    PieceCase{"Negative", -1, 15, false},
                    PieceCase{"Huge", 0x7FFFFFFF, 15, false},
                    PieceCase{"NamesFillThePackage", 0, 482, true},
                    PieceCase{"NamesBeyondThePackage", 0, 483, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DownloadPiece, ControllerResultComesFromTheFirstWord) {
  EXPECT_EQ(ReadDownloadPiece(test::ReplyBytes(624, 9).p, 0).result, 9);
}

}  // namespace
}  // namespace vandir
