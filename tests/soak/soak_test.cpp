// The chaos soak: the program, offscreen, against a simulator that a random fault schedule
// keeps breaking (drops, stalls past the liveness limit, refused logins, refused writes,
// short and garbage replies, failed and dropped files), driven through page changes, cell
// edits, operator messages and NC file jobs for SOAK_MINUTES minutes (default 2). It fails on
// a connection that does not come back within its reconnect policy, an event loop blocked
// for more than two seconds, a write or file job that never ends, an internal error, or a
// local file lost or truncated; a crash or a sanitizer report fails the process itself.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <cstdio>
#include <deque>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/dialogs/input_pad.h"
#include "app/dialogs/send_message_dialog.h"
#include "app/frame/message_box.h"
#include "app/pages/ncfiles_page.h"
#include "tests/app/frame_fixture.h"
#include "tests/support/file_bytes.h"

namespace talvo::app::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr milliseconds kLongestAllowedBlock{2000};
// Reconnects every second without a limit: a link that is lost comes back within a few
// attempts once the fault has passed.
constexpr seconds kRecovery{45};
constexpr seconds kJobBound{90};
constexpr int kNcFilesTag = 10;

// The longest time the event loop went without running a 10 ms timer.
class BlockWatch {
 public:
  BlockWatch() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const auto now = Clock::now();
      const auto gap = std::chrono::duration_cast<milliseconds>(now - last_);
      longest_ = std::max(longest_, gap);
      last_ = now;
    });
    timer_.start(10);
  }
  milliseconds Longest() const { return longest_; }

 private:
  QTimer timer_;
  Clock::time_point last_ = Clock::now();
  milliseconds longest_{0};
};

class Soak : public FrameTest {
 protected:
  void SetUp() override {
    sim->Command("set status 1");  // ready, so that the NC files frame moves files
    for (int i = 1; i <= 4; ++i) {
      local_["SOAK" + std::to_string(i) + ".NC"] = Program(i, 2000 * i);
      controller_["CTRL" + std::to_string(i) + ".NC"] = Program(10 + i, 30000 * i);
    }
    for (const auto& [name, bytes] : local_) home.WriteFile("Ncfiles/" + name, bytes);
    for (const auto& [name, bytes] : controller_) vandir::test::WriteBytes(NcFolder() / name, bytes);
    MakeWindow("SHOWTIMER=0\nENABLE_RECONNECT=1\nENABLE_RECONNECT_TIMES=0\nRECONNECT_DELAY_TIME=1\n"
               "[LOCALDIR]\nNCFILESDIR=" + home.Text() + "Ncfiles\n");
    // Questions get their default answer, except that nothing local is overwritten: a file
    // the soak put there must come through whole whatever the controller did.
    SetMessageBoxAnswerer([this](const TMessageBox& box) {
      if (box.text.startsWith("Internal error")) internalErrors_.push_back(box.text);
      if (box.buttons & QMessageBox::YesToAll) return QMessageBox::No;
      return box.defaultButton != QMessageBox::NoButton ? box.defaultButton : QMessageBox::Ok;
    });
    AnswerDialogs();
    ConnectAndComplete();
  }
  ~Soak() override { SetMessageBoxAnswerer(nullptr); }

  // What the soak did last, printed with a failure: a fault found at random must be
  // traceable to the steps that led to it.
  void TearDown() override {
    if (!HasFailure()) return;
    std::fprintf(stderr, "soak: the last steps before the failure (seconds from start):\n");
    for (const std::string& step : trail_) std::fprintf(stderr, "  %s\n", step.c_str());
  }
  void Note(const std::string& step) {
    const double at = std::chrono::duration<double>(Clock::now() - start_).count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%9.3f ", at);
    trail_.push_back(stamp + step + " [" + Text("LabelConnectStatus").toStdString() + "]");
    if (trail_.size() > 40) trail_.pop_front();
  }

  static std::string Program(int number, std::size_t size) {
    std::string text = "%\r\nO" + std::to_string(1000 + number) + "\r\n";
    for (int line = 1; text.size() < size; ++line)
      text += "N" + std::to_string(line) + " G01 X" + std::to_string(line % 97) + ".5 F300\r\n";
    return text + "M30\r\n%\r\n";
  }
  fs::path NcFolder() const { return sim->Root() / "C" / "NCFILES"; }
  bool Connected() { return Text("LabelConnectStatus") == "Connect"; }
  bool Idle() { return window->Service().GetProcessKind() == pkGetInformation; }

