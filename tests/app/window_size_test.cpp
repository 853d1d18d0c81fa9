// The window at its smallest, in each shipped language: it fits a 1024x768 screen with a
// desktop's panels, and on every page no control is squeezed under what its text needs or
// laid over another.
#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <sstream>

#include "app/language/language.h"
#include "app/widgets/value_text.h"
#include "tests/app/frame_fixture.h"

namespace talvo::app::test {
namespace {

// A 768-pixel screen less a desktop's top and bottom panels and the window's title bar.
constexpr QSize kSmallScreenRoom(1024, 690);

class WindowSize : public FrameTest {
 protected:
  WindowSize() : FrameTest(std::nullopt) {
    std::filesystem::create_directories(home.Path("Language"));
    for (int language : {0, 1, 2}) {
      const std::string name = TLanguage::FileName(language);
      std::filesystem::copy_file(TALVO_SOURCE_DIR "/data/Language/" + name,
                                 home.Path("Language") / name,
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
};

QString TextOf(const QWidget& widget) {
  if (auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
  return {};
}

// The width a caption needs: its text without the blanks some captions are padded with,
// and a check box's or radio button's indicator.
int NeededWidth(const QWidget& widget, const QString& text) {
  const int advance = widget.fontMetrics().horizontalAdvance(text.trimmed());
  if (qobject_cast<const QCheckBox*>(&widget) || qobject_cast<const QRadioButton*>(&widget))
    return advance + widget.style()->pixelMetric(QStyle::PM_IndicatorWidth) +
           widget.style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
  return advance;
}

bool IsField(const QWidget* widget) {
  return qobject_cast<const QLabel*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
         dynamic_cast<const ValueText*>(widget);
}

// Captions given less width than their texts need, and fields laid over their neighbours.
std::string Faults(QWidget& page) {
  std::ostringstream faults;
  for (QWidget* widget : page.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&page) || widget->isWindow()) continue;
    const QString text = TextOf(*widget);
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (!text.trimmed().isEmpty() && !(label && label->wordWrap()) &&
        widget->contentsRect().width() < NeededWidth(*widget, text))
      faults << widget->objectName().toStdString() << " \"" << text.trimmed().toStdString()
             << "\" has " << widget->contentsRect().width() << " of "
             << NeededWidth(*widget, text) << " pixels\n";
    if (!IsField(widget)) continue;
    for (QObject* other : widget->parentWidget()->children()) {
      auto* sibling = qobject_cast<QWidget*>(other);
      if (sibling && sibling > widget && IsField(sibling) && sibling->isVisibleTo(&page) &&
          widget->geometry().intersects(sibling->geometry()))
        faults << widget->objectName().toStdString() << " lies over "
               << sibling->objectName().toStdString() << "\n";
    }
  }
  return faults.str();
}

TEST_F(WindowSize, SmallestFitsASmallScreenAndEveryPageFitsItsTextsInEachLanguage) {
  // 3, the user's language, has no file here: the built-in texts.
  for (int language : {0, 1, 2, 3}) {
    SCOPED_TRACE("language " + std::to_string(language));
    MakeWindow("LANGUAGE=" + std::to_string(language) + "\n");
    window->show();
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    EXPECT_LE(least.width(), kSmallScreenRoom.width());
    EXPECT_LE(least.height(), kSmallScreenRoom.height());
    window->resize(least);
    QTabWidget* pages = window->PageControl();
    for (int i = 0; i < pages->count(); ++i) {
      pages->setCurrentIndex(i);
      QApplication::processEvents();
      EXPECT_EQ(Faults(*pages->widget(i)), "") << pages->widget(i)->objectName().toStdString();
    }
    CloseWindow();
  }
}

TEST(WindowStart, UsesALargerScreenAndNeverMoreThanTheScreenHas) {
  const QSize designed(1024, 768);
  const QSize least(925, 667);
  struct Case {
    QSize room;
    QSize start;
  };
  for (const Case& c : {Case{{1920, 1040}, {1600, 936}}, {{1280, 984}, {1152, 886}},
                        {{1024, 700}, {1024, 700}}, {{1100, 740}, {1024, 740}},
                        {{3840, 2100}, {1600, 1000}}, {{800, 600}, designed}}) {
    EXPECT_EQ(StartSize(designed, least, c.room), c.start)
        << c.room.width() << "x" << c.room.height();
  }
}

}  // namespace
}  // namespace talvo::app::test
