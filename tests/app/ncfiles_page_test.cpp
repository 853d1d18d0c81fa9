// The NC files frame against the simulator: both lists with their formats, the Z: drive,
// transfers with the overwrite question, renames and deletes on both sides, and cancel.
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTreeWidget>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "app/frame/message_box.h"
#include "app/pages/ncfiles_page.h"
#include "link/listing_entry.h"
#include "tests/app/frame_fixture.h"
#include "tests/support/file_bytes.h"

namespace talvo::app::test {
namespace {

namespace fs = std::filesystem;

class NcFiles : public FrameTest {
 protected:
  ~NcFiles() override { SetMessageBoxAnswerer(nullptr); }

  void SetUp() override {
    MakeWindow("[LOCALDIR]\nNCFILESDIR=" + home.Text() + "Ncfiles\n");
    SetMessageBoxAnswerer([this](const TMessageBox& box) {
      boxes.push_back(box.text);
      if (box.buttons & QMessageBox::YesToAll) return overwriteAnswer;
      return box.buttons & QMessageBox::Cancel ? QMessageBox::Ok : box.defaultButton;
    });
    ConnectAndComplete();
    sim->Command("set status 1");  // ready: the frame's buttons act only then
    ASSERT_TRUE(RunUntil([&] { return window->Infos().StatusMode.Status() == 1; }));
    frame = static_cast<TNcFilesPage*>(window->PageByTag(10))->FrameFile();
    pcList = Find<QTreeWidget>("ListViewPcFile");
    ncList = Find<QTreeWidget>("ListViewNcFile");
  }
  fs::path NcFolder() const { return sim->Root() / "C" / "NCFILES"; }
  void PutOnController(const std::string& name, const std::string& bytes) {
    std::ofstream(NcFolder() / name, std::ios::binary) << bytes;
  }
  // Shows the page and waits for the controller's listing.
  void ShowPage() {
    window->PageControl()->setCurrentWidget(window->PageByTag(10));
    ASSERT_EQ(window->Activity(), maNCFiles);
    ASSERT_TRUE(RunUntil([&] { return Idle() && History().startsWith("Finish"); }));
  }
  bool Idle() { return window->Service().GetProcessKind() == pkGetInformation; }
  QString History() { return Find<QPlainTextEdit>("MemoHistory")->toPlainText(); }
  static QStringList Names(QTreeWidget* list) {
    QStringList names;
    for (int row = 0; row < list->topLevelItemCount(); ++row) names << list->topLevelItem(row)->text(0);
    return names;
  }
  static void Select(QTreeWidget* list, const QStringList& names) {
    list->clearSelection();
    for (int row = 0; row < list->topLevelItemCount(); ++row)
      list->topLevelItem(row)->setSelected(names.contains(list->topLevelItem(row)->text(0)));
  }
  // Waits for a job to end with its Finish box.
  void WaitFinished() {
    ASSERT_TRUE(RunUntil([&] { return Idle() && boxes.contains("Finish"); })) << boxes.join("|").toStdString();
    boxes.removeAll("Finish");
  }
  int Listings() {
    int count = 0;
    for (const auto& [command, index] : sim->Log()) count += command == 409;
    return count;
  }