  // The pad gets a number, the message dialog a line; any other dialog is closed.
  void AnswerDialogs() {
    auto* timer = new QTimer(window);
    QObject::connect(timer, &QTimer::timeout, timer, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      // A result the dialog closed by itself ends that showing's wait too.
      if (modal != &program->ReturnCode || !modal->isVisible()) resultShown_.reset();
      if (!modal || !modal->isVisible()) return;
      if (auto* pad = dynamic_cast<TFrmInput*>(modal)) {
        pad->SetDisplay(QString::number(Pick(-500, 500)) + "." + QString::number(Pick(0, 9)));
        pad->accept();
      } else if (auto* message = dynamic_cast<TFormSendMsg*>(modal)) {
        message->findChild<QLineEdit*>("UserMsgBox")->setText("SOAK " + QString::number(cycles_));
        message->findChild<QPushButton*>("buttonSend")->click();
        if (message->isVisible()) message->reject();
      } else if (modal == &program->ReturnCode) {
        AnswerResult();
      } else if (auto* dialog = dynamic_cast<QDialog*>(modal)) {
        dialog->reject();
      }
    });
    timer->start(20);
  }

  // A result is read and closed as a user would; one that never comes fails the soak.
  void AnswerResult() {
    const auto now = Clock::now();
    const QString shown = program->ReturnCode.findChild<QLabel*>("PanelReturnMSG")->text();
    if (!resultShown_) {
      resultShown_ = now;
      Note("result shows \"" + shown.toStdString() + "\"");
    }
    const bool waiting = shown.isEmpty() || shown == "Net Waiting";
    if (waiting && now - *resultShown_ < kJobBound) return;
    if (waiting)
      ADD_FAILURE() << "a write's result never came: panel \"" << shown.toStdString() << "\", reply timer "
                    << program->ReturnCode.findChild<QTimer*>("TimerReply")->isActive() << ", offer timer "
                    << program->ReturnCode.findChild<QTimer*>("TimerOffer")->isActive();
    Note("result \"" + shown.toStdString() + "\" closed");
    resultShown_.reset();
    program->ReturnCode.accept();
  }

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  void ChangePage() {
    const int page = Pick(0, 11);
    Note("page " + std::to_string(page));
    window->PageControl()->setCurrentIndex(page);
  }

  void EditCell() {
    if (!Connected() || window->Activity() != maIdle) return;
    const EEditKind kinds[] = {EEditKind::LocalVar, EEditKind::GlobalVar, EEditKind::MillTool};
    const EEditKind kind = kinds[Pick(0, 2)];
    Note("edit kind " + std::to_string(int(kind)));
    window->EditGridValue(EEditHow::DoubleClicked, kind, "", kind == EEditKind::MillTool ? Pick(0, 3) : 0,
                          kind == EEditKind::LocalVar ? Pick(1, 33) : Pick(1, 99));
  }

  void SendMessage() {
    if (auto* send = window->findChild<QPushButton*>("SpeedButtonSendMsgToNc"); send->isEnabled()) {
      Note("message");
      send->click();
    }
  }

  // One transfer in either direction, of a random choice of files. Uploads start from a
  // controller without the files, so that no question stops them.
  void FileJob() {
    window->PageControl()->setCurrentWidget(window->PageByTag(kNcFilesTag));
    if (!RunUntil([&] { return Connected() && Idle(); }, seconds(10))) return;
    auto* frame = static_cast<TNcFilesPage*>(window->PageByTag(kNcFilesTag))->FrameFile();
    const bool upload = Pick(0, 1) == 0;
    std::vector<std::string> names;
    for (const auto& [name, bytes] : upload ? local_ : controller_)
      if (Pick(0, 1) == 0) names.push_back(name);
    if (names.empty()) return;
    Note(std::string(upload ? "upload " : "download ") + std::to_string(names.size()) + " files");
    if (upload) {
      for (const std::string& name : names) fs::remove(NcFolder() / name);
      frame->RefreshControllerList();
    } else {
      for (const std::string& name : names) fs::remove(home.Path("Ncfiles/" + name));
      frame->RefreshPcList();
    }
    RunUntil([&] { return Idle(); }, seconds(10));
    auto* list = window->findChild<QTreeWidget*>(upload ? "ListViewPcFile" : "ListViewNcFile");
    list->clearSelection();
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
      QTreeWidgetItem* item = list->topLevelItem(row);
      item->setSelected(std::find(names.begin(), names.end(), item->text(0).toStdString()) != names.end());
    }
    window->findChild<QPushButton*>(upload ? "SpeedButtonFilePCtoNC" : "SpeedButtonFileNCtoPC")->click();
    Bounded("a file job", [&] { return Idle() || !Connected(); });
    ++jobs_;
  }

  void InjectFault() {
    const std::vector<std::pair<const char*, std::function<void()>>> faults = {
        {"drop", [&] { sim->Command("drop"); }},
        {"drop-after", [&] { sim->Command("drop-after " + std::to_string(Pick(0, 40))); }},
        {"stall", [&] {
           sim->Command("stall 7000");  // past the six seconds a silent link is given
           RunFor(milliseconds(7500));
           sim->Command("stall 0");
         }},
        {"login", [&] {
           sim->Command("login 503");
           sim->Command("drop");
           RunFor(milliseconds(2500));
           sim->Command("login 502");
         }},
        {"bad-header", [&] { sim->Command("bad-header"); }},
        {"bad-length", [&] { sim->Command("bad-length"); }},
        {"short", [&] { sim->Command("short"); }},
        {"fail-file", [&] { sim->Command("fail-file " + std::to_string(Pick(1, 20))); }},
        {"drop-transfer", [&] { sim->Command("drop-transfer " + std::to_string(Pick(0, 6))); }},
        {"refused-write", [&] {
           if (!Connected() || window->Activity() != maIdle) return;
           // A work offset of an axis the controller does not have.
           window->EditGridValue(EEditHow::DoubleClicked, EEditKind::WorkCoordinate, "", 6, 1);
         }},
    };
    const auto& [name, inject] = faults[static_cast<std::size_t>(Pick(0, int(faults.size()) - 1))];
    Note(std::string("fault ") + name);
    inject();
    ++injected_[name];
  }

  // A refused login ends the policy as the user would see it: the user connects again.
  void Recover() {
    if (Connected()) return;
    const int before = completions;
    const auto start = Clock::now();
    while (!RunUntil([&] { return completions > before; }, milliseconds(500))) {
      if (window->Service().GetProcessKind() == pkNone) {
        Note("connect again");
        window->ConnectToAddress(sim->Address());
      }
      if (Clock::now() - start > kRecovery) {
        ADD_FAILURE() << "the connection did not come back within " << kRecovery.count() << " s: "
                      << Text("LabelConnectStatus").toStdString();
        return;
      }
    }
  }

  void Bounded(const char* what, const std::function<bool()>& done) {
    if (!RunUntil(done, kJobBound)) ADD_FAILURE() << what << " never ended";
  }

  // Every file the soak put on the PC is whole; a fetched one is whole or absent.
  void CheckLocalFiles() {
    for (const auto& [name, bytes] : local_)
      EXPECT_EQ(home.ReadFile("Ncfiles/" + name), bytes) << name << " lost or changed";
    for (const auto& [name, bytes] : controller_)
      if (fs::exists(home.Path("Ncfiles/" + name))) {
        EXPECT_EQ(home.ReadFile("Ncfiles/" + name), bytes) << name << " fetched but not whole";
      }
  }

  std::mt19937 random_{std::random_device{}()};
  std::map<std::string, std::string> local_;
  std::map<std::string, std::string> controller_;
  std::map<std::string, int> injected_;
  std::vector<QString> internalErrors_;
  std::optional<Clock::time_point> resultShown_;
  const Clock::time_point start_ = Clock::now();
  std::deque<std::string> trail_;
  long cycles_ = 0;
  long jobs_ = 0;
};

