// What the live curves can follow: the values the Work and Position pages poll (feed,
// spindles, overrides, machine position), and macro variables, D registers and PLC
// registers the user adds by number. The latter are the only reads the curves add: one
// object of their own reads them, after the pages' objects in each service tick.
#pragma once

#include <QString>

#include <array>
#include <vector>

#include "app/curves/trend_log.h"
#include "service/talvo_info.h"

namespace talvo::app {

class TLanguage;

enum class ETrendSource {
  FeedCommand,
  FeedActual,
  FeedOverride,
  SpindleCommand,
  SpindleActual,
  SpindleOverride,
  MachinePosition,
  MacroVariable,
  DRegister,
  Register,
};

struct TTrendSignal {
  ETrendSource source = ETrendSource::FeedCommand;
  int index = 0;  // spindle 0-2, axis 0-5, or the number the user added
  bool operator==(const TTrendSignal&) const = default;
};

// Sources the user adds by number, and the numbers they accept.
bool AddedByNumber(ETrendSource source);
int FirstNumber(ETrendSource source);
int LastNumber(ETrendSource source);

// The signals the pages poll, in the order the window offers them.
std::vector<TTrendSignal> PolledSignals();
// Name, unit and format as the pages show the value; `axisLetters` name the axes.
TTrendCurve DescribeSignal(const TTrendSignal& signal, const TLanguage& language,
                           const std::array<QString, 6>& axisLetters);

// Reads the numbers the user added. The values are kept here only: the pages' own objects
// still see every change the link reports, since this object reads after them.
class TTalvoInfo_TrendReads : public TTalvoInfo {
 public:
  void Update(bool force) override;

  void SetSignals(std::vector<TTrendSignal> added);
  bool Empty() const { return signals_.empty(); }
  // The last value read for `signal`; NaN before the first read or for a vacant variable.
  double Value(const TTrendSignal& signal) const;

 private:
  std::vector<TTrendSignal> signals_;
  std::vector<double> values_;
};

}  // namespace talvo::app
