// TFormCompare: the differences between a backup folder and the connected controller, in the
// rows talvo-cli's diff prints. It stays open beside the window; each comparison replaces the
// rows of the last.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace talvo::app {

class TLanguage;

class TFormCompare : public QDialog {
 public:
  TFormCompare(const TLanguage& language, QWidget* parent);

  // `rows` are UTF-8.
  void ShowRows(const std::vector<std::string>& rows);

 private:
  QPlainTextEdit* MemoCompare;
  QPushButton* ButtonCompareClose;
};

}  // namespace talvo::app
