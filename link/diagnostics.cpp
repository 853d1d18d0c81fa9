#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "link/cache.h"
#include "link/data_recorder.h"
#include "link/reply_decoder.h"
#include "link/vandircnc.h"

namespace vandir {

namespace {

std::string Hex8(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%.8X", value);
  return text;
}

}  // namespace

std::string TVandirCNC::GetCPUID() const {
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return Hex8(edx);
#endif
  // No identification instruction: a stable value derived from the machine's identity.
  std::ifstream file("/etc/machine-id");
  std::string id;
  std::getline(file, id);
  return Hex8(static_cast<std::uint32_t>(std::hash<std::string>{}(id)));
}

}  // namespace vandir

namespace vandir {

void TVandirCNC::HWDiagnosis(bool* checks, char* cardName, bool* extra, int* changed) {
  *changed = kUnchanged;
  AskHWDiagnosis();
  CacheData& reported = Cache->Reported();
  Cache->WithCurrent([&](CacheData& c) {
    const bool differs =
        std::memcmp(c.HardwareCheck, reported.HardwareCheck, sizeof c.HardwareCheck) != 0 ||
        std::strncmp(c.CardModelName, reported.CardModelName, sizeof c.CardModelName) != 0 ||
        std::memcmp(c.ExtraHardwareFlag, reported.ExtraHardwareFlag, sizeof c.ExtraHardwareFlag) != 0;
    if (differs) *changed = kChanged;
    std::memcpy(reported.HardwareCheck, c.HardwareCheck, sizeof c.HardwareCheck);
    std::memcpy(reported.CardModelName, c.CardModelName, sizeof c.CardModelName);
    std::memcpy(reported.ExtraHardwareFlag, c.ExtraHardwareFlag, sizeof c.ExtraHardwareFlag);
  });
  for (int i = 0; i < kHardwareChecks; ++i) checks[i] = reported.HardwareCheck[i] != 0;
  std::memcpy(cardName, reported.CardModelName, kCardNameSize);
  cardName[kCardNameSize - 1] = '\0';
  for (int i = 0; i < kExtraHardwareFlags; ++i) extra[i] = reported.ExtraHardwareFlag[i] != 0;
}

void TVandirCNC::HWDiagnosis2(bool* storage, int* changed) {
  *changed = kUnchanged;
  for (int kind : {11, 12, 13}) AskHWDiagnosis2(kind);
  CacheData& reported = Cache->Reported();
  Cache->WithCurrent([&](CacheData& c) {
    if (std::memcmp(c.StorageCheck, reported.StorageCheck, sizeof c.StorageCheck) != 0) {
      std::memcpy(reported.StorageCheck, c.StorageCheck, sizeof c.StorageCheck);
      *changed = kChanged;
    }
  });
  for (int i = 0; i < kStorageChecks; ++i) storage[i] = reported.StorageCheck[i] != 0;
}

int TVandirCNC::GetDiskFree(unsigned drive, defDiskFree* record, int* changed) {
  *changed = kUnchanged;
  AskGetDiskFree(drive);
  CacheData& reported = Cache->Reported();
  Cache->WithCurrent([&](CacheData& c) {
    if (std::memcmp(c.DiskFree, reported.DiskFree, sizeof c.DiskFree) != 0) {
      std::memcpy(reported.DiskFree, c.DiskFree, sizeof c.DiskFree);
      *changed = kChanged;
    }
  });
  *record = {reported.DiskFree[0], reported.DiskFree[1], reported.DiskFree[2],
             reported.DiskFree[3]};
  return 1;
}

int TVandirCNC::SendMessageA(std::int16_t kind, const std::string& message) {
  return AskSendMessage(kind, message);
}

int TVandirCNC::Send_DIAGLOG(const std::string& message) { return SendMessageA(0, message); }
int TVandirCNC::Send_HINT(const std::string& message) { return SendMessageA(1, message); }
int TVandirCNC::Send_DIAGLOG_HINT(const std::string& message) { return SendMessageA(2, message); }
int TVandirCNC::Send_SETUP_FINISH(const std::string& message) { return SendMessageA(3, message); }
int TVandirCNC::Send_UPLOAD_MACHINE_FINISH(const std::string& message) {
  return SendMessageA(4, message);
}

int TVandirCNC::MessageBoxA(const std::string& message, const std::string& title) {
  if (message == "0" || title == "0" || message.size() + title.size() > kDataSize - 2)
    return kRefused;
  // A request the transport turned away (its lists busy) is a refusal too: reporting it as
  // sent would lose the message without a word.
  return AskMessageBox(message, title) == kOk ? kOk : kRefused;
}

int TVandirCNC::Set_DR_Save_Path(const std::string& path) {
  const bool fits = path.size() <= kMaxRecorderPath;
  Cache->WithCurrent([&](CacheData& c) {
    std::memset(c.DRSavePath, 0, sizeof c.DRSavePath);
    if (fits) std::memcpy(c.DRSavePath, path.data(), path.size());
  });
  return fits ? kOk : kBadArgument;
}

void TVandirCNC::Set_DR_ChangeTimer(unsigned count) {
  Cache->WithCurrent([count](CacheData& c) { c.DRChangeTimer = count; });
}

int TVandirCNC::Get_DR_Data() {
  return static_cast<int>(Cache->WithCurrent([](const CacheData& c) { return c.DRRecordCount; }));
}

int TVandirCNC::AskGetDRData() { return Ask(kReplyDataRecord, kPackageSize, Path::Normal, 0, kPackageSize); }

}  // namespace vandir
