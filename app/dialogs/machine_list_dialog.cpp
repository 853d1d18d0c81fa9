#include "app/dialogs/machine_list_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

#include "app/frame/settings_failure.h"
#include "app/language/language.h"
#include "app/settings/machine_list.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {
namespace {

constexpr int kIpCol = 0;
constexpr int kNameCol = 1;

// The name column's in-place editor reports every change, so a name is written as it is
// typed, like an address, and nothing typed is lost when the dialog closes mid-edit.
class NameDelegate : public QStyledItemDelegate {
 public:
  std::function<void(int row, const QString& text)> onTextEdited;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      const int row = index.row() + 1;  // grid rows count the header row
      connect(line, &QLineEdit::textEdited, line, [this, row](const QString& text) {
        if (onTextEdited) onTextEdited(row, text);
      });
    }
    return editor;
  }
};

QPushButton* BarButton(const char* name, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setFocusPolicy(Qt::NoFocus);  // the grid keeps the keyboard
  button->setAutoDefault(false);        // Enter belongs to the grid and the IP editor
  return button;
}

bool HasDigit(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

bool IsNavigationKey(int key) {
  switch (key) {
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left: case Qt::Key_Right:
    case Qt::Key_PageUp: case Qt::Key_PageDown:
      return true;
    default:
      return false;
  }
}

// Keys the grid lets pass untouched in the address column: leaving the grid, closing the
// dialog, and modifiers on their own.
bool IsPassingKey(int key) {
  switch (key) {
    case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Escape:
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_AltGr:
    case Qt::Key_Meta:
      return true;
    default:
      return false;
  }
}

}  // namespace

TFormAddCNC::TFormAddCNC(TMachineList& list, const TLanguage& language, QWidget* parent)
    : QDialog(parent), list_(list), language_(language) {
  setObjectName("FormAddCNC");
  setFixedSize(420, 330);
  SpeedButtonAdd = BarButton("SpeedButtonAdd", this);
  SpeedButtonDelete = BarButton("SpeedButtonDelete", this);
  SpeedButtonConnect = BarButton("SpeedButtonConnect", this);
  SpeedButtonExit = BarButton("SpeedButtonExit", this);
  CheckBoxAutoConnect = new QCheckBox(this);
  CheckBoxAutoConnect->setObjectName("CheckBoxAutoConnect");
  CheckBoxAutoConnect->setFocusPolicy(Qt::NoFocus);
  CheckBoxAutoConnect->setVisible(false);

  StringGridCNC = new StringGrid(this);
  StringGridCNC->setObjectName("StringGridCNC");
  StringGridCNC->SetColCount(2);
  StringGridCNC->SetFixedCols(0);
  StringGridCNC->SetFixedRows(1);
  StringGridCNC->SetRowCount(2);
  StringGridCNC->SetColWidth(kIpCol, 140);
  StringGridCNC->SetColWidth(kNameCol, 233);
  auto* names = new NameDelegate;
  names->setParent(StringGridCNC);
  names->onTextEdited = [this](int row, const QString& text) {
    if (row == EntryRow()) Saved(list_.SetName(row - 1, language_.Encode(text)));
  };
  StringGridCNC->setItemDelegateForColumn(kNameCol, names);
  StringGridCNC->OnSelectCell = [this](int col, int row) { StringGridCNCSelectCell(col, row); };
  StringGridCNC->OnKey = [this](QKeyEvent* event) { return StringGridCNCKeyDown(event); };
  for (QScrollBar* bar : {StringGridCNC->verticalScrollBar(), StringGridCNC->horizontalScrollBar()})
    connect(bar, &QScrollBar::valueChanged, this, [this] { PlaceEditor(); });
  connect(StringGridCNC->horizontalHeader(), &QHeaderView::sectionResized, this,
          [this] { PlaceEditor(); });

  MaskEditIP = new QLineEdit(StringGridCNC->viewport());
  MaskEditIP->setObjectName("MaskEditIP");
  MaskEditIP->setInputMask("999.999.999.999;");
  MaskEditIP->setFrame(false);
  QFont bold = MaskEditIP->font();
  bold.setBold(true);
  MaskEditIP->setFont(bold);
  // A click must reach the editor without focus so that it can select all (the
  // application would give the focus before any event filter sees the click).
  MaskEditIP->setFocusPolicy(Qt::TabFocus);
  MaskEditIP->hide();
  MaskEditIP->installEventFilter(this);
  // Every edit the user makes is stored, however it arrives: keys, an input method, a paste.
  connect(MaskEditIP, &QLineEdit::textEdited, this, [this] { StoreTypedAddress(); });

  auto* top = new QHBoxLayout;
  top->addWidget(SpeedButtonAdd);
  top->addWidget(SpeedButtonDelete);
  top->addWidget(SpeedButtonConnect);
  top->addWidget(CheckBoxAutoConnect);
  top->addStretch();
  LabelNoAddress = new QLabel(this);
  LabelNoAddress->setObjectName("LabelNoAddress");
  LabelNoAddress->setWordWrap(true);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(LabelNoAddress, 1);
  bottom->addWidget(SpeedButtonExit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(StringGridCNC, 1);
  layout->addLayout(bottom);

  connect(SpeedButtonAdd, &QPushButton::clicked, this, [this] { SpeedButtonAddClick(); });
  connect(SpeedButtonDelete, &QPushButton::clicked, this, [this] { SpeedButtonDeleteClick(); });
  connect(SpeedButtonConnect, &QPushButton::clicked, this, [this] { SpeedButtonConnectClick(); });
  connect(SpeedButtonExit, &QPushButton::clicked, this, &QDialog::close);
  connect(CheckBoxAutoConnect, &QCheckBox::clicked, this,
          [this](bool on) { Saved(list_.SetAutoConnect(on)); });
}

void TFormAddCNC::SetShowAutoConnect(bool show) { CheckBoxAutoConnect->setVisible(show); }

void TFormAddCNC::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // restored, not shown anew
  failureShown_ = false;
  LoadCaptions();
  FillGrid();
  if (CheckBoxAutoConnect->isVisibleTo(this)) CheckBoxAutoConnect->setChecked(list_.AutoConnect());
  StringGridCNC->setFocus();
}

