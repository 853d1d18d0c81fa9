// The settings file as the program reads and repairs it, and the machine list in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "app/settings/key_file.h"
#include "app/settings/machine_list.h"
#include "app/settings/options.h"
#include "app/settings/program_home.h"

namespace talvo::app {
namespace {

class SettingsFile : public testing::Test {
 protected:
  SettingsFile() {
    folder = std::filesystem::temp_directory_path() /
             ("talvo-settings-" + std::to_string(::getpid()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    path = folder / kSettingsFileName;
  }
  ~SettingsFile() override { std::filesystem::remove_all(folder); }

  void Write(const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string Read() const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::filesystem::path folder;
  std::filesystem::path path;
};

TEST_F(SettingsFile, MissingFileGivesEveryDefault) {
  TIniFile file(path);
  TOptions options(file, "/home/talvo/");
  EXPECT_FALSE(options.DemoMode());
  EXPECT_EQ(options.Language(), 2);
  EXPECT_EQ(options.ProcessInterval(), 100);
  EXPECT_TRUE(options.EnableReconnect());
  EXPECT_FALSE(options.EnableReconnectTimes());
  EXPECT_EQ(options.KeepConnectCount(), 0u);
  EXPECT_EQ(options.KeepConnectInterval(), 1000);
  EXPECT_EQ(options.AlarmWarnFlashInterval(), 500);
  EXPECT_TRUE(options.MessageToController());
  for (const char* key : kPageShowKeys) EXPECT_TRUE(options.PageShown(key)) << key;
  EXPECT_EQ(options.ShowTimer(), 1);
  EXPECT_EQ(options.LastSysType(), 0);
  EXPECT_EQ(options.MachineDir(), "/home/talvo/Machine/");
  EXPECT_EQ(options.NcFilesDir(), "/home/talvo/Ncfiles/");
  EXPECT_EQ(options.SetupDir(), "/home/talvo/Setup/");
  EXPECT_EQ(options.RemoteZPath(), "/home/talvo/Ncfiles/");
  EXPECT_FALSE(std::filesystem::exists(path)) << "reading defaults writes nothing";
}

TEST_F(SettingsFile, AbsurdValuesAreRepairedOrHeldInRange) {
  Write("[OPTIONS]\nLANGUAGE=7\nLastSysType=5\nSERVICE_PROCESS_INTERVAL=-20\n"
        "RECONNECT_DELAY_TIME=-3\nAlarmWarnFlashTimer=0\nENABLE_RECONNECT_TIMES=1\n"
        "NUMBER_RECONNECT_TIMES=-4\n[LOCALDIR]\nMACHINEDIR=/data/machine\nNCFILESDIR=\n");
  TIniFile file(path);
  TOptions options(file, "/h/");
  EXPECT_EQ(options.Language(), 2);
  EXPECT_EQ(file.ReadInteger(kOptions, "LANGUAGE", -1), 2) << "the repair is written back";
  EXPECT_EQ(options.LastSysType(), 0);
  EXPECT_EQ(options.ProcessInterval(), 1);
  EXPECT_EQ(options.KeepConnectInterval(), 0);
  EXPECT_EQ(options.AlarmWarnFlashInterval(), 1);
  EXPECT_EQ(options.KeepConnectCount(), 0u);
  EXPECT_EQ(options.MachineDir(), "/data/machine/");
  EXPECT_EQ(options.NcFilesDir(), "/h/Ncfiles/") << "an empty folder text is no folder";
}

TEST_F(SettingsFile, ReadsFollowTheFileAndWritesReachItAtOnce) {
  Write("[options]\nlanguage=1\nDEMOMODE=1\nDEMOMODE=0\nMSGTONC=x\n");
  TIniFile file(path);
  TOptions options(file, "/h/");
  EXPECT_EQ(options.Language(), 1) << "sections and keys match without regard to case";
  EXPECT_TRUE(options.DemoMode()) << "of a key written twice the first answers";
  EXPECT_TRUE(options.MessageToController()) << "a text that is no number reads as the default";

  options.SetLastSysType(1);
  EXPECT_NE(Read().find("LastSysType=1"), std::string::npos);
  Write("[OPTIONS]\nLastSysType=0\n");
  EXPECT_EQ(options.LastSysType(), 0) << "a change made by someone else is seen";
}

TEST_F(SettingsFile, SystemTypeIsWrittenOnlyWhenTheFileHoldsAnother) {
  const struct {
    const char* file;
    int applied;
    const char* after;  // the file afterwards
  } cases[] = {
      {"[OPTIONS]\nLastSysType=0\n", 0, "[OPTIONS]\nLastSysType=0\n"},
      {"[OPTIONS]\nLANGUAGE=1\n", 0, "[OPTIONS]\nLANGUAGE=1\n"},  // missing reads as 0
      {"[OPTIONS]\nLastSysType=7\n", 0, "[OPTIONS]\nLastSysType=0\n"},
      {"[OPTIONS]\nLastSysType=0\n", 1, "[OPTIONS]\nLastSysType=1\n"},
  };
  for (const auto& c : cases) {
    Write(c.file);
    TIniFile file(path);
    EXPECT_TRUE(TOptions(file, "/h/").SetLastSysType(c.applied)) << c.file;
    EXPECT_EQ(Read(), c.after) << c.file;
  }
}

TEST_F(SettingsFile, TextsPassByteForByte) {
  const std::string big5 = "\xA4\xA4\xA4\xE5";  // two Big5 characters
  Write("[MACHINEDATA]\nCNCCOUNT=1\nCNCNAME0=" + big5 + "\nCNCIP0=10.0.0.1\n");
  TIniFile file(path);
  TMachineList list(file);
  EXPECT_EQ(list.Name(0), big5);
  list.SetName(0, big5 + "2");
  EXPECT_NE(Read().find("CNCNAME0=" + big5 + "2\n"), std::string::npos);
}

TEST_F(SettingsFile, MachineListWithoutSectionHoldsNoMachine) {
  TIniFile file(path);
  TMachineList list(file);
  EXPECT_EQ(list.Count(), 0);
  ASSERT_TRUE(list.Add());
  EXPECT_EQ(list.Count(), 1) << "Add makes the first entry, not a second one";
  EXPECT_EQ(list.MenuCaption(0), "-");
  list.DeleteEntriesWithoutAddress();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(file.ReadInteger("MACHINEDATA", "CNCCOUNT", -1), 0);
}

TEST_F(SettingsFile, DeletingMovesLaterEntriesDownAndDropsTheLastKeys) {
  Write("[MACHINEDATA]\nCNCCOUNT=3\nCNCNAME0=A\nCNCIP0=1.1.1.1\nCNCNAME1=B\nCNCIP1=2.2.2.2\n"
        "CNCNAME2=C\nCNCIP2=3.3.3.3\n");
  TIniFile file(path);
  TMachineList list(file);
  list.Delete(1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.MenuCaption(0), "A-1.1.1.1");
  EXPECT_EQ(list.MenuCaption(1), "C-3.3.3.3");
  EXPECT_FALSE(file.ValueExists("MACHINEDATA", "CNCNAME2"));
  EXPECT_FALSE(file.ValueExists("MACHINEDATA", "CNCIP2"));
  list.Delete(5);
  list.Delete(-1);
  EXPECT_EQ(list.Count(), 2) << "an index outside the list changes nothing";
}

TEST_F(SettingsFile, CompactionRemovesEveryBlankAddressIncludingNeighbours) {
  Write("[MACHINEDATA]\nCNCCOUNT=5\nCNCIP0= \nCNCNAME1=keep\nCNCIP1=1.2.3.4\nCNCIP2=\n"
        "CNCNAME3=gap\nCNCNAME4=last\nCNCIP4=5.6.7.8\n");
  TIniFile file(path);
  TMachineList list(file);
  list.DeleteEntriesWithoutAddress();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.MenuCaption(0), "keep-1.2.3.4");
  EXPECT_EQ(list.MenuCaption(1), "last-5.6.7.8");
}

TEST_F(SettingsFile, MachineCountIsHeldToWhatAListCanBe) {
  for (const auto& [text, expected] : {std::pair{"-3", 0}, {"100000", TMachineList::kMostMachines},
                                       {"2", 2}, {"two", 0}}) {
    Write(std::string("[MACHINEDATA]\nCNCCOUNT=") + text + "\n");
    TIniFile file(path);
    EXPECT_EQ(TMachineList(file).Count(), expected) << text;
  }
}

TEST_F(SettingsFile, DamagedFileReadsWhatCanBeRead) {
  Write(std::string("[OPTIONS]\nLANGUAGE=0\n\xff\xfe[broken\n=novalue\nSHOWTIMER=3\n") +
        std::string(1, '\0') + "\nLastSysType=1\n");
  TIniFile file(path);
  TOptions options(file, "/h/");
  EXPECT_EQ(options.Language(), 0);
  EXPECT_EQ(options.ShowTimer(), 3);
}

// A program copy laid out in a temporary folder: `bin/` for the executable, and for an
// installed one `share/talvo-maintenance/Language/` beside it.
class ProgramHomeFolders : public SettingsFile {
 protected:
  std::filesystem::path Bin() const { return folder / "bin"; }
  std::filesystem::path Shipped() const { return folder / "share/talvo-maintenance"; }
  void Install() {
    std::filesystem::create_directories(Bin());
    std::filesystem::create_directories(Shipped() / "Language");
    std::ofstream(Shipped() / "Language/MLangENG.ini") << "[Caption]\nshipped=1\n";
    std::ofstream(Shipped() / "Language/MLangCHT.ini") << "[Caption]\n";
  }
  static std::string Text(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

TEST_F(ProgramHomeFolders, ArgumentThenVariableWinOverEveryOtherPlace) {
  std::filesystem::create_directories(Bin());
  const auto choose = [&](std::optional<std::string> argument, const char* variable) {
    return ChooseProgramHome({argument, variable, Bin(), "/xdg", "/home/u"});
  };
  EXPECT_EQ(choose("/a/b", "/env").folder, "/a/b/");
  EXPECT_EQ(choose(std::nullopt, "/env/x/..").folder, "/env/");
  EXPECT_FALSE(choose("/a/b", "/env").perUser);
  // Empty texts count as not given.
  EXPECT_EQ(choose(std::string(), "").folder, FolderText(Bin()));
}

TEST_F(ProgramHomeFolders, WritableFolderOfAProgramCopyIsItsHome) {
  std::filesystem::create_directories(Bin());
  const ProgramHome home = ChooseProgramHome({std::nullopt, nullptr, Bin(), "/xdg", "/home/u"});
  EXPECT_EQ(home.folder, FolderText(Bin()));
  EXPECT_FALSE(home.perUser);
}

TEST_F(ProgramHomeFolders, InstalledOrMissingProgramFolderGivesTheUsersDataFolder) {
  Install();  // writable here, but an installed program's folder is never its home
  const ProgramHome installed =
      ChooseProgramHome({std::nullopt, nullptr, Bin(), "/xdg", "/home/u"});
  EXPECT_EQ(installed.folder, "/xdg/Talvo-Maintenance/");
  EXPECT_TRUE(installed.perUser);
  const ProgramHome missing =
      ChooseProgramHome({std::nullopt, nullptr, folder / "gone", nullptr, "/home/u"});
  EXPECT_EQ(missing.folder, "/home/u/.local/share/Talvo-Maintenance/");
  EXPECT_TRUE(missing.perUser);
}

TEST_F(ProgramHomeFolders, RelativeOrEmptyXdgDataHomeFallsBackToLocalShare) {
  for (const char* xdg : {"relative/data", ""}) {
    EXPECT_EQ(ChooseProgramHome({std::nullopt, nullptr, folder / "gone", xdg, "/home/u"}).folder,
              "/home/u/.local/share/Talvo-Maintenance/")
        << xdg;
  }
}

TEST_F(ProgramHomeFolders, PerUserHomeIsMadeAndSeededWithoutTouchingTheUsersFiles) {
  Install();
  const auto home = folder / "data/Talvo-Maintenance";
  const auto shipped = ShippedDataFolder(Bin());
  ASSERT_TRUE(shipped);
  EXPECT_EQ(*shipped, Shipped().lexically_normal());

  ASSERT_TRUE(PreparePerUserHome(home, shipped));
  EXPECT_EQ(Text(home / "Language/MLangENG.ini"), "[Caption]\nshipped=1\n");
  EXPECT_TRUE(std::filesystem::exists(home / "Language/MLangCHT.ini"));

  // The user's edit survives the next start; a file deleted from the home comes back.
  std::ofstream(home / "Language/MLangENG.ini", std::ios::trunc) << "[Caption]\nmine=1\n";
  std::filesystem::remove(home / "Language/MLangCHT.ini");
  ASSERT_TRUE(PreparePerUserHome(home, shipped));
  EXPECT_EQ(Text(home / "Language/MLangENG.ini"), "[Caption]\nmine=1\n");
  EXPECT_TRUE(std::filesystem::exists(home / "Language/MLangCHT.ini"));
}

TEST_F(ProgramHomeFolders, PerUserHomeWithoutShippedFilesOrRoomForIt) {
  EXPECT_TRUE(PreparePerUserHome(folder / "empty/home", std::nullopt));
  EXPECT_TRUE(std::filesystem::is_directory(folder / "empty/home"));
  // A file where the folder should be: reported, not taken for a home.
  std::ofstream(folder / "blocker") << "x";
  EXPECT_FALSE(PreparePerUserHome(folder / "blocker/home", std::nullopt));
}

}  // namespace
}  // namespace talvo::app
