// The jobs the machine data, upgrade and NC files pages build, and the NC files frame's
// texts, without a window: which files in which order, and how entries read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/pages/machine_data_files.h"
#include "app/pages/ncfiles_format.h"
#include "app/pages/setup_tree.h"
#include "app/settings/key_file.h"
#include "service/result_codes.h"
#include "tests/app/program_home.h"

namespace talvo::app::test {
namespace {

constexpr std::array<bool, kMachineCategories> kAllTicked = {true, true, true, true, true, true,
                                                             true, true, true, true, true};

std::vector<std::string> Names(const std::vector<TFileJobStep>& steps, bool second) {
  std::vector<std::string> names;
  for (const TFileJobStep& s : steps) names.push_back(second ? s.second : s.first);
  return names;
}

class MachineFiles : public testing::Test {
 protected:
  void Settings(const std::string& text) { home.WriteFile("settings.ini", text); }
  TMachineFileList Build(bool upload, int systemType = 0,
                         const std::array<bool, kMachineCategories>& ticked = kAllTicked) {
    TIniFile settings(home.Path("settings.ini"));
    return BuildMachineFileList(settings, ticked, systemType, home.Text() + "Machine",
                                "C:\\MACHINE", upload);
  }
  ProgramHome home;
};

TEST_F(MachineFiles, BackupOfEveryCategoryInTableOrder) {
  const std::vector<std::string> milling = {
      "CNC.LAD",    "CNC.L88",    "CNC.PAR",     "PLCIO.CFG",   "PARAM.BIN",  "PARAM.DEF",
      "XPNET.BAT",  "NETWORK.BAT", "GLOBAL6.DAT", "SRAM",        "CHI_MLC.ERR", "ENG_MLC.ERR",
      "USRCHI.STR", "USRENG.STR", "GRAPH.DAT",   "CNCSYS.LOG",  "OPMSG.LOG",  "MMIBASE.INI"};
  for (int type : {0, 1}) {
    std::vector<std::string> expected = milling;
    if (type == 1) {
      const auto tools = expected.begin() + 8;
      *tools = "GRUNL6.BIN";
      expected.insert(tools, {"GREADY6.BIN", "GRUNH6.BIN"});
    }
    const TMachineFileList list = Build(false, type);
    ASSERT_TRUE(list.Built());
    std::vector<std::string> remote, local;
    for (const std::string& name : expected) {
      remote.push_back("C:\\MACHINE\\" + name);
      local.push_back(home.Text() + "Machine/" + name);
    }
    EXPECT_EQ(Names(list.steps, false), remote) << "type " << type;
    EXPECT_EQ(Names(list.steps, true), local) << "type " << type;
    for (const TFileJobStep& s : list.steps) EXPECT_EQ(s.command, fcReceiveFile);
  }
}

TEST_F(MachineFiles, CountKeysChooseBuiltInNoneOrNamedFiles) {
  const struct {
    const char* section;
    int category;
    bool available;
    std::vector<std::string> names;
  } cases[] = {
      {"", 0, true, {"CNC.LAD", "CNC.L88", "CNC.PAR"}},
      {"Ladder_Count=-1\nLadder_File0=X.LAD\n", 0, true, {"CNC.LAD", "CNC.L88", "CNC.PAR"}},
      {"Ladder_Count=2\nLadder_File0=CNC.LAD\nLadder_File1=\n", 0, true, {"CNC.LAD"}},
      {"Ladder_Count=3\nLadder_File0=A.LAD\nLadder_File2=C.LAD\n", 0, true, {"A.LAD", "C.LAD"}},
      {"IO_Count=0\n", 1, false, {}},
      {"Miller_Tools_Count=0\nLathe_Tools_Count=1\nLathe_Tools_File0=T.BIN\n", 3, false, {}},
  };
  for (const auto& c : cases) {
    Settings(std::string("[Machine Data Files]\n") + c.section);
    TIniFile settings(home.Path("settings.ini"));
    EXPECT_EQ(CategoryAvailable(settings, c.category, 0), c.available) << c.section;
    EXPECT_EQ(CategoryFileNames(settings, c.category, 0), c.names) << c.section;
  }
  TIniFile settings(home.Path("settings.ini"));
  EXPECT_TRUE(CategoryAvailable(settings, 3, 1)) << "the lathe reads its own count";
  EXPECT_EQ(CategoryFileNames(settings, 3, 1), std::vector<std::string>{"T.BIN"});
}

TEST_F(MachineFiles, RestoreNeedsEveryFileButTheAlarmLog) {
  std::array<bool, kMachineCategories> logs{};
  logs[8] = logs[9] = true;  // alarm log, operation log
  home.WriteFile("Machine/OPMSG.LOG", "ops");
  TMachineFileList list = Build(true, 0, logs);
  ASSERT_TRUE(list.Built()) << list.missingFile;
  const std::vector<TFileJobStep> expected = {
      {fcDirCreate, "C:\\INSTTMP", ""},
      {fcSendFile, home.Text() + "Machine/OPMSG.LOG", "C:\\INSTTMP\\OPMSG.LOG"}};
  EXPECT_EQ(list.steps, expected) << "the missing alarm log is left out, the others go";
  EXPECT_EQ(list.refused, (std::vector<TRefusedName>{{"CNCSYS.LOG", ELeftOut::kNotThere}}));

  std::filesystem::remove(home.Path("Machine/OPMSG.LOG"));
  list = Build(true, 0, logs);
  EXPECT_FALSE(list.Built());
  EXPECT_EQ(list.missingFile, home.Text() + "Machine/OPMSG.LOG");
  EXPECT_TRUE(list.steps.empty()) << "nothing of a list that could not be built is queued";
}

TEST_F(MachineFiles, LocalFilesAreFoundWhateverTheirLetterCase) {
  home.WriteFile("Machine/param.bin", "old");
  home.WriteFile("Machine/Cnc.Lad", "old");
  home.WriteFile("Machine/CNC.LAD", "old");
  std::array<bool, kMachineCategories> ticked{};
  ticked[0] = ticked[2] = true;
  const std::string folder = home.Text() + "Machine/";
  EXPECT_EQ(LocalFileFor(folder, "PARAM.BIN"), folder + "param.bin");
  EXPECT_EQ(LocalFileFor(folder, "CNC.LAD"), folder + "CNC.LAD") << "the exact name first";
  EXPECT_EQ(LocalFileFor(folder, "PARAM.DEF"), folder + "PARAM.DEF");
  const TMachineFileList backup = Build(false, 0, ticked);
  EXPECT_EQ(backup.steps[3].second, folder + "param.bin")
      << "a backup replaces the copy it has instead of leaving two";
}

TEST(SetupTree, FilesOfAFolderBeforeItsSubFoldersDepthFirst) {
  ProgramHome home;
  home.WriteFile("Setup/A", "a");
  home.WriteFile("Setup/B", "b");
  home.WriteFile("Setup/D/C", "c");
  home.WriteFile("Setup/D/E/F", "f");
  std::filesystem::create_directories(home.Path("Setup/G"));
  std::filesystem::create_directory_symlink(home.Path("Setup"), home.Path("Setup/D/UP"));
  // Names that would step up on the controller, a folder with all it holds.
  home.WriteFile("Setup/A..B", "ab");
  home.WriteFile("Setup/D/..\\X/Y", "y");
  const std::string pc = home.Text() + "Setup/";
  const std::vector<TFileJobStep> expected = {
      {fcDirCreate, "C:\\INSTTMP", ""},
      {fcSendFile, pc + "A", "C:\\INSTTMP\\A"},
      {fcSendFile, pc + "B", "C:\\INSTTMP\\B"},
      {fcDirCreate, "C:\\INSTTMP\\D", ""},
      {fcSendFile, pc + "D/C", "C:\\INSTTMP\\D\\C"},
      {fcDirCreate, "C:\\INSTTMP\\D\\E", ""},
      {fcSendFile, pc + "D/E/F", "C:\\INSTTMP\\D\\E\\F"},
      {fcDirCreate, "C:\\INSTTMP\\G", ""}};
  const TSetupJob job = SetupUploadSteps(home.Text() + "Setup");
  EXPECT_EQ(job.steps, expected);
  EXPECT_EQ(job.refused, (std::vector<TRefusedName>{{"A..B", ELeftOut::kNotPlainName},
                                                    {"..\\X", ELeftOut::kNotPlainName}}));
  EXPECT_TRUE(job.unreadable.empty());
}

TEST(SetupTree, WhatCannotBeReadIsNamedWithItsReason) {
  ProgramHome home;
  home.WriteFile("Setup/A", "a");
  home.WriteFile("File", "not a folder");
  std::filesystem::create_directories(home.Path("Setup/D"));
  std::filesystem::create_directory_symlink("LOOP", home.Path("Setup/D/LOOP"));  // never resolves
  const std::string pc = home.Text();
  const struct {
    std::string folder;
    std::vector<std::string> unreadable;
  } cases[] = {
      {pc + "None", {pc + "None/ (No such file or directory)"}},
      {pc + "File", {pc + "File/ (Not a directory)"}},
      {pc + "Setup", {pc + "Setup/D/LOOP (Too many levels of symbolic links)"}},
  };
  for (const auto& c : cases) {
    const TSetupJob job = SetupUploadSteps(c.folder);
    EXPECT_EQ(job.unreadable, c.unreadable) << c.folder;
    EXPECT_EQ(job.steps.front(), (TFileJobStep{fcDirCreate, "C:\\INSTTMP", ""}));
  }
}

TEST(NcFilesTexts, PackedTimesDatesAndAttributes) {
  const struct {
    int hour, minute;
    const char* time;
  } times[] = {{13, 5, "01:05 PM"}, {0, 10, "00:10 AM"}, {12, 0, "00:00 PM"},
               {11, 59, "11:59 AM"}, {23, 59, "11:59 PM"}};
  for (const auto& t : times) {
    vandir::ListingEntry entry;
    entry.hour = t.hour;
    entry.minute = t.minute;
    EXPECT_EQ(ListingTimeText(entry), t.time);
  }
  vandir::ListingEntry entry;
  entry.year = 2024;
  entry.month = 3;
  entry.day = 7;
  EXPECT_EQ(ListingDateText(entry), "03/07/2024");
  EXPECT_EQ(AttributeLetters(0x01 | 0x02 | 0x04 | 0x20), "RHSA");
  EXPECT_EQ(AttributeLetters(0x10 | 0x08 | 0x20), "A") << "folder and volume bits have no letter";
  EXPECT_EQ(AttributeLetters(0), "");
}

TEST(NcFilesTexts, OverwriteButtonsGiveTheServiceItsAnswers) {
  const struct {
    QMessageBox::StandardButton button;
    int answer;
  } cases[] = {{QMessageBox::Yes, kAnswerYes},         {QMessageBox::YesToAll, kAnswerYesToAll},
               {QMessageBox::No, kAnswerNo},           {QMessageBox::NoToAll, kAnswerNoToAll},
               {QMessageBox::Cancel, kAnswerCancel},   {QMessageBox::NoButton, kAnswerCancel}};
  for (const auto& c : cases) EXPECT_EQ(OverwriteAnswer(c.button), c.answer) << c.button;
}

TEST(NcFilesTexts, PcRowsListFilesOnly) {
  ProgramHome home;
  home.WriteFile("Pc/O1.NC", "12345");
  home.WriteFile("Pc/.hidden", "");
  std::filesystem::create_directories(home.Path("Pc/SUB"));
  std::filesystem::permissions(home.Path("Pc/O1.NC"), std::filesystem::perms::owner_read);
  std::vector<TFileRow> rows = PcFileRows(home.Text() + "Pc/");
  std::sort(rows.begin(), rows.end(), [](const TFileRow& a, const TFileRow& b) { return a.name < b.name; });
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, ".hidden");
  EXPECT_EQ(rows[0].attributes, "H");
  EXPECT_EQ(rows[1].name, "O1.NC");
  EXPECT_EQ(rows[1].size, "5");
  EXPECT_EQ(rows[1].attributes, "R");
  EXPECT_FALSE(rows[1].modified.isEmpty());
  EXPECT_FALSE(PcFreeSpaceText(home.Text()).isEmpty());
  EXPECT_TRUE(PcFreeSpaceText(home.Text() + "none/").isEmpty());
}

}  // namespace
}  // namespace talvo::app::test
