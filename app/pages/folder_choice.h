// The folder dialog of the pages that keep a PC folder.
#pragma once

#include <QString>

class QWidget;

namespace talvo::app {

// The folder the user chose, starting at `start`, with '/' at its end; empty when cancelled.
QString ChooseFolder(QWidget* parent, const QString& caption, const QString& start);

}  // namespace talvo::app
