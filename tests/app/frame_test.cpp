// The main window: captions, pages, the machine menu, the connection display and the
// completion of a connection against a real simulator.
#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <stdexcept>

#include "app/frame/application.h"
#include "app/frame/connection_texts.h"
#include "app/frame/message_box.h"
#include "app/language/language.h"
#include "app/pages/page.h"
#include "app/widgets/lamp.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/value_text.h"
#include "tests/app/frame_fixture.h"
#include "tests/support/file_bytes.h"

namespace talvo::app::test {
namespace {

const char* const kDefaultTabs[] = {"Work",     "Position",      "PLC",       "Alarm",
                                    "Parameter", "User Parameter", "User Parameter2",
                                    "Hardware", "Machine",       "NC Files",  "Upgrade",
                                    "Option"};
const char* const kPageNames[] = {"TabSheetWork",       "TabSheetPos",      "TabSheetPLC",
                                  "TabSheetAlarm",      "TabSheetParam",    "TabSheetUserParam",
                                  "TabSheetUserParam2", "TabSheetHardware", "TabSheetMachine",
                                  "TabSheetNCFiles",    "TabSheetUpgrade",  "TabSheetOption"};
const int kPageTags[] = {2, 3, 4, 5, 6, 7, 13, 8, 9, 10, 11, 12};

class FrameOffline : public FrameTest {
 protected:
  FrameOffline() : FrameTest(std::nullopt) {}
};

TEST_F(FrameOffline, WithoutLanguageFilesEveryCaptionIsTheBuiltInOne) {
  MakeWindow();
  EXPECT_EQ(window->windowTitle(), "Talvo-Maintenance");
  QTabWidget* pages = window->PageControl();
  ASSERT_EQ(pages->count(), 12);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(pages->tabText(i), kDefaultTabs[i]);
    EXPECT_EQ(pages->widget(i)->objectName(), kPageNames[i]);
    EXPECT_EQ(static_cast<TPage*>(pages->widget(i))->Tag(), kPageTags[i]);
    EXPECT_TRUE(pages->isTabVisible(i));
  }
  EXPECT_EQ(pages->currentIndex(), 0);
  EXPECT_EQ(Text("LabelConnectStatus"), "DisConnect");
  EXPECT_EQ(Find<QPushButton>("SpeedButtonAddWork")->text(), "Machine");
  EXPECT_FALSE(Find<QPushButton>("SpeedButtonSendMsgToNc")->isEnabled());
  EXPECT_EQ(Find<Lamp>("ShapeConnect1")->Color(), colors::kDarkGreen);
  EXPECT_EQ(Find<Lamp>("ShapeAlarm2")->Color(), colors::kDarkRed);
  EXPECT_FALSE(Find<QLabel>("LabelAlarm")->isEnabled());
  EXPECT_EQ(Text("StaticTextWorkMode"), "");
}

TEST_F(FrameOffline, CaptionsComeFromTheCurrentLanguageFile) {
  // Keys match without regard to case; a key with an empty text gives an empty caption.
  home.WriteFile("Language/MLangENG.ini",
             "[mainstring]\nform=Wartung\nTABWORK=Arbeit\nTabPLC=\n[Work]\nLocalVer=Wert\n");
  // Traditional Chinese in Big5: the tab of the position page reads 位置.
  home.WriteFile("Language/MLangCHT.ini", "[MainString]\nTabPos=\xA6\xEC\xB8\x6D\n");
  MakeWindow();
  QTabWidget* pages = window->PageControl();
  EXPECT_EQ(window->windowTitle(), "Wartung");
  EXPECT_EQ(pages->tabText(0), "Arbeit");
  EXPECT_EQ(pages->tabText(2), "");
  EXPECT_EQ(pages->tabText(1), "Position") << "the English file lacks the key";
  EXPECT_EQ(Find<StringGrid>("gridLocalVar")->Cell(1, 0), "Wert");

  home.WriteFile("Talvo-Maintenance.ini", "[OPTIONS]\nLANGUAGE=0\n");
  ReopenWindow();
  EXPECT_EQ(window->PageControl()->tabText(1), QString::fromUtf8("位置"));
  EXPECT_EQ(window->PageControl()->tabText(0), "Work");
}

TEST_F(FrameOffline, RepairedLanguageAndUserLanguageWithoutItsFile) {
  MakeWindow("LANGUAGE=7\n");
  EXPECT_EQ(window->Language().Code(), 2);
  EXPECT_NE(home.ReadFile("Talvo-Maintenance.ini").find("LANGUAGE=2"), std::string::npos);

  home.WriteFile("Talvo-Maintenance.ini", "[OPTIONS]\nLANGUAGE=3\n");
  ReopenWindow();
  EXPECT_EQ(window->PageControl()->tabText(3), "Alarm");
  EXPECT_EQ(window->DisplayStrings().Path().filename(), "Dsp.str");
}

TEST_F(FrameOffline, ShowKeysHideTabsButNeverTheOptionPage) {
  std::string settings;
  for (const char* key : {"WORK_SHOW", "POS_SHOW", "PLC_SHOW", "ALARM_SHOW", "PARAM_SHOW",
                          "USERPARAM_SHOW", "USERPARAM2_SHOW", "HARDWARE_SHOW",
                          "MACHINEDATA_SHOW", "NCFILES_SHOW", "UPGRADE_SHOW"})
    settings += std::string(key) + "=0\n";
  MakeWindow(settings);
  QTabWidget* pages = window->PageControl();
  for (int i = 0; i < 11; ++i) EXPECT_FALSE(pages->isTabVisible(i)) << i;
  EXPECT_TRUE(pages->isTabVisible(11));

  home.WriteFile("Talvo-Maintenance.ini", "[OPTIONS]\nPLC_SHOW=0\nUSERPARAM2_SHOW=0\n");
  ReopenWindow();
  EXPECT_FALSE(window->PageControl()->isTabVisible(2));
  EXPECT_FALSE(window->PageControl()->isTabVisible(6));
  EXPECT_TRUE(window->PageControl()->isTabVisible(7));
}

TEST_F(FrameOffline, DemoModeMarksTheCaptionAndNeverConnects) {
  MakeWindow("DEMOMODE=1\nLANGUAGE=2\n[MACHINEDATA]\nCNCCOUNT=1\nCNCNAME0=A\nCNCIP0=127.0.0.1\n");
  EXPECT_EQ(window->windowTitle(), "Talvo-Maintenance DEMO");
  EXPECT_EQ(window->DisplayStrings().Path().filename(), "Dsp.str");
  window->ConnectMachine(0);
  EXPECT_EQ(window->Service().GetProcessKind(), pkNone);
  EXPECT_FALSE(window->ConnectToAddress("127.0.0.1"));
}

TEST_F(FrameOffline, MachineMenuFollowsTheList) {
  MakeWindow();  // no MACHINEDATA: a first start holds no machine
  QList<QAction*> items = window->MachineMenu()->actions();
  ASSERT_EQ(items.size(), 1);
  EXPECT_TRUE(items[0]->isVisible()) << "an empty list says where machines are added";
  EXPECT_FALSE(items[0]->isEnabled());
  EXPECT_EQ(items[0]->text(), "No machines yet: add one with Machines");

  window->Machines().Add();
  window->Machines().SetName(0, "Mill 7");
  window->Machines().SetIp(0, "10.0.0.7");
  window->BuildMachineMenu();
  items = window->MachineMenu()->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "Mill 7-10.0.0.7");
  EXPECT_EQ(window->CheckConnectedMachine(), -1) << "nothing is connected";
}

