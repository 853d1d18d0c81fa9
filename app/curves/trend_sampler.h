// Samples the chosen signals ten times a second into the trend log while the Trends window
// is open, whichever page is shown: the frame's objects for those signals are kept active
// after every page change, so the service goes on polling them. A sample taken while the
// link gives no fresh answers is a gap.
#pragma once

#include <QObject>
#include <QTimer>

#include <array>
#include <chrono>
#include <functional>
#include <vector>

#include "app/curves/trend_log.h"
#include "app/curves/trend_signals.h"

namespace talvo {
class TTalvoService;
class TTalvoInfo_Position;
}  // namespace talvo

namespace talvo::app {

struct TInfoObjects;

class TTrendSampler : public QObject {
 public:
  static constexpr std::chrono::milliseconds kSamplePeriod{100};
  static constexpr std::chrono::minutes kLongestSpan{60};
  // No answer for this long (the keep-alive answers every half second) means the values
  // held are not the machine's any more.
  static constexpr std::chrono::milliseconds kStaleAfter{1500};

  // `machine` is the position object of the machine coordinates.
  TTrendSampler(TTalvoService& service, TInfoObjects& infos, TTalvoInfo_Position& machine,
                const TLanguage& language, const std::array<QString, 6>& axisLetters,
                QObject* parent = nullptr);
  ~TTrendSampler() override;

  const TTrendLog& Log() const { return log_; }
  const std::vector<TTrendSignal>& Signals() const { return signals_; }
  // False when the signal is followed already.
  bool AddSignal(const TTrendSignal& signal);
  void RemoveSignal(const TTrendSignal& signal);

  void Start();
  void Stop();
  bool Running() const { return timer_.isActive(); }
  // Marks the objects the chosen signals come from active again (after a page change).
  void KeepSourcesActive();
  // One sample taken now, stamped `ms` (milliseconds since the epoch; the timer's step
  // stamps the present).
  void Sample(std::int64_t ms);

  // After every sample.
  std::function<void()> OnSampled;

 private:
  bool Fresh();
  double Read(const TTrendSignal& signal) const;
  void UpdateReads();

  TTalvoService& service_;
  TInfoObjects& infos_;
  TTalvoInfo_Position& machine_;
  const TLanguage& language_;
  const std::array<QString, 6>& axisLetters_;
  TTrendLog log_;
  std::vector<TTrendSignal> signals_;
  TTalvoInfo_TrendReads reads_;
  QTimer timer_;
  std::int32_t lastReplyCount_ = -1;
  std::int64_t lastReplyMs_ = 0;
};

}  // namespace talvo::app
