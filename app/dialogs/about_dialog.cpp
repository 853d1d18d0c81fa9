#include "app/dialogs/about_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "app/language/language.h"

namespace talvo::app {

TFormAbout::TFormAbout(const TLanguage& language, const std::string& home, QWidget* parent)
    : QDialog(parent) {
  setObjectName("FormAbout");
  setFixedSize(400, 246);
  ImageProgramIcon = new QLabel(this);
  ImageProgramIcon->setObjectName("ImageProgramIcon");
  ImageProgramIcon->setFixedSize(128, 128);
  ImageProgramIcon->setAlignment(Qt::AlignCenter);
  LabelProductName = new QLabel(this);
  LabelProductName->setObjectName("LabelProductName");
  QFont bold = LabelProductName->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.5);
  LabelProductName->setFont(bold);
  LabelVersion = new QLabel(this);
  LabelVersion->setObjectName("LabelVersion");
  LabelVersionNo = new QLabel(QString::fromLatin1(kVersionNo), this);
  LabelVersionNo->setObjectName("LabelVersionNo");
  ButtonOK = new QPushButton(this);
  ButtonOK->setObjectName("ButtonOK");
  ButtonOK->setDefault(true);
  connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->setHorizontalSpacing(16);
  layout->addWidget(ImageProgramIcon, 0, 0, 3, 1, Qt::AlignTop);
  layout->addWidget(LabelProductName, 0, 1, 1, 2);
  layout->addWidget(LabelVersion, 1, 1);
  layout->addWidget(LabelVersionNo, 1, 2);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(2, 1);
  layout->addWidget(ButtonOK, 3, 2, Qt::AlignRight);

  setWindowTitle(language.Caption("AboutString", "AboutForm"));
  LabelProductName->setText(language.Caption("AboutString", "AboutLabelProductName"));
  LabelVersion->setText(language.Caption("AboutString", "AboutLabelVersion"));
  ButtonOK->setText(language.Caption("AboutString", "AboutButtonOK"));

  // A missing or unreadable logo leaves the image empty; nobody needs to be told.
  QPixmap logo;
  if (!logo.load(QString::fromStdString(home + "Resource/Logo.bmp"))) return;
  const QSize room = ImageProgramIcon->size();
  if (logo.width() > room.width() || logo.height() > room.height())
    logo = logo.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  ImageProgramIcon->setPixmap(logo);
}

}  // namespace talvo::app
