// Talvo-Maintenance: the maintenance workstation for the controllers of the Vandir family.
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/frame/application.h"
#include "app/frame/program_windows.h"
#include "app/settings/program_home.h"
#include "app/snapshot/snapshot_run.h"

namespace {

struct Arguments {
  std::optional<std::string> home;
  std::optional<std::string> connect;
  std::optional<QString> snapshot;
};

constexpr const char* kUsage =
    "usage: Talvo-Maintenance [--home DIR] [--connect ADDRESS] [--snapshot DIR]\n"
    "  --home DIR         program home (settings, Language/, Resource/); default $TALVO_HOME,\n"
    "                     else the executable's folder when it is a writable portable copy,\n"
    "                     else $XDG_DATA_HOME/Talvo-Maintenance (~/.local/share/...)\n"
    "  --connect ADDRESS  connect to the controller at ADDRESS at start\n"
    "  --snapshot DIR     once connected, save every page as DIR/<page>.png and\n"
    "                     DIR/snapshot.json, then exit (3: no connection within 30 s)\n";

// The program's own options; Qt has taken its own (-platform ...) already.
std::optional<Arguments> Parse(const QStringList& words) {
  Arguments arguments;
  for (int i = 1; i < words.size(); ++i) {
    const QString& word = words[i];
    const bool hasValue = i + 1 < words.size();
    if (word == "--home" && hasValue)
      arguments.home = words[++i].toStdString();
    else if (word == "--connect" && hasValue)
      arguments.connect = words[++i].toStdString();
    else if (word == "--snapshot" && hasValue)
      arguments.snapshot = words[++i];
    else
      return std::nullopt;
  }
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  talvo::app::TApplication application(argc, argv);
  QApplication::setApplicationName("Talvo-Maintenance");
  const std::optional<Arguments> arguments = Parse(QApplication::arguments());
  if (!arguments) {
    std::fputs(kUsage, stderr);
    return 1;
  }
  using namespace talvo::app;
  const std::filesystem::path executableFolder = QApplication::applicationDirPath().toStdString();
  const ProgramHome home = ChooseProgramHome({arguments->home, std::getenv("TALVO_HOME"),
                                              executableFolder, std::getenv("XDG_DATA_HOME"),
                                              std::getenv("HOME")});
  if (home.perUser && !PreparePerUserHome(home.folder, ShippedDataFolder(executableFolder))) {
    std::fprintf(stderr, "Talvo-Maintenance: cannot create the program home %s\n",
                 home.folder.c_str());
    return 1;
  }

  std::unique_ptr<TProgramWindows> windows;
  try {
    windows = std::make_unique<TProgramWindows>(home.folder);
  } catch (const std::exception& e) {
    application.ReportException(QString::fromLocal8Bit(e.what()));
    return 70;
  }
  TFormMain& window = windows->Main;
  application.SetExceptionLines(
      [&window](const QString& text) { window.Service().AddDebugMsg(text.toStdString()); });

  std::unique_ptr<TSnapshotRun> snapshot;
  if (arguments->snapshot) snapshot = std::make_unique<TSnapshotRun>(window, *arguments->snapshot);
  window.show();
  // Maximised once the window is up, as a person starts it; an unattended snapshot keeps
  // the window at its designed size so its pictures compare.
  if (snapshot)
    window.resize(TFormMain::kDesignedSize);
  else
    QTimer::singleShot(0, &window, [&window] { window.showMaximized(); });
  if (arguments->connect) window.ConnectToAddress(*arguments->connect);
  return QApplication::exec();
}
