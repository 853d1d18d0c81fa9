#include "app/curves/recorder_window.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

#include "app/curves/chart_export.h"
#include "app/frame/message_box.h"
#include "app/language/language.h"

namespace talvo::app {
namespace {

QPushButton* Button(QWidget* parent, const char* name) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

TRecorderWindow::TRecorderWindow(const TLanguage& language, QWidget* parent)
    : QWidget(parent, Qt::Window), language_(language) {
  setObjectName("FormRecorder");
  resize(1000, 600);
  const auto caption = [&](const char* key) { return language.Caption("CurvesString", key); };
  setWindowTitle(caption("RecorderForm"));
  plot_.SetAxisTitles(caption("AxisRecord"), caption("AxisIsrTime"));

  ButtonRecorderOpen = Button(this, "ButtonRecorderOpen");
  ButtonRecorderOpen->setText(caption("ButtonOpen"));
  ListRecorderChannels = new QListWidget(this);
  ListRecorderChannels->setObjectName("ListRecorderChannels");
  ListRecorderChannels->setFixedWidth(160);
  ComboRecorderAxis = new QComboBox(this);
  ComboRecorderAxis->setObjectName("ComboRecorderAxis");
  ComboRecorderAxis->addItems({caption("AxisRecord"), caption("AxisIsrTime")});
  ButtonRecorderWhole = Button(this, "ButtonRecorderWhole");
  ButtonRecorderWhole->setText(caption("ButtonWhole"));
  ButtonRecorderExportPng = Button(this, "ButtonRecorderExportPng");
  ButtonRecorderExportPng->setText(caption("ButtonExportPng"));
  LabelRecorderCursor = new QLabel(this);
  LabelRecorderCursor->setObjectName("LabelRecorderCursor");
  LabelRecorderProblems = new QLabel(this);
  LabelRecorderProblems->setObjectName("LabelRecorderProblems");
  LabelRecorderProblems->setStyleSheet("color: #b00000");
  LabelRecorderProblems->setWordWrap(true);
  view_ = new TChartView(&plot_.Chart(), this);
  view_->setObjectName("ChartViewRecorder");
  view_->OnRangeChosen = [this](double, double) { Draw(); };
  view_->OnPointer = [this](double x) { LabelRecorderCursor->setText(plot_.Readout(x)); };

  auto* side = new QVBoxLayout;
  side->addWidget(ButtonRecorderOpen);
  side->addWidget(ListRecorderChannels, 1);
  side->addWidget(ComboRecorderAxis);
  auto* bar = new QHBoxLayout;
  bar->addWidget(ButtonRecorderWhole);
  bar->addWidget(ButtonRecorderExportPng);
  bar->addWidget(LabelRecorderCursor, 1);
  auto* plot = new QVBoxLayout;
  plot->addLayout(bar);
  plot->addWidget(view_, 1);
  plot->addWidget(LabelRecorderProblems);
  auto* row = new QHBoxLayout(this);
  row->addLayout(side);
  row->addLayout(plot, 1);

  connect(ButtonRecorderOpen, &QPushButton::clicked, this, [this] { ButtonRecorderOpenClick(); });
  connect(ListRecorderChannels, &QListWidget::itemChanged, this, [this] { Replot(); });
  connect(ComboRecorderAxis, &QComboBox::currentIndexChanged, this, [this] { Replot(); });
  connect(ButtonRecorderWhole, &QPushButton::clicked, this, [this] {
    view_->ShowRange(plot_.FirstX(), plot_.LastX());
    Draw();
  });
  connect(ButtonRecorderExportPng, &QPushButton::clicked, this, [this] { ExportClick(); });
}

QStringList TRecorderWindow::Open(const QStringList& paths) {
  std::vector<text::RecorderTable> tables;
  for (const QString& path : paths) tables.push_back(text::ReadRecorderTable(path.toStdString()));
  plot_.SetTables(std::move(tables));
  {
    const QSignalBlocker quiet(ListRecorderChannels);
    ListRecorderChannels->clear();
    for (const QString& name : plot_.ChannelNames()) {
      auto* item = new QListWidgetItem(name, ListRecorderChannels);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      item->setCheckState(Qt::Checked);
    }
  }
  const QStringList problems = plot_.Problems();
  LabelRecorderProblems->setText(problems.join('\n'));
  Replot();
  return problems;
}

void TRecorderWindow::Replot() {
  QStringList channels;
  for (int i = 0; i < ListRecorderChannels->count(); ++i)
    if (ListRecorderChannels->item(i)->checkState() == Qt::Checked)
      channels.append(ListRecorderChannels->item(i)->text());
  plot_.Choose(channels, ComboRecorderAxis->currentIndex() == 1 ? ERecorderAxis::IsrTime
                                                                : ERecorderAxis::Record);
  view_->ShowRange(plot_.FirstX(), plot_.LastX());
  Draw();
}

void TRecorderWindow::Draw() {
  plot_.Show(view_->From(), view_->To(),
             std::max(100, static_cast<int>(plot_.Chart().plotArea().width())));
}

void TRecorderWindow::ButtonRecorderOpenClick() {
  const QStringList paths = QFileDialog::getOpenFileNames(
      this, language_.Caption("CurvesString", "ButtonOpen"), folder_);
  if (paths.isEmpty()) return;
  folder_ = QFileInfo(paths.front()).absolutePath();
  Open(paths);
}

QString TRecorderWindow::ExportPng(const QString& path) {
  return WritePng(view_->grab().toImage(), path);
}

void TRecorderWindow::ExportClick() {
  const QString path = QFileDialog::getSaveFileName(
      this, language_.Caption("CurvesString", "ButtonExportPng"), folder_, "PNG (*.png)");
  if (path.isEmpty()) return;
  const QString failure = ExportPng(path);
  if (!failure.isEmpty())
    ShowMessageBox(this, {windowTitle(), language_.Caption("CurvesString", "ExportFailed").arg(failure),
                          QMessageBox::Warning});
}

}  // namespace talvo::app