  TFrameFile* frame = nullptr;
  QTreeWidget* pcList = nullptr;
  QTreeWidget* ncList = nullptr;
  QStringList boxes;
  QMessageBox::StandardButton overwriteAnswer = QMessageBox::Yes;
};

TEST_F(NcFiles, ListsShowFilesWithTheirFormatsCountsAndFreeSpace) {
  PutOnController("O1.NC", "12345");
  PutOnController("O2.NC", "");
  PutOnController("O3.NC", "x");
  fs::create_directories(NcFolder() / "SUB1");
  fs::create_directories(NcFolder() / "SUB2");
  std::tm at{};
  at.tm_year = 2024 - 1900;
  at.tm_mon = 2;
  at.tm_mday = 7;
  at.tm_hour = 13;
  at.tm_min = 5;
  at.tm_isdst = -1;
  const auto stamp = std::chrono::system_clock::from_time_t(std::mktime(&at));
  fs::last_write_time(NcFolder() / "O1.NC", std::chrono::file_clock::from_sys(stamp));
  home.WriteFile("Ncfiles/P1.NC", "abc");
  ShowPage();

  EXPECT_EQ(Names(ncList), (QStringList{"O1.NC", "O2.NC", "O3.NC"})) << "folders are not listed";
  EXPECT_EQ(Find<QLineEdit>("EditNCFileCount")->text(), "3");
  const QTreeWidgetItem* o1 = ncList->topLevelItem(0);
  EXPECT_EQ(o1->text(1), "5");
  EXPECT_EQ(o1->text(2), "03/07/2024 01:05 PM");
  EXPECT_EQ(Names(pcList), QStringList{"P1.NC"});
  EXPECT_EQ(pcList->topLevelItem(0)->text(1), "3");
  EXPECT_EQ(Find<QLineEdit>("EditPCFileCount")->text(), "1");
  EXPECT_FALSE(Find<QLineEdit>("EditPcDiskFree")->text().isEmpty());
  // 41250 free clusters of 8 sectors of 512 bytes.
  EXPECT_TRUE(RunUntil([&] { return Find<QLineEdit>("EditNcDiskFree")->text() == "161MB"; }))
      << Find<QLineEdit>("EditNcDiskFree")->text().toStdString();
  EXPECT_TRUE(History().startsWith("Finish\nGet NC file list ...")) << History().toStdString();

  // The controller's Z: drive is the PC's own folder: not read.
  const int listings = Listings();
  frame->SetControllerFolder("z:");
  frame->RefreshControllerList();
  EXPECT_TRUE(History().startsWith("Can not show the contents of the Z Disk\n"));
  EXPECT_EQ(ncList->topLevelItemCount(), 0);
  EXPECT_EQ(Find<QLineEdit>("EditNCFileCount")->text(), "0");
  RunFor(std::chrono::milliseconds(60));
  EXPECT_EQ(Listings(), listings);
  EXPECT_TRUE(Idle());

  // The history keeps the newest line first and, past 1000 lines, the newest 500.
  auto* memo = Find<QPlainTextEdit>("MemoHistory");
  while (memo->document()->blockCount() < 1000) frame->RefreshControllerList();
  EXPECT_EQ(memo->document()->blockCount(), 1000);
  frame->RefreshControllerList();
  EXPECT_EQ(memo->document()->blockCount(), 500);
  EXPECT_TRUE(History().startsWith("Can not show the contents of the Z Disk\n"));
}

TEST_F(NcFiles, YesToAllAnswersEveryLaterQuestionOfTheDownload) {
  const QStringList names{"A1.NC", "A2.NC", "A3.NC", "A4.NC", "A5.NC"};
  for (const QString& name : names) {
    PutOnController(name.toStdString(), "new " + name.toStdString());
    home.WriteFile("Ncfiles/" + name.toStdString(), "old");
  }
  ShowPage();
  Select(ncList, names);
  overwriteAnswer = QMessageBox::YesToAll;
  Find<QPushButton>("SpeedButtonFileNCtoPC")->click();
  WaitFinished();
  EXPECT_EQ(boxes, QStringList{"Overwrite file \"A1.NC \""}) << "asked once";
  for (const QString& name : names)
    EXPECT_EQ(home.ReadFile("Ncfiles/" + name.toStdString()), "new " + name.toStdString());
  EXPECT_TRUE(History().startsWith(QString::fromStdString(home.Text()) + "Ncfiles/A5.NC <-- C:\\NCFILES\\A5.NC"))
      << History().toStdString();
  EXPECT_EQ(Find<QProgressBar>("ProgressBar")->value(), 100);
  EXPECT_EQ(Text("LabelPercentange"), "100%");
}

TEST_F(NcFiles, RenameAndDeleteOnTheControllerChangeOnlyTheirRows) {
  for (const char* name : {"PROG1", "PROG3", "PROG4", "PROG5"}) PutOnController(name, name);
  ShowPage();
  const int listings = Listings();
  Select(ncList, {"PROG1"});
  AnswerNextModal<QInputDialog>([](QInputDialog* box) {
    box->setTextValue("PROG2");
    box->accept();
  });
  Find<QPushButton>("SpeedButtonRenameNC")->click();
  WaitFinished();
  EXPECT_EQ(Names(ncList), (QStringList{"PROG2", "PROG3", "PROG4", "PROG5"}));
  EXPECT_TRUE(fs::exists(NcFolder() / "PROG2"));
  EXPECT_EQ(Listings(), listings) << "no new directory read";
  // The caption's key with the history line's own default.
  EXPECT_TRUE(History().startsWith("Rename:C:\\NCFILES\\PROG1-->C:\\NCFILES\\PROG2"))
      << History().toStdString();

  Select(ncList, {"PROG3", "PROG5"});
  Find<QPushButton>("SpeedButtonDeleteNC")->click();
  WaitFinished();
  EXPECT_EQ(boxes, QStringList{"Delete file ?"});
  EXPECT_EQ(Names(ncList), (QStringList{"PROG2", "PROG4"}));
  EXPECT_EQ(Find<QLineEdit>("EditNCFileCount")->text(), "2");
  EXPECT_FALSE(fs::exists(NcFolder() / "PROG3"));
  EXPECT_FALSE(fs::exists(NcFolder() / "PROG5"));
  EXPECT_EQ(Listings(), listings);
}

TEST_F(NcFiles, PcRenameAndDeleteReportWhatTheFileSystemRefused) {
  home.WriteFile("Ncfiles/P1.NC", "one");
  home.WriteFile("Ncfiles/P2.NC", "two");
  home.WriteFile("Ncfiles/P3.NC", "three");
  ShowPage();
  // Onto a name that exists: refused, nothing lost.
  Select(pcList, {"P1.NC"});
  AnswerNextModal<QInputDialog>([](QInputDialog* box) {
    box->setTextValue("P2.NC");
    box->accept();
  });
  Find<QPushButton>("SpeedButtonRenamePC")->click();
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0].startsWith("Rename failure: P1.NC (")) << boxes[0].toStdString();
  EXPECT_EQ(home.ReadFile("Ncfiles/P2.NC"), "two");
  boxes.clear();
  // Nor out of its folder.
  Select(pcList, {"P1.NC"});
  AnswerNextModal<QInputDialog>([](QInputDialog* box) {
    box->setTextValue("../P1.NC");
    box->accept();
  });
  Find<QPushButton>("SpeedButtonRenamePC")->click();
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_TRUE(fs::exists(home.Path("Ncfiles/P1.NC")));
  boxes.clear();

