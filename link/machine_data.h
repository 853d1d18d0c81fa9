// The sizes of the controller's data tables and the records a read hands out: what a caller
// needs to size the arrays it passes to the link's read operations.
#pragma once

#include <cstdint>

namespace vandir {

// The controller's numbers are kept in its own units (least increments, milliseconds,
// percent); texts are single-byte in the controller's code page.
inline constexpr int kAxes = 6;
inline constexpr int kGGroups = 19;
inline constexpr int kMCodes = 3;
inline constexpr int kSystemVariables = 48;
inline constexpr int kAlarmSlots = 20;
inline constexpr int kMillTools = 100;
inline constexpr int kMillLengths = 6;
inline constexpr int kLatheTools = 33;
inline constexpr int kLatheValues = 4;  // X, Y, Z, nose radius
inline constexpr int kWorkOffsets = 6;  // G54 .. G59
inline constexpr int kExtendedOffsets = 300;
inline constexpr int kGlobalVariables = 1101;
inline constexpr int kLocalVariables = 50;
inline constexpr int kParameters = 2001;
inline constexpr int kPlcBits = 512;
inline constexpr int kPlcWords = 256;
inline constexpr int kPartPathSize = 128;
inline constexpr int kFileCmdNameSize = 128;
inline constexpr int kHardwareChecks = 24;
inline constexpr int kCardNameSize = 10;
inline constexpr int kExtraHardwareFlags = 6;
inline constexpr int kNcPathSize = 256;
inline constexpr int kStorageChecks = 3;

// The controller's detail record of one parameter; its inside is the controller's.
struct defBinRecordItem {
  std::uint8_t Bytes[60];
};

}  // namespace vandir
