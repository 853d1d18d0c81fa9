// The curves: the trend log's bounds and its CSV, the drawing's reduction of long curves,
// recorder tables the link wrote from the simulator's records (whole, cut short and
// spoiled) plotted in the program and by talvo-cli, and the Trends window following the
// simulator whatever page is shown.
#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QImage>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>
#include <fstream>
#include <limits>
#include <thread>

#include "app/curves/curve_points.h"
#include "app/curves/recorder_plot.h"
#include "app/curves/trend_log.h"
#include "app/curves/trend_window.h"
#include "app/widgets/string_grid.h"
#include "link/transport.h"
#include "link/vandircnc.h"
#include "tests/app/frame_fixture.h"
#include "text/durable_file.h"
#include "text/recorder_table.h"

namespace talvo::app::test {
namespace {

namespace fs = std::filesystem;
constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

TEST(TrendLog, KeepsOnlyTheNewestSamplesAndWritesGapsAsEmptyCells) {
  TTrendLog log(4);
  log.AddCurve({"Feed", "mm/min", ETrendFormat::Fixed});
  for (int i = 1; i <= 5; ++i) {
    const double value = i == 4 ? kGap : i * 1.5;
    log.Append(i * 1000, std::span<const double>(&value, 1));
  }
  log.AddCurve({"R5", "", ETrendFormat::Whole});
  const double both[] = {9.25, 42.9};
  log.Append(6000, both);

  ASSERT_EQ(log.Size(), 4u);  // the ring holds 3000..6000
  EXPECT_EQ(log.Time(0), 3000);
  EXPECT_EQ(log.Time(3), 6000);
  EXPECT_EQ(log.FirstAtOrAfter(4500), 2u);
  EXPECT_EQ(log.FirstAtOrAfter(9000), 4u);
  EXPECT_EQ(log.Nearest(4400), 1u);
  EXPECT_EQ(log.Nearest(4600), 2u);
  EXPECT_TRUE(std::isnan(log.Value(1, 0)));  // a curve added later has nothing before

  const std::vector<std::string> lines = Lines(log.Csv(4000, 6000));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Time,Feed [mm/min],R5");
  const auto cells = [](const std::string& line) { return line.substr(line.find(',')); };
  EXPECT_EQ(cells(lines[1]), ",,");             // the gap at 4000
  EXPECT_EQ(cells(lines[2]), ",7.5000,");       // the pages' four decimals
  EXPECT_EQ(cells(lines[3]), ",9.2500,42");     // registers whole
  EXPECT_EQ(lines[3].substr(0, 10), QDateTime::fromMSecsSinceEpoch(6000).toString("yyyy-MM-dd").toStdString());
}

TEST(CurveSegments, BreakAtGapsAndKeepPeaksWhenReduced) {
  // A gap splits the curve, and the points on both sides stay.
  const std::vector<double> gapped = {1, 2, kGap, kGap, 5, 6};
  const TCurveSegments split = CurveSegments(
      0, gapped.size(), [](std::size_t i) { return double(i); },
      [&](std::size_t i) { return gapped[i]; }, 100);
  ASSERT_EQ(split.size(), 2u);
  EXPECT_EQ(split[0], (QList<QPointF>{{0, 1}, {1, 2}}));
  EXPECT_EQ(split[1], (QList<QPointF>{{4, 5}, {5, 6}}));

  // A hundred thousand points into 200 columns: a one-point spike and a one-point dip
  // survive, the ends stay, and at most four points per column are drawn.
  std::vector<double> long_(100000, 1.0);
  long_[31337] = 50;
  long_[77777] = -20;
  const TCurveSegments reduced = CurveSegments(
      0, long_.size(), [](std::size_t i) { return double(i); },
      [&](std::size_t i) { return long_[i]; }, 200);
  ASSERT_EQ(reduced.size(), 1u);
  const QList<QPointF>& points = reduced[0];
  EXPECT_LE(points.size(), 800);
  EXPECT_EQ(points.front(), QPointF(0, 1));
  EXPECT_EQ(points.back(), QPointF(99999, 1));
  EXPECT_TRUE(points.contains(QPointF(31337, 50)));
  EXPECT_TRUE(points.contains(QPointF(77777, -20)));
  EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                             [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
}

// Recorder files as the link writes them from the simulator's records, with the machine
// position moved before each record: record k holds X = 1000 k, Y = -10 k, Z = 7.
class RecorderFiles : public testing::Test {
 protected:
  static constexpr int kPerFile = 6;

  void SetUp() override {
    folder = home.Path() / "records";
    fs::create_directories(folder);
    link.Set_DR_Save_Path(folder.string());
    link.Set_DR_ChangeTimer(kPerFile);
    ASSERT_EQ(link.Connect_TCP(1, sim.Address()), vandir::kOk);
    ASSERT_TRUE(vandir::test::WaitUntil([&] {
      const int login = link.SendCMD->LoginStatus;
      return login == vandir::kLoginFull || login == vandir::kLoginLimited;
    }));
    sim.Command("cycle off");
    for (int k = 0; k < 2 * kPerFile; ++k) {
      // Files are named by the second they start in: the second one must start later.
      if (k == kPerFile) std::this_thread::sleep_for(std::chrono::milliseconds(1100));
      sim.Command("position machine " + std::to_string(1000 * k) + " " + std::to_string(-10 * k) +
                  " 7 0 0 0");
      const int before = link.SendCMD->ReplyCount;
      ASSERT_TRUE(vandir::test::WaitUntil([&] { return link.AskGetDRData() == vandir::kOk; }));
      ASSERT_TRUE(vandir::test::WaitUntil([&] { return link.SendCMD->ReplyCount > before; }));
    }
    ASSERT_TRUE(vandir::test::WaitUntil([&] { return link.SendCMD->IsIdle(); }));
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
  }
  void TearDown() override { link.Disconnect(); }

  // A copy of `from` holding its first `bytes` bytes, and one with `old` replaced.
  fs::path Cut(const fs::path& from, std::size_t bytes) {
    const fs::path to = home.Path() / "cut";
    std::ofstream(to, std::ios::binary) << text::ReadWhole(from)->substr(0, bytes);
    return to;
  }
  fs::path Spoiled(const fs::path& from, const std::string& old, const std::string& now) {
    std::string bytes = *text::ReadWhole(from);
    bytes.replace(bytes.find(old), old.size(), now);
    const fs::path to = home.Path() / "spoiled";
    std::ofstream(to, std::ios::binary) << bytes;
    return to;
  }

  ProgramHome home;
  vandir::test::Simulator sim;
  vandir::TVandirCNC link;
  fs::path folder;
  std::vector<fs::path> files;
};

TEST_F(RecorderFiles, ReadBackWholeCutShortAndSpoiled) {
  ASSERT_EQ(files.size(), 2u);
  for (int f = 0; f < 2; ++f) {
    const text::RecorderTable table = text::ReadRecorderTable(files[static_cast<std::size_t>(f)]);
    EXPECT_FALSE(table.stop) << table.StopText();
    EXPECT_EQ(table.channels, (std::vector<text::RecorderChannel>{{'X', 1}, {'Y', 2}, {'Z', 3}}));
    ASSERT_EQ(table.Records(), std::size_t{kPerFile});
    for (int r = 0; r < kPerFile; ++r) {
      const int k = f * kPerFile + r;
      EXPECT_EQ(table.ids[static_cast<std::size_t>(r)], k + 1);
      EXPECT_EQ(table.values[0][static_cast<std::size_t>(r)], 1000 * k);
      EXPECT_EQ(table.values[1][static_cast<std::size_t>(r)], -10 * k);
      EXPECT_EQ(table.values[2][static_cast<std::size_t>(r)], 7);
    }
  }
  // Cut inside the fourth record's line (line 6): three records, and line 6 named.
  const std::string second = *text::ReadWhole(files[1]);
  std::size_t at = 0;
  for (int line = 0; line < 5; ++line) at = second.find("\r\n", at) + 2;
  const text::RecorderTable cut = text::ReadRecorderTable(Cut(files[1], at + 20));
  ASSERT_TRUE(cut.stop);
  EXPECT_EQ(cut.stop->line, 6);
  EXPECT_EQ(cut.Records(), 3u);
  EXPECT_EQ(cut.values[0].back(), 8000);
  EXPECT_NE(cut.StopText().find(":6: line cut short"), std::string::npos) << cut.StopText();

  const struct {
    std::string old, now;
    int line;
    std::size_t records;
  } spoiled[] = {{"-10 ", "-1x ", 4, 1},          // a word that is no number
                 {"    Z3   ", " ", 3, 0},        // a channel fewer in the header than values
                 {"======", "-----", 2, 0}};       // no rule line
  for (const auto& s : spoiled) {
    const text::RecorderTable table = text::ReadRecorderTable(Spoiled(files[0], s.old, s.now));
    ASSERT_TRUE(table.stop) << s.now;
    EXPECT_EQ(table.stop->line, s.line) << table.StopText();
    EXPECT_EQ(table.Records(), s.records) << table.StopText();
  }
}

TEST_F(RecorderFiles, PlotAcrossFilesInTheProgramAndForTickets) {
  ASSERT_EQ(files.size(), 2u);
  const std::string second = *text::ReadWhole(files[1]);
  const fs::path cut = Cut(files[1], second.size() - 5);  // the last record cut short

  TRecorderPlot plot;
  plot.SetTables({text::ReadRecorderTable(files[0]), text::ReadRecorderTable(cut)});
  EXPECT_EQ(plot.ChannelNames(), (QStringList{"X1", "Y2", "Z3"}));
  ASSERT_EQ(plot.Problems().size(), 1);
  EXPECT_TRUE(plot.Problems()[0].startsWith(QString::fromStdString(cut.string()) + ":8: "))
      << plot.Problems()[0].toStdString();
  EXPECT_EQ(plot.Choose({"y2", "Q7"}, ERecorderAxis::Record), QStringList{"Q7"});
  EXPECT_EQ(plot.Chosen(), QStringList{"Y2"});
  ASSERT_EQ(plot.Points(), std::size_t{2 * kPerFile - 1});  // the numbering runs on across files
  EXPECT_EQ(plot.Readout(8.2), "Record 8   Y2 = -70");
  plot.ShowAll(300);
  EXPECT_EQ(plot.DrawnPoints(), 2 * kPerFile - 1);

  const QString png = QString::fromStdString(home.Text()) + "ticket.png";
  QProcess cli;
  cli.start(TALVO_CLI_PATH, {"plot", QString::fromStdString(files[0].string()),
                             QString::fromStdString(cut.string()), "--png", png, "--channels", "X1,Z3"});
  ASSERT_TRUE(cli.waitForFinished(30000));
  const QString errors = QString::fromLocal8Bit(cli.readAllStandardError());
  EXPECT_EQ(cli.exitCode(), 0) << errors.toStdString();
  EXPECT_TRUE(errors.contains(QString::fromStdString(cut.string()) + ":8: line cut short"))
      << errors.toStdString();
  EXPECT_TRUE(QString::fromLocal8Bit(cli.readAllStandardOutput()).contains("11 records, channels X1,Z3"));
  const QImage image(png);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(1200, 700));

  cli.start(TALVO_CLI_PATH, {"plot", QString::fromStdString(files[0].string()), "--png", png,
                             "--channels", "W9"});
  ASSERT_TRUE(cli.waitForFinished(30000));
  EXPECT_EQ(cli.exitCode(), 1);
  EXPECT_TRUE(QString::fromLocal8Bit(cli.readAllStandardError()).contains("no channel W9"));
}

class TrendsWindow : public FrameTest {
 protected:
  // The last sample of the curve named `name`.
  double Last(const QString& name) const {
    const TTrendLog& log = trends->Sampler().Log();
    for (int c = 0; c < log.CurveCount(); ++c)
      if (log.Curve(c).name == name && log.Size() > 0) return log.Value(c, log.Size() - 1);
    return kGap;
  }
  void Add(int kind, int number) {
    Find<QComboBox>("ComboTrendAddKind")->setCurrentIndex(kind);
    Find<QSpinBox>("SpinTrendAddNumber")->setValue(number);
    Find<QPushButton>("ButtonTrendAdd")->click();
  }
  template <class W>
  W* FindIn(const char* name) const {
    W* widget = trends->findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  template <class W>
  W* Find(const char* name) const { return FindIn<W>(name); }

  TTrendWindow* trends = nullptr;
};

TEST_F(TrendsWindow, FollowTheSimulatorOnAnyPageWithGapsAndExportWhatTheyShow) {
  sim->Command("cycle off");
  MakeWindow();
  ConnectAndComplete();
  window->findChild<QAction*>("MenuItemTrends")->trigger();
  trends = &window->TrendWindow();
  ASSERT_TRUE(trends->isVisible());
  Add(0, 5);    // macro variable #5
  Add(1, 7);    // D register 7
  ASSERT_EQ(trends->Sampler().Log().CurveCount(), 10);  // eight at the start, two added

  // The Work page has read its variables once, so only what changes later is news to it.
  auto* globals = FrameTest::Find<StringGrid>("gridGlobalVar");
  ASSERT_TRUE(RunUntil([&] { return !globals->Cell(1, 100).isEmpty(); }));
  RunFor(std::chrono::milliseconds(300));
  // The PLC page polls none of these: the curves go on all the same.
  window->PageControl()->setCurrentIndex(2);
  sim->Command("set feed 1234500");
  sim->Command("var 4 2.5");  // the simulator counts its variables from 0
  sim->Command("backup 7 42");
  sim->Command("position machine 120000 0 0 0 0 0");
  EXPECT_TRUE(RunUntil([&] { return Last("Feed command") == 123.45; })) << Last("Feed command");
  EXPECT_TRUE(RunUntil([&] { return Last("#5") == 2.5; })) << Last("#5");
  EXPECT_TRUE(RunUntil([&] { return Last("D7") == 42; })) << Last("D7");
  EXPECT_TRUE(RunUntil([&] { return Last("Machine X") == 12; })) << Last("Machine X");
  // The Work page, shown again, has what the curve followed while it was hidden.
  window->PageControl()->setCurrentIndex(0);
  EXPECT_TRUE(RunUntil([&] { return globals->Cell(1, 5) == "2.5000"; }, std::chrono::seconds(3)))
      << globals->Cell(1, 5).toStdString();

  // A link that answers late leaves a gap, not the last value drawn on.
  sim->Command("stall 2500");
  EXPECT_TRUE(RunUntil([&] { return std::isnan(Last("Feed command")); }));
  sim->Command("stall 0");
  sim->Command("set feed 2000000");
  EXPECT_TRUE(RunUntil([&] { return Last("Feed command") == 200; }));
  EXPECT_GT(trends->DrawnPoints(), 0);

  // Unchecking a curve stops it; the exports hold what the window shows.
  QListWidget* list = FindIn<QListWidget>("ListTrendSignals");
  list->item(2)->setCheckState(Qt::Unchecked);  // feed override
  ASSERT_EQ(trends->Sampler().Log().CurveCount(), 9);
  trends->Redraw();
  const std::string csvPath = home.Text() + "trends.csv";
  ASSERT_EQ(trends->ExportCsv(QString::fromStdString(csvPath)), QString());
  const std::vector<std::string> lines = Lines(*text::ReadWhole(csvPath));
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[0],
            "Time,Feed command [mm/min],Feed actual [mm/min],S1 actual [RPM],S1 override [%],"
            "Machine X [mm],Machine Y [mm],Machine Z [mm],#5,D7");
  const auto has = [&](const std::string& cells) {
    return std::any_of(lines.begin() + 1, lines.end(), [&](const std::string& line) {
      return line.find(cells) != std::string::npos;
    });
  };
  EXPECT_TRUE(has(",123.4500,"));
  EXPECT_TRUE(has(",2.5000,42"));
  EXPECT_TRUE(has(",,,,,,,,,"));  // the stall's gap
  EXPECT_TRUE(lines.back().find(",200.0000,") != std::string::npos) << lines.back();

  const QString pngPath = QString::fromStdString(home.Text()) + "trends.png";
  ASSERT_EQ(trends->ExportPng(pngPath), QString());
  EXPECT_FALSE(QImage(pngPath).isNull());
  EXPECT_EQ(trends->ExportCsv(QString::fromStdString(home.Text()) + "no/such/folder.csv").isEmpty(),
            false);
}

}  // namespace
}  // namespace talvo::app::test
