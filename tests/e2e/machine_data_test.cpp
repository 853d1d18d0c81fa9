// Reads and writes against the simulated machine over real TCP: a write is seen by the next
// read with the changed flag, and the controller's refusals arrive through the set gate.
#include "link/transport.h"
#include "tests/e2e/link_fixture.h"

namespace vandir::test {
namespace {

using namespace std::chrono_literals;

class MachineData : public LinkTest {
 protected:
  void SetUp() override {
    sim.Command("cycle off");
    ConnectAndLogin();
  }
  // A read hands out what an earlier reply stored: read once to ask, wait for the answer,
  // then read again. `changed` tells whether either read reported a change (an answer to an
  // earlier read may already have brought the new value).
  template <class Read>
  void ReadFresh(Read read) {
    const int before = Replies();
    read();
    const int first = changed;
    ASSERT_TRUE(WaitUntil([&] {
      return Replies() > before && link.SendCMD->CommandListCount() == 0 &&
             link.SendCMD->IsSuspended();
    }));
    read();
    changed = changed == 1 || first == 1 ? 1 : changed;
  }
  std::int16_t AwaitSetStatus() {
    std::int16_t status = kSetPending;
    WaitUntil([&] { return (status = link.QueryStatus()) != kSetPending; });
    return status;
  }
  int changed = 0;
};

TEST_F(MachineData, ControlChannelValuesShowUpInReads) {
  sim.Command("set mode 3");
  sim.Command("alarm 3015");
  std::int16_t mode = 0, count = 0;
  std::int32_t alarms[20] = {};
  ReadFresh([&] { link.GetMode(&mode, &changed); });
  EXPECT_EQ(mode, 3);
  ReadFresh([&] { link.GetAlarm(&count, alarms, &changed); });
  ASSERT_EQ(count, 1);
  EXPECT_EQ(alarms[0], 3015);
}

TEST_F(MachineData, MakerParameterWriteIsReadBackWithTheChangedFlag) {
  std::int32_t params[100] = {};
  ReadFresh([&] { link.GetParameter(101, 100, params, &changed); });
  const std::int32_t before = params[122 - 101];
  link.GetParameter(101, 100, params, &changed);
  EXPECT_EQ(changed, 0);

  ASSERT_EQ(Retried([&] { return link.SetMakerParameter(122, before + 4, "1234"); }), kOk);
  EXPECT_EQ(AwaitSetStatus(), 0);
  ReadFresh([&] { link.GetParameter(101, 100, params, &changed); });
  EXPECT_EQ(params[122 - 101], before + 4);
  EXPECT_EQ(changed, 1);
}

TEST_F(MachineData, WrongPasswordIsTheControllersRefusal) {
  ASSERT_EQ(Retried([&] { return link.SetMakerParameter(122, 5, "guess"); }), kOk);
  const std::int16_t refusal = AwaitSetStatus();
  EXPECT_NE(refusal, 0);
  EXPECT_NE(refusal, kSetTimedOut);
  EXPECT_EQ(sim.Command("get param 122"), "ok 0");
}

TEST_F(MachineData, ToolAndOffsetWritesInDisplayUnits) {
  ASSERT_EQ(Retried([&] { return link.SetMillToolGeometryRadius(5, 6.0); }), kOk);
  ASSERT_EQ(AwaitSetStatus(), 0);
  std::int32_t radius = 0;
  ReadFresh([&] { link.GetMillToolRadius(5, 1, &radius, &changed); });
  EXPECT_EQ(radius, 60000);

  ASSERT_EQ(Retried([&] { return link.SetG55(2, -1.5); }), kOk);
  ASSERT_EQ(AwaitSetStatus(), 0);
  std::int32_t g55[6] = {};
  ReadFresh([&] { link.GetG55(g55, &changed); });
  EXPECT_EQ(g55[2], -15000);

  ASSERT_EQ(Retried([&] { return link.SetMillToolGeometryRadius(100, 1.0); }), kOk);  // no such tool
  EXPECT_NE(AwaitSetStatus(), 0);
}

TEST_F(MachineData, PlcRegisterAndMacroVariableRoundTrip) {
  ASSERT_EQ(Retried([&] { return link.SetPLC_Register(7, 12345); }), kOk);
  ASSERT_EQ(AwaitSetStatus(), 0);
  int reg = 0;
  ReadFresh([&] { link.GetPLC_Register(7, 1, &reg, &changed); });
  EXPECT_EQ(reg, 12345);

  ASSERT_EQ(Retried([&] { return link.SetGlobalVar(100, 2.25); }), kOk);
  ASSERT_EQ(AwaitSetStatus(), 0);
  double value = 0;
  ReadFresh([&] { link.GetMacroGlobalVariable(101, 1, &value, &changed); });
  EXPECT_EQ(value, 2.25);
}

TEST_F(MachineData, PartCountAndReset) {
  ASSERT_EQ(Retried([&] { return link.Set_PartCount(70000); }), kOk);  // only the low 16 bits travel
  ASSERT_EQ(AwaitSetStatus(), 0);
  std::int32_t parts = 0;
  ReadFresh([&] { link.GetNowWorkPiece(&parts, &changed); });
  EXPECT_EQ(parts, 70000 & 0xFFFF);
  ASSERT_EQ(Retried([&] { return link.ResetPartCount(); }), kOk);
  ASSERT_EQ(AwaitSetStatus(), 0);
  ReadFresh([&] { link.GetNowWorkPiece(&parts, &changed); });
  EXPECT_EQ(parts, 0);
}

TEST_F(MachineData, SystemInformationAndPaths) {
  std::string version, root;
  ReadFresh([&] { link.SWInformation(&version, &changed); });
  ASSERT_GE(version.size(), 5u);
  EXPECT_EQ(version[4], 'M');
  ReadFresh([&] { link.Get_NC_Root_Path(&root, &changed); });
  EXPECT_FALSE(root.empty());
  EXPECT_EQ(root.back(), '\\');
}

}  // namespace
}  // namespace vandir::test
