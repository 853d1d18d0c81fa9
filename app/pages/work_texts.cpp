#include "app/pages/work_texts.h"

namespace talvo::app {
namespace {

constexpr int kMagazineRegister = 55;
constexpr int kSpindleToolRegister = 73;
constexpr int kPreparedPocketRegister = 74;
constexpr int kPockets = 40;

}  // namespace

QString GGroupText(int group, int value, bool lathe) {
  if (value < 0 || (lathe && group == kGGroups - 1)) return {};
  return "G" + QString::number(value);
}

TToolInSpindle ToolInSpindle(bool milling, const std::function<int(int)>& backupRegister) {
  TToolInSpindle tools;
  tools.shown = milling && backupRegister(kMagazineRegister) > 0;
  if (!tools.shown) return tools;
  tools.spindle = backupRegister(kSpindleToolRegister);
  const int pocket = backupRegister(kPreparedPocketRegister);
  tools.prepared = pocket >= 1 && pocket <= kPockets ? backupRegister(pocket) : 0;
  return tools;
}

}  // namespace talvo::app
