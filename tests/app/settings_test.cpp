// The settings file as the program reads and repairs it, and the machine list in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

TEST_F(SettingsFile, TextsPassByteForByte) {
  const std::string big5 = "\xA4\xA4\xA4\xE5";  // two Big5 characters
  Write("[MACHINEDATA]\nCNCCOUNT=1\nCNCNAME0=" + big5 + "\nCNCIP0=10.0.0.1\n");
  TIniFile file(path);
  TMachineList list(file);
  EXPECT_EQ(list.Name(0), big5);
  list.SetName(0, big5 + "2");
  EXPECT_NE(Read().find("CNCNAME0=" + big5 + "2\n"), std::string::npos);
}

TEST_F(SettingsFile, MachineListWithoutSectionIsOneEmptyEntry) {
  TIniFile file(path);
  TMachineList list(file);
  EXPECT_EQ(list.Count(), 1);
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
                                       {"2", 2}, {"two", 1}}) {
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

TEST(ProgramHome, ArgumentThenVariableThenExecutableFolder) {
  EXPECT_EQ(ResolveProgramHome(std::string("/a/b"), "/env", "/exe"), "/a/b/");
  EXPECT_EQ(ResolveProgramHome(std::nullopt, "/env/", "/exe"), "/env/");
  EXPECT_EQ(ResolveProgramHome(std::nullopt, nullptr, "/exe/bin/.."), "/exe/");
  EXPECT_EQ(ResolveProgramHome(std::string(), "", "/exe"), "/exe/");
}

}  // namespace
}  // namespace talvo::app
