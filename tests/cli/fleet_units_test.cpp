// The parts of the fleet commands that need no controller: reading the program's machine
// list, the summary table and the progress shown while the machines are worked on.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/fleet/fleet_progress.h"
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

// The screen a terminal shows for `bytes`: lines, a carriage return going back to the start of
// its line, ESC [ K erasing to the end of it.
std::vector<std::string> Screen(const std::string& bytes) {
  std::vector<std::string> lines(1);
  std::size_t column = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::string& line = lines.back();
    if (bytes[i] == '\n') {
      lines.emplace_back();
      column = 0;
    } else if (bytes[i] == '\r') {
      column = 0;
    } else if (bytes.compare(i, 3, "\033[K") == 0) {
      line.erase(column);
      i += 2;
    } else {
      if (column < line.size()) line[column] = bytes[i];
      else line += bytes[i];
      ++column;
    }
  }
  return lines;
}

// What FleetProgress writes for a short run of two machines, on `stream`.
void TwoMachines(std::FILE* stream) {
  FleetProgress progress(stream, 2);
  progress.FilesPlanned(2);
  progress.Line("mill-1: CNC.PAR 1296 bytes");
  progress.FileDone();
  progress.FilesPlanned(1);
  progress.Line("mill-2: unreachable");
  progress.MachineDone();
  progress.FileDone();
}

// On a terminal the lines stay whole, each on its own, and the bar under them counts what
// was done; into a pipe or a file only the lines go.
TEST(FleetProgress, KeepsLinesWholeUnderABarOnATerminalAndWritesOnlyLinesElsewhere) {
  int master = -1, slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  std::FILE* terminal = fdopen(slave, "w");
  TwoMachines(terminal);
  std::fclose(terminal);
  std::string shown;
  char buffer[4096];
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) shown.append(buffer, static_cast<std::size_t>(n));
  close(master);
  EXPECT_EQ(Screen(shown), (std::vector<std::string>{
                               "mill-1: CNC.PAR 1296 bytes",
                               "mill-2: unreachable",
                               "[###################...........]   66%  2/3 files, 1/2 machines",
                               ""}));

  std::FILE* file = std::tmpfile();
  TwoMachines(file);
  std::rewind(file);
  std::string written(256, '\0');
  written.resize(std::fread(written.data(), 1, written.size(), file));
  std::fclose(file);
  EXPECT_EQ(written, "mill-1: CNC.PAR 1296 bytes\nmill-2: unreachable\n");
}

}  // namespace
}  // namespace talvo::cli
