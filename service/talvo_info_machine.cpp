#include "service/talvo_info_machine.h"

#include "link/vandircnc.h"
#include "service/talvo_info_reads.h"

namespace talvo {

void TTalvoInfo_StatusMode::Update(bool force) {
  TItemReads reads(force, EForcedRead::Skip);
  reads.Item(&statusChanged_, [&](int* c) { Link().GetStstus(&status_, c); });
  reads.Item(&modeChanged_, [&](int* c) { Link().GetMode(&mode_, c); });
  if (reads.Raise()) DoChange();
}

void TTalvoInfo_AlarmWarning::Update(bool force) {
  TItemReads reads(force, EForcedRead::Skip);
  reads.Item(&alarmChanged_, [&](int* c) { Link().GetAlarm(&alarmCount_, alarms_.data(), c); });
  reads.Item(&warningChanged_,
             [&](int* c) { Link().GetWarning(&warningCount_, warnings_.data(), c); });
  if (reads.Raise()) DoChange();
}

std::int32_t TTalvoInfo_AlarmWarning::Alarm(int index) const { return Element(alarms_, index); }

std::int32_t TTalvoInfo_AlarmWarning::Warning(int index) const {
  return Element(warnings_, index);
}

void TTalvoInfo_Program::Update(bool force) {
  TItemReads reads(force, EForcedRead::Skip);
  reads.ItemIf(ReadMainPart, &mainPartChanged_,
               [&](int* c) { Link().GetMainPart(&mainPart_, c); });
  reads.ItemIf(ReadCurrentPart, &currentPartChanged_,
               [&](int* c) { Link().GetCurrentPart(&currentPart_, c); });
  reads.ItemIf(ReadN, &nChanged_, [&](int* c) { Link().GetCode_N(&n_, c); });
  reads.ItemIf(ReadBlockLine, &blockLineChanged_,
               [&](int* c) { Link().GetBlockLineNumber(&blockLine_, c); });
  if (reads.Raise()) DoChange();
}

void TTalvoInfo_WorkPiece::Update(bool force) {
  TItemReads reads(force, EForcedRead::Skip);
  reads.Item(&nowChanged_, [&](int* c) { Link().GetNowWorkPiece(&nowCount_, c); });
  reads.Item(&maxChanged_, [&](int* c) { Link().GetMaxWorkPiece(&maxCount_, c); });
  if (reads.Raise()) DoChange();
}

void TWorkTime::Split() {
  Hours = Milliseconds / 3600000;
  Minutes = Milliseconds / 60000 % 60;
  Seconds = Milliseconds / 1000 % 60;
}

void TTalvoInfo_WorkTime::Update(bool force) {
  TItemReads reads(force, EForcedRead::Skip);
  reads.Item(&currentChanged_,
             [&](int* c) { Link().GetCurrentWorkTime(&current_.Milliseconds, c); });
  reads.Item(&totalChanged_, [&](int* c) { Link().GetTotalWorkTime(&total_.Milliseconds, c); });
  if (!reads.Raise()) return;
  if (currentChanged_) current_.Split();
  if (totalChanged_) total_.Split();
  DoChange();
}

}  // namespace talvo
