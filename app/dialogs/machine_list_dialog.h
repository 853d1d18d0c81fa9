// TFormAddCNC: the machine list of the settings file as a two-column grid (address, name),
// edited in place. Every change reaches the settings file at once; entries left without an
// address are dropped when the dialog closes. The address column is edited in a masked IP
// editor that lies over the current cell; the grid's keys lead into it.
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace talvo::app {

class StringGrid;
class TLanguage;
class TMachineList;

class TFormAddCNC : public QDialog {
 public:
  TFormAddCNC(TMachineList& list, const TLanguage& language, QWidget* parent);

  void SetShowAutoConnect(bool show);

  // Connect to entry `index`: called once the dialog has closed (and the list has been
  // compacted; the index is the entry's index after that).
  std::function<void(int index)> OnConnectMachine;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LoadCaptions();
  void FillGrid();
  void SpeedButtonAddClick();
  void SpeedButtonDeleteClick();
  void SpeedButtonConnectClick();
  void StringGridCNCSelectCell(int col, int row);
  bool StringGridCNCKeyDown(QKeyEvent* event);
  bool MaskEditIPKeyDown(QKeyEvent* event);
  void StoreTypedAddress();
  // Says, while an entry has no address, that such an entry is dropped on closing.
  void ShowNoAddressHint();
  // Shows the IP editor over the current cell while that is an address cell, else hides it.
  void PlaceEditor();
  void HideEditor();
  void OpenEditor(const QString& text, int caret);
  // The grid row of an entry that exists, or 0.
  int EntryRow() const;
  // Tells the user when the settings file refused a change of the list: once, for as long as
  // it keeps refusing (every key typed is a write), until a change is kept again or the
  // dialog is opened anew.
  void Saved(bool saved);

  TMachineList& list_;
  const TLanguage& language_;
  bool failureShown_ = false;
  QPushButton* SpeedButtonAdd;
  QPushButton* SpeedButtonDelete;
  QPushButton* SpeedButtonConnect;
  QCheckBox* CheckBoxAutoConnect;
  StringGrid* StringGridCNC;
  QPushButton* SpeedButtonExit;
  QLabel* LabelNoAddress;
  QLineEdit* MaskEditIP;
};

}  // namespace talvo::app
