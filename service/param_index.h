// The controller's parameter index: which parameters form each of the eleven groups, in
// which order, and when a change to each takes effect.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace talvo {

inline constexpr int kParamTableSize = 5001;
inline constexpr int kParamGroups = 11;
inline constexpr const char* kParamIndexOpenError = "fopen 'PARAM.IDX'  read  error!";

struct ParamDescriptor {
  std::uint16_t Number = 0;
  std::uint16_t Extra = 0;
  std::int32_t Value1 = 0, Value2 = 0, Value3 = 0, Value4 = 0;
  std::int16_t ActiveType = 0;  // 0 none, 1-3 the activation-type name
  std::int16_t Reserved = 0;
};

struct ParamIndex {
  int Version = 0;
  std::uint16_t RecordCount = 0;  // as the file announces it
  std::uint16_t Layout = 0;
  std::array<std::int32_t, kParamGroups> GroupStart{};  // [g - 1] for group g
  std::array<std::int32_t, kParamGroups> GroupCount{};
  int RecordsRead = 0;
  std::vector<ParamDescriptor> Records = std::vector<ParamDescriptor>(kParamTableSize);

  // The descriptors of group g (1-11) as [first, end) indexes into Records.
  std::int32_t GroupEnd(int group) const { return GroupStart[group - 1] + GroupCount[group - 1]; }
};

enum class ParamIndexStatus {
  Ok,
  CannotOpen,  // show kParamIndexOpenError
  Invalid,     // a shown group outside the table, or an unknown activation type
};

struct ParamIndexResult {
  ParamIndexStatus Status = ParamIndexStatus::Ok;
  ParamIndex Index;
};

// The groups the parameter pages show: 1-7 and 11.
bool ShownParamGroup(int group);

ParamIndexResult ParseParamIndex(std::string_view bytes);
ParamIndexResult ReadParamIndex(const std::string& path);

}  // namespace talvo
