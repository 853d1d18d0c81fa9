#include "app/curves/trend_window.h"

#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLegend>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/curves/chart_export.h"
#include "app/frame/main_window.h"
#include "app/frame/message_box.h"

namespace talvo::app {
namespace {

constexpr int kListRole = Qt::UserRole;
// Redrawing faster than the curves move by a pixel shows nothing new.
constexpr int kFastestRedrawMs = 100;

const TTrendSignal kFirstShown[] = {
    {ETrendSource::FeedCommand, 0},     {ETrendSource::FeedActual, 0},
    {ETrendSource::FeedOverride, 0},    {ETrendSource::SpindleActual, 0},
    {ETrendSource::SpindleOverride, 0}, {ETrendSource::MachinePosition, 0},
    {ETrendSource::MachinePosition, 1}, {ETrendSource::MachinePosition, 2}};
constexpr ETrendSource kAddedKinds[] = {ETrendSource::MacroVariable, ETrendSource::DRegister,
                                        ETrendSource::Register};

QVariant Packed(const TTrendSignal& s) { return QVariant(static_cast<int>(s.source) * 10000 + s.index); }
TTrendSignal Unpacked(const QVariant& v) {
  return {static_cast<ETrendSource>(v.toInt() / 10000), v.toInt() % 10000};
}

QPushButton* Button(QWidget* parent, const char* name) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  return button;
}

}  // namespace

