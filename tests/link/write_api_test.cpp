// Argument checks of the write operations. The link is not connected, so a write that passes
// its checks is refused by the link with -1; the checks answer with their own values first.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "link/vandircnc.h"

namespace vandir {
namespace {

struct WriteCase {
  const char* name;
  std::function<int(TVandirCNC&)> write;
  int expected;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WriteChecks : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteChecks, ReturnTheirValueWithoutSending) {
  TVandirCNC link;
  EXPECT_EQ(GetParam().write(link), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, WriteChecks,
    testing::Values(
        WriteCase{"CBitAbove511", [](TVandirCNC& l) { return l.SetPLC_C_Bit(512, 1); }, -17},
        WriteCase{"CBitNegative", [](TVandirCNC& l) { return l.SetPLC_C_Bit(-1, 1); }, -17},
        WriteCase{"CBit511Passes", [](TVandirCNC& l) { return l.SetPLC_C_Bit(511, 1); }, -1},
        WriteCase{"ABitAbove511", [](TVandirCNC& l) { return l.SetPLC_A_Bit(512, 0); }, -17},
        WriteCase{"Register256", [](TVandirCNC& l) { return l.SetPLC_Register(256, 1); }, -71},
        WriteCase{"RegisterNegative", [](TVandirCNC& l) { return l.SetPLC_Register(-1, 1); }, -71},
        WriteCase{"Register255Passes", [](TVandirCNC& l) { return l.SetPLC_Register(255, 1); }, -1},
        WriteCase{"BackupRegister256", [](TVandirCNC& l) { return l.SetPLC_BackupRegister(256, 1); }, -17},
        WriteCase{"LatheGeometryAxis3", [](TVandirCNC& l) { return l.SetLatheToolGeometryLength(3, 3, 0.05); }, 4},
        WriteCase{"LatheWearAxis3", [](TVandirCNC& l) { return l.SetLatheToolWearLength(3, 3, 0.05); }, 4},
        WriteCase{"LatheWearAxisNegative", [](TVandirCNC& l) { return l.SetLatheToolWearLength(3, -1, 0.05); }, 4},
        WriteCase{"LatheWearAxis2Passes", [](TVandirCNC& l) { return l.SetLatheToolWearLength(3, 2, 0.05); }, -1},
        WriteCase{"MillLengthIndex6", [](TVandirCNC& l) { return l.SetMillToolWearLength(5, 6, 1.0); }, 4},
        WriteCase{"MillLengthIndex5Passes", [](TVandirCNC& l) { return l.SetMillToolWearLength(5, 5, 1.0); }, -1},
        WriteCase{"G54PSetZero", [](TVandirCNC& l) { return l.SetG54P(0, 0, 10.0); }, 4},
        WriteCase{"G54PSet1Passes", [](TVandirCNC& l) { return l.SetG54P(1, 0, 10.0); }, -1},
        WriteCase{"MainPartEmpty", [](TVandirCNC& l) { return l.SetMainPart(""); }, -17},
        WriteCase{"MainPartTooLong", [](TVandirCNC& l) { return l.SetMainPart(std::string(496, 'x')); }, -17},
        WriteCase{"MdiTooLong", [](TVandirCNC& l) { return l.RunMDI(std::string(497, 'G')); }, -17},
        WriteCase{"MessageTooLong", [](TVandirCNC& l) { return l.AskSendMessage(0, std::string(496, 'm')); }, -17},
        WriteCase{"ProgramPositionAxis6", [](TVandirCNC& l) { return l.AskSetProPos(0, 6, 1); }, -17},
        WriteCase{"RenameTooLong", [](TVandirCNC& l) { return l.AskFileRename(std::string(300, 'a'), std::string(195, 'b')); }, -17}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RootPath, IsSharedByEveryLinkAndALongPathIsRefused) {
  TVandirCNC first, second;
  EXPECT_EQ(first.SetRootPath("/srv/dnc/"), 0);
  EXPECT_EQ(second.RootPath(), "/srv/dnc/");
  EXPECT_EQ(second.SetRootPath(std::string(256, 'r')), -17);
  EXPECT_EQ(first.RootPath(), "/srv/dnc/");
  EXPECT_EQ(second.SetRootPath(std::string(255, 'r')), 0);
}

TEST(FileListQueue, ANewListingDropsWhatIsLeftOfTheLastOne) {
  TVandirCNC link;
  link.FileListQueue.Push({1, 2});
  link.AskFileList("NC", 1);
  EXPECT_EQ(link.FileListQueue.Size(), 1u);
  link.FileList("NC", 0);
  EXPECT_EQ(link.FileListQueue.Size(), 0u);
  EXPECT_EQ(link.FileList("0", 0), -1);
}

}  // namespace
}  // namespace vandir
