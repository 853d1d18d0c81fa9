#include "app/curves/trend_sampler.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/format/display_format.h"
#include "app/frame/info_objects.h"
#include "link/transport.h"
#include "link/vandircnc.h"
#include "service/talvo_service.h"

namespace talvo::app {
namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t kSamplesKept = TTrendSampler::kLongestSpan / TTrendSampler::kSamplePeriod;

bool IsFeed(ETrendSource s) {
  return s == ETrendSource::FeedCommand || s == ETrendSource::FeedActual ||
         s == ETrendSource::FeedOverride;
}
bool IsSpindle(ETrendSource s) {
  return s == ETrendSource::SpindleCommand || s == ETrendSource::SpindleActual ||
         s == ETrendSource::SpindleOverride;
}

}  // namespace

TTrendSampler::TTrendSampler(TTalvoService& service, TInfoObjects& infos,
                             TTalvoInfo_Position& machine, const TLanguage& language,
                             const std::array<QString, 6>& axisLetters, QObject* parent)
    : QObject(parent),
      service_(service),
      infos_(infos),
      machine_(machine),
      language_(language),
      axisLetters_(axisLetters),
      log_(kSamplesKept) {
  // Registered after the frame's objects, so its reads come after theirs in a tick.
  reads_.SetService(&service_);
  timer_.setInterval(kSamplePeriod);
  connect(&timer_, &QTimer::timeout, this, [this] { Sample(QDateTime::currentMSecsSinceEpoch()); });
}

TTrendSampler::~TTrendSampler() { reads_.SetService(nullptr); }

bool TTrendSampler::AddSignal(const TTrendSignal& signal) {
  if (std::find(signals_.begin(), signals_.end(), signal) != signals_.end()) return false;
  signals_.push_back(signal);
  log_.AddCurve(DescribeSignal(signal, language_, axisLetters_));
  UpdateReads();
  return true;
}

void TTrendSampler::RemoveSignal(const TTrendSignal& signal) {
  const auto it = std::find(signals_.begin(), signals_.end(), signal);
  if (it == signals_.end()) return;
  log_.RemoveCurve(static_cast<int>(it - signals_.begin()));
  signals_.erase(it);
  UpdateReads();
}

void TTrendSampler::UpdateReads() {
  std::vector<TTrendSignal> added;
  std::copy_if(signals_.begin(), signals_.end(), std::back_inserter(added),
               [](const TTrendSignal& s) { return AddedByNumber(s.source); });
  reads_.SetSignals(std::move(added));
  KeepSourcesActive();
}

void TTrendSampler::Start() {
  if (Running()) return;
  timer_.start();
  KeepSourcesActive();
}

void TTrendSampler::Stop() {
  timer_.stop();
  // The pages' objects go back to what the shown page polls at its next change; the
  // numbers only the curves wanted stop now.
  reads_.Active = false;
}

void TTrendSampler::KeepSourcesActive() {
  // Called by the frame after every page change; a stopped sampler keeps nothing.
  if (!Running()) return;
  const auto wanted = [&](bool (*kind)(ETrendSource)) {
    return std::any_of(signals_.begin(), signals_.end(),
                       [&](const TTrendSignal& s) { return kind(s.source); });
  };
  if (wanted(IsFeed)) infos_.FeedRate.Active = true;
  if (wanted(IsSpindle)) infos_.SpindleSpeed.Active = true;
  if (wanted([](ETrendSource s) { return s == ETrendSource::MachinePosition; }))
    machine_.Active = true;
  reads_.Active = !reads_.Empty();
}

bool TTrendSampler::Fresh() {
  if (!service_.GetSessionReady() || service_.GetProcessKind() != pkGetInformation) return false;
  const std::int32_t replies = service_.Link()->SendCMD->ReplyCount.load();
  const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
  if (replies != lastReplyCount_) {
    lastReplyCount_ = replies;
    lastReplyMs_ = now;
  }
  return now - lastReplyMs_ < kStaleAfter.count();
}

double TTrendSampler::Read(const TTrendSignal& s) const {
  const TTalvoInfo_FeedRate& feed = infos_.FeedRate;
  const TTalvoInfo_SpindleSpeed& spindles = infos_.SpindleSpeed;
  switch (s.source) {
    case ETrendSource::FeedCommand: return feed.Command() * kUnitScale;
    case ETrendSource::FeedActual: return feed.Actual() * kUnitScale;
    case ETrendSource::FeedOverride: return feed.Percentage() * 100;
    case ETrendSource::SpindleCommand: return spindles.Command(s.index);
    case ETrendSource::SpindleActual: return spindles.Actual(s.index);
    case ETrendSource::SpindleOverride: return spindles.Percentage(s.index) * 100;
    case ETrendSource::MachinePosition: return machine_.Axis(s.index) * kUnitScale;
    default: return reads_.Value(s);
  }
}

void TTrendSampler::Sample(std::int64_t ms) {
  const bool fresh = Fresh();
  std::vector<double> values(signals_.size(), kGap);
  if (fresh)
    for (std::size_t i = 0; i < signals_.size(); ++i) values[i] = Read(signals_[i]);
  log_.Append(ms, values);
  if (OnSampled) OnSampled();
}

}  // namespace talvo::app
