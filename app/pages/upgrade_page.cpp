#include "app/pages/upgrade_page.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/language/language.h"

namespace talvo::app {

TUpgradePage::TUpgradePage(QWidget* parent)
    : TPage("TabSheetUpgrade", page_tag::kUpgrade, parent),
      versionLabel_(Named<QLabel>("labelNCVer", "NC Version")),
      version_(Named<QLineEdit>("NCVerBox")),
      upload_(NewJobButton("ButtonSetupUpload")) {
  version_->setReadOnly(true);
  QVBoxLayout* page = AddFormColumn(*this);
  auto* form = new QGridLayout;
  form->addWidget(versionLabel_, 0, 0);
  form->addWidget(version_, 0, 1);
  form->setRowMinimumHeight(1, 12);
  folder_ = AddFolderRow(*form, 2, "LabelSetupPath", "EditSetup", "ButtonSetupChangePath");
  page->addLayout(form);
  page->addSpacing(8);
  page->addWidget(upload_, 0, Qt::AlignLeft);
  page->addSpacing(8);
  AddProgressRow(*page, "LabelSetupFileName", "ProgressBarSetup", "LabelSetupPercentage");
  page->addStretch(1);
}

void TUpgradePage::SetSetupFolder(const QString& folder) { folder_.edit->setText(folder); }

void TUpgradePage::SetNcVersion(const QString& version) { version_->setText(version); }

void TUpgradePage::LoadCaptions(const TLanguage& language) {
  folder_.label->setText(language.Caption("FileTrans", "SetupPath"));
  upload_->setText(language.Caption("FileTrans", "SetupUpload_Label"));
}

}  // namespace talvo::app
