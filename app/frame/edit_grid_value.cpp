// TFormMain::EditGridValue: the one way every editable grid of the window asks for a number
// and writes it to the controller.
#include <QLocale>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <thread>

#include "app/dialogs/input_pad.h"
#include "app/dialogs/password_dialog.h"
#include "app/dialogs/return_code_dialog.h"
#include "app/frame/main_window.h"
#include "app/frame/message_box.h"
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

void Write(vandir::TVandirCNC& link, EEditKind kind, double v, int a, int b,
           const std::string& password) {
  switch (kind) {
    case EEditKind::LocalVar:
      link.SetLocalVar(b, v);
      break;
    case EEditKind::GlobalVar:
      link.SetGlobalVar(b, v);
      break;
    case EEditKind::MillTool:
      if (a == 0) link.SetMillToolGeometryRadius(b, v);
      else if (a >= 1 && a <= 6) link.SetMillToolWearLength(b, a - 1, v);
      break;
    case EEditKind::MillToolTDC:
      if (a == 0) link.SetMillToolTDCValue(b, v);
      else if (a == 1) link.SetMillToolTDCTime(b, v);
      break;
    case EEditKind::LatheGeometry:
    case EEditKind::LatheWear: {
      const bool geometry = kind == EEditKind::LatheGeometry;
      if (a == 0) link.SetLatheToolType(b, v);
      else if (a == 1)
        geometry ? link.SetLatheToolGeometryRadius(b, v) : link.SetLatheToolWearRadius(b, v);
      else if (a >= 2 && a <= 4)
        geometry ? link.SetLatheToolGeometryLength(b, a - 2, v)
                 : link.SetLatheToolWearLength(b, a - 2, v);
      break;
    }
    case EEditKind::WorkCoordinate: {
      using Setter = int (vandir::TVandirCNC::*)(int, double);
      static constexpr Setter kColumns[] = {
          &vandir::TVandirCNC::SetCoordBase, &vandir::TVandirCNC::SetG54,
          &vandir::TVandirCNC::SetG55,       &vandir::TVandirCNC::SetG56,
          &vandir::TVandirCNC::SetG57,       &vandir::TVandirCNC::SetG58,
          &vandir::TVandirCNC::SetG59};
      if (b >= 0 && b < static_cast<int>(std::size(kColumns))) (link.*kColumns[b])(a, v);
      else if (b >= 7) link.SetG54P(b - 6, a, v);
      break;
    }
    case EEditKind::BackupRegister:
    case EEditKind::UserParameter:
      link.SetPLC_BackupRegister(static_cast<std::int16_t>(b), Truncated(v));
      break;
    case EEditKind::SystemParameter:
      link.SetMakerParameter(static_cast<std::int16_t>(b), Truncated(v), password);
      break;
  }
}

// The link turns a request away while its transport is taking another off the list. Such a
// write was never sent, so it is offered again for a moment before the engineer is told the
// controller refused it; the polls of a live page keep the transport that busy.
void WriteOffered(vandir::TVandirCNC& link, EEditKind kind, double v, int a, int b,
                  const std::string& password) {
  constexpr int kAttempts = 100;
  for (int attempt = 1;; ++attempt) {
    Write(link, kind, v, a, b, password);
    if (attempt == kAttempts || link.QueryStatus() != vandir::kSetNoRight ||
        !link.SendCMD->SocketConnected())
      return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace

void TFormMain::EditGridValue(EEditHow how, EEditKind kind, const QString& text, int a, int b) {
  if (!service_->GetSessionReady()) return;
  if (how == EEditHow::KeyTyped && !StartsPad(text)) return;
  if (kind == EEditKind::SystemParameter && !dialogs_.Password->ShowNextTime() &&
      dialogs_.Password->exec() != QDialog::Accepted)
    return;
  dialogs_.Input->SetDisplay(how == EEditHow::KeyTyped ? text : QString("0"));
  if (dialogs_.Input->exec() != QDialog::Accepted) return;
  const QString entered = dialogs_.Input->GetDisplay().trimmed();
  if (entered.isEmpty()) return;
  bool number = false;
  const double v = QLocale::c().toDouble(entered, &number);
  if (!number) {
    ShowMessageBox(this, {windowTitle(), language_->Caption("ReturnCode", "FormatError"),
                          QMessageBox::Warning});
    return;
  }
  if (service_->Link() == nullptr) return;
  WriteOffered(*service_->Link(), kind, v, a, b, password_);
  dialogs_.ReturnCode->SetCloseDelay(options_.ShowTimer() * 1000);
  dialogs_.ReturnCode->exec();
}

}  // namespace talvo::app