TEST_F(FrameOffline, ANewHomeGetsTheFoldersItsPagesStartIn) {
  for (const char* folder : {"Resource", "Ncfiles"}) std::filesystem::remove_all(home.Path(folder));
  MakeWindow();
  EXPECT_TRUE(std::filesystem::is_directory(home.Path("Resource")));
  EXPECT_TRUE(std::filesystem::is_directory(home.Path("Ncfiles"))) << "else the PC list is empty and its free space blank";
}

TEST_F(FrameOffline, NothingIsWrittenAtShutdown) {
  MakeWindow("LastSysType=1\n");
  const std::string before = home.ReadFile("Talvo-Maintenance.ini");
  window->close();
  CloseWindow();
  EXPECT_EQ(home.ReadFile("Talvo-Maintenance.ini"), before);
}

TEST_F(FrameOffline, AnExceptionEscapingAnEventHandlerIsShownLoggedAndSurvived) {
  MakeWindow();
  auto* application = dynamic_cast<TApplication*>(QCoreApplication::instance());
  ASSERT_NE(application, nullptr);
  std::vector<QString> lines, boxes;
  application->SetExceptionLines([&](const QString& text) { lines.push_back(text); });
  SetMessageBoxAnswerer([&](const TMessageBox& box) {
    boxes.push_back(box.text);
    return box.defaultButton;
  });
  QTimer::singleShot(0, window, [] { throw std::runtime_error("table damaged"); });
  bool later = false;
  QTimer::singleShot(20, window, [&] { later = true; });
  EXPECT_TRUE(RunUntil([&] { return later; })) << "the events after it are still delivered";
  SetMessageBoxAnswerer(nullptr);
  application->SetExceptionLines(nullptr);
  EXPECT_EQ(boxes, std::vector<QString>{"Internal error: table damaged"});
  EXPECT_EQ(lines, boxes);
}

