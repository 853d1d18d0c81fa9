#include "app/dialogs/input_pad.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include <string_view>

#include "app/dialogs/optional_caption.h"

namespace talvo::app {
namespace {

using Calc = TInputCalculator;

constexpr int kWidth = 341;
constexpr int kHeight = 421;
constexpr int kFontPixels = 32;
constexpr int kTargetFontPixels = 14;

// Keys typed on the keyboard, by the button they stand for; 0 for none.
int KeyCode(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Backspace: return Calc::kBackspace;
    case Qt::Key_Escape: return Calc::kClear;
    case Qt::Key_Return:
    case Qt::Key_Enter: return '=';
    default: break;
  }
  const QString text = event.text();
  if (text.size() != 1) return 0;
  const char c = text.at(0).toLatin1();
  return c != 0 && std::string_view("0123456789.+-*/=").find(c) != std::string_view::npos ? c : 0;
}

}  // namespace

TFrmInput::TFrmInput(QWidget* parent) : QDialog(parent) {
  setObjectName("FrmInput");
  setFixedSize(kWidth, kHeight);
  QFont big = font();
  big.setPixelSize(kFontPixels);
  setFont(big);
  setFocusPolicy(Qt::StrongFocus);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 6, 6, 6);
  grid->setSpacing(4);
  QFont plain = font();
  plain.setPixelSize(kTargetFontPixels);
  LabelTarget = new QLabel(this);
  LabelTarget->setObjectName("LabelTarget");
  LabelCurrent = new QLabel(this);
  LabelCurrent->setObjectName("LabelCurrent");
  LabelCurrent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  for (QLabel* label : {LabelTarget, LabelCurrent}) {
    label->setFont(plain);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  }
  grid->addWidget(LabelTarget, 0, 0, 1, 3);
  grid->addWidget(LabelCurrent, 0, 3, 1, 1);
  LabelData = new QLabel(this);
  LabelData->setObjectName("LabelData");
  LabelData->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  LabelData->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  LabelData->setAutoFillBackground(true);
  LabelData->setBackgroundRole(QPalette::Base);
  grid->addWidget(LabelData, 1, 0, 1, 4);

  AddButton("SpeedButtonBackspace", "Backspace", Calc::kBackspace, 2, 0, 2);
  // The one long caption: a little smaller, so that it stays inside its two cells.
  QFont smaller = big;
  smaller.setPixelSize(kFontPixels * 4 / 5);
  findChild<QPushButton*>("SpeedButtonBackspace")->setFont(smaller);
  AddButton("SpeedButtonCE", "CE", Calc::kClear, 2, 2);
  AddButton("SpeedButtonOperator4", "/", '/', 2, 3);
  const char* const digitNames[] = {"SpeedButtonNum0", "SpeedButtonNum1", "SpeedButtonNum2",
                                    "SpeedButtonNum3", "SpeedButtonNum4", "SpeedButtonNum5",
                                    "SpeedButtonNum6", "SpeedButtonNum7", "SpeedButtonNum8",
                                    "SpeedButtonNum9"};
  const char* const digitCaptions[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  for (int d = 1; d <= 9; ++d)
    AddButton(digitNames[d], digitCaptions[d], '0' + d, 5 - (d - 1) / 3, (d - 1) % 3);
  AddButton("SpeedButtonOperator3", "*", '*', 3, 3);
  AddButton("SpeedButtonOperator2", "-", '-', 4, 3);
  AddButton("SpeedButtonOperator1", "+", '+', 5, 3);
  AddButton(digitNames[0], digitCaptions[0], '0', 6, 0);
  AddButton("SpeedButtonDot", ".", '.', 6, 1);
  AddButton("SpeedButtonSign", "+/-", Calc::kSign, 6, 2);
  AddButton("SpeedButtonOperator0", "=", '=', 6, 3);
  AddButton("SpeedButtonOperator5", "1/x", Calc::kReciprocal, 7, 0);
  AddButton("SpeedButtonOperator6", "x^2", Calc::kSquare, 7, 1);
  AddButton("SpeedButtonOperator7", "sqrt", Calc::kSquareRoot, 7, 2, 2);

  SpeedButtonOK = new QPushButton(this);
  SpeedButtonOK->setObjectName("SpeedButtonOK");
  SpeedButtonCancel = new QPushButton(this);
  SpeedButtonCancel->setObjectName("SpeedButtonCancel");
  for (QPushButton* button : {SpeedButtonOK, SpeedButtonCancel}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
  }
  grid->addWidget(SpeedButtonOK, 8, 0, 1, 2);
  grid->addWidget(SpeedButtonCancel, 8, 2, 1, 2);
  connect(SpeedButtonOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(SpeedButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

  setWindowTitle(OptionalCaption(nullptr, "InputNumeric", "Form"));
  SpeedButtonOK->setText(OptionalCaption(nullptr, "InputNumeric", "SpeedButtonOK_Label"));
  SpeedButtonCancel->setText(OptionalCaption(nullptr, "InputNumeric", "SpeedButtonCancel_Label"));
  ShowDisplay();
}

// The buttons never take the focus: every key reaches the pad itself.
void TFrmInput::AddButton(const char* name, const char* caption, int code, int row, int col,
                          int colSpan) {
  auto* button = new QPushButton(QString::fromLatin1(caption), this);
  button->setObjectName(name);
  button->setFocusPolicy(Qt::NoFocus);
  button->setAutoDefault(false);
  button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
  static_cast<QGridLayout*>(layout())->addWidget(button, row, col, 1, colSpan);
  connect(button, &QPushButton::clicked, this, [this, code] { Press(code); });
}

void TFrmInput::SetDisplay(const QString& text, bool selected) {
  calculator_.SetDisplay(text.toLatin1().toStdString());
  startSelected_ = selected;
  ShowDisplay();
}

void TFrmInput::SetTarget(const QString& what, const QString& current) {
  LabelTarget->setText(what);
  LabelTarget->setToolTip(what);
  LabelCurrent->setText(current);
}

bool TFrmInput::Edited() const {
  return calculator_.Edited() || calculator_.GetDisplay() != startText_;
}

QString TFrmInput::GetDisplay() const { return QString::fromLatin1(calculator_.GetDisplay()); }

void TFrmInput::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored, not shown anew
  calculator_.Start(startSelected_);
  startSelected_ = false;
  startText_ = calculator_.GetDisplay();
  ShowDisplay();
  if (language_ != nullptr) {
    setWindowTitle(language_->Caption("InputNumeric", "Form"));
    SpeedButtonOK->setText(language_->Caption("InputNumeric", "SpeedButtonOK_Label"));
    SpeedButtonCancel->setText(language_->Caption("InputNumeric", "SpeedButtonCancel_Label"));
  }
  setFocus();
}

void TFrmInput::keyPressEvent(QKeyEvent* event) {
  // QDialog's own Enter (default button) and Escape (reject) must not run here.
  const int code = KeyCode(*event);
  if (code == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  Press(code);
}

void TFrmInput::Press(int code) {
  calculator_.Press(code);
  ShowDisplay();
}

void TFrmInput::ShowDisplay() {
  LabelData->setText(QString::fromLatin1(calculator_.ShownText()));
  // A value about to be replaced looks selected, as in any text field.
  const bool selected = calculator_.Selected();
  LabelData->setBackgroundRole(selected ? QPalette::Highlight : QPalette::Base);
  LabelData->setForegroundRole(selected ? QPalette::HighlightedText : QPalette::Text);
}

}  // namespace talvo::app
