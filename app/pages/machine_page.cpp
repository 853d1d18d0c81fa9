#include "app/pages/machine_page.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "app/language/language.h"

namespace talvo::app {
namespace {

struct TCategoryBox {
  const char* name;
  const char* captionKey;
};
constexpr TCategoryBox kCategoryBoxes[TMachinePage::kCategories] = {
    {"CheckBoxTransMachineLadder", "TransLadderLabel"},
    {"CheckBoxTransMachineIO", "TransIO"},
    {"CheckBoxTransMachineParam", "TransParam"},
    {"CheckBoxTransMachineGlobal", "TransGlobal"},
    {"CheckBoxTransMachineDreg", "TransDreg"},
    {"CheckBoxTransMachinePlcErr", "TransPlcErr"},
    {"CheckBoxTransMachineUsrParamStr", "TransUsrParamStr"},
    {"CheckBoxTransMachineGraph", "TransGraph"},
    {"CheckBoxTransMachineCNCLog", "TransCNCLog"},
    {"CheckBoxTransMachineOpLog", "TransOpLog"},
    {"CheckBoxTransMachineMmibase", "TransMmibase"}};

// The category texts carry a long tail of blanks; the box keeps them, but asks the layout
// only for the room of the words, so the tail can never widen the page.
constexpr int kTrailingBlanks = 127;

void SetCategoryText(QCheckBox& box, const QString& caption) {
  box.setText(caption + QString(kTrailingBlanks, ' '));
  const int words = box.style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &box) +
                    box.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &box) +
                    box.fontMetrics().horizontalAdvance(caption) + 4;
  box.setMinimumWidth(words);
}

}  // namespace

TMachinePage::TMachinePage(QWidget* parent)
    : TPage("TabSheetMachine", page_tag::kMachine, parent),
      groupBoxTransMachine_(Named<QGroupBox>("GroupBoxTransMachine")),
      upload_(NewJobButton("ButtonUploadMachineFiles")),
      download_(NewJobButton("ButtonDownloadMachineFiles")) {
  QVBoxLayout* page = AddFormColumn(*this);
  auto* form = new QGridLayout;
  folder_ = AddFolderRow(*form, 0, "LabelMachine", "EditMachine", "ButtonMachine");
  page->addLayout(form);
  page->addSpacing(8);

  auto* boxes = new QGridLayout(groupBoxTransMachine_);
  constexpr int kPerColumn = (kCategories + 1) / 2;
  for (int category = 0; category < kCategories; ++category) {
    auto* box = Named<QCheckBox>(kCategoryBoxes[category].name);
    box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    boxes->addWidget(box, category % kPerColumn, category / kPerColumn);
    categories_[static_cast<std::size_t>(category)] = box;
  }
  page->addWidget(groupBoxTransMachine_);
  page->addSpacing(8);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(upload_);
  buttons->addWidget(download_);
  buttons->addStretch(1);
  page->addLayout(buttons);
  page->addSpacing(8);

  AddProgressRow(*page, "LabelMachineDataFileName", "ProgressBarMachineFiles",
                 "LabelMachineFilesPercentage");
  page->addStretch(1);
}

void TMachinePage::SetMachineFolder(const QString& folder) { folder_.edit->setText(folder); }

QCheckBox* TMachinePage::CategoryBox(int category) const {
  return category >= 0 && category < kCategories ? categories_[static_cast<std::size_t>(category)]
                                                 : nullptr;
}

void TMachinePage::LoadCaptions(const TLanguage& language) {
  folder_.label->setText(language.Caption("FileTrans", "MachinePathLabel"));
  groupBoxTransMachine_->setTitle(language.Caption("FileTrans", "TransMachineLabel"));
  for (int category = 0; category < kCategories; ++category)
    SetCategoryText(*categories_[static_cast<std::size_t>(category)],
                    language.Caption("FileTrans", kCategoryBoxes[category].captionKey));
  upload_->setText(language.Caption("FileTrans", "Upload_Label"));
  download_->setText(language.Caption("FileTrans", "Download_Label"));
}

}  // namespace talvo::app