TTrendWindow::TTrendWindow(TFormMain& frame, TTalvoInfo_Position& machine)
    : QWidget(&frame, Qt::Window), frame_(frame) {
  setObjectName("FormTrends");
  resize(1000, 600);
  sampler_ = std::make_unique<TTrendSampler>(frame.Service(), frame.Infos(), machine,
                                             frame.Language(), frame.AxisLetters());

  ListTrendSignals = new QListWidget(this);
  ListTrendSignals->setObjectName("ListTrendSignals");
  ListTrendSignals->setFixedWidth(200);
  ComboTrendAddKind = new QComboBox(this);
  ComboTrendAddKind->setObjectName("ComboTrendAddKind");
  SpinTrendAddNumber = new QSpinBox(this);
  SpinTrendAddNumber->setObjectName("SpinTrendAddNumber");
  ButtonTrendAdd = Button(this, "ButtonTrendAdd");
  ComboTrendSpan = new QComboBox(this);
  ComboTrendSpan->setObjectName("ComboTrendSpan");
  ButtonTrendPause = Button(this, "ButtonTrendPause");
  ButtonTrendPause->setCheckable(true);
  ButtonTrendLive = Button(this, "ButtonTrendLive");
  ButtonTrendExportCsv = Button(this, "ButtonTrendExportCsv");
  ButtonTrendExportPng = Button(this, "ButtonTrendExportPng");
  LabelTrendCursor = new QLabel(this);
  LabelTrendCursor->setObjectName("LabelTrendCursor");
  LabelTrendCursor->setTextInteractionFlags(Qt::TextSelectableByMouse);

  chart_ = new QChart;
  // Beside the plot, where the curves' names fit whole.
  chart_->legend()->setAlignment(Qt::AlignRight);
  xAxis_ = new QDateTimeAxis;
  xAxis_->setFormat("hh:mm:ss");
  xAxis_->setTickCount(7);
  yAxis_ = new QValueAxis;
  chart_->addAxis(xAxis_, Qt::AlignBottom);
  chart_->addAxis(yAxis_, Qt::AlignLeft);
  view_ = new TChartView(chart_, this);
  view_->setObjectName("ChartViewTrends");
  view_->OnRangeChosen = [this](double from, double to) { RangeChosen(from, to); };
  view_->OnPointer = [this](double x) { PointerAt(x); };

  auto* adding = new QHBoxLayout;
  adding->addWidget(SpinTrendAddNumber, 1);
  adding->addWidget(ButtonTrendAdd);
  auto* side = new QVBoxLayout;
  side->addWidget(ListTrendSignals, 1);
  side->addWidget(ComboTrendAddKind);
  side->addLayout(adding);
  auto* bar = new QHBoxLayout;
  for (QWidget* w : std::initializer_list<QWidget*>{ComboTrendSpan, ButtonTrendPause, ButtonTrendLive,
                                                    ButtonTrendExportCsv, ButtonTrendExportPng})
    bar->addWidget(w);
  bar->addWidget(LabelTrendCursor, 1);
  auto* plot = new QVBoxLayout;
  plot->addLayout(bar);
  plot->addWidget(view_, 1);
  auto* row = new QHBoxLayout(this);
  row->addLayout(side);
  row->addLayout(plot, 1);

  LoadCaptions();
  for (const TTrendSignal& s : PolledSignals())
    AddListItem(s, std::find(std::begin(kFirstShown), std::end(kFirstShown), s) != std::end(kFirstShown));
  for (const TTrendSignal& s : kFirstShown) sampler_->AddSignal(s);
  RebuildCurves();
  ComboTrendSpan->setCurrentIndex(1);

  connect(ListTrendSignals, &QListWidget::itemChanged, this,
          [this](QListWidgetItem* item) { ListItemChanged(item); });
  connect(ComboTrendAddKind, &QComboBox::currentIndexChanged, this, [this](int index) {
    const ETrendSource kind = kAddedKinds[std::clamp(index, 0, 2)];
    SpinTrendAddNumber->setRange(FirstNumber(kind), LastNumber(kind));
  });
  ComboTrendAddKind->setCurrentIndex(1);
  ComboTrendAddKind->setCurrentIndex(0);
  connect(ButtonTrendAdd, &QPushButton::clicked, this, [this] { ButtonTrendAddClick(); });
  connect(ComboTrendSpan, &QComboBox::currentIndexChanged, this,
          [this](int index) { SetSpanMinutes(kSpanMinutes[std::clamp(index, 0, 2)]); });
  connect(ButtonTrendPause, &QPushButton::toggled, this, [this](bool on) { ButtonTrendPauseClick(on); });
  connect(ButtonTrendLive, &QPushButton::clicked, this, [this] { ButtonTrendLiveClick(); });
  connect(ButtonTrendExportCsv, &QPushButton::clicked, this, [this] { ExportClick(true); });
  connect(ButtonTrendExportPng, &QPushButton::clicked, this, [this] { ExportClick(false); });
  connect(&redrawTimer_, &QTimer::timeout, this, [this] { Redraw(); });
  UpdateRedrawInterval();
}

TTrendWindow::~TTrendWindow() {
  curves_.clear();
  sampler_.reset();
}

void TTrendWindow::LoadCaptions() {
  const TLanguage& language = frame_.Language();
  const auto caption = [&](const char* key) { return language.Caption("CurvesString", key); };
  setWindowTitle(caption("TrendsForm"));
  ButtonTrendAdd->setText(caption("ButtonAdd"));
  ButtonTrendPause->setText(caption("ButtonPause"));
  ButtonTrendLive->setText(caption("ButtonLive"));
  ButtonTrendExportCsv->setText(caption("ButtonExportCsv"));
  ButtonTrendExportPng->setText(caption("ButtonExportPng"));
  for (const char* key : {"KindMacro", "KindDRegister", "KindRegister"})
    ComboTrendAddKind->addItem(caption(key));
  for (int minutes : kSpanMinutes) ComboTrendSpan->addItem(caption("SpanMinutes").arg(minutes));
  yAxis_->setTitleText(QString());
  xAxis_->setTitleText(caption("Time"));
}

