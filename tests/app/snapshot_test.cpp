// --snapshot: the program connects, shows every visible page, and leaves one picture per
// page and a description of the whole window for support staff and tests.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "app/snapshot/snapshot_run.h"
#include "tests/app/frame_fixture.h"
#include "tests/support/file_bytes.h"

namespace talvo::app::test {
namespace {

QJsonObject ReadJson(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QJsonDocument::fromJson(file.readAll()).object();
}

class Snapshot : public FrameTest {
 protected:
  QString Folder() const { return QString::fromStdString(home.Path("shots").string()); }
  // The pages of the last snapshot.json, by name.
  QJsonObject PagesByName() const {
    QJsonObject pages;
    for (const QJsonValue page : ReadJson(Folder() + "/snapshot.json")["pages"].toArray())
      pages[page.toObject()["name"].toString()] = page;
    return pages;
  }
  // Runs the program connected to the simulator with --snapshot; its exit code.
  int RunSnapshot() {
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.remove("TALVO_HOME");
    program.setProcessEnvironment(environment);
    program.start(TALVO_PROGRAM_DIR "/Talvo-Maintenance",
                  {"--home", QString::fromStdString(home.Text()), "--connect",
                   QString::fromStdString(sim->Address()), "--snapshot", Folder()});
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit) return -1;
    return program.exitCode();
  }
};

TEST_F(Snapshot, TheProgramLeavesAPicturePerVisiblePageAndTheWindowAsData) {
  home.WriteFile("Talvo-Maintenance.ini", "[OPTIONS]\nPLC_SHOW=0\n");
  ASSERT_EQ(RunSnapshot(), 0);

  const QJsonObject snapshot = ReadJson(Folder() + "/snapshot.json");
  EXPECT_EQ(snapshot["caption"].toString(), "Talvo-Maintenance")
      << "connected through --connect: the machine list names no such machine";
  const QJsonObject frame = snapshot["frame"].toObject();
  EXPECT_EQ(frame["LabelConnectStatus"].toObject()["text"].toString(), "Connect");
  EXPECT_EQ(frame["ShapeConnect1"].toObject()["color"].toString(), "#0000ff");
  EXPECT_FALSE(frame.contains("TabSheetWork")) << "pages are described one by one";

  const QJsonArray pages = snapshot["pages"].toArray();
  const QStringList expected = {"TabSheetWork",      "TabSheetPos",       "TabSheetAlarm",
                                "TabSheetParam",     "TabSheetUserParam", "TabSheetUserParam2",
                                "TabSheetHardware",  "TabSheetMachine",   "TabSheetNCFiles",
                                "TabSheetUpgrade",   "TabSheetOption"};
  ASSERT_EQ(pages.size(), expected.size());
  for (int i = 0; i < pages.size(); ++i) {
    const QString name = pages[i].toObject()["name"].toString();
    EXPECT_EQ(name, expected[i]);
    const QImage picture(Folder() + "/" + name + ".png");
    EXPECT_EQ(picture.size(), QSize(1024, 768)) << name.toStdString();
  }
  EXPECT_FALSE(QFile::exists(Folder() + "/TabSheetPLC.png"));

  const QJsonObject position = pages[1].toObject();
  EXPECT_EQ(position["title"].toString(), "Position");
  const QJsonObject machineX =
      position["widgets"].toObject()["Coord3_MAC/Pos1"].toObject();
  EXPECT_EQ(machineX["class"].toString(), "ValueText");
  EXPECT_TRUE(machineX["visible"].toBool());
  EXPECT_FALSE(machineX["text"].toString().isEmpty());
  const QJsonObject offsets = position["grids"].toObject()["StringGridOffsetSetCoord"].toObject();
  EXPECT_EQ(offsets["rows"].toInt(), 7);
  EXPECT_EQ(offsets["cols"].toInt(), 307);
  EXPECT_EQ(offsets["cells"].toArray()[0].toArray()[7].toString(), "G54P1");
  // A milling machine: its tool grid shows, the lathe's beside it is hidden.
  const QJsonObject grids = position["grids"].toObject();
  EXPECT_TRUE(grids["gridMTools"].toObject()["visible"].toBool());
  EXPECT_FALSE(grids["gridGeom"].toObject()["visible"].toBool());
  EXPECT_TRUE(grids["gridMTools"].toObject()["enabled"].toBool());
}

// The pages that list the controller's alarms and parameters show them filled in.
TEST_F(Snapshot, AlarmAndParameterPagesAreFilledIn) {
  sim->Command("alarm 1001");
  sim->Command("warning 2000");
  sim->Command("param 141 77");
  sim->Command("param 1843 5");
  sim->Command("register 5 42");
  home.WriteFile("Talvo-Maintenance.ini",
                 "[OPTIONS]\nWORK_SHOW=0\nPOS_SHOW=0\nPLC_SHOW=0\nHARDWARE_SHOW=0\n"
                 "MACHINEDATA_SHOW=0\nNCFILES_SHOW=0\nUPGRADE_SHOW=0\n");
  ASSERT_EQ(RunSnapshot(), 0);

  const QJsonObject pages = PagesByName();
  const auto widget = [&](const char* page, const char* name) {
    return pages.value(QString(page)).toObject().value("widgets").toObject().value(name).toObject();
  };
  const auto cells = [&](const char* page, const char* grid) {
    const QJsonObject grids = pages.value(QString(page)).toObject().value("grids").toObject();
    return grids.value(grid).toObject().value("cells").toArray();
  };
  EXPECT_EQ(widget("TabSheetAlarm", "AlarmMassage")["text"].toString(), "1001::PROGRAM NOT FOUND");
  EXPECT_EQ(widget("TabSheetAlarm", "WarningMassage")["text"].toString(),
            "2001::AIR PRESSURE LOW");

  EXPECT_FALSE(widget("TabSheetParam", "PanelGetParam")["visible"].toBool());
  const QJsonArray all = cells("TabSheetParam", "StringGridSysParamAll");
  ASSERT_EQ(all.size(), 2001);
  const QJsonArray parameter141 = all[141].toArray();
  EXPECT_EQ(parameter141[0].toString(), "0141");
  EXPECT_EQ(parameter141[1].toString(), "Servo");
  EXPECT_EQ(parameter141[2].toString(), "77");
  EXPECT_EQ(parameter141[4].toString(), "Axis 1 velocity feed-forward (%)");

  const QJsonArray user = cells("TabSheetUserParam", "UserParamGrid");
  EXPECT_EQ(user[1].toArray()[0].toString(), "001 - D051");
  EXPECT_FALSE(user[1].toArray()[2].toString().isEmpty());
  const QJsonArray user2 = cells("TabSheetUserParam2", "UserParamGrid2");
  EXPECT_EQ(user2[1].toArray()[0].toString(), "001 - R005");
  EXPECT_EQ(user2[1].toArray()[1].toString(), "42");
  EXPECT_FALSE(user2[40].toArray()[3].toString().isEmpty());
}

// The live pages show what the controller was told, in their formats.
TEST_F(Snapshot, WorkPlcAndHardwarePagesShowTheControllersValues) {
  for (const char* line :
       {"set program O0042", "set mode 3", "set feed-override 12.9", "set worktime 3725000",
        "gcode 0 17", "local 1 1.7976931348623157e308", "backup 55 1", "backup 73 7",
        "plc I 37 1", "backup 0 12", "set hw-checks 256", "set card-code 16385", "sysvar 0 123"})
    sim->Command(line);
  home.WriteFile("Talvo-Maintenance.ini",
                 "[OPTIONS]\nPOS_SHOW=0\nALARM_SHOW=0\nPARAM_SHOW=0\nUSERPARAM_SHOW=0\n"
                 "USERPARAM2_SHOW=0\nMACHINEDATA_SHOW=0\nNCFILES_SHOW=0\nUPGRADE_SHOW=0\n");
  ASSERT_EQ(RunSnapshot(), 0);

  const QJsonObject pages = PagesByName();
  const auto widget = [&](const char* page, const char* name) {
    return pages.value(QString(page)).toObject().value("widgets").toObject().value(name).toObject();
  };
  const auto cell = [&](const char* page, const char* grid, int col, int row) {
    const QJsonObject grids = pages.value(QString(page)).toObject().value("grids").toObject();
    return grids.value(grid).toObject().value("cells").toArray()[row].toArray()[col].toString();
  };
  const struct {
    const char* page;
    const char* name;
    const char* key;
    const char* shown;
  } widgets[] = {
      {"TabSheetWork", "StaticTextMainProgName", "text", "O0042"},
      {"TabSheetWork", "StaticTextWorkMode", "text", "JOG"},
      {"TabSheetWork", "StaticTextFeedRatePer", "text", "12"},
      {"TabSheetWork", "CutTime", "text", "1:2:5"},
      {"TabSheetWork", "SpindleT", "text", "7"},
      {"TabSheetHardware", "CardType", "text", "unknow"},
      {"TabSheetHardware", "ED3", "color", "#ff0000"},
      {"TabSheetHardware", "ED1", "color", "#00ff00"},
  };
  for (const auto& w : widgets)
    EXPECT_EQ(widget(w.page, w.name)[w.key].toString(), w.shown) << w.name;
  const struct {
    const char* page;
    const char* grid;
    int col, row;
    const char* shown;
  } cells[] = {
      {"TabSheetWork", "StringGridGroup", 0, 0, "G17"},
      {"TabSheetWork", "gridLocalVar", 1, 2, "VACANT"},
      {"TabSheetPLC", "gridIBit", 8, 4, "1"},
      {"TabSheetPLC", "gridDRegister", 1, 1, "12"},
      {"TabSheetHardware", "gridSystemInfo", 1, 1, "123"},
      {"TabSheetHardware", "gridSystemInfo", 2, 2, "CPU load (%, limit 100 %)"},
  };
  for (const auto& c : cells)
    EXPECT_EQ(cell(c.page, c.grid, c.col, c.row), c.shown) << c.grid << " " << c.col << "," << c.row;
}

TEST_F(Snapshot, PositionPageShowsTheControllersPositionsOffsetsAndTools) {
  for (const char* line :
       {"position absolute 125000 -1 0 0 0 0", "position handle 1234 0 0 0 0 0",
        "position base 0 0 0 0 0 0", "position g55 0 0 -20000 0 0 0",
        "position g54p12 0 0 0 0 0 5", "tool 3 radius 12500", "tool 3 length6 -125",
        "tool 25 tdc 25", "tool 25 tdc-time 1.5"})
    sim->Command(line);
  home.WriteFile("Talvo-Maintenance.ini",
                 "[OPTIONS]\nWORK_SHOW=0\nPLC_SHOW=0\nALARM_SHOW=0\nPARAM_SHOW=0\n"
                 "USERPARAM_SHOW=0\nUSERPARAM2_SHOW=0\nHARDWARE_SHOW=0\nMACHINEDATA_SHOW=0\n"
                 "NCFILES_SHOW=0\nUPGRADE_SHOW=0\n");
  ASSERT_EQ(RunSnapshot(), 0);

  const QJsonObject page = ReadJson(Folder() + "/snapshot.json")["pages"].toArray()[0].toObject();
  ASSERT_EQ(page["name"].toString(), "TabSheetPos");
  const QJsonObject widgets = page["widgets"].toObject();
  EXPECT_EQ(widgets["Coord1_ABS/Pos1"].toObject()["text"].toString(), "12.5000");
  EXPECT_EQ(widgets["Coord1_ABS/Pos2"].toObject()["text"].toString(), "-0.0001");
  EXPECT_EQ(widgets["Coord5_HandlePos/Pos1"].toObject()["text"].toString(), "0.1234");
  const QJsonObject grids = page["grids"].toObject();
  const struct {
    const char* grid;
    int col, row;
    const char* shown;
  } cells[] = {
      {"StringGridOffsetSetCoord", 0, 1, "0.0000"}, {"StringGridOffsetSetCoord", 2, 3, "-2.0000"},
      {"StringGridOffsetSetCoord", 18, 0, "G54P12"}, {"StringGridOffsetSetCoord", 18, 6, "0.0005"},
      {"gridMTools", 1, 3, "1.25"},                  {"gridMTools", 7, 3, "-0.0125"},
      {"StringGridTDC", 1, 25, "25"},                {"StringGridTDC", 2, 25, "1.5"},
  };
  for (const auto& c : cells) {
    const QJsonArray rows = grids[c.grid].toObject()["cells"].toArray();
    EXPECT_EQ(rows[c.row].toArray()[c.col].toString(), c.shown) << c.grid << " " << c.col << "," << c.row;
  }
}

TEST_F(Snapshot, WithoutAConnectionItEndsWithStatusThree) {
  MakeWindow("ENABLE_RECONNECT=0\n");
  TSnapshotRun run(*window, Folder(), std::chrono::milliseconds(500));
  window->ConnectToAddress("127.0.0.1:1");  // no controller answers there
  EXPECT_EQ(QApplication::exec(), 3);
  EXPECT_FALSE(QDir(Folder()).exists());
}

// The NC Files page shows both folders listed: the PC's and the controller's.
TEST_F(Snapshot, NcFilesPageListsBothFolders) {
  for (const char* name : {"O100.NC", "O200.NC", "O300.NC"})
    vandir::test::WriteBytes(sim->Root() / "C" / "NCFILES" / name, std::string(120, 'G'));
  home.WriteFile("Ncfiles/PART1.NC", "G0 X1\n");
  home.WriteFile("Ncfiles/PART2.NC", "G0 X2\n");
  home.WriteFile("Talvo-Maintenance.ini",
                 "[OPTIONS]\nWORK_SHOW=0\nPOS_SHOW=0\nPLC_SHOW=0\nALARM_SHOW=0\nPARAM_SHOW=0\n"
                 "USERPARAM_SHOW=0\nUSERPARAM2_SHOW=0\nHARDWARE_SHOW=0\nMACHINEDATA_SHOW=0\n"
                 "UPGRADE_SHOW=0\n");
  ASSERT_EQ(RunSnapshot(), 0);

  const QJsonArray pages = ReadJson(Folder() + "/snapshot.json")["pages"].toArray();
  ASSERT_FALSE(pages.isEmpty());
  const QJsonObject page = pages[0].toObject();
  ASSERT_EQ(page["name"].toString(), "TabSheetNCFiles");
  const QJsonObject grids = page["grids"].toObject();
  const auto names = [&](const char* list) {
    QStringList shown;
    for (const QJsonValue row : grids[list].toObject()["cells"].toArray())
      shown << row.toArray()[0].toString();
    return shown;
  };
  EXPECT_EQ(names("ListViewPcFile"), (QStringList{"Name", "PART1.NC", "PART2.NC"}));
  EXPECT_EQ(names("ListViewNcFile"), (QStringList{"Name", "O100.NC", "O200.NC", "O300.NC"}));
  const QJsonObject widgets = page["widgets"].toObject();
  EXPECT_EQ(widgets["EditNCFileCount"].toObject()["text"].toString(), "3");
  EXPECT_EQ(widgets["EditPCFileCount"].toObject()["text"].toString(), "2");
  EXPECT_EQ(widgets["EditNcDiskFree"].toObject()["text"].toString(), "161MB");
}

}  // namespace
}  // namespace talvo::app::test
