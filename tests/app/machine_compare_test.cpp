// The Machine page's "Compare with backup...": a real backup, a controller changed since, and
// the rows the comparison dialog shows.
#include <QPlainTextEdit>
#include <QPushButton>

#include <filesystem>

#include "app/dialogs/compare_dialog.h"
#include "app/frame/message_box.h"
#include "app/pages/machine_page.h"
#include "tests/app/frame_fixture.h"
#include "tests/support/file_bytes.h"

namespace talvo::app::test {
namespace {

namespace fs = std::filesystem;
using vandir::test::ReadBytes;
using vandir::test::WriteBytes;

class MachineCompare : public FrameTest {
 protected:
  MachineCompare() {
    MakeWindow();
    SetMessageBoxAnswerer([this](const TMessageBox& box) {
      boxes.push_back(box.text);
      return box.defaultButton;
    });
    ConnectAndComplete();
  }
  ~MachineCompare() override { SetMessageBoxAnswerer(nullptr); }

  void SetStatus(int status) {
    sim->Command("set status " + std::to_string(status));
    ASSERT_TRUE(RunUntil([&] { return window->Infos().StatusMode.Status() == status; }));
  }
  TMachinePage& Machine() { return *static_cast<TMachinePage*>(window->PageByTag(9)); }
  bool Idle() { return window->Service().GetProcessKind() == pkGetInformation; }
  QStringList Rows() {
    auto* dialog = window->findChild<TFormCompare*>("FormCompare");
    if (!dialog || !dialog->isVisible()) return {};
    return dialog->findChild<QPlainTextEdit*>("MemoCompare")->toPlainText().split('\n');
  }

  std::vector<QString> boxes;
};

TEST_F(MachineCompare, ShowsWhatChangedOnTheControllerSinceABackup) {
  SetStatus(0);
  Machine().ButtonDownloadMachineFilesClick();
  ASSERT_TRUE(RunUntil([&] { return Idle() && !boxes.empty(); }));
  ASSERT_EQ(boxes, std::vector<QString>{"FINISH"});
  boxes.clear();
  const fs::path backup = home.Path("Machine");
  const std::string backedUp = ReadBytes(backup / "PARAM.BIN");

  // On the machine since: parameter 12 from 444 to 1200, and the ladder edited.
  const fs::path controller = sim->Root() / "C" / "MACHINE";
  std::string parameters = ReadBytes(controller / "PARAM.BIN");
  parameters.replace(4 * 12, 4, std::string("\xB0\x04\x00\x00", 4));
  WriteBytes(controller / "PARAM.BIN", parameters);
  WriteBytes(controller / "CNC.LAD", ReadBytes(controller / "CNC.LAD") + "rung");

  Machine().CompareWithBackup(backup.string());
  EXPECT_EQ(window->Activity(), maMachineCompare);
  ASSERT_TRUE(RunUntil([&] { return !Rows().isEmpty(); }));
  const QStringList rows = Rows();
  QStringList changed;
  for (const QString& row : rows)
    if (!row.endsWith(": same")) changed << row;
  EXPECT_EQ(changed, (QStringList{"A: " + QString::fromStdString(backup.string()),
                                  "B: host " + QString::fromStdString(sim->Address()), "CNC.LAD: differs",
                                  // The description the Parameter page shows.
                                  "PARAM.BIN: differs",
                                  "  parameter 0012 Axis 6 encoder pulses per motor revolution: 444 -> 1200",
                                  "18 files: 2 differ, 0 only in A, 0 only in B, 16 same"}))
      << rows.join('\n').toStdString();
  RunFor(std::chrono::milliseconds(60));
  EXPECT_EQ(boxes, std::vector<QString>{}) << "the rows, no FINISH box";
  EXPECT_EQ(ReadBytes(backup / "PARAM.BIN"), backedUp) << "the backup folder is only read";
  EXPECT_TRUE(Find<QPushButton>("ButtonMachine")->isEnabled());
}

TEST_F(MachineCompare, StartsOnlyWhereABackupWouldAndFromAFolderItCanRead) {
  SetStatus(1);
  Machine().CompareWithBackup(home.Path("Machine").string());
  EXPECT_EQ(boxes, std::vector<QString>{"NC Machine Status must be NO-RDY mode!"});
  EXPECT_TRUE(Idle());
  boxes.clear();
  SetStatus(0);
  const fs::path nowhere = home.Path("nowhere");
  Machine().CompareWithBackup(nowhere.string());
  EXPECT_EQ(boxes, std::vector<QString>{"Failure: " + QString::fromStdString(nowhere.string()) +
                                        ": no such folder"});
  EXPECT_TRUE(Idle());
  EXPECT_TRUE(Rows().isEmpty());
}

}  // namespace
}  // namespace talvo::app::test
