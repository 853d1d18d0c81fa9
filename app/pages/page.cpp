#include "app/pages/page.h"

namespace talvo::app {

TPage::TPage(const char* objectName, int tag, QWidget* parent) : QWidget(parent), tag_(tag) {
  setObjectName(objectName);
}

}  // namespace talvo::app
