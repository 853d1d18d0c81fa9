#include "app/curves/trend_signals.h"

#include <cmath>
#include <limits>

#include "app/language/language.h"
#include "link/vandircnc.h"

namespace talvo::app {
namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

}  // namespace

bool AddedByNumber(ETrendSource source) {
  return source == ETrendSource::MacroVariable || source == ETrendSource::DRegister ||
         source == ETrendSource::Register;
}

int FirstNumber(ETrendSource source) { return source == ETrendSource::MacroVariable ? 1 : 0; }

int LastNumber(ETrendSource source) {
  // The link's own bounds: macro variables from 1, the PLC's 256 words from 0.
  return source == ETrendSource::MacroVariable ? 1101 : 255;
}

std::vector<TTrendSignal> PolledSignals() {
  std::vector<TTrendSignal> polled = {{ETrendSource::FeedCommand, 0},
                                      {ETrendSource::FeedActual, 0},
                                      {ETrendSource::FeedOverride, 0}};
  for (ETrendSource s : {ETrendSource::SpindleCommand, ETrendSource::SpindleActual,
                         ETrendSource::SpindleOverride})
    for (int spindle = 0; spindle < 3; ++spindle) polled.push_back({s, spindle});
  for (int axis = 0; axis < 6; ++axis) polled.push_back({ETrendSource::MachinePosition, axis});
  return polled;
}

TTrendCurve DescribeSignal(const TTrendSignal& signal, const TLanguage& language,
                           const std::array<QString, 6>& axisLetters) {
  const auto caption = [&](const char* key) { return language.Caption("CurvesString", key); };
  const QString percent = caption("UnitPercent");
  const QString feedUnit = language.Caption("Work", "FeedRateUnit_Metric");
  const QString rpm = language.Caption("Work", "S1_Unit");
  const QString spindle = QString::number(signal.index + 1);
  switch (signal.source) {
    case ETrendSource::FeedCommand:
      return {caption("FeedCommand"), feedUnit, ETrendFormat::Fixed};
    case ETrendSource::FeedActual:
      return {caption("FeedActual"), feedUnit, ETrendFormat::Fixed};
    case ETrendSource::FeedOverride:
      return {caption("FeedOverride"), percent, ETrendFormat::Whole};
    case ETrendSource::SpindleCommand:
      return {caption("SpindleCommand").arg(spindle), rpm, ETrendFormat::Whole};
    case ETrendSource::SpindleActual:
      return {caption("SpindleActual").arg(spindle), rpm, ETrendFormat::Whole};
    case ETrendSource::SpindleOverride:
      return {caption("SpindleOverride").arg(spindle), percent, ETrendFormat::Whole};
    case ETrendSource::MachinePosition:
      return {caption("MachinePosition").arg(axisLetters[static_cast<std::size_t>(signal.index)]),
              caption("UnitLength"), ETrendFormat::Fixed};
    case ETrendSource::MacroVariable:
      return {caption("MacroVariable").arg(signal.index), QString(), ETrendFormat::Fixed};
    case ETrendSource::DRegister:
      return {caption("DRegister").arg(signal.index), QString(), ETrendFormat::Whole};
    case ETrendSource::Register:
      return {caption("Register").arg(signal.index), QString(), ETrendFormat::Whole};
  }
  return {};
}

void TTalvoInfo_TrendReads::SetSignals(std::vector<TTrendSignal> added) {
  signals_ = std::move(added);
  values_.assign(signals_.size(), kGap);
}

double TTalvoInfo_TrendReads::Value(const TTrendSignal& signal) const {
  for (std::size_t i = 0; i < signals_.size(); ++i)
    if (signals_[i] == signal) return values_[i];
  return kGap;
}

void TTalvoInfo_TrendReads::Update(bool) {
  vandir::TVandirCNC& link = Link();
  for (std::size_t i = 0; i < signals_.size(); ++i) {
    const int n = signals_[i].index;
    int changed = 0;
    switch (signals_[i].source) {
      case ETrendSource::MacroVariable: {
        double value = 0;
        link.GetMacroGlobalVariable(n, 1, &value, &changed);
        // The controller keeps the largest double in a variable that holds nothing.
        values_[i] = changed < 0 || value == std::numeric_limits<double>::max() ? kGap : value;
        break;
      }
      case ETrendSource::DRegister: {
        int value = 0;
        link.GetPLC_BackupRegister(n, 1, &value, &changed);
        values_[i] = changed < 0 ? kGap : value;
        break;
      }
      case ETrendSource::Register: {
        int value = 0;
        link.GetPLC_Register(n, 1, &value, &changed);
        values_[i] = changed < 0 ? kGap : value;
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace talvo::app