void TFormAddCNC::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;
  Saved(list_.DeleteEntriesWithoutAddress());
}

void TFormAddCNC::Saved(bool saved) {
  if (saved) {
    failureShown_ = false;
    return;
  }
  if (failureShown_) return;
  failureShown_ = true;
  // The dialog may be closing: the box then belongs to the window that opened it.
  QWidget* owner = isVisible() || !parentWidget() ? this : parentWidget();
  ShowSettingsNotSaved(owner, language_, list_.File());
}

void TFormAddCNC::LoadCaptions() {
  const auto caption = [this](const char* key) { return language_.Caption("AddCNCString", key); };
  setWindowTitle(caption("Form"));
  SpeedButtonAdd->setText(caption("SpeedButtonAdd"));
  SpeedButtonDelete->setText(caption("SpeedButtonDelete"));
  SpeedButtonConnect->setText(caption("SpeedButtonConnect"));
  CheckBoxAutoConnect->setText(caption("CheckBoxAutoConnect"));
  SpeedButtonExit->setText(caption("SpeedButtonExit"));
  LabelNoAddress->setText(caption("LabelNoAddress"));
  StringGridCNC->SetCell(kIpCol, 0, caption("StringGridCNCIP"));
  StringGridCNC->SetCell(kNameCol, 0, caption("StringGridCNCName"));
}

// One row per entry below the header; an empty list shows one empty, disabled row.
void TFormAddCNC::FillGrid() {
  const int count = list_.Count();
  const int col = StringGridCNC->Col();
  const int row = StringGridCNC->Row();
  const int rows = std::max(count, 1);
  StringGridCNC->SetRowCount(rows + 1);
  StringGridCNC->BeginUpdate();
  for (int n = 0; n < rows; ++n) {
    StringGridCNC->SetCell(kIpCol, n + 1, count > 0 ? language_.Decode(list_.Ip(n)) : QString());
    StringGridCNC->SetCell(kNameCol, n + 1,
                           count > 0 ? language_.Decode(list_.Name(n)) : QString());
  }
  StringGridCNC->EndUpdate();
  StringGridCNC->setEnabled(count > 0);
  SpeedButtonDelete->setEnabled(count > 0);
  SpeedButtonConnect->setEnabled(count > 0);
  StringGridCNC->SetCurrentCell(col, std::clamp(row, 1, rows));
  StringGridCNCSelectCell(StringGridCNC->Col(), StringGridCNC->Row());
  ShowNoAddressHint();
}

// The grid shows the list as stored, so it is looked at rather than the file at every key.
void TFormAddCNC::ShowNoAddressHint() {
  bool blank = false;
  if (StringGridCNC->isEnabled())
    for (int row = 1; row < StringGridCNC->RowCount() && !blank; ++row)
      blank = StringGridCNC->Cell(kIpCol, row).isEmpty();
  LabelNoAddress->setVisible(blank);
}

int TFormAddCNC::EntryRow() const {
  if (!StringGridCNC->isEnabled() || !StringGridCNC->currentIndex().isValid()) return 0;
  return StringGridCNC->Row();
}

void TFormAddCNC::SpeedButtonAddClick() {
  Saved(list_.Add());
  FillGrid();
}

void TFormAddCNC::SpeedButtonDeleteClick() {
  const int row = EntryRow();
  if (row == 0) return;
  Saved(list_.Delete(row - 1));
  FillGrid();
}