void TTrendWindow::AddListItem(const TTrendSignal& signal, bool checked) {
  const TTrendCurve curve = DescribeSignal(signal, frame_.Language(), frame_.AxisLetters());
  auto* item = new QListWidgetItem(curve.unit.isEmpty() ? curve.name : curve.name + " [" + curve.unit + "]");
  item->setData(kListRole, Packed(signal));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
  item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  const QSignalBlocker quiet(ListTrendSignals);
  ListTrendSignals->addItem(item);
}

void TTrendWindow::Follow(const TTrendSignal& signal) {
  for (int i = 0; i < ListTrendSignals->count(); ++i) {
    QListWidgetItem* item = ListTrendSignals->item(i);
    if (Unpacked(item->data(kListRole)) == signal) {
      item->setCheckState(Qt::Checked);  // itemChanged follows it
      return;
    }
  }
  AddListItem(signal, true);
  if (sampler_->AddSignal(signal)) RebuildCurves();
}

void TTrendWindow::ListItemChanged(QListWidgetItem* item) {
  const TTrendSignal signal = Unpacked(item->data(kListRole));
  if (item->checkState() == Qt::Checked)
    sampler_->AddSignal(signal);
  else
    sampler_->RemoveSignal(signal);
  RebuildCurves();
}

void TTrendWindow::ButtonTrendAddClick() {
  const ETrendSource kind = kAddedKinds[std::clamp(ComboTrendAddKind->currentIndex(), 0, 2)];
  Follow({kind, SpinTrendAddNumber->value()});
}

void TTrendWindow::RebuildCurves() {
  curves_.clear();
  const TTrendLog& log = sampler_->Log();
  for (int c = 0; c < log.CurveCount(); ++c) {
    const TTrendCurve& curve = log.Curve(c);
    curves_.push_back(std::make_unique<TCurveSeries>(
        *chart_, xAxis_, yAxis_, curve.unit.isEmpty() ? curve.name : curve.name + " [" + curve.unit + "]",
        CurveColor(c)));
  }
  Redraw();
}

void TTrendWindow::SetSpanMinutes(int minutes) {
  spanMinutes_ = minutes;
  if (ComboTrendSpan->currentIndex() >= 0 && kSpanMinutes[ComboTrendSpan->currentIndex()] != minutes) {
    const auto found = std::find(std::begin(kSpanMinutes), std::end(kSpanMinutes), minutes);
    if (found != std::end(kSpanMinutes)) {
      const QSignalBlocker quiet(ComboTrendSpan);
      ComboTrendSpan->setCurrentIndex(static_cast<int>(found - std::begin(kSpanMinutes)));
    }
  }
  ButtonTrendLiveClick();
  UpdateRedrawInterval();
}

void TTrendWindow::UpdateRedrawInterval() {
  const double width = std::max(100.0, chart_->plotArea().width());
  redrawTimer_.setInterval(
      std::max(kFastestRedrawMs, static_cast<int>(spanMinutes_ * 60000.0 / width)));
}

void TTrendWindow::ButtonTrendPauseClick(bool paused) {
  if (paused)
    held_ = true;
  else
    ButtonTrendLiveClick();
}

void TTrendWindow::ButtonTrendLiveClick() {
  held_ = false;
  if (ButtonTrendPause->isChecked()) {
    const QSignalBlocker quiet(ButtonTrendPause);
    ButtonTrendPause->setChecked(false);
  }
  Redraw();
}

void TTrendWindow::ShowStretch(double from, double to) {
  view_->ShowRange(from, to);
  RangeChosen(from, to);
}

void TTrendWindow::RangeChosen(double, double) {
  held_ = true;
  Redraw();
}

