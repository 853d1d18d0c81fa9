// TFormMain::EditGridValue: the one way every editable grid of the window asks for a number
// and writes it to the controller.
#include <QGroupBox>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <cmath>

#include "app/dialogs/input_pad.h"
#include "app/dialogs/password_dialog.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/dialogs/return_code_text.h"
#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
#include "app/widgets/string_grid.h"
#include "link/transport.h"
#include "link/vandircnc.h"

namespace talvo::app {
namespace {

bool StartsPad(const QString& typed) {
  return typed.size() == 1 && QString("0123456789.+-").contains(typed[0]);
}

// Registers and parameters take the value cut toward zero; beyond the integer range the
// nearest integer is written rather than an undefined conversion.
int Truncated(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::clamp(std::trunc(v), double{INT_MIN}, double{INT_MAX}));
}

// Whether the kind and column write anything at all: a number column writes nothing, so its
// cell opens no pad (a result dialog after it could only show another write's outcome).
bool Writes(EEditKind kind, int a, int b) {
  switch (kind) {
    case EEditKind::MillTool:
      return a >= 0 && a <= 6;
    case EEditKind::MillToolTDC:
      return a == 0 || a == 1;
    case EEditKind::LatheGeometry:
    case EEditKind::LatheWear:
      return a >= 0 && a <= 4;
    case EEditKind::WorkCoordinate:
      return b >= 0;
    default:
      return true;
  }
}

// The link's answer to the write.
int Write(vandir::TVandirCNC& link, EEditKind kind, double v, int a, int b,
          const std::string& password) {
  switch (kind) {
    case EEditKind::LocalVar:
      return link.SetLocalVar(b, v);
    case EEditKind::GlobalVar:
      return link.SetGlobalVar(b, v);
    case EEditKind::MillTool:
      return a == 0 ? link.SetMillToolGeometryRadius(b, v) : link.SetMillToolWearLength(b, a - 1, v);
    case EEditKind::MillToolTDC:
      return a == 0 ? link.SetMillToolTDCValue(b, v) : link.SetMillToolTDCTime(b, v);
    case EEditKind::LatheGeometry:
    case EEditKind::LatheWear: {
      const bool geometry = kind == EEditKind::LatheGeometry;
      if (a == 0) return link.SetLatheToolType(b, v);
      if (a == 1)
        return geometry ? link.SetLatheToolGeometryRadius(b, v) : link.SetLatheToolWearRadius(b, v);
      return geometry ? link.SetLatheToolGeometryLength(b, a - 2, v)
                      : link.SetLatheToolWearLength(b, a - 2, v);
    }
    case EEditKind::WorkCoordinate: {
      using Setter = int (vandir::TVandirCNC::*)(int, double);
      static constexpr Setter kColumns[] = {
          &vandir::TVandirCNC::SetCoordBase, &vandir::TVandirCNC::SetG54,
          &vandir::TVandirCNC::SetG55,       &vandir::TVandirCNC::SetG56,
          &vandir::TVandirCNC::SetG57,       &vandir::TVandirCNC::SetG58,
          &vandir::TVandirCNC::SetG59};
      if (b < static_cast<int>(std::size(kColumns))) return (link.*kColumns[b])(a, v);
      return link.SetG54P(b - 6, a, v);
    }
    case EEditKind::BackupRegister:
    case EEditKind::UserParameter:
      return link.SetPLC_BackupRegister(static_cast<std::int16_t>(b), Truncated(v));
    case EEditKind::SystemParameter:
      return link.SetMakerParameter(static_cast<std::int16_t>(b), Truncated(v), password);
  }
  return vandir::kBadArgument;
}

// What the link's answer means for the engineer. A write refused at the gate leaves the
// earlier write's status pending; one the link refused for the login level, or for want of
// a connection, says so in the set status or the socket; one the transport turned away
// while taking a request off its list was never sent and is offered again.
TWriteOutcome Judge(vandir::TVandirCNC& link, int result) {
  switch (result) {
    case vandir::kOk:
      return {TWriteOutcome::Sent, 0};
    case vandir::kRefused:
      break;
    case vandir::kAxisOutOfRange:
      return {TWriteOutcome::Refused, kValueOutOfRange};
    case vandir::kBadRegister:
      return {TWriteOutcome::Refused, kNumberOutOfRange};
    case vandir::kBadArgument:
      return {TWriteOutcome::Refused, kDataError};
    default:
      return {TWriteOutcome::Refused, result};
  }
  const int status = link.QueryStatus();
  if (status == vandir::kSetPending) return {TWriteOutcome::Refused, kWriteBusy};
  if (!link.SendCMD->SocketConnected()) return {TWriteOutcome::Refused, kNetConnectError};
  if (status == vandir::kSetNoRight && link.SendCMD->LoginStatus != vandir::kLoginFull)
    return {TWriteOutcome::Refused, vandir::kSetNoRight};
  return {TWriteOutcome::Again, 0};
}

bool IsNumber(const QString& text) {
  bool number = false;
  QLocale::c().toDouble(text.trimmed(), &number);
  return number;
}

}  // namespace

