#include "service/talvo_info_plc.h"

#include "link/vandircnc.h"

namespace talvo {

using vandir::TVandirCNC;

namespace {

using BitRead = int (TVandirCNC::*)(int, int, char*, int*);
using WordRead = int (TVandirCNC::*)(int, int, int*, int*);

// By letter 1-5.
constexpr BitRead kBitRead[] = {&TVandirCNC::GetPLC_I_Bit, &TVandirCNC::GetPLC_O_Bit,
                                &TVandirCNC::GetPLC_C_Bit, &TVandirCNC::GetPLC_S_Bit,
                                &TVandirCNC::GetPLC_A_Bit};
// By kind 1-4.
constexpr WordRead kCounterTimerRead[] = {&TVandirCNC::GetPLC_CounterNow,
                                          &TVandirCNC::GetPLC_CounterSet,
                                          &TVandirCNC::GetPLC_TimerNow,
                                          &TVandirCNC::GetPLC_TimerSet};
// By kind 1-2.
constexpr WordRead kRegisterRead[] = {&TVandirCNC::GetPLC_Register,
                                      &TVandirCNC::GetPLC_BackupRegister};

}  // namespace

void TTalvoInfo_PLCxxBit::Update(bool force) {
  const BitRead read = SelectedRead(kBitRead, Letter);
  if (read == nullptr) return;
  UpdateChunks(force, EForcedRead::Read, 0, kBits, kChunk, [&](int start, int count, int* c) {
    (Link().*read)(start, count, &bits_[start], c);
  });
}

void TTalvoInfo_PLCCounterTimer::Update(bool force) {
  const WordRead read = SelectedRead(kCounterTimerRead, Kind);
  if (read == nullptr) return;
  TItemReads reads(force, EForcedRead::Read);
  reads.Item(nullptr, [&](int* c) { (Link().*read)(0, kEntries, values_.data(), c); });
  if (reads.Raise()) DoChange();
}

void TTalvoInfo_PLCRegister::Update(bool force) {
  const WordRead read = SelectedRead(kRegisterRead, Kind);
  if (read == nullptr) return;
  UpdateChunks(force, EForcedRead::Read, 0, kRegisters, kChunk,
               [&](int start, int count, int* c) {
                 (Link().*read)(start, count, &values_[start], c);
               });
}

}  // namespace talvo