TEST_F(Soak, TheProgramSurvivesAControllerThatKeepsFailing) {
  const char* minutes = std::getenv("SOAK_MINUTES");
  const auto length = std::chrono::duration<double, std::ratio<60>>(minutes ? std::atof(minutes) : 2.0);
  BlockWatch watch;
  const auto end = Clock::now() + std::chrono::duration_cast<milliseconds>(length);
  while (Clock::now() < end && !HasFailure()) {
    switch (Pick(0, 9)) {
      case 0: case 1: case 2: ChangePage(); break;
      case 3: case 4: EditCell(); break;
      case 5: SendMessage(); break;
      case 6: case 7: FileJob(); break;
      default: InjectFault(); break;
    }
    RunFor(milliseconds(Pick(20, 300)));
    Recover();
    ++cycles_;
  }
  Recover();
  CheckLocalFiles();
  EXPECT_TRUE(internalErrors_.empty()) << internalErrors_.front().toStdString();
  EXPECT_LE(watch.Longest(), kLongestAllowedBlock) << "the event loop was blocked";

  int faults = 0;
  std::string kinds;
  for (const auto& [name, count] : injected_) {
    faults += count;
    kinds += " " + name + "=" + std::to_string(count);
  }
  std::printf("soak: %ld cycles, %ld file jobs, %d faults injected (%s ), %d reconnects, "
              "longest event-loop block %lld ms\n",
              cycles_, jobs_, faults, kinds.c_str(), completions - 1,
              static_cast<long long>(watch.Longest().count()));
}

}  // namespace
}  // namespace talvo::app::test
