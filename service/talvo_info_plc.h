// Information objects for the PLC: the bits of one letter, one counter or timer table, and
// the registers or backup registers. They read even when forced: the PLC page shows live
// signals.
#pragma once

#include <array>

#include "service/talvo_info_reads.h"

namespace talvo {

enum class EPlcBitLetter { Idle = 0, I = 1, O = 2, C = 3, S = 4, A = 5 };

class TTalvoInfo_PLCxxBit : public TTalvoInfoChunked {
 public:
  static constexpr int kBits = 512;
  static constexpr int kChunk = 256;

  void Update(bool force) override;

  EPlcBitLetter Letter = EPlcBitLetter::Idle;  // Idle: the object reads nothing

  // Bit 0-511 as 0 or 1; 0 outside.
  int Bit(int address) const { return Element(bits_, address); }

 private:
  std::array<char, kBits> bits_{};
};

enum class EPlcCounterTimerKind {
  Idle = 0,
  CounterNow = 1,
  CounterSet = 2,
  TimerNow = 3,
  TimerSet = 4,
};

class TTalvoInfo_PLCCounterTimer : public TTalvoInfo {
 public:
  static constexpr int kEntries = 64;

  void Update(bool force) override;

  EPlcCounterTimerKind Kind = EPlcCounterTimerKind::Idle;  // Idle: the object reads nothing

  // Entry 0-63; 0 outside.
  int Value(int index) const { return Element(values_, index); }

 private:
  std::array<int, kEntries> values_{};
};

enum class EPlcRegisterKind { Idle = 0, Register = 1, BackupRegister = 2 };

class TTalvoInfo_PLCRegister : public TTalvoInfoChunked {
 public:
  static constexpr int kRegisters = 256;
  static constexpr int kChunk = 100;

  void Update(bool force) override;

  EPlcRegisterKind Kind = EPlcRegisterKind::Idle;  // Idle: the object reads nothing

  // Register 0-255; 0 outside.
  int Value(int address) const { return Element(values_, address); }

 private:
  std::array<int, kRegisters> values_{};
};

}  // namespace talvo
