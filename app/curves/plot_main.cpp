// talvo-plot: data-recorder files drawn into a PNG without a screen, for tickets. It is what
// `talvo-cli plot` runs, so that talvo-cli itself needs no Qt:
//   talvo-plot FILE... --png OUT.png [--channels X1,Y2]
// A file that stops early is plotted as far as it goes, and the line that stopped it is
// named on stderr. Exit status: 0 written, 1 usage, 4 nothing to plot or the PNG not written.
#include <QApplication>
#include <QChart>
#include <QSize>

#include <cstdio>
#include <string>
#include <vector>

#include "app/curves/chart_export.h"
#include "app/curves/recorder_plot.h"

namespace {

constexpr int kUsage = 1;
constexpr int kLocalFile = 4;
const QSize kPictureSize(1200, 700);

struct Request {
  QStringList files;
  QString png;
  QStringList channels;
};

int Fail(int status, const QString& message) {
  std::fprintf(stderr, "talvo-plot: %s\n", message.toLocal8Bit().constData());
  return status;
}

bool Parse(const QStringList& words, Request& request, QString& error) {
  for (int i = 1; i < words.size(); ++i) {
    const QString& word = words[i];
    if (word == "--png" || word == "--channels") {
      if (i + 1 >= words.size() || words[i + 1].isEmpty()) {
        error = word + " needs a value";
        return false;
      }
      const QString value = words[++i];
      if (word == "--png")
        request.png = value;
      else
        request.channels = value.split(',', Qt::SkipEmptyParts);
    } else if (word.startsWith("--")) {
      error = "unknown option " + word;
      return false;
    } else {
      request.files.append(word);
    }
  }
  if (request.files.isEmpty()) error = "no recorder file given";
  else if (request.png.isEmpty()) error = "--png OUT.png is needed";
  return error.isEmpty();
}

}  // namespace

int main(int argc, char** argv) {
  // Qt's own notes (a missing runtime folder and the like) are no concern of a ticket's plot.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "talvo-plot: %s\n", message.toLocal8Bit().constData());
  });
  // Drawn into memory: no screen is needed or used.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  Request request;
  QString error;
  if (!Parse(QApplication::arguments(), request, error))
    return Fail(kUsage, error + "\nusage: talvo-cli plot FILE... --png OUT.png [--channels X1,Y2]");

  std::vector<talvo::text::RecorderTable> tables;
  for (const QString& file : request.files)
    tables.push_back(talvo::text::ReadRecorderTable(file.toStdString()));
  talvo::app::TRecorderPlot plot;
  plot.SetTables(std::move(tables));
  for (const QString& problem : plot.Problems()) Fail(0, problem);
  const QStringList all = plot.ChannelNames();
  const QStringList unknown = plot.Choose(request.channels.isEmpty() ? all : request.channels,
                                          talvo::app::ERecorderAxis::Record);
  if (!unknown.isEmpty())
    return Fail(kUsage, "no channel " + unknown.join(", ") + " in the files (they have " +
                            (all.isEmpty() ? QStringLiteral("none") : all.join(", ")) + ")");
  if (plot.Points() == 0) return Fail(kLocalFile, "the files hold no record to plot");

  QChart& chart = plot.Chart();
  chart.setTitle(request.files.size() == 1 ? request.files.front()
                                           : QString("%1 files").arg(request.files.size()));
  chart.setGeometry(QRectF(QPointF(0, 0), kPictureSize));
  plot.ShowAll(kPictureSize.width());
  const QString failure = talvo::app::WritePng(talvo::app::RenderChart(chart, kPictureSize), request.png);
  if (!failure.isEmpty()) return Fail(kLocalFile, failure);
  std::printf("%s: %zu records, channels %s\n", request.png.toLocal8Bit().constData(), plot.Points(),
              plot.Chosen().join(",").toLocal8Bit().constData());
  return 0;
}
