// Comparisons of machine data, with the files written out byte by byte from their layouts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <limits>

#include "tests/support/file_bytes.h"
#include "text/backup/comparison.h"
#include "text/backup/manifest.h"
#include "text/json.h"

namespace talvo::text::backup {
namespace {

namespace fs = std::filesystem;
using vandir::test::WriteBytes;

void Put32(std::string& bytes, std::size_t at, std::int32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

void PutDouble(std::string& bytes, std::size_t at, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 8; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(bits >> (8 * i));
}

// An 8-byte name and four 16-bit words, then `size` zero bytes in all.
std::string Headed(const char* name, std::initializer_list<int> words, std::size_t size) {
  std::string bytes(size, '\0');
  std::memcpy(bytes.data(), name, std::strlen(name));
  std::size_t at = 8;
  for (const int word : words) {
    bytes[at++] = static_cast<char>(word & 0xFF);
    bytes[at++] = static_cast<char>(word >> 8);
  }
  return bytes;
}

std::string Parameters(int changedNumber = -1, std::int32_t value = 0) {
  std::string bytes(2001 * 4, '\0');
  for (int n = 0; n <= 2000; ++n) Put32(bytes, 4 * static_cast<std::size_t>(n), n);
  if (changedNumber >= 0) Put32(bytes, 4 * static_cast<std::size_t>(changedNumber), value);
  return bytes;
}

constexpr std::size_t kGlobal6Size = 16 + 100 * 40 + 307 * 24 + 1101 * 8;

std::string Global6() {
  std::string bytes = Headed("VDGLOB6", {6, 100, 307, 1101}, kGlobal6Size);
  for (std::size_t i = 0; i < 1101; ++i)
    PutDouble(bytes, 16 + 100 * 40 + 307 * 24 + 8 * i, std::numeric_limits<double>::max());
  return bytes;
}

BackupSide Side(const char* label, std::vector<std::pair<std::string, std::string>> files) {
  BackupSide side{label, {}, {}};
  for (auto& [name, bytes] : files) {
    side.names.push_back(name);
    side.bytes[UpperName(name)] = std::move(bytes);
  }
  return side;
}

const std::string kDisplayStrings =
    "/* DspE.str display strings */\r\n20001=not read: the header runs to the next */\r\n*/\r\n"
    "14551=USER PARAMETER 01\r\n20012=Servo %%gain%% X\r\n21999=  Spindle speed  \r\n";
const std::string kUserStrings = "14551=LUBE PAUSE\r\n";

std::vector<std::string> Lines(const BackupSide& a, const BackupSide& b) {
  return ComparisonLines(Compare(a, b));
}

TEST(BackupComparison, NamesChangedParametersWithTheirDescriptions) {
  std::string b = Parameters(12, 1200);
  Put32(b, 4 * 1999, -5);
  const auto lines = Lines(Side("old", {{"PARAM.BIN", Parameters()}, {"DspE.str", kDisplayStrings}}),
                           Side("new", {{"Param.bin", b}, {"DspE.str", kDisplayStrings}}));
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "A: old", "B: new", "PARAM.BIN: differs",
                       // Only the first "%%" stands for one percent sign.
                       "  parameter 0012 Servo %gain%% X: 12 -> 1200",
                       "  parameter 1999 Spindle speed: 1999 -> -5",
                       "DspE.str: same", "2 files: 1 differ, 0 only in A, 0 only in B, 1 same"}));
}

TEST(BackupComparison, NamesDRegistersAndTheUserParametersAmongThem) {
  std::string a = Headed("VDSRAM", {1, 0}, 65536);
  std::string b = a;
  Put32(b, 0x100 + 4 * 51, 160);
  Put32(b, 0x100 + 4 * 10, 7);
  Put32(b, 12, 0x12345678);  // the checksum follows the contents and is no news of its own
  const BackupSide withTexts = Side("a", {{"SRAM", a}, {"USRENG.STR", kUserStrings},
                                          {"DSPE.STR", kDisplayStrings}});
  std::vector<std::string> lines =
      Lines(withTexts, Side("b", {{"SRAM", b}, {"USRENG.STR", kUserStrings}, {"DSPE.STR", kDisplayStrings}}));
  // The machine builder's user strings come before the display strings and win.
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 5),
            (std::vector<std::string>{"SRAM: differs", "  D010: 0 -> 7",
                                      "  D051 user parameter 01 LUBE PAUSE: 0 -> 160"}));
  b[0x500] = 1;  // a counter: outside the named items, still a difference
  lines = Lines(Side("a", {{"SRAM", a}}), Side("b", {{"SRAM", b}}));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 6),
            (std::vector<std::string>{"SRAM: differs", "  D010: 0 -> 7", "  D051 user parameter 01: 0 -> 160",
                                      "  other contents differ"}));
}

