// Information objects for what the running block commands: one of the H, M, T, P, Q, R
// codes, the feed rate, the three spindles and the active G codes. Like the run state, a
// forced update reports the held values without reading.
#pragma once

#include <array>
#include <cstdint>

#include "service/talvo_info.h"

namespace talvo {

enum class ECodeKind { Idle = 0, H = 1, M0 = 2, M1 = 3, M2 = 4, T = 5, P = 6, Q = 7, R = 8 };

class TTalvoInfo_GetCodeXX : public TTalvoInfo {
 public:
  void Update(bool force) override;

  ECodeKind Kind = ECodeKind::Idle;  // Idle: the object reads nothing

  std::int16_t Value() const { return value_; }

 private:
  void Read(int* changed);

  std::int16_t value_ = 0;
};

class TTalvoInfo_FeedRate : public TTalvoInfo {
 public:
  void Update(bool force) override;

  std::int32_t Command() const { return command_; }
  std::int32_t Actual() const { return actual_; }
  double Percentage() const { return percentage_; }
  bool CommandChanged() const { return commandChanged_; }
  bool ActualChanged() const { return actualChanged_; }
  bool PercentageChanged() const { return percentageChanged_; }

 private:
  std::int32_t command_ = 0;
  std::int32_t actual_ = 0;
  double percentage_ = 0;
  bool commandChanged_ = false;
  bool actualChanged_ = false;
  bool percentageChanged_ = false;
};

class TTalvoInfo_SpindleSpeed : public TTalvoInfo {
 public:
  static constexpr int kSpindles = 3;

  void Update(bool force) override;

  // By spindle 0-2 (spindles 1-3); 0 or false outside.
  std::int32_t Command(int spindle) const;
  std::int32_t Actual(int spindle) const;
  double Percentage(int spindle) const;
  bool CommandChanged(int spindle) const;
  bool ActualChanged(int spindle) const;
  bool PercentageChanged(int spindle) const;

 private:
  std::array<std::int32_t, kSpindles> command_{};
  std::array<std::int32_t, kSpindles> actual_{};
  std::array<double, kSpindles> percentage_{};
  std::array<bool, kSpindles> commandChanged_{};
  std::array<bool, kSpindles> actualChanged_{};
  std::array<bool, kSpindles> percentageChanged_{};
};

class TTalvoInfo_GGroup : public TTalvoInfo {
 public:
  static constexpr int kGroups = 18;

  TTalvoInfo_GGroup() { groups_.fill(-1); }
  void Update(bool force) override;

  // The active G code of group 0-17; -1 outside, and before the first read.
  int ActiveG(int group) const;

 private:
  std::array<int, kGroups> groups_;
};

}  // namespace talvo
