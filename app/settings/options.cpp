#include "app/settings/options.h"

#include <algorithm>

namespace talvo::app {
namespace {

constexpr int kEnglish = 2;
// A timer of 0 ms would spin the event loop; one that fires once a day is no timer either.
constexpr int kShortestInterval = 1;
constexpr int kLongestInterval = 60000;

}  // namespace

int TOptions::Language(bool* saved) const {
  const int language = file_.ReadInteger(kOptions, "LANGUAGE", kEnglish);
  const bool inRange = language >= 0 && language <= 3;
  const bool written = inRange || file_.WriteInteger(kOptions, "LANGUAGE", kEnglish);
  if (saved) *saved = written;
  return inRange ? language : kEnglish;
}

int TOptions::ProcessInterval() const {
  return std::clamp(file_.ReadInteger(kOptions, "SERVICE_PROCESS_INTERVAL", 100),
                    kShortestInterval, kLongestInterval);
}

unsigned TOptions::KeepConnectCount() const {
  if (!EnableReconnectTimes()) return 0;
  return static_cast<unsigned>(std::max(0, NumberReconnectTimes()));
}

int TOptions::KeepConnectInterval() const {
  const int seconds = std::clamp(ReconnectDelaySeconds(), 0, 24 * 3600);
  return seconds * 1000;
}

int TOptions::AlarmWarnFlashInterval() const {
  return std::clamp(file_.ReadInteger(kOptions, "AlarmWarnFlashTimer", 500), kShortestInterval,
                    kLongestInterval);
}

int TOptions::LastSysType() const {
  const int type = file_.ReadInteger(kOptions, "LastSysType", 0);
  return type == 1 ? 1 : 0;
}

bool TOptions::SetLastSysType(int type) {
  // A start that changes nothing leaves the file alone; "LastSysType=7" is repaired.
  if (file_.ReadInteger(kOptions, "LastSysType", 0) == type) return true;
  return file_.WriteInteger(kOptions, "LastSysType", type);
}

std::string TOptions::Folder(const char* key, const char* underHome) const {
  std::string folder = file_.ReadString(kLocalDir, key, home_ + underHome);
  if (folder.empty()) folder = home_ + underHome;
  if (folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace talvo::app
