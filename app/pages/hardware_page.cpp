#include "app/pages/hardware_page.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>

#include <iterator>
#include <string>

#include "app/frame/main_window.h"
#include "app/language/language.h"
#include "app/pages/page_controls.h"
#include "app/widgets/lamp.h"
#include "app/widgets/string_grid.h"

namespace talvo::app {
namespace {

// The diagnosed items, rows 1..9; names the controller's manuals use, so not translated.
constexpr const char* kHardwareItems[] = {
    "SET1 REMOTE I/O MASTER", "SET1 REMOTE I/O SLAVE0", "SET1 REMOTE I/O SLAVE1",
    "SET2 REMOTE I/O MASTER", "SET2 REMOTE I/O SLAVE0", "SET2 REMOTE I/O SLAVE1",
    "2nd CF CARD EXIST     ", "RAMDISK EXIST         ", "RAMDISK IS OK         "};
constexpr int kHardwareItemCount = static_cast<int>(std::size(kHardwareItems));
constexpr int kHardwareRows = 11;
constexpr int kRemoteIoSets = 6;
// The display string that comments system variable 0; the others follow in order.
constexpr int kFirstCommentString = 14100;

// A lamp whose signal has not been read yet.
const QColor kUnread{192, 192, 192};

// Initial letters until a connection names the axes.
constexpr const char* kAxisLetters[] = {"X", "Y", "Z", "A", "B", "C"};

}  // namespace

THardwarePage::THardwarePage(QWidget* parent)
    : TPage("TabSheetHardware", page_tag::kHardware, parent),
      gridHardware_(NewSizedGrid("gridHardware", kHardwareRows, {64, 56, 390})),
      gridSystemInfo_(NewSizedGrid("gridSystemInfo", 1 + kSystemVariables, {72, 108, 400})),
      cardInfLabel_(Named<QLabel>("CardInfLabel")),
      dogLabel_(Named<QLabel>("DogLabel")),
      indexLabel_(Named<QLabel>("IndexLabel")),
      encoderFalseLabel_(Named<QLabel>("EncoderFalseLabel")) {
  gridHardware_->BeginUpdate();
  for (int row = 1; row <= kHardwareItemCount; ++row) {
    gridHardware_->SetCell(1, row, "???");
    gridHardware_->SetCell(2, row, kHardwareItems[row - 1]);
  }
  gridHardware_->EndUpdate();
  FitHeightToRows(*gridHardware_);

  auto* signalPanel = Named<QFrame>("Panel3");
  signalPanel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  auto* panel = new QGridLayout(signalPanel);
  panel->setHorizontalSpacing(14);
  cardType_ = Named<QLabel>("CardType", "KVELM CARD UNDEFINED");
  cardType_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->addWidget(cardInfLabel_, 0, 0);
  panel->addWidget(cardType_, 0, 1, 1, kAxes);
  panel->setRowMinimumHeight(1, 12);
  const struct {
    QLabel* label;
    const char* lampPrefix;
  } lampRows[] = {{dogLabel_, "S"}, {indexLabel_, "H"}, {encoderFalseLabel_, "ED"}};
  for (int axis = 1; axis <= kAxes; ++axis) {
    QLabel*& letter = axisLabels_[static_cast<std::size_t>(axis - 1)];
    letter =
        Named<QLabel>(("LabelHardwareAxis" + std::to_string(axis)).c_str(), kAxisLetters[axis - 1]);
    letter->setAlignment(Qt::AlignCenter);
    panel->addWidget(letter, 2, axis, Qt::AlignCenter);
  }
  for (int row = 0; row < kLampRows; ++row) {
    panel->addWidget(lampRows[row].label, 3 + row, 0);
    for (int axis = 1; axis <= kAxes; ++axis) {
      auto* lamp = Named<Lamp>((lampRows[row].lampPrefix + std::to_string(axis)).c_str(), kUnread);
      lamps_[static_cast<std::size_t>(row)][static_cast<std::size_t>(axis - 1)] = lamp;
      panel->addWidget(lamp, 3 + row, axis, Qt::AlignCenter);
    }
  }
  panel->setRowStretch(6, 1);
  panel->setColumnStretch(kAxes + 1, 1);

  auto* diagnosis = Named<QWidget>("Panel8");
  auto* upper = new QHBoxLayout(diagnosis);
  upper->setContentsMargins(0, 0, 0, 0);
  upper->addWidget(gridHardware_, 3);
  upper->addWidget(signalPanel, 2);

  auto* page = new QVBoxLayout(this);
  page->addWidget(diagnosis);
  page->addWidget(gridSystemInfo_, 1);
  pass_ = std::make_unique<TGridPass>(this,
                                      std::initializer_list<StringGrid*>{gridHardware_, gridSystemInfo_});
}

QLabel* THardwarePage::AxisLabel(int axis) const {
  return axis >= 1 && axis <= kAxes ? axisLabels_[static_cast<std::size_t>(axis - 1)] : nullptr;
}

void THardwarePage::LoadCaptions(const TLanguage& language) {
  cardInfLabel_->setText(language.Caption("Hardware", "CardInf_Label"));
  dogLabel_->setText(language.Caption("Hardware", "Dog_Label"));
  indexLabel_->setText(language.Caption("Hardware", "Index_Label"));
  encoderFalseLabel_->setText(language.Caption("Hardware", "EncoderFalse_Label"));
  LoadHeaders(*gridHardware_, language, "Hardware",
              {"HardwareNo_Label", "HardwareStatus_Label", "HardwareItems_Label"});
  LabelRows(*gridHardware_, 1, kHardwareItemCount,
            [](int row) { return "  " + QString::number(row); });
  LoadHeaders(*gridSystemInfo_, language, "Hardware",
              {"SystemInfoNo_Label", "SystemInfoValue_Label", "SystemInfoComment_Label"});
  LabelRows(*gridSystemInfo_, 1, kSystemVariables,
            [](int row) { return QString::asprintf("%03d", row - 1); });
}

void THardwarePage::Attach(TFormMain& frame) {
  frame_ = &frame;
  TInfoObjects& infos = frame.Infos();
  infos.HWDiagnosis1.OnChange = [this](TTalvoInfo*) { Diagnosis1Change(); };
  infos.HWDiagnosis2.OnChange = [this](TTalvoInfo*) { Diagnosis2Change(); };
  infos.SystemVariable.OnChange = [this](TTalvoInfo*) { SystemVariableChange(); };
  LoadComments();
}

void THardwarePage::ConnectionCompleted() { LoadComments(); }

// Lamps and verdicts of the machine left behind would pass for a healthy new one.
void THardwarePage::MachineChanged() {
  for (auto& row : lamps_)
    for (Lamp* lamp : row) lamp->SetColor(kUnread);
  cardType_->clear();
  gridHardware_->BeginUpdate();
  for (int row = 1; row < gridHardware_->RowCount(); ++row) gridHardware_->SetCell(1, row, {});
  gridHardware_->EndUpdate();
  gridSystemInfo_->BeginUpdate();
  for (int row = 1; row < gridSystemInfo_->RowCount(); ++row) gridSystemInfo_->SetCell(1, row, {});
  gridSystemInfo_->EndUpdate();
}

void THardwarePage::LoadComments() {
  const TDisplayStrings& texts = frame_->DisplayStrings();
  gridSystemInfo_->BeginUpdate();
  for (int row = 1; row <= kSystemVariables; ++row)
    gridSystemInfo_->SetCell(2, row, texts.Text(kFirstCommentString + row - 1).replace("%%", "%"));
  gridSystemInfo_->EndUpdate();
}

QString THardwarePage::StatusText(bool flag) const {
  return frame_->Language().Caption("Hardware", flag ? "HardwareFALSE" : "HardwareOK");
}

void THardwarePage::Diagnosis1Change() {
  const TTalvoInfo_HWDiagnosis1& diagnosis = frame_->Infos().HWDiagnosis1;
  cardType_->setText(frame_->Language().Decode(diagnosis.CardName()));
  // Flags 6-11 are the encoder faults, 12-17 the dogs, 18-23 the indexes of axes 1-6. A dog
  // or index signal is good when present; an encoder is good when it reports no fault.
  const struct {
    int firstFlag;
    bool goodWhenSet;
  } rows[kLampRows] = {{12, true}, {18, true}, {6, false}};
  for (std::size_t row = 0; row < lamps_.size(); ++row)
    for (int axis = 0; axis < kAxes; ++axis) {
      const bool set = diagnosis.Check(rows[row].firstFlag + axis);
      lamps_[row][static_cast<std::size_t>(axis)]->SetColor(set == rows[row].goodWhenSet ? colors::kBrightGreen
                                                                                        : colors::kRed);
    }
  pass_->Touch();
  for (int set = 0; set < kRemoteIoSets; ++set)
    gridHardware_->SetCell(1, set + 1, StatusText(diagnosis.Check(set)));
}

void THardwarePage::Diagnosis2Change() {
  const TTalvoInfo_HWDiagnosis2& diagnosis = frame_->Infos().HWDiagnosis2;
  pass_->Touch();
  for (int check = 0; check < TTalvoInfo_HWDiagnosis2::kChecks; ++check)
    gridHardware_->SetCell(1, kRemoteIoSets + check + 1, StatusText(diagnosis.Check(check)));
}

void THardwarePage::SystemVariableChange() {
  const TTalvoInfo_SystemVariable& variables = frame_->Infos().SystemVariable;
  pass_->Touch();
  for (int i = 0; i < kSystemVariables; ++i)
    gridSystemInfo_->SetCell(1, i + 1, QString::number(variables.Value(i)));
}

}  // namespace talvo::app
