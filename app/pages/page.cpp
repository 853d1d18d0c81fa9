#include "app/pages/page.h"

#include "service/talvo_service.h"

namespace talvo::app {

TPage::TPage(const char* objectName, int tag, QWidget* parent) : QWidget(parent), tag_(tag) {
  setObjectName(objectName);
}

int TPage::FileJobOverwrite(EProcessKind, const std::string&) { return kAnswerYesToAll; }

}  // namespace talvo::app
