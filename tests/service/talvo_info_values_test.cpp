// Values set on the simulated machine arrive in the right element of the right object.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "service/talvo_info_codes.h"
#include "service/talvo_info_machine.h"
#include "service/talvo_info_plc.h"
#include "service/talvo_info_position.h"
#include "service/talvo_info_tables.h"
#include "service/talvo_info_tools.h"
#include "tests/service/info_fixture.h"

namespace talvo::test {
namespace {

struct ValueCase {
  std::string name;
  TTalvoInfo* info;
  std::function<double()> value;
  double expected;
};

// The objects of a table of cases, each made once and shown on one page.
class ValueTable {
 public:
  template <class T>
  T& Object(std::function<void(T&)> setup = {}) {
    auto info = std::make_unique<T>();
    if (setup) setup(*info);
    T& ref = *info;
    objects_.push_back(std::move(info));
    return ref;
  }
  std::vector<TTalvoInfo*> Objects() const {
    std::vector<TTalvoInfo*> all;
    for (const auto& o : objects_) all.push_back(o.get());
    return all;
  }

 private:
  std::vector<std::unique_ptr<TTalvoInfo>> objects_;
};

bool AllArrived(const std::vector<ValueCase>& cases) {
  for (const ValueCase& c : cases)
    if (c.value() != c.expected) return false;
  return true;
}

void ExpectValues(const std::vector<ValueCase>& cases) {
  for (const ValueCase& c : cases) EXPECT_EQ(c.value(), c.expected) << c.name;
}

TEST_F(InfoObjectTest, MachineValuesArriveAtTheirKindAndIndex) {
  ValueTable t;
  std::vector<ValueCase> cases;

  const char* codeNames[] = {"hcode", "mcode", "mcode2", "mcode3",
                             "tcode", "pcode", "qcode",  "rcode"};
  for (int k = 1; k <= 8; ++k) {
    auto& code = t.Object<TTalvoInfo_GetCodeXX>([k](auto& i) { i.Kind = ECodeKind(k); });
    sim.Command(std::string("set ") + codeNames[k - 1] + " " + std::to_string(10 + k));
    cases.push_back({codeNames[k - 1], &code, [&code] { return code.Value(); }, 10.0 + k});
  }

  const char* positionNames[] = {"machine", "absolute", "relative", "to-go"};
  for (int k = 1; k <= 4; ++k) {
    auto& pos = t.Object<TTalvoInfo_Position>([k](auto& i) { i.Kind = EPositionKind(k); });
    sim.Command(std::string("position ") + positionNames[k - 1] + " 1 2 3 4 5 " +
                std::to_string(100 * k));
    cases.push_back({positionNames[k - 1], &pos, [&pos] { return pos.Axis(5); }, 100.0 * k});
    cases.push_back({"axis 6", &pos, [&pos] { return pos.Axis(6); }, 0});
  }

  const char* toolFields[] = {"radius",  "length1", "length2", "length3",
                              "length4", "length5", "length6", "tdc"};
  for (int k = 1; k <= 8; ++k) {
    auto& tool = t.Object<TTalvoInfo_MillToolComp>([k](auto& i) { i.Kind = EMillToolKind(k); });
    const std::string field = toolFields[k - 1];
    sim.Command("tool 1 " + field + " " + std::to_string(1000 + k));
    sim.Command("tool 99 " + field + " " + std::to_string(9900 + k));
    cases.push_back({field + " tool 1", &tool, [&tool] { return tool.Value(0); }, 1000.0 + k});
    cases.push_back({field + " tool 99", &tool, [&tool] { return tool.Value(98); }, 9900.0 + k});
    cases.push_back({field + " tool 100", &tool, [&tool] { return tool.Value(99); }, 0});
  }
  auto& tdcTime = t.Object<TTalvoInfo_MillToolTDCtime>();
  sim.Command("tool 7 tdc-time 3.25");
  cases.push_back({"tdc-time", &tdcTime, [&] { return tdcTime.Value(6); }, 3.25});

  auto& bitsI = t.Object<TTalvoInfo_PLCxxBit>([](auto& i) { i.Letter = EPlcBitLetter::I; });
  auto& bitsA = t.Object<TTalvoInfo_PLCxxBit>([](auto& i) { i.Letter = EPlcBitLetter::A; });
  sim.Command("plc I 300 1");
  sim.Command("plc A 5 1");
  cases.push_back({"I300", &bitsI, [&] { return bitsI.Bit(300); }, 1});
  cases.push_back({"A5", &bitsA, [&] { return bitsA.Bit(5); }, 1});
  cases.push_back({"A300", &bitsA, [&] { return bitsA.Bit(300); }, 0});

  const char* counterTimerNames[] = {"counter-now", "counter-set", "timer-now", "timer-set"};
  for (int k = 1; k <= 4; ++k) {
    auto& ct = t.Object<TTalvoInfo_PLCCounterTimer>(
        [k](auto& i) { i.Kind = EPlcCounterTimerKind(k); });
    sim.Command(std::string(counterTimerNames[k - 1]) + " 63 " + std::to_string(k));
    cases.push_back({counterTimerNames[k - 1], &ct, [&ct] { return ct.Value(63); }, 1.0 * k});
  }

  auto& registers = t.Object<TTalvoInfo_PLCRegister>(
      [](auto& i) { i.Kind = EPlcRegisterKind::Register; });
  auto& backup = t.Object<TTalvoInfo_PLCRegister>(
      [](auto& i) { i.Kind = EPlcRegisterKind::BackupRegister; });
  sim.Command("register 210 77");
  sim.Command("backup 255 99");
  cases.push_back({"R210", &registers, [&] { return registers.Value(210); }, 77});
  cases.push_back({"D255", &backup, [&] { return backup.Value(255); }, 99});

  auto& groups = t.Object<TTalvoInfo_GGroup>();
  EXPECT_EQ(groups.ActiveG(17), -1);  // nothing read yet
  sim.Command("gcode 17 21");
  cases.push_back({"G group 17", &groups, [&] { return groups.ActiveG(17); }, 21});
  cases.push_back({"G group 18", &groups, [&] { return groups.ActiveG(18); }, -1});

  auto& sysvars = t.Object<TTalvoInfo_SystemVariable>();
  sim.Command("sysvar 47 123");
  cases.push_back({"sysvar 47", &sysvars, [&] { return sysvars.Value(47); }, 123});

  auto& parts = t.Object<TTalvoInfo_WorkPiece>();
  sim.Command("set parts 12");
  sim.Command("set maxparts 40");
  cases.push_back({"parts", &parts, [&] { return parts.NowCount(); }, 12});
  cases.push_back({"maxparts", &parts, [&] { return parts.MaxCount(); }, 40});

  auto& spindles = t.Object<TTalvoInfo_SpindleSpeed>();
  sim.Command("set spindle3 3000");
  sim.Command("set spindle2-actual 2500");
  cases.push_back({"spindle3", &spindles, [&] { return spindles.Command(2); }, 3000});
  cases.push_back({"spindle2-actual", &spindles, [&] { return spindles.Actual(1); }, 2500});

  auto& feed = t.Object<TTalvoInfo_FeedRate>();
  sim.Command("set feed 12000");
  cases.push_back({"feed", &feed, [&] { return feed.Command(); }, 12000});

  for (TTalvoInfo* info : t.Objects()) Show(*info);
  EXPECT_TRUE(PollUntil(t.Objects(), [&] { return AllArrived(cases); }));
  ExpectValues(cases);
}

TEST_F(InfoObjectTest, UserParameterRangeReadsOneSliceIntoItsOwnElements) {
  TTalvoInfo_Parameter params;
  params.FirstIndex = 1842;
  params.Count = 40;
  std::vector<int> starts;
  params.OnChange = [&](TTalvoInfo*) { starts.push_back(params.ChunkStart()); };
  Show(params);
  for (const char* command : {"param 1842 5", "param 1843 7", "param 1882 9", "param 1883 11"})
    sim.Command(command);

  params.Refresh(false);
  EXPECT_EQ(starts, std::vector<int>{1842});
  EXPECT_TRUE(PollUntil({&params}, [&] { return params.Value(1842) == 7; }));
  EXPECT_EQ(params.Value(1881), 9);
  EXPECT_EQ(params.Value(1841), 0);
  EXPECT_EQ(params.Value(1882), 0);
}

TEST_F(InfoObjectTest, WorkTimesAreSplitIntoHoursMinutesSeconds) {
  TTalvoInfo_WorkTime times;
  Show(times);
  sim.Command("set worktime 3723000");
  sim.Command("set totaltime 90061000");
  ASSERT_TRUE(PollUntil({&times}, [&] {
    return times.Current().Milliseconds == 3723000 && times.Total().Milliseconds == 90061000;
  }));
  EXPECT_EQ(times.Current().Hours, 1);
  EXPECT_EQ(times.Current().Minutes, 2);
  EXPECT_EQ(times.Current().Seconds, 3);
  EXPECT_EQ(times.Total().Hours, 25);
  EXPECT_EQ(times.Total().Minutes, 1);
  EXPECT_EQ(times.Total().Seconds, 1);
}

TEST_F(InfoObjectTest, AlarmAndWarningListsAreReportedApart) {
  TTalvoInfo_AlarmWarning lists;
  Show(lists);
  ASSERT_TRUE(PollUntil({&lists}, [&] { return !lists.AlarmChanged(); }));
  sim.Command("alarm 3015");
  sim.Command("alarm 12007");
  ASSERT_TRUE(PollUntil({&lists}, [&] { return lists.AlarmCount() == 2; }));
  EXPECT_TRUE(lists.AlarmChanged());
  EXPECT_FALSE(lists.WarningChanged());
  EXPECT_EQ(lists.Alarm(0), 3015);
  EXPECT_EQ(lists.Alarm(1), 12007);
  EXPECT_EQ(lists.Alarm(20), 0);

  sim.Command("warning 2003");
  ASSERT_TRUE(PollUntil({&lists}, [&] { return lists.WarningCount() == 1; }));
  EXPECT_TRUE(lists.WarningChanged());
  EXPECT_FALSE(lists.AlarmChanged());
  EXPECT_EQ(lists.Warning(0), 2003);
  EXPECT_EQ(lists.Warning(-1), 0);
}

vandir::test::Simulator::Options Lathe() {
  vandir::test::Simulator::Options options;
  options.lathe = true;
  return options;
}

class LatheInfoTest : public InfoObjectTest {
 protected:
  LatheInfoTest() : InfoObjectTest(Lathe()) {}
};

TEST_F(LatheInfoTest, LatheToolFieldsLandInTheirOwnTables) {
  TTalvoInfo_LatheToolComp tools;
  Show(tools);
  using enum ELatheToolTable;
  const std::vector<std::pair<std::string, ELatheToolTable>> fields = {
      {"type", Type},         {"geom-r", GeometryRadius}, {"geom-x", GeometryX},
      {"geom-y", GeometryY},  {"geom-z", GeometryZ},      {"wear-r", WearRadius},
      {"wear-x", WearX},      {"wear-y", WearY},          {"wear-z", WearZ},
  };
  for (std::size_t f = 0; f < fields.size(); ++f)
    sim.Command("tool 30 " + fields[f].first + " " + std::to_string(f + 1));
  ASSERT_TRUE(PollUntil({&tools}, [&] { return tools.Value(WearZ, 29) == 9; }));
  for (std::size_t f = 0; f < fields.size(); ++f)
    EXPECT_EQ(tools.Value(fields[f].second, 29), static_cast<int>(f + 1)) << fields[f].first;
  EXPECT_EQ(tools.Value(Type, 30), 0);
}

}  // namespace
}  // namespace talvo::test
