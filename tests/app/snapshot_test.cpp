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
};

TEST_F(Snapshot, TheProgramLeavesAPicturePerVisiblePageAndTheWindowAsData) {
  home.WriteFile("Talvo-Maintenance.ini", "[OPTIONS]\nPLC_SHOW=0\n");
  QProcess program;
  program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.remove("TALVO_HOME");
  program.setProcessEnvironment(environment);
  program.start(TALVO_PROGRAM_DIR "/Talvo-Maintenance",
                {"--home", QString::fromStdString(home.Text()), "--connect",
                 QString::fromStdString(sim->Address()), "--snapshot", Folder()});
  ASSERT_TRUE(program.waitForFinished(60000));
  ASSERT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);

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
  EXPECT_EQ(machineX["class"].toString(), "QLabel");
  EXPECT_TRUE(machineX["visible"].toBool());
  EXPECT_FALSE(machineX["text"].toString().isEmpty());
  const QJsonObject offsets = position["grids"].toObject()["StringGridOffsetSetCoord"].toObject();
  EXPECT_EQ(offsets["rows"].toInt(), 7);
  EXPECT_EQ(offsets["cols"].toInt(), 307);
  EXPECT_EQ(offsets["cells"].toArray()[0].toArray()[7].toString(), "G54P1");
}

TEST_F(Snapshot, WithoutAConnectionItEndsWithStatusThree) {
  MakeWindow("ENABLE_RECONNECT=0\n");
  TSnapshotRun run(*window, Folder(), std::chrono::milliseconds(500));
  window->ConnectToAddress("127.0.0.1:1");  // no controller answers there
  EXPECT_EQ(QApplication::exec(), 3);
  EXPECT_FALSE(QDir(Folder()).exists());
}

}  // namespace
}  // namespace talvo::app::test
