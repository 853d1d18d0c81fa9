// Values set on the simulated machine arrive in the right element of the right object.
#include <algorithm>
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

// Objects made for one test, each with the values it must end up holding.
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
  void Expect(std::string name, std::function<double()> value, double expected) {
    cases_.push_back({std::move(name), std::move(value), expected});
  }
  std::vector<TTalvoInfo*> Objects() const {
    std::vector<TTalvoInfo*> all;
    for (const auto& o : objects_) all.push_back(o.get());
    return all;
  }
  bool AllArrived() const {
    return std::all_of(cases_.begin(), cases_.end(),
                       [](const Case& c) { return c.value() == c.expected; });
  }
  void Check() const {
    for (const Case& c : cases_) EXPECT_EQ(c.value(), c.expected) << c.name;
  }

 private:
  struct Case {
    std::string name;
    std::function<double()> value;
    double expected;
  };
  std::vector<std::unique_ptr<TTalvoInfo>> objects_;
  std::vector<Case> cases_;
};

TEST_F(InfoObjectTest, MachineValuesArriveAtTheirKindAndIndex) {
  ValueTable t;
  const char* codes[] = {"hcode", "mcode", "mcode2", "mcode3", "tcode", "pcode", "qcode", "rcode"};
  for (int k = 1; k <= 8; ++k) {
    auto& code = t.Object<TTalvoInfo_GetCodeXX>([k](auto& i) { i.Kind = ECodeKind(k); });
    sim.Command(std::string("set ") + codes[k - 1] + " " + std::to_string(10 + k));
    t.Expect(codes[k - 1], [&code] { return code.Value(); }, 10 + k);
  }
  const char* positions[] = {"machine", "absolute", "relative", "to-go"};
  for (int k = 1; k <= 4; ++k) {
    auto& pos = t.Object<TTalvoInfo_Position>([k](auto& i) { i.Kind = EPositionKind(k); });
    sim.Command(std::string("position ") + positions[k - 1] + " 1 2 3 4 5 " +
                std::to_string(100 * k));
    t.Expect(positions[k - 1], [&pos] { return pos.Axis(5); }, 100 * k);
  }
  // Element k is tool k + 1: tool 99 is the last the link reads, element 99 stays empty.
  const char* toolFields[] = {"radius",  "length1", "length2", "length3",
                              "length4", "length5", "length6", "tdc"};
  for (int k = 1; k <= 8; ++k) {
    auto& tool = t.Object<TTalvoInfo_MillToolComp>([k](auto& i) { i.Kind = EMillToolKind(k); });
    const std::string field = toolFields[k - 1];
    sim.Command("tool 1 " + field + " " + std::to_string(1000 + k));
    sim.Command("tool 99 " + field + " " + std::to_string(9900 + k));
    t.Expect(field + " tool 1", [&tool] { return tool.Value(0); }, 1000 + k);
    t.Expect(field + " tool 99", [&tool] { return tool.Value(98); }, 9900 + k);
    t.Expect(field + " element 99", [&tool] { return tool.Value(99); }, 0);
  }
  auto& tdcTime = t.Object<TTalvoInfo_MillToolTDCtime>();
  sim.Command("tool 7 tdc-time 3.25");
  t.Expect("tdc-time", [&] { return tdcTime.Value(6); }, 3.25);

  auto& bits = t.Object<TTalvoInfo_PLCxxBit>([](auto& i) { i.Letter = EPlcBitLetter::A; });
  sim.Command("plc A 300 1");
  t.Expect("A300", [&] { return bits.Bit(300); }, 1);
  const char* counterTimers[] = {"counter-now", "counter-set", "timer-now", "timer-set"};
  for (int k = 1; k <= 4; ++k) {
    auto& ct =
        t.Object<TTalvoInfo_PLCCounterTimer>([k](auto& i) { i.Kind = EPlcCounterTimerKind(k); });
    sim.Command(std::string(counterTimers[k - 1]) + " 63 " + std::to_string(k));
    t.Expect(counterTimers[k - 1], [&ct] { return ct.Value(63); }, k);
  }
  auto& backup =
      t.Object<TTalvoInfo_PLCRegister>([](auto& i) { i.Kind = EPlcRegisterKind::BackupRegister; });
  sim.Command("backup 255 99");
  t.Expect("D255", [&] { return backup.Value(255); }, 99);

  auto& groups = t.Object<TTalvoInfo_GGroup>();
  EXPECT_EQ(groups.ActiveG(17), -1);  // nothing read yet
  sim.Command("gcode 17 21");
  t.Expect("G group 17", [&] { return groups.ActiveG(17); }, 21);
  auto& sysvars = t.Object<TTalvoInfo_SystemVariable>();
  sim.Command("sysvar 47 123");
  t.Expect("sysvar 47", [&] { return sysvars.Value(47); }, 123);
  auto& parts = t.Object<TTalvoInfo_WorkPiece>();
  sim.Command("set maxparts 40");
  t.Expect("maxparts", [&] { return parts.MaxCount(); }, 40);
  auto& lists = t.Object<TTalvoInfo_AlarmWarning>();
  sim.Command("alarm 3015");
  sim.Command("warning 2003");
  t.Expect("alarm", [&] { return lists.Alarm(0); }, 3015);
  t.Expect("warning", [&] { return lists.Warning(0); }, 2003);
  auto& spindles = t.Object<TTalvoInfo_SpindleSpeed>();
  sim.Command("set spindle2-actual 2500");
  t.Expect("spindle2-actual", [&] { return spindles.Actual(1); }, 2500);

  for (TTalvoInfo* info : t.Objects()) Show(*info);
  EXPECT_TRUE(PollUntil(t.Objects(), [&] { return t.AllArrived(); }));
  t.Check();
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
