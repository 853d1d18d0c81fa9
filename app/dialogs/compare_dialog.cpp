#include "app/dialogs/compare_dialog.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/language/language.h"

namespace talvo::app {

TFormCompare::TFormCompare(const TLanguage& language, QWidget* parent) : QDialog(parent) {
  setObjectName("FormCompare");
  resize(640, 480);
  MemoCompare = new QPlainTextEdit(this);
  MemoCompare->setObjectName("MemoCompare");
  MemoCompare->setReadOnly(true);
  MemoCompare->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The rows line up their items as the command-line client's do.
  MemoCompare->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  ButtonCompareClose = new QPushButton(this);
  ButtonCompareClose->setObjectName("ButtonCompareClose");
  connect(ButtonCompareClose, &QPushButton::clicked, this, &QDialog::close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MemoCompare, 1);
  layout->addWidget(ButtonCompareClose, 0, Qt::AlignRight);

  setWindowTitle(language.Caption("FileTrans", "CompareForm"));
  ButtonCompareClose->setText(language.Caption("FileTrans", "CompareClose"));
}

void TFormCompare::ShowRows(const std::vector<std::string>& rows) {
  QStringList lines;
  for (const std::string& row : rows) lines << QString::fromStdString(row);
  MemoCompare->setPlainText(lines.join('\n'));
  show();
  raise();
  activateWindow();
}

}  // namespace talvo::app
