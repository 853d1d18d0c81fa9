// The Machine and Upgrade pages against the simulator: which files a backup, a restore and
// an upgrade move, when the controller's state refuses them, and what the controller's
// screen and the user are told.
#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <filesystem>

#include "app/frame/message_box.h"
#include "app/pages/machine_page.h"
#include "app/pages/upgrade_page.h"
#include "service/backup_marker.h"
#include "tests/app/frame_fixture.h"
#include "tests/support/file_bytes.h"

namespace talvo::app::test {
namespace {

namespace fs = std::filesystem;

const fs::path kControllerMachineFiles = TALVO_SOURCE_DIR "/data/sim/MACHINE";

class TransferPages : public FrameTest {
 protected:
  ~TransferPages() override { SetMessageBoxAnswerer(nullptr); }

  void Open(const std::string& settings = "") {
    MakeWindow(settings);
    SetMessageBoxAnswerer([this](const TMessageBox& box) {
      if (!(box.buttons & QMessageBox::Yes)) {
        boxes.push_back(box.text);
        return box.defaultButton;
      }
      questions.push_back(box.text);
      questionDefaults.push_back(box.defaultButton);
      return question;
    });
    ConnectAndComplete();
  }
  void SetStatus(int status) {
    sim->Command("set status " + std::to_string(status));
    ASSERT_TRUE(RunUntil([&] { return window->Infos().StatusMode.Status() == status; }));
  }
  TMachinePage& Machine() { return *static_cast<TMachinePage*>(window->PageByTag(9)); }
  TUpgradePage& Upgrade() { return *static_cast<TUpgradePage*>(window->PageByTag(11)); }
  bool Idle() { return window->Service().GetProcessKind() == pkGetInformation; }
  // Waits for the job to end with a box and returns the boxes shown meanwhile.
  std::vector<QString> BoxesAfterJob() {
    EXPECT_TRUE(RunUntil([&] { return Idle() && !boxes.empty(); }));
    RunFor(std::chrono::milliseconds(60));
    std::vector<QString> shown;
    shown.swap(boxes);
    return shown;
  }
  std::string Messages() { return sim->Command("messages"); }
  // The controller's machine files in the PC's machine folder, as a backup would leave them.
  void CopyMachineFilesToPc() {
    fs::create_directories(home.Path("Machine"));
    for (const auto& entry : fs::directory_iterator(kControllerMachineFiles))
      fs::copy_file(entry.path(), home.Path("Machine") / entry.path().filename());
  }