TEST(ConnectionTexts, DisconnectReasonsAndCountdown) {
  TLanguage language("/nonexistent/", 2);
  const struct {
    EProcessKind kind;
    EConnectState state;
    int level;
    const char* reason;
  } cases[] = {{pkConnecting, csConnecting, 503, "-Exclude"},
               {pkConnecting, csConnecting, 500, "-None"},
               {pkConnecting, csConnecting, -1, "-Failed"},
               {pkConnecting, csConnecting, -2, "(-2)"},
               {pkConnecting, csConnecting, 999, ""},
               {pkConnecting, csConnecting, 0, ""},
               {pkConnecting, csGetVersion, 503, ""},
               {pkGetInformation, csConnecting, 503, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(DisconnectReason(language, c.kind, c.state, c.level), c.reason) << c.level;
  EXPECT_EQ(CountdownSuffix(1500), " ( 1.5 )");
  EXPECT_EQ(CountdownSuffix(100), " ( 0.1 )");
  EXPECT_EQ(CountdownSuffix(0), " ( 0.0 )");
}

TEST(ConnectionTexts, KeyParameterValues) {
  const char* letters[] = {"A", "B", "C", "U", "V", "W", " ", " "};
  for (int value = 0; value < 8; ++value) EXPECT_EQ(AxisLetter(value), letters[value]) << value;
  EXPECT_EQ(AxisLetter(-1), " ");
  EXPECT_EQ(ControllerLanguage(0, 1), 2);
  EXPECT_EQ(ControllerLanguage(1, 2), 0);
  EXPECT_EQ(ControllerLanguage(2, 2), 1);
  EXPECT_EQ(ControllerLanguage(5, 2), 2);
}

TEST(ConnectionTexts, FileJobFailures) {
  ProgramHome home;
  home.WriteFile("Language/MLangENG.ini", "[FileString]\nERROR_NC_FILE_ERROR_MSG2=not found\n");
  TLanguage language(home.Text(), 2);
  EXPECT_EQ(FileJobErrorText(language, pkReceiveFile, 2), "Failure: not found(2)");
  EXPECT_EQ(FileJobErrorText(language, pkFileDelete, 13), "Delete failre: (13)");
  EXPECT_EQ(FileJobErrorText(language, pkDirCreate, -65), "Create directory failure: (-65)");
  EXPECT_EQ(FileJobErrorText(language, pkFileRename, 9), "Rename failure: (9)");
  EXPECT_EQ(FileJobErrorText(language, pkGetFileList, 2), "");
}

// --- Against the simulator -----------------------------------------------------------------

class FrameConnected : public FrameTest {};

TEST_F(FrameConnected, ConnectingThenConnectedDisplay) {
  MakeWindow("[MACHINEDATA]\nCNCCOUNT=1\nCNCNAME0=Sim\nCNCIP0=" + sim->Address() + "\n");
  window->ConnectMachine(0);
  EXPECT_TRUE(RunUntil([&] { return Text("LabelConnectStatus").startsWith("Connecting..."); }));
  EXPECT_EQ(window->windowTitle(), QString::fromStdString("Talvo-Maintenance [Sim-" + sim->Address() + "]"));
  EXPECT_TRUE(window->MachineMenu()->actions()[0]->isChecked());
  ASSERT_TRUE(RunUntil([&] { return Completed(); }));
  EXPECT_EQ(Text("LabelConnectStatus"), "Connect");
  EXPECT_EQ(Find<Lamp>("ShapeConnect1")->Color(), colors::kBlue);
  EXPECT_EQ(Find<Lamp>("ShapeConnect2")->Color(), colors::kBlue);
  EXPECT_TRUE(Find<QPushButton>("SpeedButtonSendMsgToNc")->isEnabled());
  EXPECT_EQ(window->Activity(), maIdle);
  EXPECT_EQ(window->SystemType(), 0) << "the simulator's version text names a mill";
  EXPECT_EQ(Find<StringGrid>("StringGridOffsetSetCoord")->ColCount(), 307);
  EXPECT_EQ(Find<StringGrid>("gridLocalVar")->RowCount(), 34);
  EXPECT_EQ(Find<StringGrid>("gridGlobalVar")->RowCount(), 1001);
  // The simulator's key parameters: 122 = 0, 288 = 1, 289 = 2.
  const std::array<QString, 6> letters{"X", "Y", "Z", "A", "B", "C"};
  EXPECT_EQ(window->AxisLetters(), letters);
  EXPECT_EQ(window->ControllerLanguage(), 2);
  EXPECT_EQ(Text("LabelOffsetSetCoord4"), "A");
  // The mode and status texts of the Work page come from the display strings.
  EXPECT_TRUE(RunUntil([&] { return !Text("StaticTextWorkMode").isEmpty(); }));

  window->MachineMenu()->actions()[0]->trigger();
  RunFor(std::chrono::milliseconds(200));
  EXPECT_EQ(window->Service().GetProcessKind(), pkGetInformation)
      << "choosing the connected machine again neither disconnects nor reconnects";
  EXPECT_EQ(sim->Stats()["connections"], 1);

  Find<QPushButton>("SpeedButtonDisconnect")->click();
  EXPECT_TRUE(RunUntil([&] { return Text("LabelConnectStatus") == "DisConnect"; }));
  EXPECT_EQ(Find<Lamp>("ShapeConnect1")->Color(), colors::kDarkGreen);
  EXPECT_EQ(window->windowTitle(), "Talvo-Maintenance");
  EXPECT_FALSE(Find<QPushButton>("SpeedButtonSendMsgToNc")->isEnabled());
  EXPECT_TRUE(window->StopLoading());
}

TEST_F(FrameConnected, AxisLettersComeFromWhatTheControllerSent) {
  sim->Command("param 122 4");
  sim->Command("param 288 7");
  sim->Command("param 202 1");
  MakeWindow();
  ConnectAndComplete();
  const std::array<QString, 6> letters{"X", "Y", "Z", "V", " ", "C"};
  EXPECT_EQ(window->AxisLetters(), letters);
  EXPECT_EQ(window->ControllerLanguage(), 0);
  EXPECT_EQ(Find<StringGrid>("gridMTools")->Cell(5, 0), "V");
  EXPECT_EQ(window->findChild<QWidget*>("Coord1_ABS")->findChild<QLabel*>("Label4")->text(), "V");

  // A second connection starts from an emptied cache: its first values are no answers.
  window->Service().CloseConnect();
  ASSERT_TRUE(RunUntil([&] { return window->Service().GetProcessKind() == pkNone; }));
  sim->Command("param 122 5");
  ConnectAndComplete();
  EXPECT_EQ(window->AxisLetters()[3], "W");
}

TEST_F(FrameConnected, PageChangeIsRefusedWhileAFileJobRuns) {
  MakeWindow();
  ConnectAndComplete();
  QTabBar* tabs = window->PageControl()->tabBar();
  window->show();
  // A download the simulator answers slowly keeps the service busy.
  const std::string big(200000, 'x');
  {
    std::filesystem::create_directories(sim->Root() / "C" / "NCFILES");
    std::ofstream(sim->Root() / "C" / "NCFILES" / "BIG.NC") << big;
  }
  sim->Command("stall 50");
  ASSERT_TRUE(window->Service().ReceiveFile("C:\\NCFILES\\BIG.NC", home.Text() + "BIG.NC"));
  ASSERT_TRUE(RunUntil([&] { return window->Service().GetProcessKind() == pkReceiveFile; }));
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_EQ(window->PageControl()->currentIndex(), 0);
  // Ctrl+Tab reaches the page control, not the tab bar: the job keeps its page all the same.
  QTest::keyClick(window->PageControl(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(window->PageControl()->currentIndex(), 0);
  QTest::keyClick(window->PageControl(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(window->PageControl()->currentIndex(), 0);
  window->Service().CancelCommand();
  sim->Command("stall 0");
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_EQ(window->PageControl()->currentIndex(), 1);
}

TEST_F(FrameConnected, ParameterIndexSizesTheGroupGridsAndABadOneKeepsThem) {
  MakeWindow();
  ConnectAndComplete();
  const ParamIndex& index = window->ParamDescriptors();
  auto grid = [&](int sheet) { return Find<StringGrid>(("StringGridSysParamGroup" + std::to_string(sheet)).c_str()); };
  EXPECT_EQ(Find<StringGrid>("StringGridSysParamAll")->RowCount(), 2001);
  ASSERT_GT(index.GroupCount[0], 0);
  EXPECT_EQ(grid(1)->RowCount(), 1 + index.GroupCount[0]);
  EXPECT_EQ(grid(8)->RowCount(), 1 + index.GroupCount[10]);
  const int rows = grid(1)->RowCount();

  // A damaged index on the controller: the box says so, the tables stay as they were.
  window->Service().CloseConnect();
  ASSERT_TRUE(RunUntil([&] { return window->Service().GetProcessKind() == pkNone; }));
  vandir::test::WriteBytes(sim->Root() / "C" / "RESOURCE" / "PARAM.IDX", "not an index");
  std::vector<QString> boxes;
  SetMessageBoxAnswerer([&](const TMessageBox& box) {
    boxes.push_back(box.text);
    return box.defaultButton;
  });
  ConnectAndComplete();
  SetMessageBoxAnswerer(nullptr);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Paramater Index File is Incorrect");
  EXPECT_EQ(grid(1)->RowCount(), rows);
  EXPECT_EQ(window->ParamDescriptors().GroupCount[0], index.GroupCount[0]);

  // A first program on that controller has no tables to keep: the page reports the index
  // once and its loading panel stays.
  ReopenWindow();
  boxes.clear();
  SetMessageBoxAnswerer([&](const TMessageBox& box) {
    boxes.push_back(box.text);
    return box.defaultButton;
  });
  ConnectAndComplete();
  auto* panel = Find<QLabel>("PanelGetParam");
  EXPECT_TRUE(RunUntil([&] { return !boxes.empty() && panel->text() == boxes[0]; }));
  SetMessageBoxAnswerer(nullptr);
  EXPECT_EQ(boxes, std::vector<QString>{"Paramater Index File is Incorrect"});
}

// Pages shown while a new connection waits for its key parameters (NC Files sets an
// activity of its own) must not end the wait: the connection completes all the same.
TEST_F(FrameConnected, PagesShownWhileTheKeyParametersAreAwaitedLeaveTheWaitRunning) {
  MakeWindow();
  window->show();
  ASSERT_TRUE(window->ConnectToAddress(sim->Address()));
  // Slow replies once the sequence is through, so the wait lasts long enough to act in it.
  ASSERT_TRUE(RunUntil([&] { return window->Service().GetConnectState() == csConnected; }));
  sim->Command("stall 100");
  ASSERT_TRUE(RunUntil([&] { return window->Activity() == maParamWait; }));
  ASSERT_FALSE(Completed());
  QTabWidget* pages = window->PageControl();
  pages->setCurrentWidget(Find<QWidget>("TabSheetNCFiles"));
  QTest::keyClick(pages, Qt::Key_Tab, Qt::ControlModifier);
  pages->setCurrentWidget(Find<QWidget>("TabSheetNCFiles"));
  sim->Command("stall 0");
  ASSERT_TRUE(RunUntil([&] { return Completed(); })) << Text("LabelConnectStatus").toStdString();
  EXPECT_EQ(Text("LabelConnectStatus"), "Connect");
  EXPECT_EQ(window->Activity(), maNCFiles) << "the page shown at completion owns the file events";
}

// A parameter index of one record that every shown group names: the smallest index the
// window takes as valid.
std::string SmallestParamIndex() {
  std::string bytes = "SMALL INDEX 3.1";
  bytes.resize(32, '\0');
  const auto put16 = [&](int v) { bytes += static_cast<char>(v & 0xFF); bytes += static_cast<char>(v >> 8); };
  const auto put32 = [&](int v) { put16(v & 0xFFFF); put16(0); };
  put16(1);   // records
  put16(11);  // layout: groups 8, 9 and 10 present
  for (int group = 0; group < 11; ++group) put32(0);  // starts
  for (int group = 0; group < 11; ++group) put32(1);  // counts
  bytes += std::string(24, '\0');
  return bytes;
}

// A drop after any package of the whole connection, the key parameters included, ends
// connected through the reconnect policy. k counts up until a connection completes before
// its drop comes: then every package of it has been tried. Small controller files keep the
// connection to some forty packages.
TEST_F(FrameConnected, ADropAfterAnyPackageOfTheConnectionEndsConnected) {
  const std::filesystem::path c = sim->Root() / "C";
  vandir::test::WriteBytes(c / "MACHINE" / "ENG_MLC.ERR", "3001=DOOR OPEN\r\n");
  vandir::test::WriteBytes(c / "MACHINE" / "USRENG.STR", "19501=USER\r\n");
  vandir::test::WriteBytes(c / "RESOURCE" / "DSPE.STR", "10000=EDIT\r\n");
  vandir::test::WriteBytes(c / "RESOURCE" / "PARAM.IDX", SmallestParamIndex());
  home.WriteFile("Talvo-Maintenance.ini",
                 "[OPTIONS]\nSERVICE_PROCESS_INTERVAL=5\nRECONNECT_DELAY_TIME=0\n");
  ReopenWindow();
  QString shownAtCompletion;
  window->OnConnectionCompleted = [&] {
    ++completions;
    shownAtCompletion = Text("LabelConnectStatus");
  };
  for (long k = 0;; ++k) {
    window->Service().CloseConnect();
    ASSERT_TRUE(RunUntil([&] { return window->Service().GetProcessKind() == pkNone; }));
    sim->Command("drop-after " + std::to_string(k));
    const long handshakes = sim->Stats()["handshakes"];
    const int before = completions;
    ASSERT_TRUE(window->ConnectToAddress(sim->Address()));
    ASSERT_TRUE(RunUntil([&] { return completions > before; }))
        << "dropped after " << k << ": " << Text("LabelConnectStatus").toStdString();
    EXPECT_EQ(shownAtCompletion, "Connect") << k;
    if (sim->Stats()["handshakes"] == handshakes + 1) break;  // no drop came before completion
    ASSERT_LT(k, 200) << "the drop should have come after the connection by now";
  }
}

// After a drop the last values stay in view but greyed; another machine never shows the
// previous one's program, counts or healthy lamps under its name.
TEST_F(FrameConnected, ValuesOfALostOrPreviousMachineNeverPassForLiveOnes) {
  MakeWindow("ENABLE_RECONNECT=0\n");
  ConnectAndComplete();
  window->PageControl()->setCurrentIndex(7);
  auto* lamp = Find<Lamp>("ED1");  // an encoder without a fault is green
  ASSERT_TRUE(RunUntil([&] { return lamp->Color() == colors::kBrightGreen; }));
  window->PageControl()->setCurrentIndex(0);
  auto* mode = Find<ValueText>("StaticTextWorkMode");
  auto* parts = Find<ValueText>("NowWorkPice");
  ASSERT_TRUE(RunUntil([&] { return !mode->text().isEmpty() && !parts->text().isEmpty(); }));
  EXPECT_FALSE(mode->property("stale").toBool());

  sim->Command("drop");
  ASSERT_TRUE(RunUntil([&] { return Text("LabelConnectStatus").startsWith("DisConnect"); }))
      << Text("LabelConnectStatus").toStdString();
  EXPECT_FALSE(mode->text().isEmpty()) << "the last values stay";
  for (QWidget* shown : std::initializer_list<QWidget*>{mode, parts, lamp,
                                                        Find<StringGrid>("gridLocalVar")})
    EXPECT_TRUE(shown->property("stale").toBool()) << shown->objectName().toStdString();

  ASSERT_TRUE(window->ConnectToAddress("127.0.0.1:1"));  // another machine, unreachable
  ASSERT_TRUE(RunUntil([&] { return window->Service().GetProcessKind() == pkNone; }));
  RunFor(std::chrono::milliseconds(50));
  EXPECT_EQ(mode->text(), "");
  EXPECT_EQ(parts->text(), "");
  EXPECT_EQ(Find<ValueText>("StaticTextMainProgName")->text(), "");
  EXPECT_EQ(lamp->Color(), QColor(192, 192, 192)) << "no healthy lamp for a machine never read";

  ConnectAndComplete();
  EXPECT_FALSE(mode->property("stale").toBool());
  EXPECT_FALSE(lamp->property("stale").toBool());
  EXPECT_TRUE(RunUntil([&] { return !mode->text().isEmpty(); }));
}

TEST_F(FrameConnected, ADropDuringTheConnectIsCountedDownAndConnectedAgain) {
  MakeWindow("RECONNECT_DELAY_TIME=1\n");
  sim->Command("drop-after 4");
  std::vector<QString> captions;
  QObject::connect(window, &QWidget::windowTitleChanged,
                   [&](const QString& title) { captions.push_back(title); });
  ASSERT_TRUE(window->ConnectToAddress(sim->Address()));
  ASSERT_TRUE(RunUntil([&] { return Completed(); }, std::chrono::seconds(20)));
  EXPECT_EQ(Text("LabelConnectStatus"), "Connect");
  const bool countedDown = std::any_of(captions.begin(), captions.end(), [](const QString& c) {
    return c.startsWith("Talvo-Maintenance ( ") && c.endsWith(" )");
  });
  EXPECT_TRUE(countedDown) << "the caption counts the seconds to the next attempt";
}

TEST_F(FrameConnected, AStalledControllerLeavesTheWindowAnswering) {
  MakeWindow("ENABLE_RECONNECT=0\n");
  sim->Command("stall 8000");
  ASSERT_TRUE(window->ConnectToAddress(sim->Address()));
  const auto start = std::chrono::steady_clock::now();
  RunFor(std::chrono::milliseconds(500));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500))
      << "the event loop kept running";
  EXPECT_TRUE(Text("LabelConnectStatus").startsWith("Connecting..."));
  // Without an answer for six seconds the link counts as lost.
  EXPECT_TRUE(RunUntil([&] { return Text("LabelConnectStatus").startsWith("DisConnect"); },
                       std::chrono::seconds(20)));
  sim->Command("stall 0");
}

TEST_F(FrameConnected, AlarmsFlashUntilTheyAreCleared) {
  MakeWindow("AlarmWarnFlashTimer=20\n");
  ConnectAndComplete();
  auto* alarmBox = Find<QWidget>("AlarmGroup");
  auto* lamp1 = Find<Lamp>("ShapeAlarm1");
  auto* lamp2 = Find<Lamp>("ShapeAlarm2");
  sim->Command("alarm 3015");
  ASSERT_TRUE(RunUntil([&] { return Find<QLabel>("LabelAlarm")->isEnabled(); }));
  // The lamps take turns and the box blinks between red and its usual colour.
  bool lampsSwapped = false, boxRed = false, boxPlain = false;
  const QColor first = lamp1->Color();
  RunUntil([&] {
    lampsSwapped |= lamp1->Color() != first && lamp1->Color() != lamp2->Color();
    const QColor box = alarmBox->property("color").value<QColor>();
    boxRed |= box == colors::kRed;
    boxPlain |= !box.isValid();
    return lampsSwapped && boxRed && boxPlain;
  });
  EXPECT_TRUE(lampsSwapped && boxRed && boxPlain);
  EXPECT_FALSE(Find<QLabel>("LabelWarning")->isEnabled()) << "no warning is active";

  sim->Command("alarm-clear");
  ASSERT_TRUE(RunUntil([&] { return !Find<QLabel>("LabelAlarm")->isEnabled(); }));
  EXPECT_EQ(lamp1->Color(), colors::kDarkRed);
  EXPECT_EQ(lamp2->Color(), colors::kDarkRed);
  EXPECT_FALSE(alarmBox->property("color").value<QColor>().isValid());
}

TEST_F(FrameConnected, MachineDataJobReportsToItsPage) {
  MakeWindow();
  ConnectAndComplete();
  std::vector<QString> boxes;
  SetMessageBoxAnswerer([&](const TMessageBox& box) {
    boxes.push_back(box.text);
    return box.defaultButton;
  });
  TTalvoService& service = window->Service();
  window->SetActivity(maMachineDownload);
  ASSERT_TRUE(service.BeginCommandList());
  service.ReceiveFile("C:\\MACHINE\\PLCIO.CFG", home.Text() + "PLCIO.CFG");
  service.ReceiveFile("C:\\MACHINE\\GRAPH.DAT", home.Text() + "GRAPH.DAT");
  ASSERT_TRUE(service.EndCommandList(true));
  ASSERT_TRUE(RunUntil([&] { return !boxes.empty(); }));
  EXPECT_EQ(boxes, std::vector<QString>{"FINISH"});
  EXPECT_EQ(Text("LabelMachineDataFileName"), "") << "the page empties it once the list is done";
  EXPECT_EQ(Find<QProgressBar>("ProgressBarMachineFiles")->value(), 100);
  EXPECT_EQ(Text("LabelMachineFilesPercentage"), "100%");

  // A file the controller does not have: the failure is reported, no FINISH follows.
  boxes.clear();
  window->SetActivity(maHistory);
  ASSERT_TRUE(service.ReceiveFile("C:\\MACHINE\\NONE.LOG", home.Text() + "NONE.LOG"));
  ASSERT_TRUE(RunUntil([&] { return !boxes.empty(); }));
  RunFor(std::chrono::milliseconds(100));
  SetMessageBoxAnswerer(nullptr);
  EXPECT_EQ(boxes, std::vector<QString>{"Failure: (2)"});
}

class FrameLathe : public FrameTest {
 protected:
  FrameLathe() : FrameTest(vandir::test::Simulator::Options{.lathe = true, .extraArgs = {}}) {}
};

TEST_F(FrameLathe, LatheVersionGivesTheLatheLayout) {
  MakeWindow();
  EXPECT_EQ(window->SystemType(), 0);
  ConnectAndComplete();
  EXPECT_EQ(window->SystemType(), 1);
  EXPECT_NE(home.ReadFile("Talvo-Maintenance.ini").find("LastSysType=1"), std::string::npos);
  auto* offsets = Find<StringGrid>("StringGridOffsetSetCoord");
  EXPECT_EQ(offsets->ColCount(), 7);
  EXPECT_EQ(offsets->RowCount(), 5);
  EXPECT_EQ(offsets->Cell(6, 0), "G59");
  EXPECT_EQ(Find<StringGrid>("gridLocalVar")->RowCount(), 50);
  EXPECT_EQ(Find<StringGrid>("gridLocalVar")->Cell(0, 49), "  49");
  EXPECT_EQ(Find<StringGrid>("gridGlobalVar")->RowCount(), 101);
  EXPECT_FALSE(Find<QLabel>("LabelOffsetSetCoord5")->isVisibleTo(window));
  EXPECT_FALSE(Find<ValueText>("StaticTextMCode2")->isVisibleTo(window));
  EXPECT_EQ(Find<QStackedWidget>("TypePage")->currentWidget()->objectName(), "Lathe");
  EXPECT_EQ(window->Infos().LatheTools.GetService(), &window->Service());
  EXPECT_EQ(window->Infos().G54P.GetService(), nullptr);
  EXPECT_EQ(window->Infos().MacroVariable.LocalCount(), 49);
  EXPECT_EQ(window->Infos().MacroVariable.GlobalCount(), 100);
}

class FrameRefused : public FrameTest {
 protected:
  FrameRefused() : FrameTest(vandir::test::Simulator::Options{.login = "503", .lathe = false, .extraArgs = {}}) {}
};

TEST_F(FrameRefused, LoginRefusalShowsItsReason) {
  MakeWindow("ENABLE_RECONNECT=0\n");
  ASSERT_TRUE(window->ConnectToAddress(sim->Address()));
  EXPECT_TRUE(RunUntil([&] { return Text("LabelConnectStatus") == "DisConnect-Exclude"; }))
      << Text("LabelConnectStatus").toStdString();
  EXPECT_EQ(Find<Lamp>("ShapeConnect2")->Color(), colors::kDarkGreen);
}

}  // namespace
}  // namespace talvo::app::test
