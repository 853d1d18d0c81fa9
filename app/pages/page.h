// A page of the main window's page control. The page owns its controls and their names;
// the frame tells it when captions are due and when it is shown or hidden.
#pragma once

#include <QWidget>

namespace talvo::app {

class TLanguage;

class TPage : public QWidget {
 public:
  // `tag` is the page's number, also the group of the information objects it shows.
  TPage(const char* objectName, int tag, QWidget* parent = nullptr);

  int Tag() const { return tag_; }
  // Captions of the page's controls from the current language file.
  virtual void LoadCaptions(const TLanguage& language) = 0;
  // The page became, or stopped being, the current one while connected.
  virtual void PageShown() {}
  virtual void PageHidden() {}

 private:
  int tag_;
};

// Page numbers (tags), which are also the information objects' groups.
namespace page_tag {
inline constexpr int kAlways = 1;  // group of the objects every page polls
inline constexpr int kWork = 2;
inline constexpr int kPosition = 3;
inline constexpr int kPLC = 4;
inline constexpr int kAlarm = 5;
inline constexpr int kParameter = 6;
inline constexpr int kUserParameter = 7;
inline constexpr int kHardware = 8;
inline constexpr int kMachine = 9;
inline constexpr int kNCFiles = 10;
inline constexpr int kUpgrade = 11;
inline constexpr int kOption = 12;
inline constexpr int kUserParameter2 = 13;
}  // namespace page_tag

}  // namespace talvo::app