  std::vector<QString> boxes;
  // Questions (boxes with Yes and No) apart, with their default buttons, and the answer.
  std::vector<QString> questions;
  std::vector<QMessageBox::StandardButton> questionDefaults;
  QMessageBox::StandardButton question = QMessageBox::Yes;
};

// The categories ticked, by option key; the others off.
std::string OnlyCategories(std::initializer_list<const char*> keys) {
  std::string settings;
  for (const char* key : {"TRANSMACLADDER", "TRANSMACIO", "TRANSMACPARAM", "TRANSMACGLOBAL",
                          "TRANSMACDREG", "TRANSMACPLCERR", "TRANSMACUSRPARAMSTR", "TRANSMACGRAPH",
                          "TRANSMACCNCLOG", "TRANSMACOPLOG", "TRANSMACMMIBASE"}) {
    bool on = false;
    for (const char* k : keys) on = on || std::string(k) == key;
    settings += std::string(key) + "=" + (on ? "1" : "0") + "\n";
  }
  return settings;
}

TEST_F(TransferPages, BackupOfAllCategoriesFetchesEveryFileAndListsTheParameters) {
  Open();
  SetStatus(0);
  Machine().ButtonDownloadMachineFilesClick();
  EXPECT_EQ(window->Activity(), maMachineDownload);
  EXPECT_EQ(BoxesAfterJob(), std::vector<QString>{"FINISH"});
  EXPECT_EQ(window->Service().GetCmdListCount(), 3 + 1 + 4 + 1 + 1 + 2 + 2 + 1 + 1 + 1 + 1);
  for (const char* name : {"CNC.LAD", "PLCIO.CFG", "NETWORK.BAT", "GLOBAL6.DAT", "SRAM",
                           "CHI_MLC.ERR", "USRENG.STR", "GRAPH.DAT", "OPMSG.LOG", "MMIBASE.INI"})
    EXPECT_TRUE(fs::exists(home.Path("Machine") / name)) << name;
  EXPECT_EQ(fs::file_size(home.Path("Machine/PARAM.BIN")),
            fs::file_size(kControllerMachineFiles / "PARAM.BIN"));
  EXPECT_TRUE(fs::exists(home.Path("Machine/Param.txt"))) << "the parameter listing follows";
  EXPECT_EQ(Text("LabelMachineDataFileName"), "");
  EXPECT_EQ(Text("LabelMachineFilesPercentage"), "100%");

  window->PageControl()->setCurrentWidget(&Machine());
  EXPECT_EQ(Find<QProgressBar>("ProgressBarMachineFiles")->value(), 0) << "shown afresh";
  EXPECT_EQ(Text("LabelMachineFilesPercentage"), "0%");
}

TEST_F(TransferPages, ControllerStateDecidesWhichTransfersMayStart) {
  Open(OnlyCategories({"TRANSMACIO"}));
  CopyMachineFilesToPc();
  const struct {
    int status;
    bool upload;
    bool allowed;
  } cases[] = {{0, true, true},  {0, false, true},  {1, true, true},  {1, false, false},
               {2, true, false}, {2, false, false}, {3, true, false}, {4, false, false}};
  for (const auto& c : cases) {
    SetStatus(c.status);
    window->SetActivity(maIdle);
    if (c.upload) Machine().ButtonUploadMachineFilesClick();
    else Machine().ButtonDownloadMachineFilesClick();
    const std::string what = "status " + std::to_string(c.status) + (c.upload ? " up" : " down");
    if (c.allowed) {
      EXPECT_EQ(window->Activity(), c.upload ? maMachineUpload : maMachineDownload) << what;
      EXPECT_EQ(BoxesAfterJob(), std::vector<QString>{"FINISH"}) << what;
    } else {
      EXPECT_EQ(window->Activity(), maIdle) << what;
      EXPECT_EQ(boxes, std::vector<QString>{"NC Machine Status must be NO-RDY mode!"}) << what;
      boxes.clear();
    }
  }
  // Setup upload: only a controller that is not ready.
  SetStatus(1);
  Upgrade().ButtonSetupUploadClick();
  EXPECT_EQ(boxes, std::vector<QString>{"NC Machine Status must be NO-RDY mode!"});
  EXPECT_EQ(window->Activity(), maIdle);
}

TEST_F(TransferPages, NoMessageOnTheControllersScreenWhenTheSettingSaysSo) {
  Open("MSGTONC=0\n" + OnlyCategories({"TRANSMACIO"}));
  CopyMachineFilesToPc();
  SetStatus(2);
  Machine().ButtonDownloadMachineFilesClick();
  EXPECT_EQ(boxes, std::vector<QString>{"NC Machine Status must be NO-RDY mode!"});
  boxes.clear();
  SetStatus(0);
  Machine().ButtonUploadMachineFilesClick();
  EXPECT_EQ(BoxesAfterJob(), std::vector<QString>{"FINISH"});
  EXPECT_TRUE(RunUntil([&] { return Messages().find("message 4") != std::string::npos; }))
      << "the end of a restore is signalled";
  EXPECT_EQ(Messages().find("box"), std::string::npos) << Messages();

}

TEST_F(TransferPages, MessagesReachTheControllersScreenByDefault) {
  Open(OnlyCategories({"TRANSMACIO"}));
  CopyMachineFilesToPc();
  SetStatus(2);
  Machine().ButtonDownloadMachineFilesClick();
  EXPECT_EQ(boxes, std::vector<QString>{"NC Machine Status must be NO-RDY mode!"});
  boxes.clear();
  EXPECT_TRUE(RunUntil([&] { return Messages().find("Press EMG,to Update ladder !") != std::string::npos; }))
      << Messages();
  EXPECT_NE(Messages().find("NC Machine Warning!"), std::string::npos) << Messages();
  SetStatus(0);
  Machine().ButtonUploadMachineFilesClick();
  EXPECT_EQ(BoxesAfterJob(), std::vector<QString>{"FINISH"});
  EXPECT_TRUE(RunUntil([&] { return Messages().find("please select PARAMETERS RESTORE") != std::string::npos; }))
      << Messages();
  EXPECT_EQ(sim->Command("files C:\\INSTTMP\\"), "ok C:\\INSTTMP\\PLCIO.CFG=" +
                                                    std::to_string(fs::file_size(
                                                        kControllerMachineFiles / "PLCIO.CFG")));
}

TEST_F(TransferPages, RestoreRefusesAMissingFileButNotTheAlarmLog) {
  Open(OnlyCategories({"TRANSMACCNCLOG", "TRANSMACOPLOG", "TRANSMACMMIBASE"}));
  SetStatus(0);
  home.WriteFile("Machine/MMIBASE.INI", "[x]\n");
  Machine().ButtonUploadMachineFilesClick();
  const QString missing = QString::fromStdString(home.Text() + "Machine/OPMSG.LOG");
  EXPECT_EQ(boxes, std::vector<QString>{"File Not Find!(" + missing + ")"});
  EXPECT_TRUE(Idle());
  EXPECT_EQ(window->Activity(), maIdle);
  EXPECT_EQ(window->Service().GetCmdListCount(), 0) << "not even the staging folder is made";
  boxes.clear();

  // The controller keeps its alarm log itself: a restore without it sends the others and
  // says which one it left out.
  home.WriteFile("Machine/opmsg.log", "ops");
  Machine().ButtonUploadMachineFilesClick();
  EXPECT_EQ(BoxesAfterJob(),
            (std::vector<QString>{"Failure:\nLeft out, not in the folder: CNCSYS.LOG", "FINISH"}));
  EXPECT_EQ(sim->Command("files C:\\INSTTMP\\"), "ok C:\\INSTTMP\\MMIBASE.INI=4 C:\\INSTTMP\\OPMSG.LOG=3");
}

TEST_F(TransferPages, FailedBackupKeepsTheOldCopyAndNamesWhatWasNotFetched) {
  Open(OnlyCategories({"TRANSMACLADDER"}));
  SetStatus(0);
  home.WriteFile("Machine/CNC.LAD", "old ladder");
  sim->Command("fail-file 2");
  Machine().ButtonDownloadMachineFilesClick();
  EXPECT_EQ(BoxesAfterJob(),
            (std::vector<QString>{"Failure: (2)", "Failure:\nCNC.LAD\nCNC.L88\nCNC.PAR"}));
  EXPECT_EQ(home.ReadFile("Machine/CNC.LAD"), "old ladder");
}

TEST_F(TransferPages, NamesOfTheSettingsThatCouldLeaveTheirFolderAreLeftOut) {
  const std::string longName(250, 'L');
  Open("[Machine Data Files]\nIO_Count=4\nIO_File0=../ESCAPED.TXT\nIO_File1=PLCIO.CFG\n"
       "IO_File2=..\\AUTOEXEC.BAT\nIO_File3=" + longName + "\n[OPTIONS]\n" +
       OnlyCategories({"TRANSMACIO"}));
  SetStatus(0);
  const QString leftOut = "Failure:\nLeft out, not a plain file name: ../ESCAPED.TXT\n"
                          "Left out, not a plain file name: ..\\AUTOEXEC.BAT\n"
                          "Left out, name too long: " + QString::fromStdString(longName);
  const auto before = vandir::test::TreeBelow(home.Path());
  Machine().ButtonDownloadMachineFilesClick();
  EXPECT_EQ(BoxesAfterJob(), (std::vector<QString>{leftOut, "FINISH"}));
  auto added = vandir::test::TreeBelow(home.Path());
  for (const auto& old : before) added.erase(old);
  EXPECT_EQ(added, (std::set<std::string>{"Machine", "Machine/BACKUP-INCOMPLETE.txt",
                                          "Machine/PLCIO.CFG"}))
      << "the backup is marked as not whole";

  home.WriteFile("Machine/" + longName, "long");  // there, but too long to be sent
  Machine().ButtonUploadMachineFilesClick();
  EXPECT_EQ(BoxesAfterJob(), (std::vector<QString>{leftOut, "FINISH"}));
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_TRUE(questions[0].contains("Left out, not a plain file name: ../ESCAPED.TXT\n"))
      << "asked knowing what is left out: " << questions[0].toStdString();
  EXPECT_EQ(sim->Command("files C:\\INSTTMP\\"),
            "ok C:\\INSTTMP\\PLCIO.CFG=" +
                std::to_string(fs::file_size(kControllerMachineFiles / "PLCIO.CFG")));
  EXPECT_EQ(sim->Command("files C:\\").find("AUTOEXEC"), std::string::npos);
}

TEST_F(TransferPages, FolderAndCategoriesAreLockedWhileABackupRuns) {
  Open("[Machine Data Files]\nIO_Count=0\n[OPTIONS]\n" + OnlyCategories({"TRANSMACLADDER"}));
  SetStatus(0);
  auto* folder = Find<QPushButton>("ButtonMachine");
  const auto locked = [&] {
    bool any = folder->isEnabled();
    for (int category = 0; category < TMachinePage::kCategories; ++category)
      any = any || Machine().CategoryBox(category)->isEnabled();
    return !any;
  };
  const auto unlocked = [&] {
    return folder->isEnabled() && Machine().CategoryBox(0)->isEnabled() &&
           Machine().CategoryBox(10)->isEnabled() && !Machine().CategoryBox(1)->isEnabled();
  };
  ASSERT_TRUE(unlocked()) << "the I/O files cannot be chosen";
  const struct {
    const char* fault;
    std::vector<QString> boxes;
  } endings[] = {
      {"stall 5", {"FINISH"}},
      {"fail-file 2", {"Failure: (2)", "Failure:\nCNC.LAD\nCNC.L88\nCNC.PAR"}},
      {"drop-transfer 2", {"Connection lost, not completed:\nCNC.LAD\nCNC.L88\nCNC.PAR"}},
  };
  for (const auto& ending : endings) {
    if (!window->Service().GetSessionReady()) ConnectAndComplete();
    SetStatus(0);
    sim->Command(ending.fault);
    Machine().ButtonDownloadMachineFilesClick();
    EXPECT_TRUE(locked()) << ending.fault;
    ASSERT_TRUE(RunUntil([&] { return boxes.size() >= ending.boxes.size(); })) << ending.fault;
    EXPECT_EQ(boxes, ending.boxes) << ending.fault;
    EXPECT_TRUE(unlocked()) << ending.fault;
    boxes.clear();
    sim->Command("stall 0");
  }
}

TEST_F(TransferPages, AnUnfinishedBackupLeavesItsFolderMarkedUntilOneEndsWhole) {
  Open(OnlyCategories({"TRANSMACLADDER", "TRANSMACIO"}));
  const fs::path folder = home.Path("Machine");
  auto* warning = Find<QLabel>("LabelMachineBackupIncomplete");
  const auto marker = [&] { return ReadBackupMarker(folder); };
  SetStatus(0);
  // The mark is there while the backup runs, and goes once it ended whole.
  sim->Command("stall 5");
  Machine().ButtonDownloadMachineFilesClick();
  ASSERT_TRUE(marker().has_value()) << "written before the first file arrives";
  EXPECT_EQ(marker()->missing, (std::vector<std::string>{"CNC.LAD", "CNC.L88", "CNC.PAR", "PLCIO.CFG"}));
  EXPECT_EQ(BoxesAfterJob(), std::vector<QString>{"FINISH"});
  sim->Command("stall 0");
  EXPECT_FALSE(marker().has_value());
  EXPECT_TRUE(warning->isHidden());

  // Cut short by a failure, or by a lost connection: the mark names what is missing.
  sim->Command("fail-transfer 1 2");
  Machine().ButtonDownloadMachineFilesClick();
  BoxesAfterJob();
  ASSERT_TRUE(marker().has_value());
  EXPECT_EQ(marker()->missing, (std::vector<std::string>{"CNC.LAD", "CNC.L88", "CNC.PAR", "PLCIO.CFG"}));
  EXPECT_FALSE(warning->isHidden());
  EXPECT_TRUE(warning->text().startsWith("Unfinished backup in this folder, started 2"))
      << warning->text().toStdString();
  EXPECT_TRUE(warning->text().endsWith(", not fetched: CNC.LAD, CNC.L88, CNC.PAR, PLCIO.CFG"))
      << warning->text().toStdString();

  fs::remove(folder / kBackupIncompleteFile);
  sim->Command("drop-transfer 1");
  window->SetActivity(maIdle);
  Machine().ButtonDownloadMachineFilesClick();
  ASSERT_TRUE(RunUntil([&] { return !window->Service().GetSessionReady() && !boxes.empty(); }));
  boxes.clear();
  ASSERT_TRUE(marker().has_value());
  EXPECT_EQ(marker()->missing, (std::vector<std::string>{"CNC.LAD", "CNC.L88", "CNC.PAR", "PLCIO.CFG"}));

  // A restore from the marked folder asks first; No (the default) sends nothing.
  ConnectAndComplete();
  SetStatus(0);
  question = QMessageBox::No;
  Machine().ButtonUploadMachineFilesClick();
  EXPECT_TRUE(boxes.empty());
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_TRUE(questions[0].contains("\nUnfinished backup in this folder, started "))
      << questions[0].toStdString();
  RunFor(std::chrono::milliseconds(100));
  EXPECT_NE(window->Activity(), maMachineUpload);
  EXPECT_EQ(sim->Command("files C:\\").find("INSTTMP"), std::string::npos);
}

TEST_F(TransferPages, RestoreAndSetupAskFirstNamingTheMachineWhatGoesAndFromWhere) {
  Open(OnlyCategories({"TRANSMACIO", "TRANSMACCNCLOG"}) + "[LOCALDIR]\nSETUPDIR=" + home.Text() +
       "Setup\n[MACHINEDATA]\nCNCCOUNT=2\nCNCNAME0=LATHE 2\nCNCIP0=127.9.9.9\nCNCNAME1=MILL 7\n"
       "CNCIP1=" + sim->Address() + "\n");
  CopyMachineFilesToPc();
  fs::remove(home.Path("Machine/CNCSYS.LOG"));
  home.WriteFile("Setup/A.EXE", "a");
  home.WriteFile("Setup/D/B.EXE", "b");
  SetStatus(0);
  const QString machine = "Send to the machine MILL 7 (" + QString::fromStdString(sim->Address()) + "):\n";
  const QString replace = "\n\nFiles of the same names in the controller's staging folder are replaced. Send them?";

  // No, the default, sends nothing.
  question = QMessageBox::No;
  Machine().ButtonUploadMachineFilesClick();
  Upgrade().ButtonSetupUploadClick();
  EXPECT_EQ(questions,
            (std::vector<QString>{
                machine + "  Trans IO\n  Trans CNC Log File\nfrom the folder " +
                    QString::fromStdString(home.Text()) +
                    "Machine/\n\nLeft out, not in the folder: CNCSYS.LOG" + replace,
                machine + "  Every file and folder of the setup, files: 2\nfrom the folder " +
                    QString::fromStdString(home.Text()) + "Setup/" + replace}));
  EXPECT_EQ(questionDefaults, (std::vector<QMessageBox::StandardButton>{QMessageBox::No, QMessageBox::No}));
  EXPECT_TRUE(boxes.empty());
  RunFor(std::chrono::milliseconds(100));
  EXPECT_EQ(sim->Command("files C:\\").find("INSTTMP"), std::string::npos);
  EXPECT_EQ(Messages(), "ok");

  // Yes sends.
  question = QMessageBox::Yes;
  Machine().ButtonUploadMachineFilesClick();
  BoxesAfterJob();
  EXPECT_NE(sim->Command("files C:\\INSTTMP\\").find("PLCIO.CFG"), std::string::npos);
  // A backup overwrites only the PC's copies: it does not ask.
  questions.clear();
  Machine().ButtonDownloadMachineFilesClick();
  BoxesAfterJob();
  EXPECT_TRUE(questions.empty());
}

TEST_F(TransferPages, CategoryBoxesFollowTheirCountsAndSaveTheirClicks) {
  Open("[Machine Data Files]\nIO_Count=0\nLathe_Tools_Count=0\n[OPTIONS]\nTRANSMACIO=1\n"
       "TRANSMACGRAPH=0\n");
  QCheckBox* io = Find<QCheckBox>("CheckBoxTransMachineIO");
  QCheckBox* graph = Find<QCheckBox>("CheckBoxTransMachineGraph");
  QCheckBox* tools = Find<QCheckBox>("CheckBoxTransMachineGlobal");
  EXPECT_FALSE(io->isEnabled());
  EXPECT_FALSE(io->isChecked()) << "an unavailable category is not ticked whatever its option";
  EXPECT_TRUE(graph->isEnabled());
  EXPECT_FALSE(graph->isChecked());
  EXPECT_TRUE(tools->isEnabled()) << "milling tools are available";
  graph->click();
  EXPECT_TRUE(window->Settings().ReadBool("OPTIONS", "TRANSMACGRAPH", false));
  Machine().ApplySystemType(1);
  EXPECT_FALSE(tools->isEnabled()) << "the lathe has no tool files here";
  EXPECT_FALSE(tools->isChecked());
}

TEST_F(TransferPages, SetupUploadSendsTheTreeAndTellsTheController) {
  Open("[LOCALDIR]\nSETUPDIR=" + home.Text() + "Setup\n");
  home.WriteFile("Setup/A.EXE", "a");
  home.WriteFile("Setup/B.DAT", "bb");
  home.WriteFile("Setup/D/C.INI", "ccc");
  SetStatus(0);
  Upgrade().ButtonSetupUploadClick();
  EXPECT_EQ(window->Activity(), maSetupUpload);
  EXPECT_EQ(BoxesAfterJob(), std::vector<QString>{"FINISH"});
  EXPECT_EQ(sim->Command("files C:\\INSTTMP\\"),
            "ok C:\\INSTTMP\\A.EXE=1 C:\\INSTTMP\\B.DAT=2 C:\\INSTTMP\\D\\ C:\\INSTTMP\\D\\C.INI=3");
  EXPECT_TRUE(RunUntil([&] { return Messages().find("message 3") != std::string::npos; }))
      << Messages();
  EXPECT_NE(Messages().find("Setup files send finished"), std::string::npos) << Messages();
  EXPECT_EQ(Text("LabelSetupFileName"), "");

  // Again into the same staging folder: the folders exist, the files are replaced.
  home.WriteFile("Setup/D/C.INI", "cccc");
  Upgrade().ButtonSetupUploadClick();
  EXPECT_EQ(BoxesAfterJob(), std::vector<QString>{"FINISH"});
  EXPECT_NE(sim->Command("files C:\\INSTTMP\\D\\").find("C.INI=4"), std::string::npos);
}

TEST_F(TransferPages, ASetupFolderThatCannotBeReadWholeSendsNothing) {
  Open("[LOCALDIR]\nSETUPDIR=" + home.Text() + "Gone\n");
  SetStatus(0);
  Upgrade().ButtonSetupUploadClick();
  EXPECT_EQ(boxes, std::vector<QString>{"The setup folder cannot be read whole; nothing was sent:\n" +
                                        QString::fromStdString(home.Text()) +
                                        "Gone/ (No such file or directory)"});
  EXPECT_TRUE(Idle());
  EXPECT_NE(window->Activity(), maSetupUpload);
  RunFor(std::chrono::milliseconds(100));
  EXPECT_EQ(sim->Command("files C:\\").find("INSTTMP"), std::string::npos);
  EXPECT_EQ(Messages(), "ok") << "the controller is told nothing";
}

TEST_F(TransferPages, SetupNamesThatCouldStepUpOnTheControllerAreLeftOut) {
  Open("[LOCALDIR]\nSETUPDIR=" + home.Text() + "Setup\n");
  home.WriteFile("Setup/A.EXE", "a");
  home.WriteFile("Setup/..\\AUTOEXEC.BAT", "echo");
  home.WriteFile("Setup/..\\UP/B.EXE", "b");
  SetStatus(0);
  Upgrade().ButtonSetupUploadClick();
  EXPECT_EQ(BoxesAfterJob(),
            (std::vector<QString>{"Failure:\nLeft out, not a plain file name: ..\\AUTOEXEC.BAT\n"
                                  "Left out, not a plain file name: ..\\UP",
                                  "FINISH"}));
  EXPECT_EQ(sim->Command("files C:\\INSTTMP\\"), "ok C:\\INSTTMP\\A.EXE=1");
  for (const char* name : {"AUTOEXEC", "UP", "B.EXE"})
    EXPECT_EQ(sim->Command("files C:\\").find(name), std::string::npos) << name;
  RunFor(std::chrono::milliseconds(100));
  EXPECT_EQ(Messages().find("Setup files send finished"), std::string::npos)
      << "a setup with files left out is not offered for installing";
  EXPECT_EQ(Messages().find("message 3"), std::string::npos) << Messages();
}

TEST_F(TransferPages, ADropInTheMiddleNamesWhatDidNotArrive) {
  Open(OnlyCategories({"TRANSMACLADDER"}) + "[LOCALDIR]\nSETUPDIR=" + home.Text() + "Setup\n");
  SetStatus(0);
  sim->Command("drop-transfer 3");
  Machine().ButtonDownloadMachineFilesClick();
  ASSERT_TRUE(RunUntil([&] { return !boxes.empty(); }));
  EXPECT_EQ(boxes, std::vector<QString>{"Connection lost, not completed:\nCNC.LAD\nCNC.L88\nCNC.PAR"});
  EXPECT_EQ(Text("LabelMachineDataFileName"), "");
  boxes.clear();

  ConnectAndComplete();
  SetStatus(0);
  home.WriteFile("Setup/A.EXE", std::string(5000, 'a'));
  home.WriteFile("Setup/D/B.EXE", "b");
  sim->Command("drop-transfer 2");
  Upgrade().ButtonSetupUploadClick();
  ASSERT_TRUE(RunUntil([&] { return !boxes.empty(); }));
  EXPECT_EQ(boxes, std::vector<QString>{"Connection lost, not completed:\nA.EXE\nB.EXE"});
  EXPECT_EQ(Text("LabelSetupFileName"), "");
  RunFor(std::chrono::milliseconds(100));
  EXPECT_EQ(Messages().find("Setup files send finished"), std::string::npos) << Messages();
}

}  // namespace
}  // namespace talvo::app::test