TEST(BackupComparison, NamesMillingToolsOffsetsAndMacroVariables) {
  std::string b = Global6();
  Put32(b, 16 + 5 * 40 + 24, 25000);                     // tool 05 radius
  PutDouble(b, 16 + 7 * 40 + 32, 1.5);                   // tool 07 TDC time
  Put32(b, 16 + 4000 + (2 * 6 + 1) * 4, -2500001);       // G55, axis 2
  Put32(b, 16 + 4000 + (18 * 6 + 2) * 4, 1);             // G54P12, axis 3
  PutDouble(b, 16 + 4000 + 307 * 24, 2.5);               // global variable 1
  PutDouble(b, 16 + 4000 + 307 * 24 + 8 * 1100, 0.1);    // global variable 1101
  const auto lines = Lines(Side("a", {{"GLOBAL6.DAT", Global6()}}), Side("b", {{"GLOBAL6.DAT", b}}));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end() - 1),
            (std::vector<std::string>{
                "GLOBAL6.DAT: differs", "  tool 05 radius: 0.0000 -> 2.5000",
                "  tool 07 TDC time: 0 -> 1.5", "  G55 axis 2: 0.0000 -> -250.0001",
                "  G54P12 axis 3: 0.0000 -> 0.0001", "  global variable 0001: VACANT -> 2.5",
                "  global variable 1101: VACANT -> 0.1"}));
}

TEST(BackupComparison, NamesLatheToolsOffsetsAndMacroVariables) {
  const std::string tools = Headed("VDGRDY6", {6, 33, 36}, 16 + 33 * 36);
  const std::string sets = Headed("VDGRNH6", {6, 307, 6}, 16 + 307 * 24);
  const std::string variables = Headed("VDGRNL6", {6, 1101, 8}, 16 + 1101 * 8);
  std::string tools2 = tools, sets2 = sets, variables2 = variables;
  Put32(tools2, 16 + 3 * 36 + 20, -50);  // tool 03 wear Y
  tools2[16 + 3 * 36 + 32] = 4;          // tool 03 type
  Put32(sets2, 16 + 0 * 24 + 0, 5000);   // base offset axis 1
  PutDouble(variables2, 16 + 8 * 9, -1);
  const auto lines = Lines(Side("a", {{"GREADY6.BIN", tools}, {"GRUNH6.BIN", sets}, {"GRUNL6.BIN", variables}}),
                           Side("b", {{"GREADY6.BIN", tools2}, {"GRUNH6.BIN", sets2}, {"GRUNL6.BIN", variables2}}));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end() - 1),
            (std::vector<std::string>{"GREADY6.BIN: differs", "  tool 03 wear Y: 0.0000 -> -0.0050",
                                      "  tool 03 type: 0 -> 4", "GRUNH6.BIN: differs",
                                      "  base offset axis 1: 0.0000 -> 0.5000", "GRUNL6.BIN: differs",
                                      "  global variable 0010: 0 -> -1"}));
}

TEST(BackupComparison, NamesChangedTextsOfTheTextTables) {
  const std::string chinese = "14551=\xBC\xED\xB7\xC6\r\n";  // Big5
  const auto lines = Lines(Side("a", {{"USRENG.STR", kUserStrings}, {"USRCHI.STR", chinese}}),
                           Side("b", {{"USRENG.STR", "14551=LUBE STOP\r\n14552=CHIP CONV\r\n"},
                                      {"USRCHI.STR", "14551=\r\n"}}));
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end() - 1),
            (std::vector<std::string>{"USRENG.STR: differs",
                                      "  text 14551: \"LUBE PAUSE\" -> \"LUBE STOP\"",
                                      "  text 14552: (none) -> \"CHIP CONV\"", "USRCHI.STR: differs",
                                      "  text 14551: \"\xE6\xBD\xA4\xE6\xBB\x91\" -> \"\""}));
}