// The connection starts only after the dialog has closed, and closing drops the entries
// without an address, which moves later entries down: the callback gets the chosen entry's
// index in the list as it is then. The entries before it that survive are found by their
// addresses, which a dropped entry (blank) never shares with a kept one.
void TFormAddCNC::SpeedButtonConnectClick() {
  const int row = EntryRow();
  if (row == 0 || StringGridCNC->Cell(kIpCol, row).trimmed().isEmpty()) return;
  std::vector<std::string> before;
  for (int i = 0; i < row - 1; ++i) before.push_back(list_.Ip(i));
  Saved(list_.DeleteEntriesWithoutAddress());
  int index = 0;
  for (const std::string& ip : before)
    if (index < list_.Count() && ip == list_.Ip(index)) ++index;
  QMetaObject::invokeMethod(
      this, [this, index] { if (OnConnectMachine) OnConnectMachine(index); },
      Qt::QueuedConnection);
  close();
}

void TFormAddCNC::StringGridCNCSelectCell(int col, int) {
  // Addresses are typed in the IP editor only; names in the grid's own editor.
  StringGridCNC->SetEditable(col == kNameCol);
  PlaceEditor();
}

void TFormAddCNC::PlaceEditor() {
  const int row = EntryRow();
  if (row == 0 || StringGridCNC->Col() != kIpCol) {
    HideEditor();
    return;
  }
  const int line = StringGridCNC->showGrid() ? 1 : 0;
  MaskEditIP->setGeometry(
      StringGridCNC->visualRect(StringGridCNC->currentIndex()).adjusted(line, line, -line, -line));
  MaskEditIP->setText(StringGridCNC->Cell(kIpCol, row));
  MaskEditIP->show();
}

// The grid takes the keyboard first: a focused editor that is hidden passes the focus on as
// Tab would, and the grid would take that as a move to the next cell.
void TFormAddCNC::HideEditor() {
  if (MaskEditIP->hasFocus()) StringGridCNC->setFocus();
  MaskEditIP->hide();
}

void TFormAddCNC::OpenEditor(const QString& text, int caret) {
  PlaceEditor();
  if (!text.isNull()) MaskEditIP->setText(text);
  MaskEditIP->setCursorPosition(caret);
  MaskEditIP->setFocus();
}

// Keys on an address cell lead into the IP editor; only navigation stays with the grid.
bool TFormAddCNC::StringGridCNCKeyDown(QKeyEvent* event) {
  if (EntryRow() == 0 || StringGridCNC->Col() != kIpCol) return false;
  const int key = event->key();
  if (IsNavigationKey(key) || IsPassingKey(key)) return false;
  if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
    PlaceEditor();
    MaskEditIP->setFocus();
  } else if (event->text().size() == 1 && event->text().at(0).isDigit()) {
    OpenEditor(event->text(), 1);
    StoreTypedAddress();  // the digit replaced the address, though not typed into the editor
  } else {
    OpenEditor(QString(), MaskEditIP->cursorPosition() + 1);
  }
  return true;
}

bool TFormAddCNC::MaskEditIPKeyDown(QKeyEvent* event) {
  const int key = event->key();
  const int row = StringGridCNC->Row();
  bool leave = false;
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Back to the grid, with the editor lying over the cell again.
      StringGridCNC->setFocus();
      PlaceEditor();
      return true;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
      leave = row < StringGridCNC->RowCount() - 1;
      break;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
      leave = row > StringGridCNC->FixedRows();
      break;
    default:
      return false;
  }
  if (leave) {
    StringGridCNC->setFocus();
    MaskEditIP->hide();
    QKeyEvent forwarded(QEvent::KeyPress, key, event->modifiers());
    QCoreApplication::sendEvent(StringGridCNC, &forwarded);
  }
  return true;  // at the first or last row the key goes nowhere
}

// The address as typed, without the mask's blanks; a mask with no digit in it holds none.
void TFormAddCNC::StoreTypedAddress() {
  const int row = EntryRow();
  if (row == 0 || !MaskEditIP->isVisible()) return;
  QString ip = MaskEditIP->text().remove(' ');
  if (!HasDigit(ip)) ip.clear();
  if (ip == StringGridCNC->Cell(kIpCol, row)) return;
  StringGridCNC->SetCell(kIpCol, row, ip);
  Saved(list_.SetIp(row - 1, ip.toStdString()));
  ShowNoAddressHint();
}

bool TFormAddCNC::eventFilter(QObject* watched, QEvent* event) {
  if (watched == MaskEditIP) {
    switch (event->type()) {
      case QEvent::KeyPress:
        return MaskEditIPKeyDown(static_cast<QKeyEvent*>(event));
      case QEvent::MouseButtonPress:
        if (!MaskEditIP->hasFocus()) {
          MaskEditIP->setFocus(Qt::MouseFocusReason);
          MaskEditIP->selectAll();
          return true;
        }
        break;
      default:
        break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace talvo::app
