// TFormAbout: the program's name and version, and the shop's logo when the program home
// holds one ("Resource/Logo.bmp").
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace talvo::app {

class TLanguage;

class TFormAbout : public QDialog {
 public:
  static constexpr const char* kVersionNo = "01.11.00.00";

  // `home` is the program home folder text, ending in '/'.
  TFormAbout(const TLanguage& language, const std::string& home, QWidget* parent);

 private:
  QLabel* ImageProgramIcon;
  QLabel* LabelProductName;
  QLabel* LabelVersion;
  QLabel* LabelVersionNo;
  QPushButton* ButtonOK;
};

}  // namespace talvo::app
