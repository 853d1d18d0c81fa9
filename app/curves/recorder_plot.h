// Data-recorder tables as curves: each chosen channel against the record number, counted on
// across the files in the order given, or against the ISR time summed over the records. A
// file without a channel leaves a gap in it. Used by the program's window and by the
// headless plot for tickets.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "app/curves/curve_series.h"
#include "text/recorder_table.h"

class QChart;
class QValueAxis;

namespace talvo::app {

enum class ERecorderAxis { Record, IsrTime };

class TRecorderPlot {
 public:
  TRecorderPlot();
  ~TRecorderPlot();

  // The x axis's title for each kind, and the readout's name of an x value ("Record").
  void SetAxisTitles(const QString& record, const QString& isrTime);
  void SetTables(std::vector<text::RecorderTable> tables);
  const std::vector<text::RecorderTable>& Tables() const { return tables_; }
  // The channel names of all tables, in the order first met.
  QStringList ChannelNames() const;
  // Where the files stopped early, one "FILE:LINE: reason" each.
  QStringList Problems() const;
  // Curves for `channels` (names as the header gives them, any case of the letter); the
  // names no table has are returned.
  QStringList Choose(const QStringList& channels, ERecorderAxis axis);
  const QStringList& Chosen() const { return chosen_; }

  QChart& Chart() { return *chart_; }
  // The chosen curves over all of x, and over [from, to] in `columns` columns.
  void ShowAll(int columns);
  void Show(double from, double to, int columns);
  // The first and last x.
  double FirstX() const { return xs_.empty() ? 0 : xs_.front(); }
  double LastX() const { return xs_.empty() ? 0 : xs_.back(); }
  std::size_t Points() const { return xs_.size(); }
  // "Record 12: X1 = 5, Y2 = -3" for the point nearest to `x`.
  QString Readout(double x) const;
  // Points drawn now by all curves.
  int DrawnPoints() const;

 private:
  std::size_t Nearest(double x) const;

  std::vector<text::RecorderTable> tables_;
  QStringList chosen_;
  ERecorderAxis axis_ = ERecorderAxis::Record;
  QString recordTitle_ = QStringLiteral("Record");
  QString isrTitle_ = QStringLiteral("ISR time");
  std::vector<double> xs_;
  std::vector<std::vector<double>> ys_;  // [chosen curve][point]
  std::unique_ptr<QChart> chart_;
  QValueAxis* xAxis_;
  QValueAxis* yAxis_;
  std::vector<std::unique_ptr<TCurveSeries>> curves_;
};

}  // namespace talvo::app
