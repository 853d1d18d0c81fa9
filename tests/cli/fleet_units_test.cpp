// The parts of the fleet commands that need no controller: reading the program's machine
// list, and the summary table.
#include <gtest/gtest.h>

#include "cli/fleet/machine_list.h"
#include "cli/fleet/summary_table.h"

namespace talvo::cli {
namespace {

using Machines = std::vector<FleetMachine>;

TEST(MachineList, ReadsTheEntriesAsTheProgramDoes) {
  const struct {
    const char* what;
    std::string settings;
    Machines machines;
  } cases[] = {
      {"no count: one entry", "[MACHINEDATA]\nCNCNAME0=Mill\nCNCIP0=10.0.0.1\nCNCIP1=10.0.0.2\n",
       {{"Mill", "10.0.0.1"}}},
      {"count with blanks and a plus", "[machinedata]\r\ncnccount = +2 \r\ncncip0=10.0.0.1\r\ncncip1= 10.0.0.2\r\n",
       {{"10.0.0.1", "10.0.0.1"}, {"10.0.0.2", "10.0.0.2"}}},
      {"a count that is no number counts as one", "[MACHINEDATA]\nCNCCOUNT=2x\nCNCIP0=a\nCNCIP1=b\n",
       {{"a", "a"}}},
      {"an address given twice is backed up once, by its first name",
       "[MACHINEDATA]\nCNCCOUNT=3\nCNCNAME0=A\nCNCIP0=10.0.0.1\nCNCNAME1=B\nCNCIP1=10.0.0.1\nCNCNAME2=C\nCNCIP2=10.0.0.3\n",
       {{"A", "10.0.0.1"}, {"C", "10.0.0.3"}}},
      {"a name without an address stays, to be reported; an empty entry goes",
       "[MACHINEDATA]\nCNCCOUNT=3\nCNCNAME0=Spare\nCNCIP2=10.0.0.3\n", {{"Spare", ""}, {"10.0.0.3", "10.0.0.3"}}},
      {"the first of a key written twice answers", "[MACHINEDATA]\nCNCIP0=first\nCNCIP0=second\n",
       {{"first", "first"}}},
      {"names in the language's code page", "[OPTIONS]\nLANGUAGE=0\n[MACHINEDATA]\nCNCNAME0=\xA8\xAE\nCNCIP0=a\n",
       {{"\xE8\xBB\x8A", "a"}}},
      {"an unknown language reads names as Windows-1252", "[OPTIONS]\nLANGUAGE=9\n[MACHINEDATA]\nCNCNAME0=Dreh\xE9\nCNCIP0=a\n",
       {{"Dreh\xC3\xA9", "a"}}},
      {"a count of 0", "[MACHINEDATA]\nCNCCOUNT=0\nCNCIP0=a\n", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadMachineList(c.settings), c.machines) << c.what;
}

TEST(SummaryTable, LinesUpColumnsByCharacters) {
  SummaryTable table({"MACHINE", "FILES", "RESULT"});
  table.Add({"\xE8\xBB\x8A\xE5\xBA\x8A", "19/19", "complete"});
  table.Add({"Mill 7", "0/0", ""});
  EXPECT_EQ(table.Text(),
            "MACHINE  FILES  RESULT\n"
            "\xE8\xBB\x8A\xE5\xBA\x8A       19/19  complete\n"
            "Mill 7   0/0\n");
}

}  // namespace
}  // namespace talvo::cli