// Files of no known layout, and known names whose bytes do not fit the layout, are compared
// whole; a side's own order is kept, files only in B come last.
TEST(BackupComparison, ComparesOtherFilesWhole) {
  std::string broken = Global6();
  broken.pop_back();
  const Comparison comparison =
      Compare(Side("a", {{"CNC.LAD", "ladder"}, {"GRAPH.DAT", "g"}, {"PLCIO.CFG", "X1"}, {"GLOBAL6.DAT", Global6()}}),
              Side("b", {{"NEW.DAT", "n"}, {"GLOBAL6.DAT", broken}, {"PLCIO.CFG", "X2"}, {"CNC.LAD", "ladder"}}));
  EXPECT_FALSE(comparison.Equal());
  EXPECT_EQ(ComparisonLines(comparison),
            (std::vector<std::string>{"A: a", "B: b", "CNC.LAD: same", "GRAPH.DAT: only in A",
                                      "PLCIO.CFG: differs", "GLOBAL6.DAT: differs", "NEW.DAT: only in B",
                                      "5 files: 2 differ, 1 only in A, 1 only in B, 1 same"}));
  EXPECT_TRUE(Compare(Side("a", {{"CNC.LAD", "x"}}), Side("b", {{"cnc.lad", "x"}})).Equal());
}

TEST(BackupComparison, TellsScriptsTheSameInJson) {
  const auto json = json::Parse(ComparisonJson(
      Compare(Side("a", {{"PARAM.BIN", Parameters()}, {"CNC.LAD", "1"}, {"SRAM", "x"}}),
              Side("b", {{"PARAM.BIN", Parameters(7, -3)}, {"CNC.LAD", "2"}, {"DSPE.STR", "20007=Feed"}}))));
  ASSERT_TRUE(json);
  EXPECT_EQ(*json->Find("equal")->Boolean(), false);
  const json::Array& files = *json->Find("files")->Items();
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(*files[0].Find("state")->String(), "differs");
  const json::Value& change = (*files[0].Find("changes")->Items())[0];
  EXPECT_EQ(*change.Find("item")->String(), "parameter 0007");
  EXPECT_EQ(*change.Find("description")->String(), "Feed");
  EXPECT_EQ(*change.Find("a")->String(), "7");
  EXPECT_EQ(*change.Find("b")->String(), "-3");
  EXPECT_EQ(*files[1].Find("state")->String(), "differs");
  EXPECT_TRUE(files[1].Find("changes")->Items()->empty());
  EXPECT_EQ(*files[2].Find("state")->String(), "only_in_a");
  EXPECT_EQ(*files[3].Find("state")->String(), "only_in_b");
}

class BackupFolder : public testing::Test {
 protected:
  ~BackupFolder() override { fs::remove_all(folder); }
  const fs::path folder = fs::temp_directory_path() / ("talvo-side-" + std::to_string(::getpid()));
};

TEST_F(BackupFolder, HoldsWhatItsManifestListsAsFetched) {
  WriteBytes(folder / "PARAM.BIN", "p");
  WriteBytes(folder / "CNC.LAD", "l");
  WriteBytes(folder / "Param.txt", "a listing");
  Manifest manifest{"m", "a", "v", "s", "e",
                    {{"parameters", "C:\\MACHINE\\PARAM.BIN", "PARAM.BIN", 1, std::string(64, '0'), ""},
                     {"ladder", "C:\\MACHINE\\CNC.L88", "CNC.L88", 0, "", "controller error code 2"}}};
  WriteBytes(folder / kManifestName, ManifestJson(manifest));
  std::string error;
  auto side = ReadBackupSide(folder, &error);
  ASSERT_TRUE(side) << error;
  EXPECT_EQ(side->names, std::vector<std::string>{"PARAM.BIN"});
  EXPECT_EQ(side->bytes.at("PARAM.BIN"), "p");

  manifest.files.push_back({"io", "C:\\MACHINE\\PLCIO.CFG", "PLCIO.CFG", 1, std::string(64, '0'), ""});
  WriteBytes(folder / kManifestName, ManifestJson(manifest));
  EXPECT_FALSE(ReadBackupSide(folder, &error));
  EXPECT_EQ(error, (folder / "PLCIO.CFG").string() + ": cannot be read");
}

TEST_F(BackupFolder, WithoutAManifestHoldsEveryControllerFileInIt) {
  WriteBytes(folder / "SRAM", "s");
  WriteBytes(folder / "CNC.LAD", "l");
  WriteBytes(folder / "Param.txt", "the program's listing");
  WriteBytes(folder / "BACKUP-INCOMPLETE.txt", "the program's mark");
  WriteBytes(folder / "SRAM.part-Ab12Cd", "a download under way");
  WriteBytes(folder / ".hidden", "");
  fs::create_directories(folder / "OLD");
  std::string error;
  auto side = ReadBackupSide(folder, &error);
  ASSERT_TRUE(side) << error;
  EXPECT_EQ(side->names, (std::vector<std::string>{"CNC.LAD", "SRAM"}));
  EXPECT_FALSE(ReadBackupSide(folder / "missing", &error));
  EXPECT_EQ(error, (folder / "missing").string() + ": no such folder");
}

}  // namespace
}  // namespace talvo::text::backup
