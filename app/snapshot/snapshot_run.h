// An unattended look at the whole window for support staff, documentation and tests: once
// the connection is complete, every visible page in tab order is shown and let fill, then
// saved as a PNG of the whole window; then the Trends window samples for a few seconds and
// is saved too, and everything named is written to snapshot.json.
#pragma once

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

namespace talvo::app {

class TFormMain;

class TSnapshotRun : public QObject {
 public:
  // The process exits through QApplication::exit: 0 when written, 3 without a connection
  // completion within `connectLimit` (the reason on stderr), 4 when the files cannot be written.
  TSnapshotRun(TFormMain& window, QString folder,
               std::chrono::milliseconds connectLimit = std::chrono::seconds(30));
  ~TSnapshotRun() override;

 private:
  void ConnectionCompleted();
  void ShowPage(int index);
  void WaitForFill();
  void SavePage();
  void StartTrends();
  void SaveTrends();
  void Finish();
  void Fail(int status, const QString& reason);

  TFormMain& window_;
  QString folder_;
  QTimer connectTimer_;
  QTimer fillTimer_;
  bool started_ = false;
  int pageIndex_ = -1;
  QElapsedTimer firstIdle_;
  QJsonArray pages_;
  QJsonArray dialogs_;
  QJsonObject trends_;
};

}  // namespace talvo::app
