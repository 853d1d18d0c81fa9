// Every request builder's package on the wire, byte for byte, as the simulator received it.
// Expected packages are written out in hex; "****" stands for the command index.
#include "tests/e2e/link_fixture.h"

namespace vandir::test {
namespace {

struct Layout {
  const char* name;
  std::function<int(TVandirCNC&)> send;
  const char* hex;
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.name; }

int CommandOf(const std::string& hex) { return std::stoi(hex.substr(6, 2) + hex.substr(4, 2), nullptr, 16); }

class RequestLayout : public LinkTest, public testing::WithParamInterface<Layout> {};

TEST_P(RequestLayout, GoesOnTheWireByteForByte) {
  ConnectAndLogin();
  const std::string expected = GetParam().hex;
  ASSERT_EQ(GetParam().send(link), kOk);
  ASSERT_TRUE(WaitUntil([&] { return sim.Stats()["requests"] >= 1; }));
  const std::string reply = sim.Command("last " + std::to_string(CommandOf(expected)));
  ASSERT_EQ(reply.substr(0, 3), "ok ");
  EXPECT_PRED2(MatchesHex, expected, reply.substr(3));
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, RequestLayout,
    testing::Values(
        Layout{"AskPosition", [](TVandirCNC& l) { return l.AskPosition(); },
               "040201011000****8000000000000000"},
        Layout{"AskStatusMode", [](TVandirCNC& l) { return l.AskStatusMode(); },
               "040202011000****1000000000000000"},
        Layout{"AskInformation1", [](TVandirCNC& l) { return l.AskInformation1(); },
               "040203011000****8c00000000000000"},
        Layout{"AskSystemInfo", [](TVandirCNC& l) { return l.AskSystemInfo(); },
               "040205011000****0001000000000000"},
        Layout{"AskInformation2", [](TVandirCNC& l) { return l.AskInformation2(); },
               "040206011000****4000000000000000"},
        Layout{"AskAlarmWarring", [](TVandirCNC& l) { return l.AskAlarmWarring(); },
               "040207011000****8000000000000000"},
        Layout{"AskMillToolInfo", [](TVandirCNC& l) { return l.AskMillToolInfo(11); },
               "040208011000****00020b0000000000"},
        Layout{"AskLatheToolInfo", [](TVandirCNC& l) { return l.AskLatheToolInfo(5); },
               "040209011000****4000050000000000"},
        Layout{"AskWorkCoordinate", [](TVandirCNC& l) { return l.AskWorkCoordinate(); },
               "04020a011000****c000000000000000"},
        Layout{"AskMacroGlobalVariable", [](TVandirCNC& l) { return l.AskMacroGlobalVariable(100); },
               "04020b011000****a001640000000000"},
        Layout{"AskMacroLocalVariable", [](TVandirCNC& l) { return l.AskMacroLocalVariable(); },
               "04020d011000****0002000000000000"},
        Layout{"AskParameter", [](TVandirCNC& l) { return l.AskParameter(1901); },
               "04020e011000****a0016d0700000000"},
        Layout{"AskHandleIntPulse", [](TVandirCNC& l) { return l.AskHandleIntPulse(); },
               "040210011000****4000000000000000"},
        Layout{"AskWorkG54Coordinate", [](TVandirCNC& l) { return l.AskWorkG54Coordinate(280); },
               "04021a011000****0002180100000000"},
        Layout{"AskPLC_I_Bit", [](TVandirCNC& l) { return l.AskPLC_I_Bit(0); },
               "040220011000****0002000000000000"},
        Layout{"AskPLC_O_Bit", [](TVandirCNC& l) { return l.AskPLC_O_Bit(16); },
               "040221011000****0002100000000000"},
        Layout{"AskPLC_C_Bit", [](TVandirCNC& l) { return l.AskPLC_C_Bit(32); },
               "040222011000****0002200000000000"},
        Layout{"AskPLC_S_Bit", [](TVandirCNC& l) { return l.AskPLC_S_Bit(48); },
               "040223011000****0002300000000000"},
        Layout{"AskPLC_A_Bit", [](TVandirCNC& l) { return l.AskPLC_A_Bit(64); },
               "040224011000****0002400000000000"},
        Layout{"AskPLC_Timer", [](TVandirCNC& l) { return l.AskPLC_Timer(124); },
               "040225011000****00027c0000000000"},
        Layout{"AskPLC_Counter", [](TVandirCNC& l) { return l.AskPLC_Counter(3); },
               "040226011000****0002030000000000"},
        Layout{"AskPLC_Register", [](TVandirCNC& l) { return l.AskPLC_Register(40); },
               "040227011000****0002280000000000"},
        Layout{"AskPLC_BackupRegister", [](TVandirCNC& l) { return l.AskPLC_BackupRegister(255); },
               "040228011000****0002ff0000000000"},
        Layout{"AskMainPart", [](TVandirCNC& l) { return l.AskMainPart(); },
               "04022a011000****9000000000000000"},
        Layout{"AskCurrentPart", [](TVandirCNC& l) { return l.AskCurrentPart(); },
               "04022b011000****9000000000000000"},
        Layout{"AskDefaultPart", [](TVandirCNC& l) { return l.AskDefaultPart(); },
               "04022c011000****9000000000000000"},
        Layout{"AskRootPart", [](TVandirCNC& l) { return l.AskRootPart(); },
               "04022d011000****9000000000000000"},
        Layout{"AskParamDetail", [](TVandirCNC& l) { return l.AskParamDetail(1234); },
               "040251011000****a2000000d2040000"},
        Layout{"AskHWDiagnosis", [](TVandirCNC& l) { return l.AskHWDiagnosis(); },
               "0402a0011000****2000000000000000"},
        Layout{"AskSWInformation", [](TVandirCNC& l) { return l.AskSWInformation(); },
               "0402a1011000****0002000000000000"},
        Layout{"AskNCRootPath", [](TVandirCNC& l) { return l.AskNCRootPath(); },
               "0402a3011000****0002000000000000"},
        Layout{"AskNCMachinePath", [](TVandirCNC& l) { return l.AskNCMachinePath(); },
               "0402a4011000****0002000000000000"},
        Layout{"AskGetDiskFree", [](TVandirCNC& l) { return l.AskGetDiskFree(2); },
               "0402a5011000****1800020000000000"},
        Layout{"AskHWDiagnosis2", [](TVandirCNC& l) { return l.AskHWDiagnosis2(12); },
               "0402a7011400****14000000000000000c000000"},
        Layout{"AskNCFilesPath", [](TVandirCNC& l) { return l.AskNCFilesPath(); },
               "0402a8011000****0002000000000000"},
        Layout{"AskFileInformation", [](TVandirCNC& l) { return l.AskFileInformation("O1"); },
               "04025e011300****13000300000000004f3100"},
        Layout{"SetUserParameter", [](TVandirCNC& l) { return l.SetUserParameter(122, 70000, "pw"); },
               "040250012000****10007a007011010000000100000070770000000000000000"},
        Layout{"SetMakerParameter", [](TVandirCNC& l) { return l.SetMakerParameter(-5, -2, "ABCDEFGHIJKL"); },
               "040250012000****1000fbfffeffffff0000020000004142434445464748494a"},
        Layout{"SetSuperParameter", [](TVandirCNC& l) { return l.SetSuperParameter(1, 1, ""); },
               "040250012000****100001000100000000000f27000000000000000000000000"},
        Layout{"SetPLC_C_Bit", [](TVandirCNC& l) { return l.SetPLC_C_Bit(511, 1); },
               "040254011000****1000ff0101000000"},
        Layout{"SetPLC_A_Bit", [](TVandirCNC& l) { return l.SetPLC_A_Bit(7, 0); },
               "040256011000****1000070000000000"},
        Layout{"SetPLC_Register", [](TVandirCNC& l) { return l.SetPLC_Register(255, -70000); },
               "040259011000****2000ff0090eefeff"},
        Layout{"SetPLC_BackupRegister", [](TVandirCNC& l) { return l.SetPLC_BackupRegister(0, 65536); },
               "04025a011000****2000000000000100"},
        Layout{"SetGlobalVar", [](TVandirCNC& l) { return l.SetGlobalVar(100000, 1.5); },
               "04025b011800****1000a08601000000000000000000f83f"},
        Layout{"SetLocalVar", [](TVandirCNC& l) { return l.SetLocalVar(3, -2.0); },
               "04025f011800****100003000000000000000000000000c0"},
        Layout{"Reset", [](TVandirCNC& l) { return l.Reset(); },
               "040260011000****1000000000000000"},
        Layout{"SetMainPart", [](TVandirCNC& l) { return l.SetMainPart("C:\\NC\\O1234"); },
               "040261011c00****10000c0006000000433a5c4e435c4f3132333400"},
        Layout{"SetMainPartNoFolder", [](TVandirCNC& l) { return l.SetMainPart("O1234"); },
               "040261011600****10000600010000004f3132333400"},
        Layout{"AskCNCReboot", [](TVandirCNC& l) { return l.AskCNCReboot(); },
               "040262011000****1000000000000000"},
        Layout{"AskSetProgramRestartLine", [](TVandirCNC& l) { return l.AskSetProgramRestartLine(2, 123456); },
               "040263011400****140002000000000040e20100"},
        Layout{"AskSetProgramRestartState", [](TVandirCNC& l) { return l.AskSetProgramRestartState(); },
               "040264011000****6200000000000000"},
        Layout{"RunMDI", [](TVandirCNC& l) { return l.RunMDI("G00X0"); },
               "040276011500****15000000050005004730305830"},
        Layout{"AskSetProPos", [](TVandirCNC& l) { return l.AskSetProPos(1, 2, -5); },
               "040281012800****10000100040000000000000000000000fbffffff000000000000000000000000"},
        Layout{"SetLatheToolWearLength", [](TVandirCNC& l) { return l.SetLatheToolWearLength(3, 2, 0.05); },
               "040287011c00****1000030000000000ca0000009a9999999999a93f"},
        Layout{"SetLatheToolType", [](TVandirCNC& l) { return l.SetLatheToolType(4, 2.0); },
               "040287011c00****1000040000000000000000000000000000000040"},
        Layout{"SetLatheToolGeometryRadius", [](TVandirCNC& l) { return l.SetLatheToolGeometryRadius(4, 0.4); },
               "040287011c00****1000040000000000010000009a9999999999d93f"},
        Layout{"SetLatheToolWearRadius", [](TVandirCNC& l) { return l.SetLatheToolWearRadius(4, 0.01); },
               "040287011c00****1000040000000000020000007b14ae47e17a843f"},
        Layout{"SetLatheToolGeometryLength", [](TVandirCNC& l) { return l.SetLatheToolGeometryLength(4, 1, 10.0); },
               "040287011c00****1000040000000000650000000000000000002440"},
        Layout{"SetMillToolWearLength", [](TVandirCNC& l) { return l.SetMillToolWearLength(5, 0, 1.0); },
               "040287011c00****10000500000000004c040000000000000000f03f"},
        Layout{"SetMillToolGeometryRadius", [](TVandirCNC& l) { return l.SetMillToolGeometryRadius(99, 6.0); },
               "040287011c00****1000630000000000e90300000000000000001840"},
        Layout{"SetMillToolTDCValue", [](TVandirCNC& l) { return l.SetMillToolTDCValue(1, 3.0); },
               "040287011c00****1000010000000000140500000000000000000840"},
        Layout{"SetMillToolTDCTime", [](TVandirCNC& l) { return l.SetMillToolTDCTime(1, 4.0); },
               "040287011c00****1000010000000000150500000000000000001040"},
        Layout{"SetCoordBase", [](TVandirCNC& l) { return l.SetCoordBase(5, -1.25); },
               "04028a011c00****100000000000000005000000000000000000f4bf"},
        Layout{"SetG54", [](TVandirCNC& l) { return l.SetG54(1, 2.5); },
               "04028a011c00****1000f0d200000000010000000000000000000440"},
        Layout{"SetG55", [](TVandirCNC& l) { return l.SetG55(1, 2.5); },
               "04028a011c00****1000d8d600000000010000000000000000000440"},
        Layout{"SetG56", [](TVandirCNC& l) { return l.SetG56(1, 2.5); },
               "04028a011c00****1000c0da00000000010000000000000000000440"},
        Layout{"SetG57", [](TVandirCNC& l) { return l.SetG57(1, 2.5); },
               "04028a011c00****1000a8de00000000010000000000000000000440"},
        Layout{"SetG58", [](TVandirCNC& l) { return l.SetG58(1, 2.5); },
               "04028a011c00****100090e200000000010000000000000000000440"},
        Layout{"SetG59", [](TVandirCNC& l) { return l.SetG59(1, 2.5); },
               "04028a011c00****100078e600000000010000000000000000000440"},
        Layout{"SetG54P", [](TVandirCNC& l) { return l.SetG54P(1, 0, 10.0); },
               "04028a011c00****1000f1d200000000000000000000000000002440"},
        Layout{"Set_MaxPartCount", [](TVandirCNC& l) { return l.Set_MaxPartCount(1000); },
               "04028c011000****10000000e8000300"},
        Layout{"Set_PartCount", [](TVandirCNC& l) { return l.Set_PartCount(70000); },
               "04028d011000****1000000070001100"},
        Layout{"ResetPartCount", [](TVandirCNC& l) { return l.ResetPartCount(); },
               "04028d011000****1000000000000000"},
        Layout{"ResetRunTime", [](TVandirCNC& l) { return l.ResetRunTime(); },
               "04028e011000****1000000000000000"},
        Layout{"AskSendMessage", [](TVandirCNC& l) { return l.AskSendMessage(3, ""); },
               "0402a6011100****100003000100000000"},
        Layout{"AskSendMessageText", [](TVandirCNC& l) { return l.AskSendMessage(0, "Hi"); },
               "0402a6011300****1000000003000000486900"},
        Layout{"AskFileRename", [](TVandirCNC& l) { return l.AskFileRename("A1", "B22"); },
               "040291011700****100100000200030041310042323200"},
        Layout{"AskFileDelete", [](TVandirCNC& l) { return l.AskFileDelete("O1.NC"); },
               "040292011600****90000000050000004f312e4e4300"},
        Layout{"AskDirCreate", [](TVandirCNC& l) { return l.AskDirCreate("C:\\D"); },
               "040295011500****9000000004000000433a5c4400"},
        Layout{"AskDirDelete", [](TVandirCNC& l) { return l.AskDirDelete("C:\\D"); },
               "040297011500****9000000004000000433a5c4400"},
        Layout{"AskFileList", [](TVandirCNC& l) { return l.AskFileList("NC", 0); },
               "040299011200****00020000000000004e43"},
        Layout{"AskFileListContinue", [](TVandirCNC& l) { return l.AskFileList("NC", 1); },
               "040299011200****00020100000000004e43"},
        Layout{"AskMessageBox", [](TVandirCNC& l) { return l.AskMessageBox("Go", "T"); },
               "0402a2011500****9001000002000100476f005400"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, ConsecutiveBuildersCarryConsecutiveIndexes) {
  ConnectAndLogin();
  ASSERT_EQ(Retried([&] { return link.AskStatusMode(); }), kOk);
  // A refused build still draws its index, so count the tries.
  int tries = 0;
  ASSERT_EQ(Retried([&] { return ++tries, link.AskPosition(); }), kOk);
  ASSERT_TRUE(WaitUntil([&] { return sim.Stats()["requests"] == 2; }));
  int status = -1, position = -1;
  for (const auto& [command, index] : sim.Log()) {
    if (command == 258) status = index;
    if (command == 257) position = index;
  }
  EXPECT_EQ(position, status + tries);
}

TEST_F(LinkTest, HandshakeNamesTheChannelOfItsPort) {
  for (char type : {1, 2}) {
    SCOPED_TRACE(static_cast<int>(type));
    ASSERT_EQ(link.Connect_TCP(type, sim.Address()), type == 1 ? kOk : kNotConnected);
    ASSERT_EQ(AwaitLogin(link), kLoginFull);
    const std::string handshake = sim.Command("last 256");
    const std::string expected = std::string("ok 04020001000200001000") + (type == 2 ? "02" : "01") +
                                 "0000000000" + std::string(992, '0');
    EXPECT_EQ(handshake, expected);
  }
}

TEST_F(LinkTest, EchoAndLogoutPackages) {
  ConnectAndLogin();
  link.Echo();
  EXPECT_PRED2(MatchesHex, "ok 04020f011000****100060070000" "0000", sim.Command("last 271"));
  link.Disconnect();
  EXPECT_PRED2(MatchesHex, "ok 0402ff011000****10000000" "00000000", sim.Command("last 511"));
}

}  // namespace
}  // namespace vandir::test
