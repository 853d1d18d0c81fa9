// The machines a fleet backup goes to: those named on the command line, or every entry of
// the machine list in the program's settings file (section MACHINEDATA: CNCCOUNT, CNCNAMEn,
// CNCIPn), which also gives a machine named by its address its name.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"

namespace talvo::cli {

struct FleetMachine {
  std::string name;  // UTF-8; the address when the list has no name for it
  std::string address;
  bool operator==(const FleetMachine&) const = default;  // for the tests' tables
};

// The entries of a settings file's bytes, in list order, each address once; an entry with a
// name but no address is kept, for the backup to report. Names are decoded from the code page
// of the program's interface language (OPTIONS, LANGUAGE).
std::vector<FleetMachine> ReadMachineList(std::string_view settings);

// <home>/Talvo-Maintenance.ini of the program home: $TALVO_HOME, else the folder of the
// running executable.
std::filesystem::path DefaultSettingsFile();

// The machines `command` backs up. Throws a Failure when there are none or when the
// machine list it needs cannot be read.
std::vector<FleetMachine> MachinesToBackUp(const Backup& command);

}  // namespace talvo::cli
