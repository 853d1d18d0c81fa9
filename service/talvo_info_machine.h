// Information objects for the state of the machine's run: status and mode, alarms and
// warnings, the programs, the part counts and the work times. A forced update reports the
// held values without reading: they are redrawn from memory when a page is shown.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "service/talvo_info.h"

namespace talvo {

class TTalvoInfo_StatusMode : public TTalvoInfo {
 public:
  void Update(bool force) override;

  std::int16_t Status() const { return status_; }
  std::int16_t Mode() const { return mode_; }
  bool StatusChanged() const { return statusChanged_; }
  bool ModeChanged() const { return modeChanged_; }

 private:
  std::int16_t status_ = 0;
  std::int16_t mode_ = 0;
  bool statusChanged_ = false;
  bool modeChanged_ = false;
};

class TTalvoInfo_AlarmWarning : public TTalvoInfo {
 public:
  static constexpr int kSlots = 20;

  void Update(bool force) override;

  std::int16_t AlarmCount() const { return alarmCount_; }
  std::int16_t WarningCount() const { return warningCount_; }
  // Numbers by slot 0-19; 0 outside.
  std::int32_t Alarm(int index) const;
  std::int32_t Warning(int index) const;
  bool AlarmChanged() const { return alarmChanged_; }
  bool WarningChanged() const { return warningChanged_; }

 private:
  std::int16_t alarmCount_ = 0;
  std::int16_t warningCount_ = 0;
  std::array<std::int32_t, kSlots> alarms_{};
  std::array<std::int32_t, kSlots> warnings_{};
  bool alarmChanged_ = false;
  bool warningChanged_ = false;
};

class TTalvoInfo_Program : public TTalvoInfo {
 public:
  void Update(bool force) override;

  // Which items are read; an item switched off is never reported as changed.
  bool ReadMainPart = true;
  bool ReadCurrentPart = true;
  bool ReadN = true;
  bool ReadBlockLine = true;

  const std::string& MainPart() const { return mainPart_; }
  const std::string& CurrentPart() const { return currentPart_; }
  std::int32_t N() const { return n_; }
  std::int32_t BlockLine() const { return blockLine_; }
  bool MainPartChanged() const { return mainPartChanged_; }
  bool CurrentPartChanged() const { return currentPartChanged_; }
  bool NChanged() const { return nChanged_; }
  bool BlockLineChanged() const { return blockLineChanged_; }

 private:
  std::string mainPart_;
  std::string currentPart_;
  std::int32_t n_ = 0;
  std::int32_t blockLine_ = 0;
  bool mainPartChanged_ = false;
  bool currentPartChanged_ = false;
  bool nChanged_ = false;
  bool blockLineChanged_ = false;
};

class TTalvoInfo_WorkPiece : public TTalvoInfo {
 public:
  void Update(bool force) override;

  std::int32_t NowCount() const { return nowCount_; }
  std::int32_t MaxCount() const { return maxCount_; }
  bool NowChanged() const { return nowChanged_; }
  bool MaxChanged() const { return maxChanged_; }

 private:
  std::int32_t nowCount_ = 0;
  std::int32_t maxCount_ = 0;
  bool nowChanged_ = false;
  bool maxChanged_ = false;
};

// A work time as the controller counts it and as the page shows it.
struct TWorkTime {
  std::int32_t Milliseconds = 0;
  int Hours = 0;
  int Minutes = 0;
  int Seconds = 0;

  void Split();
};

class TTalvoInfo_WorkTime : public TTalvoInfo {
 public:
  void Update(bool force) override;

  const TWorkTime& Current() const { return current_; }
  const TWorkTime& Total() const { return total_; }
  bool CurrentChanged() const { return currentChanged_; }
  bool TotalChanged() const { return totalChanged_; }

 private:
  TWorkTime current_;
  TWorkTime total_;
  bool currentChanged_ = false;
  bool totalChanged_ = false;
};

}  // namespace talvo