  Select(pcList, {"P1.NC"});
  AnswerNextModal<QInputDialog>([](QInputDialog* box) {
    box->setTextValue("P9.NC");
    box->accept();
  });
  Find<QPushButton>("SpeedButtonRenamePC")->click();
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_EQ(Names(pcList), (QStringList{"P2.NC", "P3.NC", "P9.NC"}));

  // One of two vanished before the delete.
  Select(pcList, {"P2.NC", "P3.NC"});
  fs::remove(home.Path("Ncfiles/P3.NC"));
  Find<QPushButton>("SpeedButtonDeletePC")->click();
  ASSERT_EQ(boxes.size(), 2);
  EXPECT_EQ(boxes[0], "Delete file ?");
  EXPECT_TRUE(boxes[1].startsWith("Delete failre:\nP3.NC (")) << boxes[1].toStdString();
  EXPECT_EQ(Names(pcList), QStringList{"P9.NC"});
  boxes.clear();
  Select(pcList, {"P9.NC"});
  Find<QPushButton>("SpeedButtonDeletePC")->click();
  EXPECT_EQ(boxes, (QStringList{"Delete file ?", "Finish"}));
  EXPECT_EQ(Find<QLineEdit>("EditPCFileCount")->text(), "0");
}

TEST_F(NcFiles, ChangePathListsTheChosenFolderAndKeepsIt) {
  home.WriteFile("Other/Q1.NC", "q");
  ShowPage();
  const QString other = QString::fromStdString(home.Path("Other").string());
  AnswerNextModal<QFileDialog>([other](QFileDialog* dialog) {
    dialog->setDirectory(other);
    dialog->selectFile(other);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  Find<QPushButton>("SpeedButtonChangePathPC")->click();
  EXPECT_EQ(Names(pcList), QStringList{"Q1.NC"});
  EXPECT_EQ(frame->PcFolder(), home.Text() + "Other/");
  EXPECT_EQ(Find<QLineEdit>("EditNcfiles")->text(), other + "/");
  EXPECT_EQ(window->Options().NcFilesDir(), home.Text() + "Other/");
}

TEST_F(NcFiles, UploadAndCancel) {
  home.WriteFile("Ncfiles/U1.NC", "up");
  ShowPage();
  Select(pcList, {"U1.NC"});
  Find<QPushButton>("SpeedButtonFilePCtoNC")->click();
  WaitFinished();
  EXPECT_TRUE(RunUntil([&] { return Idle() && Names(ncList) == QStringList{"U1.NC"}; }))
      << "the controller's list is read again";

  // A slow download cancelled: no finish, the PC list shown as it is.
  PutOnController("BIG.NC", std::string(200000, 'x'));
  frame->RefreshControllerList();
  ASSERT_TRUE(RunUntil([&] { return Idle() && Names(ncList).contains("BIG.NC"); }));
  sim->Command("stall 20");
  Select(ncList, {"BIG.NC"});
  Find<QPushButton>("SpeedButtonFileNCtoPC")->click();
  ASSERT_TRUE(RunUntil([&] { return window->Service().GetProcessKind() == pkReceiveFile; }));
  Find<QPushButton>("SpeedButtonCancel")->click();
  sim->Command("stall 0");
  EXPECT_TRUE(Idle());
  RunFor(std::chrono::milliseconds(100));
  EXPECT_FALSE(boxes.contains("Finish"));
  // The link lets go of its partial file on its own thread, a moment after the cancel.
  EXPECT_TRUE(RunUntil([&] {
    frame->RefreshPcList();
    return Names(pcList) == QStringList{"U1.NC"};
  })) << "nothing half-fetched is left";

  // Readiness: a controller that is not ready refuses, an empty side says so.
  sim->Command("set status 2");
  ASSERT_TRUE(RunUntil([&] { return window->Infos().StatusMode.Status() == 2; }));
  Find<QPushButton>("SpeedButtonFilePCtoNC")->click();
  sim->Command("set status 1");
  ASSERT_TRUE(RunUntil([&] { return window->Infos().StatusMode.Status() == 1; }));
  fs::remove(home.Path("Ncfiles/U1.NC"));
  frame->RefreshPcList();
  Find<QPushButton>("SpeedButtonFilePCtoNC")->click();
  EXPECT_EQ(boxes, (QStringList{"Please confirm the state of NC is ready !", "PC no file ..."}));
}

TEST_F(NcFiles, AListingThatNeverReachesItsTotalIsGivenUpAndSaysSo) {
  PutOnController("E1.NC", "1");
  PutOnController("E2.NC", "2");
  sim->Command("endless-listing");
  window->PageControl()->setCurrentWidget(window->PageByTag(10));
  ASSERT_TRUE(RunUntil([&] { return Idle() && History().contains("never completed"); }))
      << History().toStdString();
  EXPECT_TRUE(History().startsWith("The controller never completed the listing; files shown: 2\n"))
      << History().toStdString();
  EXPECT_EQ(Names(ncList), (QStringList{"E1.NC", "E2.NC"}));
  const int asked = Listings();
  EXPECT_LE(asked, 1 + vandir::kMostBarrenListingParts + 1);
  RunFor(std::chrono::milliseconds(200));
  EXPECT_EQ(Listings(), asked) << "nothing is asked once it is given up";
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join("|").toStdString();
}

TEST_F(NcFiles, EveryStepSaysHowItEnded) {
  for (const char* name : {"PROG1", "PROG3", "D1.NC", "D2.NC", "D3.NC"}) PutOnController(name, name);
  home.WriteFile("Ncfiles/D1.NC", "mine");
  home.WriteFile("Ncfiles/D2.NC", "mine too");
  home.WriteFile("Ncfiles/P1.NC", "p");
  home.WriteFile("Ncfiles/P2.NC", "p2");
  ShowPage();
  const QString pc = QString::fromStdString(home.Text()) + "Ncfiles/";
  const auto logged = [&](const QString& line) {
    EXPECT_TRUE(History().split('\n').contains(line)) << line.toStdString() << "\n" << History().toStdString();
  };

  // Onto a name the controller has: refused, and the log says so.
  Select(ncList, {"PROG1"});
  AnswerNextModal<QInputDialog>([](QInputDialog* box) {
    box->setTextValue("PROG3");
    box->accept();
  });
  Find<QPushButton>("SpeedButtonRenameNC")->click();
  ASSERT_TRUE(RunUntil([&] { return Idle() && boxes.contains("Rename failure: (9)"); }))
      << boxes.join("|").toStdString();
  logged("Rename:C:\\NCFILES\\PROG1-->C:\\NCFILES\\PROG3: Rename failure: (9)");
  ASSERT_TRUE(RunUntil([&] { return Idle() && Names(ncList).contains("PROG1"); }));

  // On the PC, done and refused.
  Select(pcList, {"P1.NC"});
  AnswerNextModal<QInputDialog>([](QInputDialog* box) {
    box->setTextValue("P9.NC");
    box->accept();
  });
  Find<QPushButton>("SpeedButtonRenamePC")->click();
  logged("Rename:" + pc + "P1.NC-->" + pc + "P9.NC: Finish");
  Select(pcList, {"P9.NC"});
  AnswerNextModal<QInputDialog>([](QInputDialog* box) {
    box->setTextValue("P2.NC");
    box->accept();
  });
  Find<QPushButton>("SpeedButtonRenamePC")->click();
  EXPECT_TRUE(History().startsWith("Rename:" + pc + "P9.NC-->" + pc + "P2.NC: Rename failure: P9.NC ("))
      << History().toStdString();

  // A download kept off by No to all says so for each file, also for the one it never asked
  // about; the one that came says so too.
  boxes.clear();
  overwriteAnswer = QMessageBox::NoToAll;
  Select(ncList, {"D1.NC", "D2.NC", "D3.NC"});
  Find<QPushButton>("SpeedButtonFileNCtoPC")->click();
  WaitFinished();
  EXPECT_EQ(boxes, QStringList{"Overwrite file \"D1.NC \""});
  logged(pc + "D1.NC <-- C:\\NCFILES\\D1.NC: Skipped");
  logged(pc + "D2.NC <-- C:\\NCFILES\\D2.NC: Skipped");
  logged(pc + "D3.NC <-- C:\\NCFILES\\D3.NC: Finish");
  EXPECT_EQ(home.ReadFile("Ncfiles/D2.NC"), "mine too");
  EXPECT_EQ(home.ReadFile("Ncfiles/D3.NC"), "D3.NC");
}

TEST_F(NcFiles, ADropInTheMiddleNamesWhatDidNotArrive) {
  for (const char* name : {"B1.NC", "B2.NC", "B3.NC"}) PutOnController(name, std::string(20000, 'b'));
  ShowPage();
  Select(ncList, {"B1.NC", "B2.NC", "B3.NC"});
  sim->Command("drop-transfer 3");
  Find<QPushButton>("SpeedButtonFileNCtoPC")->click();
  ASSERT_TRUE(RunUntil([&] { return History().contains("Connection lost"); })) << History().toStdString();
  EXPECT_TRUE(History().startsWith("Connection lost, not completed: B3.NC\n"
                                   "Connection lost, not completed: B2.NC\n"
                                   "Connection lost, not completed: B1.NC\n"))
      << History().toStdString();
  EXPECT_FALSE(fs::exists(home.Path("Ncfiles/B1.NC")));
  EXPECT_FALSE(boxes.contains("Finish"));
}

TEST_F(NcFiles, NamesThatCouldLeaveTheirFolderAreLeftOutAndTheOthersMove) {
  PutOnController("GOOD1.NC", "g1");
  PutOnController("GOOD2.NC", "g2");
  sim->Command("hostile-names");
  ShowPage();
  const QStringList hostile{"../.profile", "..\\AUTOEXEC", "..",         ".",
                            "SUB/EVIL.NC", "BELL\\x07.NC",  "DEL\\x7F.NC"};
  for (const QString& name : hostile) EXPECT_TRUE(Names(ncList).contains(name)) << name.toStdString();
  const auto before = vandir::test::TreeBelow(home.Path());
  ncList->selectAll();
  Find<QPushButton>("SpeedButtonFileNCtoPC")->click();
  WaitFinished();
  EXPECT_EQ(home.ReadFile("Ncfiles/GOOD1.NC"), "g1");
  EXPECT_EQ(home.ReadFile("Ncfiles/GOOD2.NC"), "g2");
  auto added = vandir::test::TreeBelow(home.Path());
  for (const auto& old : before) added.erase(old);
  EXPECT_EQ(added, (std::set<std::string>{"Ncfiles/GOOD1.NC", "Ncfiles/GOOD2.NC"}));
  for (const QString& name : hostile)
    EXPECT_TRUE(History().contains("Left out, not a plain file name: " + name + "\n")) << name.toStdString();
  // Nor is one deleted: the folder it names is not the one listed.
  boxes.clear();
  Select(ncList, {"../.profile", "GOOD1.NC"});
  Find<QPushButton>("SpeedButtonDeleteNC")->click();
  WaitFinished();
  EXPECT_FALSE(fs::exists(NcFolder() / "GOOD1.NC"));
  EXPECT_TRUE(History().contains("File Delete:C:\\NCFILES\\GOOD1.NC\nLeft out, not a plain file name: ../.profile"))
      << History().toStdString();

  // The other way: PC names that step up on the controller, and one whose path the job
  // cannot hold, stay behind; the rest goes.
  const std::string longName(250, 'L');
  home.WriteFile("Ncfiles/..\\AUTOEXEC.BAT", "echo");
  home.WriteFile("Ncfiles/A..B.NC", "ab");
  home.WriteFile("Ncfiles/" + longName, "long");
  frame->RefreshPcList();
  sim->Command("log-clear");
  Select(pcList, {"..\\AUTOEXEC.BAT", "A..B.NC", QString::fromStdString(longName), "GOOD1.NC"});
  Find<QPushButton>("SpeedButtonFilePCtoNC")->click();
  WaitFinished();
  EXPECT_EQ(vandir::test::ReadBytes(NcFolder() / "GOOD1.NC"), "g1");
  int starts = 0;
  for (const auto& [command, index] : sim->Log()) starts += command == 373;
  EXPECT_EQ(starts, 1) << "only GOOD1.NC was offered to the controller";
  EXPECT_TRUE(History().contains("Left out, not a plain file name: ..\\AUTOEXEC.BAT\n"));
  EXPECT_TRUE(History().contains("Left out, not a plain file name: A..B.NC\n"));
  EXPECT_TRUE(History().contains("Left out, name too long: " + QString::fromStdString(longName) + "\n"));
}

}  // namespace
}  // namespace talvo::app::test