void TTrendWindow::Redraw() {
  const TTrendLog& log = sampler_->Log();
  if (!held_) {
    const double newest = log.Size() > 0 ? static_cast<double>(log.Time(log.Size() - 1))
                                         : static_cast<double>(QDateTime::currentMSecsSinceEpoch());
    view_->ShowRange(newest - spanMinutes_ * 60000.0, newest);
  }
  const double from = view_->From(), to = view_->To();
  // One sample beyond each edge, so the lines run to the plot's border.
  std::size_t first = log.FirstAtOrAfter(static_cast<std::int64_t>(std::floor(from)));
  if (first > 0) --first;
  std::size_t last = log.FirstAtOrAfter(static_cast<std::int64_t>(std::ceil(to)) + 1);
  if (last < log.Size()) ++last;
  const auto columns = static_cast<std::size_t>(std::max(100.0, chart_->plotArea().width()));
  double low = INFINITY, high = -INFINITY;
  for (int c = 0; c < log.CurveCount(); ++c) {
    const TCurveSegments segments = CurveSegments(
        first, last, [&](std::size_t i) { return static_cast<double>(log.Time(i)); },
        [&](std::size_t i) { return log.Value(c, i); }, columns);
    for (const auto& segment : segments)
      for (const QPointF& p : segment) {
        low = std::min(low, p.y());
        high = std::max(high, p.y());
      }
    curves_[static_cast<std::size_t>(c)]->Show(segments);
  }
  // Milliseconds once the ticks are closer than a few seconds apart; the hour is dropped
  // then, so the labels still fit.
  xAxis_->setFormat(to - from < 30000 ? "mm:ss.zzz" : "hh:mm:ss");
  xAxis_->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(from)),
                   QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(to)));
  if (!std::isfinite(low)) low = 0, high = 1;
  const double margin = high > low ? (high - low) * 0.05 : std::max(1.0, std::fabs(high) * 0.05);
  yAxis_->setRange(low - margin, high + margin);
}

void TTrendWindow::PointerAt(double x) {
  const TTrendLog& log = sampler_->Log();
  if (log.Size() == 0) return;
  const std::size_t i = log.Nearest(static_cast<std::int64_t>(x));
  QString text = QDateTime::fromMSecsSinceEpoch(log.Time(i)).toString("hh:mm:ss.zzz");
  for (int c = 0; c < log.CurveCount(); ++c) {
    const QString value = log.Text(c, log.Value(c, i));
    text += "   " + log.Curve(c).name + " " + (value.isEmpty() ? QStringLiteral("-") : value);
  }
  LabelTrendCursor->setText(text);
}

QString TTrendWindow::ExportCsv(const QString& path) const {
  const std::string csv = sampler_->Log().Csv(static_cast<std::int64_t>(std::floor(From())),
                                               static_cast<std::int64_t>(std::ceil(To())));
  return WriteFileWhole(path, QByteArray::fromStdString(csv));
}

QString TTrendWindow::ExportPng(const QString& path) {
  Redraw();
  return WritePng(view_->grab().toImage(), path);
}

void TTrendWindow::ExportClick(bool csv) {
  const TLanguage& language = frame_.Language();
  const QString path = QFileDialog::getSaveFileName(
      this, language.Caption("CurvesString", csv ? "ButtonExportCsv" : "ButtonExportPng"),
      QString::fromStdString(frame_.Home()) + (csv ? "Trends.csv" : "Trends.png"),
      csv ? "CSV (*.csv)" : "PNG (*.png)");
  if (path.isEmpty()) return;
  const QString failure = csv ? ExportCsv(path) : ExportPng(path);
  if (!failure.isEmpty())
    ShowMessageBox(this, {windowTitle(), language.Caption("CurvesString", "ExportFailed").arg(failure),
                          QMessageBox::Warning});
}

int TTrendWindow::DrawnPoints() const {
  int points = 0;
  for (const auto& curve : curves_) points += curve->PointCount();
  return points;
}

void TTrendWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  sampler_->Start();
  UpdateRedrawInterval();
  redrawTimer_.start();
}

void TTrendWindow::hideEvent(QHideEvent* event) {
  redrawTimer_.stop();
  sampler_->Stop();
  QWidget::hideEvent(event);
}

}  // namespace talvo::app
