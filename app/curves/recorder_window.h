// The data-recorder plot window: recorder files opened together, the channels checked in
// its list plotted against the record number or the ISR time, zoom and pan as in the Trends
// window, the pointer's record read out, and where a file stopped early said below the plot.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include "app/curves/chart_view.h"
#include "app/curves/recorder_plot.h"

namespace talvo::app {

class TLanguage;

class TRecorderWindow : public QWidget {
 public:
  TRecorderWindow(const TLanguage& language, QWidget* parent);

  // Reads the files and plots every channel; the files' problems are shown and returned.
  QStringList Open(const QStringList& paths);
  TRecorderPlot& Plot() { return plot_; }
  QString ExportPng(const QString& path);

 private:
  void ButtonRecorderOpenClick();
  void ExportClick();
  void Replot();
  void Draw();

  const TLanguage& language_;
  TRecorderPlot plot_;
  QString folder_;

  QPushButton* ButtonRecorderOpen;
  QListWidget* ListRecorderChannels;
  QComboBox* ComboRecorderAxis;
  QPushButton* ButtonRecorderWhole;
  QPushButton* ButtonRecorderExportPng;
  QLabel* LabelRecorderCursor;
  QLabel* LabelRecorderProblems;
  TChartView* view_;
};

}  // namespace talvo::app
