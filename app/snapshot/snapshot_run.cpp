#include "app/snapshot/snapshot_run.h"

#include <QApplication>
#include <QDir>
#include <QTabBar>

#include <cmath>
#include <cstdio>

#include "app/curves/trend_window.h"
#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/pages/page.h"
#include "app/snapshot/widget_description.h"
#include "link/transport.h"
#include "link/vandircnc.h"

namespace talvo::app {
namespace {

// A page has filled when its forced read was answered and the events applied: the link found
// idle (everything queued so far answered), and idle again a service tick later, so the tick
// after the answers has raised its change events.
constexpr int kLeastFillMs = 300;
constexpr int kCheckMs = 10;
// Long enough for a few dozen samples and a curve that visibly runs.
constexpr int kTrendSamplingMs = 4000;

}  // namespace

TSnapshotRun::TSnapshotRun(TFormMain& window, QString folder,
                           std::chrono::milliseconds connectLimit)
    : QObject(&window), window_(window), folder_(std::move(folder)) {
  // Boxes raised meanwhile are answered with their default and written down.
  SetMessageBoxAnswerer([this](const TMessageBox& box) {
    dialogs_.append(QJsonObject{{"title", box.title}, {"text", box.text}});
    return box.defaultButton;
  });
  window_.OnConnectionCompleted = [this] { ConnectionCompleted(); };
  connectTimer_.setSingleShot(true);
  connect(&connectTimer_, &QTimer::timeout, this, [this, connectLimit] {
    Fail(3, QStringLiteral("no connection completed within %1 s (%2)")
                .arg(connectLimit.count() / 1000.0)
                .arg(window_.findChild<QWidget*>("LabelConnectStatus")->property("text").toString()));
  });
  connectTimer_.start(connectLimit);
  fillTimer_.setInterval(kCheckMs);
  connect(&fillTimer_, &QTimer::timeout, this, [this] { WaitForFill(); });
}

TSnapshotRun::~TSnapshotRun() { SetMessageBoxAnswerer(nullptr); }

void TSnapshotRun::ConnectionCompleted() {
  if (started_) return;
  started_ = true;
  connectTimer_.stop();
  if (!QDir().mkpath(folder_)) {
    Fail(4, "cannot create " + folder_);
    return;
  }
  ShowPage(0);
}

void TSnapshotRun::ShowPage(int index) {
  QTabWidget* tabs = window_.PageControl();
  while (index < tabs->count() && !tabs->isTabVisible(index)) ++index;
  if (index >= tabs->count()) {
    StartTrends();
    return;
  }
  pageIndex_ = index;
  firstIdle_.invalidate();
  if (tabs->currentIndex() == index)
    window_.ActivatePageInfo();  // the first page: read it afresh as a change would
  else
    tabs->setCurrentIndex(index);
  QTimer::singleShot(kLeastFillMs, this, [this] { fillTimer_.start(); });
}

void TSnapshotRun::WaitForFill() {
  // A file job the page started when shown (the NC files listing) is part of its filling.
  if (!window_.Service().Link()->SendCMD->IsIdle() ||
      window_.Service().GetProcessKind() > pkGetInformation)
    return;
  if (!firstIdle_.isValid()) {
    firstIdle_.start();
    return;
  }
  if (firstIdle_.elapsed() < window_.Service().GetProcessInterval()) return;
  fillTimer_.stop();
  SavePage();
}

void TSnapshotRun::SavePage() {
  QTabWidget* tabs = window_.PageControl();
  auto* page = static_cast<TPage*>(tabs->widget(pageIndex_));
  const QString name = page->objectName();
  if (!window_.grab().save(folder_ + "/" + name + ".png")) {
    Fail(4, "cannot write " + folder_ + "/" + name + ".png");
    return;
  }
  QJsonObject items;
  QJsonObject grids;
  DescribeNamed(page, page, items, grids);
  pages_.append(QJsonObject{{"name", name},
                            {"title", tabs->tabText(pageIndex_)},
                            {"widgets", items},
                            {"grids", grids}});
  ShowPage(pageIndex_ + 1);
}

void TSnapshotRun::StartTrends() {
  // The first page again, as a person would look at the curves from it.
  window_.PageControl()->setCurrentIndex(0);
  TTrendWindow& trends = window_.TrendWindow();
  trends.show();
  QTimer::singleShot(kTrendSamplingMs, this, [this] { SaveTrends(); });
}

void TSnapshotRun::SaveTrends() {
  TTrendWindow& trends = window_.TrendWindow();
  const TTrendLog& log = trends.Sampler().Log();
  // The seconds sampled fill the picture, as the user would zoom to them.
  if (log.Size() > 1)
    trends.ShowStretch(static_cast<double>(log.Time(0)), static_cast<double>(log.Time(log.Size() - 1)));
  trends.Redraw();
  const QString file = folder_ + "/Trends.png";
  if (!trends.grab().save(file)) {
    Fail(4, "cannot write " + file);
    return;
  }
  QJsonArray series;
  for (int c = 0; c < log.CurveCount(); ++c) {
    int values = 0;
    for (std::size_t i = 0; i < log.Size(); ++i) values += std::isnan(log.Value(c, i)) ? 0 : 1;
    series.append(QJsonObject{{"name", log.Curve(c).name},
                              {"unit", log.Curve(c).unit},
                              {"points", static_cast<int>(log.Size())},
                              {"values", values}});
  }
  const double span = log.Size() > 1 ? (log.Time(log.Size() - 1) - log.Time(0)) / 1000.0 : 0;
  QJsonObject items;
  QJsonObject grids;
  DescribeNamed(&trends, &trends, items, grids);
  trends_ = QJsonObject{{"title", trends.windowTitle()},
                        {"series", series},
                        {"span_s", span},
                        {"widgets", items}};
  trends.hide();
  Finish();
}

void TSnapshotRun::Finish() {
  QJsonObject frameItems;
  QJsonObject frameGrids;
  DescribeNamed(&window_, &window_, frameItems, frameGrids, window_.PageControl());
  for (auto it = frameGrids.begin(); it != frameGrids.end(); ++it) frameItems.insert(it.key(), it.value());
  const QJsonObject document{{"caption", window_.windowTitle()},
                             {"frame", frameItems},
                             {"pages", pages_},
                             {"trends", trends_},
                             {"dialogs", dialogs_}};
  if (!WriteSnapshotJson(folder_ + "/snapshot.json", document)) {
    Fail(4, "cannot write " + folder_ + "/snapshot.json");
    return;
  }
  QApplication::exit(0);
}

void TSnapshotRun::Fail(int status, const QString& reason) {
  std::fprintf(stderr, "Talvo-Maintenance: snapshot: %s\n", reason.toLocal8Bit().constData());
  QApplication::exit(status);
}

}  // namespace talvo::app
