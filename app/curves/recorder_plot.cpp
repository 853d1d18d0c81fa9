#include "app/curves/recorder_plot.h"

#include <QChart>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace talvo::app {
namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TRecorderPlot::TRecorderPlot() : chart_(std::make_unique<QChart>()) {
  xAxis_ = new QValueAxis;
  yAxis_ = new QValueAxis;
  xAxis_->setLabelFormat("%.0f");
  yAxis_->setLabelFormat("%.0f");  // the recorder's values are whole numbers
  chart_->addAxis(xAxis_, Qt::AlignBottom);
  chart_->addAxis(yAxis_, Qt::AlignLeft);
  chart_->legend()->setAlignment(Qt::AlignBottom);
}

TRecorderPlot::~TRecorderPlot() { curves_.clear(); }

void TRecorderPlot::SetAxisTitles(const QString& record, const QString& isrTime) {
  recordTitle_ = record;
  isrTitle_ = isrTime;
  xAxis_->setTitleText(axis_ == ERecorderAxis::Record ? recordTitle_ : isrTitle_);
}

void TRecorderPlot::SetTables(std::vector<text::RecorderTable> tables) {
  tables_ = std::move(tables);
  Choose({}, axis_);
}

QStringList TRecorderPlot::ChannelNames() const {
  QStringList names;
  for (const auto& table : tables_)
    for (const auto& channel : table.channels) {
      const QString name = QString::fromStdString(channel.Name());
      if (!names.contains(name)) names.append(name);
    }
  return names;
}

QStringList TRecorderPlot::Problems() const {
  QStringList problems;
  for (const auto& table : tables_)
    if (table.stop) problems.append(QString::fromStdString(table.StopText()));
  return problems;
}

QStringList TRecorderPlot::Choose(const QStringList& channels, ERecorderAxis axis) {
  axis_ = axis;
  curves_.clear();
  chosen_.clear();
  QStringList unknown;
  const QStringList all = ChannelNames();
  for (const QString& wanted : channels) {
    const auto found = std::find_if(all.begin(), all.end(), [&](const QString& name) {
      return name.compare(wanted, Qt::CaseInsensitive) == 0;
    });
    if (found == all.end())
      unknown.append(wanted);
    else if (!chosen_.contains(*found))
      chosen_.append(*found);
  }
  xs_.clear();
  ys_.assign(static_cast<std::size_t>(chosen_.size()), {});
  double x = 0;
  for (const auto& table : tables_) {
    std::vector<int> columns;
    for (const QString& name : chosen_) columns.push_back(table.ChannelIndex(name.toStdString()));
    for (std::size_t r = 0; r < table.Records(); ++r) {
      x += axis_ == ERecorderAxis::Record ? 1 : table.isrTimes[r];
      xs_.push_back(x);
      for (std::size_t c = 0; c < columns.size(); ++c)
        ys_[c].push_back(columns[c] < 0 ? kGap
                                        : table.values[static_cast<std::size_t>(columns[c])][r]);
    }
  }
  xAxis_->setTitleText(axis_ == ERecorderAxis::Record ? recordTitle_ : isrTitle_);
  for (int c = 0; c < chosen_.size(); ++c)
    curves_.push_back(std::make_unique<TCurveSeries>(*chart_, xAxis_, yAxis_, chosen_[c], CurveColor(c)));
  return unknown;
}

void TRecorderPlot::ShowAll(int columns) { Show(FirstX(), LastX(), columns); }

void TRecorderPlot::Show(double from, double to, int columns) {
  if (to <= from) to = from + 1;
  const std::size_t first =
      static_cast<std::size_t>(std::lower_bound(xs_.begin(), xs_.end(), from) - xs_.begin());
  const std::size_t last =
      static_cast<std::size_t>(std::upper_bound(xs_.begin(), xs_.end(), to) - xs_.begin());
  // One point beyond each edge, so the line runs to the plot's border.
  const std::size_t begin = first > 0 ? first - 1 : 0;
  const std::size_t end = std::min(xs_.size(), last + 1);
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (std::size_t c = 0; c < curves_.size(); ++c) {
    const std::vector<double>& ys = ys_[c];
    const TCurveSegments segments = CurveSegments(
        begin, end, [&](std::size_t i) { return xs_[i]; }, [&](std::size_t i) { return ys[i]; },
        static_cast<std::size_t>(std::max(columns, 1)));
    for (const auto& segment : segments)
      for (const QPointF& p : segment) {
        low = std::min(low, p.y());
        high = std::max(high, p.y());
      }
    curves_[c]->Show(segments);
  }
  xAxis_->setRange(from, to);
  if (!std::isfinite(low)) low = 0, high = 1;
  const double margin = high > low ? (high - low) * 0.05 : 1;
  yAxis_->setRange(low - margin, high + margin);
}

std::size_t TRecorderPlot::Nearest(double x) const {
  const auto it = std::lower_bound(xs_.begin(), xs_.end(), x);
  if (it == xs_.end()) return xs_.size() - 1;
  if (it != xs_.begin() && x - *(it - 1) < *it - x) return static_cast<std::size_t>(it - xs_.begin() - 1);
  return static_cast<std::size_t>(it - xs_.begin());
}

QString TRecorderPlot::Readout(double x) const {
  if (xs_.empty()) return QString();
  const std::size_t i = Nearest(x);
  QString text = QStringLiteral("%1 %2")
                     .arg(axis_ == ERecorderAxis::Record ? recordTitle_ : isrTitle_)
                     .arg(xs_[i], 0, 'f', 0);
  for (int c = 0; c < chosen_.size(); ++c) {
    const double y = ys_[static_cast<std::size_t>(c)][i];
    text += QStringLiteral("   %1 = %2").arg(chosen_[c], std::isnan(y) ? QStringLiteral("-") : QString::number(y, 'f', 0));
  }
  return text;
}

int TRecorderPlot::DrawnPoints() const {
  int points = 0;
  for (const auto& curve : curves_) points += curve->PointCount();
  return points;
}

}  // namespace talvo::app
