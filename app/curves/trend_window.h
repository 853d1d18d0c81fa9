// The Trends window: the live curves of the signals checked in its list, over a rolling 1,
// 10 or 60 minutes. Pause holds the picture while sampling goes on; the wheel, a drag and
// the arrow keys zoom and pan (which holds it too) until "Live"; the pointer reads the
// values of the nearest sample. Exports write the stretch shown.
#pragma once

#include <QComboBox>
#include <QDateTimeAxis>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QValueAxis>
#include <QWidget>

#include <memory>
#include <vector>

#include "app/curves/chart_view.h"
#include "app/curves/curve_series.h"
#include "app/curves/trend_sampler.h"

namespace talvo::app {

class TFormMain;

class TTrendWindow : public QWidget {
 public:
  static constexpr int kSpanMinutes[] = {1, 10, 60};

  TTrendWindow(TFormMain& frame, TTalvoInfo_Position& machine);
  ~TTrendWindow() override;

  TTrendSampler& Sampler() { return *sampler_; }
  // Follows `signal` (checked in the list, added to it when it was not there).
  void Follow(const TTrendSignal& signal);
  void SetSpanMinutes(int minutes);
  // Holds the picture on [from, to] (milliseconds since the epoch), as a zoom would.
  void ShowStretch(double from, double to);
  // The stretch shown, in milliseconds since the epoch.
  double From() const { return view_->From(); }
  double To() const { return view_->To(); }
  // Draws the curves now (the redraw timer's step).
  void Redraw();
  // "" when written, else what failed.
  QString ExportCsv(const QString& path) const;
  QString ExportPng(const QString& path);
  // Points drawn now by all curves.
  int DrawnPoints() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void LoadCaptions();
  void AddListItem(const TTrendSignal& signal, bool checked);
  void ListItemChanged(QListWidgetItem* item);
  void ButtonTrendAddClick();
  void ButtonTrendPauseClick(bool paused);
  void ButtonTrendLiveClick();
  void ExportClick(bool csv);
  void RangeChosen(double from, double to);
  void PointerAt(double x);
  void RebuildCurves();
  void UpdateRedrawInterval();

  TFormMain& frame_;
  std::unique_ptr<TTrendSampler> sampler_;
  int spanMinutes_ = 10;
  bool held_ = false;  // paused, zoomed or panned: the stretch does not roll

  QListWidget* ListTrendSignals;
  QComboBox* ComboTrendAddKind;
  QSpinBox* SpinTrendAddNumber;
  QPushButton* ButtonTrendAdd;
  QComboBox* ComboTrendSpan;
  QPushButton* ButtonTrendPause;
  QPushButton* ButtonTrendLive;
  QPushButton* ButtonTrendExportCsv;
  QPushButton* ButtonTrendExportPng;
  QLabel* LabelTrendCursor;
  QChart* chart_;
  TChartView* view_;
  QDateTimeAxis* xAxis_;
  QValueAxis* yAxis_;
  std::vector<std::unique_ptr<TCurveSeries>> curves_;
  QTimer redrawTimer_;
};

}  // namespace talvo::app