TEditTarget CellTarget(const StringGrid& grid, int col, int row) {
  QStringList what;
  for (const QWidget* up = grid.parentWidget(); up; up = up->parentWidget())
    if (const auto* group = qobject_cast<const QGroupBox*>(up)) {
      what << group->title().trimmed();
      break;
    }
  if (grid.FixedCols() > 0) what << grid.Cell(0, row).trimmed();
  // With one value column its caption ("Value") says nothing.
  if (grid.ColCount() > 2) what << grid.Cell(col, 0).trimmed();
  what.removeAll(QString());
  return {what.join("  "), grid.Cell(col, row).trimmed()};
}

void TFormMain::EditGridValue(EEditHow how, EEditKind kind, const QString& text, int a, int b,
                              const TEditTarget& target) {
  if (!service_->GetSessionReady() || !Writes(kind, a, b)) return;
  if (how == EEditHow::KeyTyped && !StartsPad(text)) return;
  if (kind == EEditKind::SystemParameter && !dialogs_.Password->ShowNextTime() &&
      dialogs_.Password->exec() != QDialog::Accepted)
    return;
  // A double-click offers the cell's value, selected: typing replaces it, and OK without a
  // key pressed leaves the controller's value alone (a pad opened at 0 wrote 0 over it).
  const bool offered = how == EEditHow::DoubleClicked && IsNumber(text);
  dialogs_.Input->SetDisplay(how == EEditHow::KeyTyped ? text : offered ? text.trimmed() : "0",
                             offered);
  dialogs_.Input->SetTarget(target.what, target.current);
  if (dialogs_.Input->exec() != QDialog::Accepted) return;
  if (how == EEditHow::DoubleClicked && !dialogs_.Input->Edited()) return;
  const QString entered = dialogs_.Input->GetDisplay().trimmed();
  if (entered.isEmpty()) return;
  bool number = false;
  const double v = QLocale::c().toDouble(entered, &number);
  if (!number) {
    ShowMessageBox(this, {windowTitle(), language_->Caption("ReturnCode", "FormatError"),
                          QMessageBox::Warning});
    return;
  }
  vandir::TVandirCNC* link = service_->Link();
  if (link == nullptr) return;
  dialogs_.ReturnCode->SetWriteOffer([link, kind, v, a, b, password = password_] {
    return Judge(*link, Write(*link, kind, v, a, b, password));
  });
  // Seconds as the settings hold them; an absurd number must not overflow the milliseconds.
  dialogs_.ReturnCode->SetCloseDelay(std::clamp(options_.ShowTimer(), 0, 3600) * 1000);
  dialogs_.ReturnCode->exec();
}

}  // namespace talvo::app
