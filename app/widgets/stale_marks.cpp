#include "app/widgets/stale_marks.h"

#include <QApplication>
#include <QPalette>

#include "app/widgets/lamp.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/value_text.h"

namespace talvo::app {

// The value widgets carry no meta-object of their own, so findChildren<T> cannot pick them
// out: each child is asked by its C++ type.
void MarkValuesStale(QWidget& root, bool stale) {
  const QPalette normal = QApplication::palette();
  for (QWidget* widget : root.findChildren<QWidget*>()) {
    if (auto* field = dynamic_cast<ValueText*>(widget)) {
      field->setForegroundRole(stale ? QPalette::PlaceholderText : QPalette::WindowText);
      field->update();
    } else if (auto* grid = dynamic_cast<StringGrid*>(widget)) {
      QPalette palette = grid->palette();
      palette.setColor(QPalette::Text, stale ? normal.color(QPalette::Disabled, QPalette::Text)
                                             : normal.color(QPalette::Active, QPalette::Text));
      grid->setPalette(palette);
    } else if (auto* lamp = dynamic_cast<Lamp*>(widget)) {
      lamp->SetStale(stale);
    } else {
      continue;
    }
    widget->setProperty("stale", stale);
  }
}

}  // namespace talvo::app
