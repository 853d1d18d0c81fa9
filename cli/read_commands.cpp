// Commands that read machine data and print it as key=value lines.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "cli/cached_reads.h"
#include "cli/commands.h"
#include "cli/disk.h"
#include "cli/errors.h"
#include "cli/output.h"
#include "link/spindle_reads.h"

namespace talvo::cli {

namespace {

using vandir::TVandirCNC;

// The feed and each spindle report a commanded and an actual rate and an override.
struct RateReads {
  const char* name;
  vandir::SpindleReads reads;
};

constexpr RateReads kRates[] = {
    {"feed", {&TVandirCNC::GetCommandFeedRate, &TVandirCNC::GetActualFeedRate,
              &TVandirCNC::GetFeedRatePercentage}},
    {"spindle1", vandir::kSpindleReads[0]},
    {"spindle2", vandir::kSpindleReads[1]},
    {"spindle3", vandir::kSpindleReads[2]},
};

struct AxesRead {
  const char* name;
  int (TVandirCNC::*get)(std::int32_t*, int*);
};

constexpr AxesRead kPositions[] = {
    {"machine_pos", &TVandirCNC::GetMachinePos},
    {"absolute_pos", &TVandirCNC::GetAbsolutePos},
    {"relative_pos", &TVandirCNC::GetRelativePos},
    {"distance_to_go", &TVandirCNC::GetDistanceToGo},
};

void PrintNumberList(Report& report, std::string_view key, TVandirCNC& link,
                     int (TVandirCNC::*get)(std::int16_t*, std::int32_t*, int*)) {
  std::int16_t count = 0;
  std::int32_t numbers[vandir::kAlarmSlots];
  int changed = 0;
  (link.*get)(&count, numbers, &changed);
  report.Field(key, std::span<const std::int32_t>(numbers, static_cast<std::size_t>(count)));
}

}  // namespace

void Run(Session& session, const Status&, std::ostream& out) {
  TVandirCNC& link = session.Link();
  session.Request({&TVandirCNC::AskStatusMode, &TVandirCNC::AskInformation1,
                   &TVandirCNC::AskInformation2, &TVandirCNC::AskPosition,
                   &TVandirCNC::AskAlarmWarring},
                  "the machine status");
  Report report(out);
  report.Field("mode", Read(link, &TVandirCNC::GetMode));
  report.Field("status", Read(link, &TVandirCNC::GetStstus));
  report.Field("main_program", Read(link, &TVandirCNC::GetMainPart));
  report.Field("current_program", Read(link, &TVandirCNC::GetCurrentPart));
  for (const RateReads& rate : kRates) {
    const std::string name = rate.name;
    report.Field(name + "_command", Read(link, rate.reads.command));
    report.Field(name + "_actual", Read(link, rate.reads.actual));
    report.Field(name + "_override", PercentOfFraction(Read(link, rate.reads.override)));
  }
  std::array<int, vandir::kGGroups> gCodes{};
  int changed = 0;
  link.GetActiveG_OfGroup(0, vandir::kGGroups, gCodes.data(), &changed);
  report.Field("g_codes", std::span<const std::int32_t>(gCodes));
  report.Field("h_code", Read(link, &TVandirCNC::GetCode_H));
  for (std::int16_t i = 0; i < vandir::kMCodes; ++i) {
    std::int16_t m = 0;
    link.GetCode_M(i, &m, &changed);
    report.Field("m" + std::to_string(i) + "_code", m);
  }
  report.Field("t_code", Read(link, &TVandirCNC::GetCode_T));
  report.Field("p_code", Read(link, &TVandirCNC::GetCode_P));
  report.Field("q_code", Read(link, &TVandirCNC::GetCode_Q));
  report.Field("r_code", Read(link, &TVandirCNC::GetCode_R));
  report.Field("n_code", Read(link, &TVandirCNC::GetCode_N));
  report.Field("block_line", Read(link, &TVandirCNC::GetBlockLineNumber));
  report.Field("parts_required", Read(link, &TVandirCNC::GetMaxWorkPiece));
  report.Field("parts_current", Read(link, &TVandirCNC::GetNowWorkPiece));
  report.Field("work_time_current_ms", Read(link, &TVandirCNC::GetCurrentWorkTime));
  report.Field("work_time_total_ms", Read(link, &TVandirCNC::GetTotalWorkTime));
  for (const AxesRead& position : kPositions)
    report.Field(position.name, std::span<const std::int32_t>(ReadAxes(link, position.get)));
  PrintNumberList(report, "alarms", link, &TVandirCNC::GetAlarm);
  PrintNumberList(report, "warnings", link, &TVandirCNC::GetWarning);
}

void Run(Session& session, const Params& command, std::ostream& out) {
  // The controller answers at most this many parameters per request.
  constexpr int kSlice = 100;
  std::vector<std::int32_t> values(static_cast<std::size_t>(command.count));
  int changed = 0;
  std::vector<Session::Ask> asks;
  for (int offset = 0; offset < command.count; offset += kSlice)
    asks.push_back([first = command.first + offset](TVandirCNC& link) {
      return link.AskParameter(first);
    });
  session.Request(asks, "the parameters");
  for (int offset = 0; offset < command.count; offset += kSlice)
    session.Link().GetParameter(command.first + offset, std::min(kSlice, command.count - offset),
                                values.data() + offset, &changed);
  for (int i = 0; i < command.count; ++i)
    out << command.first + i << '=' << values[static_cast<std::size_t>(i)] << '\n';
}

void Run(Session& session, const DiskFree& command, std::ostream& out) {
  TVandirCNC::defDiskFree record{};
  int changed = 0;
  session.Request({[&](TVandirCNC& link) { return link.AskGetDiskFree(command.drive); }},
                  "the disk space");
  session.Link().GetDiskFree(command.drive, &record, &changed);
  // The link keeps the record only from a successful answer: all zero means the
  // controller has no such drive.
  if (record.TotalClusters == 0 && record.SectorsPerCluster == 0 && record.BytesPerSector == 0)
    throw Failure(ExitStatus::kControllerRefused,
                  "the controller reports no drive " + std::to_string(command.drive));
  const DiskSpace space = DiskSpaceOf(record);
  Report report(out);
  report.Field("drive", command.drive);
  report.Field("total_bytes", space.totalBytes);
  report.Field("free_bytes", space.freeBytes);
  report.Field("total_clusters", record.TotalClusters);
  report.Field("available_clusters", record.AvailableClusters);
  report.Field("sectors_per_cluster", record.SectorsPerCluster);
  report.Field("bytes_per_sector", record.BytesPerSector);
}

void Run(Session& session, const Hardware&, std::ostream& out) {
  constexpr const char* kCheckGroups[] = {"remote_io_set", "encoder_fault_axis",
                                          "home_switch_axis", "index_axis"};
  constexpr int kPerGroup = vandir::kHardwareChecks / static_cast<int>(std::size(kCheckGroups));
  constexpr const char* kStorageChecks[] = {"second_cf_card", "ram_disk_present",
                                            "ram_disk_sound"};
  bool checks[vandir::kHardwareChecks];
  char cardModel[vandir::kCardNameSize];
  bool extra[vandir::kExtraHardwareFlags];
  bool storage[vandir::kStorageChecks];
  int changed = 0;
  std::vector<Session::Ask> asks = {&TVandirCNC::AskHWDiagnosis};
  // The storage checks come one per request, by kind.
  for (const int kind : {11, 12, 13})
    asks.push_back([kind](TVandirCNC& link) { return link.AskHWDiagnosis2(kind); });
  session.Request(asks, "the hardware diagnosis");
  session.Link().HWDiagnosis(checks, cardModel, extra, &changed);
  session.Link().HWDiagnosis2(storage, &changed);

  Report report(out);
  for (int group = 0; group * kPerGroup < vandir::kHardwareChecks; ++group)
    for (int i = 0; i < kPerGroup; ++i)
      report.Field(kCheckGroups[group] + std::to_string(i + 1), checks[group * kPerGroup + i]);
  report.Field("card_model", std::string_view(cardModel));
  std::array<std::int32_t, vandir::kExtraHardwareFlags> extraFlags;
  std::copy(std::begin(extra), std::end(extra), extraFlags.begin());
  report.Field("extra_flags", std::span<const std::int32_t>(extraFlags));
  for (int i = 0; i < vandir::kStorageChecks; ++i) report.Field(kStorageChecks[i], storage[i]);
}

void Run(Session& session, const Version&, std::ostream& out) {
  TVandirCNC& link = session.Link();
  session.Request({&TVandirCNC::AskSWInformation, &TVandirCNC::AskNCRootPath,
                   &TVandirCNC::AskNCMachinePath, &TVandirCNC::AskNCFilesPath},
                  "the software information");
  Report report(out);
  report.Field("software", Read(link, &TVandirCNC::SWInformation));
  report.Field("nc_root_path", Read(link, &TVandirCNC::Get_NC_Root_Path));
  report.Field("nc_machine_path", Read(link, &TVandirCNC::Get_NC_Machine_Path));
  report.Field("nc_files_path", Read(link, &TVandirCNC::Get_NC_Files_Path));
}

}  // namespace talvo::cli
