// The settings file on disk: a write replaces it whole with exactly the bytes the edit makes,
// keeps its permissions and a link to it, leaves it alone when nothing changes, and when it
// fails says why and leaves the old file whole and no temporary file behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/settings/key_file.h"
#include "tests/support/file_bytes.h"
#include "tests/support/file_size_limit.h"

namespace talvo::app {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

class IniFileOnDisk : public testing::Test {
 protected:
  IniFileOnDisk() {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  ~IniFileOnDisk() override {
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder, ignored);
  }

  void Write(const std::string& bytes) const { vandir::test::WriteBytes(path, bytes); }
  std::string Read() const { return vandir::test::ReadBytes(path); }
  // Every name in the folder but the settings file's: what a write may have left behind.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path() != path) names.push_back(entry.path().filename().string());
    return names;
  }
  static struct stat Stat(const fs::path& file) {
    struct stat st {};
    EXPECT_EQ(::lstat(file.c_str(), &st), 0) << file;
    return st;
  }

  const fs::path folder = fs::temp_directory_path() /
                          ("talvo-keyfile-" + std::to_string(::getpid()) + "-" +
                           testing::UnitTest::GetInstance()->current_test_info()->name());
  const fs::path path = folder / "Talvo-Maintenance.ini";
};

const std::string kDamaged =
    "[OPTIONS]\r\nLANGUAGE=0\r\n\0\xFF junk\r\n[MACHINEDATA]\r\nCNCCOUNT=1\r\n"
    "CNCNAME0=\xA4\xA4\r\n[OPTIONS]\r\nSHOWTIMER=4\r\n"s;

TEST_F(IniFileOnDisk, WritesPutExactlyTheEditedBytesOnDisk) {
  const struct {
    const char* what;
    std::optional<std::string> before;  // none: no file yet
    std::function<bool(TIniFile&)> write;
    std::string after;
  } cases[] = {
      {"a value past a NUL byte", kDamaged,
       [](TIniFile& f) { return f.WriteInteger("MACHINEDATA", "CNCCOUNT", 2); },
       "[OPTIONS]\r\nLANGUAGE=0\r\n\0\xFF junk\r\n[MACHINEDATA]\r\nCNCCOUNT=2\r\n"
       "CNCNAME0=\xA4\xA4\r\n[OPTIONS]\r\nSHOWTIMER=4\r\n"s},
      {"a new key into the first of two same-named sections", kDamaged,
       [](TIniFile& f) { return f.WriteBool("OPTIONS", "MSGTONC", false); },
       "[OPTIONS]\r\nLANGUAGE=0\r\nMSGTONC=0\r\n\0\xFF junk\r\n[MACHINEDATA]\r\nCNCCOUNT=1\r\n"
       "CNCNAME0=\xA4\xA4\r\n[OPTIONS]\r\nSHOWTIMER=4\r\n"s},
      {"a key deleted", kDamaged,
       [](TIniFile& f) { return f.DeleteKey("MACHINEDATA", "CNCNAME0"); },
       "[OPTIONS]\r\nLANGUAGE=0\r\n\0\xFF junk\r\n[MACHINEDATA]\r\nCNCCOUNT=1\r\n"
       "[OPTIONS]\r\nSHOWTIMER=4\r\n"s},
      {"a new file", std::nullopt,
       [](TIniFile& f) { return f.WriteString("LOCALDIR", "MACHINEDIR", "/data/\xA4\xA4/"); },
       "[LOCALDIR]\nMACHINEDIR=/data/\xA4\xA4/\n"},
  };
  for (const auto& c : cases) {
    fs::remove(path);
    if (c.before) Write(*c.before);
    TIniFile file(path);
    EXPECT_TRUE(c.write(file)) << c.what << ": " << file.LastError();
    EXPECT_EQ(Read(), c.after) << c.what;
    EXPECT_TRUE(Leftovers().empty()) << c.what;
  }
}

TEST_F(IniFileOnDisk, WritesThatChangeNothingLeaveTheFileAlone) {
  Write("[OPTIONS]\nLANGUAGE = 1 \nMSGTONC=0\n");
  // An old stamp, so that any rewrite would show even within the same second.
  const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  const struct stat before = Stat(path);

  TIniFile file(path);
  EXPECT_TRUE(file.WriteInteger("options", "language", 1));
  EXPECT_TRUE(file.WriteBool("OPTIONS", "MSGTONC", false));
  EXPECT_TRUE(file.DeleteKey("OPTIONS", "NOSUCHKEY"));
  {
    TIniUpdate update(file);
    file.WriteString("OPTIONS", "LANGUAGE", "1");
    EXPECT_TRUE(update.Commit());
  }
  const struct stat after = Stat(path);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(Read(), "[OPTIONS]\nLANGUAGE = 1 \nMSGTONC=0\n");
}

TEST_F(IniFileOnDisk, AWriteReplacesTheFileKeepingItsPermissionsAndItsLink) {
  Write("[OPTIONS]\nLANGUAGE=1\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const struct stat before = Stat(path);
  TIniFile file(path);
  ASSERT_TRUE(file.WriteInteger("OPTIONS", "LANGUAGE", 0)) << file.LastError();
  const struct stat after = Stat(path);
  EXPECT_NE(after.st_ino, before.st_ino) << "a new file took the old one's place";
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(Read(), "[OPTIONS]\nLANGUAGE=0\n");

  // Settings kept elsewhere through a link: the link stays and the file it names changes.
  fs::create_directory(folder / "real");
  const fs::path real = folder / "real/settings.ini";
  fs::rename(path, real);
  fs::create_symlink(real, path);
  ASSERT_TRUE(file.WriteInteger("OPTIONS", "LANGUAGE", 2)) << file.LastError();
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(vandir::test::ReadBytes(real), "[OPTIONS]\nLANGUAGE=2\n");
  EXPECT_EQ(std::vector<std::string>{"settings.ini"},
            std::vector<std::string>{fs::directory_iterator(folder / "real")->path().filename()});
}

TEST_F(IniFileOnDisk, AFailedWriteSaysWhyAndLeavesTheOldFileWhole) {
  const std::string original = "[OPTIONS]\nLANGUAGE=1\n[MACHINEDATA]\nCNCCOUNT=1\n";
  const bool root = ::geteuid() == 0;
  const struct {
    const char* what;
    std::function<void()> arrange;
    const char* reason;  // the system's words in the error
    bool needsNonRoot;
  } cases[] = {
      {"the disk fills up half-way", [] {}, "File too large", false},
      {"the settings path is a folder",
       [&] {
         fs::remove(path);
         fs::create_directory(path);
         vandir::test::WriteBytes(path / "inside", original);
       },
       "Is a directory", false},
      {"the folder is read-only",
       [&] { fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec); },
       "Permission denied", true},
      {"the file cannot be read", [&] { fs::permissions(path, fs::perms::none); },
       "Permission denied", true},
  };
  for (const auto& c : cases) {
    if (c.needsNonRoot && root) continue;  // root reads and writes through any permission
    fs::permissions(folder, fs::perms::owner_all);
    fs::remove_all(path);
    Write(original);
    TIniFile file(path);
    EXPECT_EQ(file.ReadInteger("OPTIONS", "LANGUAGE", -1), fs::is_directory(path) ? -1 : 1);
    c.arrange();
    bool written = false;
    {
      const vandir::test::FileSizeLimit full(original.size() / 2);
      written = file.WriteInteger("OPTIONS", "LANGUAGE", 2);
    }
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_FALSE(written) << c.what;
    EXPECT_NE(file.LastError().find(c.reason), std::string::npos) << c.what << ": " << file.LastError();
    EXPECT_NE(file.LastError().find(folder.string()), std::string::npos) << c.what << ": names the file";
    if (fs::is_directory(path)) {
      EXPECT_EQ(vandir::test::ReadBytes(path / "inside"), original) << c.what;
    } else {
      fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
      EXPECT_EQ(Read(), original) << c.what;
      EXPECT_EQ(file.ReadInteger("OPTIONS", "LANGUAGE", -1), 1) << c.what << ": reads still answer";
    }
    EXPECT_TRUE(Leftovers().empty()) << c.what << ": " << testing::PrintToString(Leftovers());
  }
}

TEST_F(IniFileOnDisk, AnUpdateReachesTheFileWholeOrNotAtAll) {
  const std::string original = "[MACHINEDATA]\nCNCCOUNT=1\nCNCIP0=10.0.0.1\n";
  Write(original);
  TIniFile file(path);
  {
    TIniUpdate update(file);
    file.WriteInteger("MACHINEDATA", "CNCCOUNT", 2);
    file.WriteString("MACHINEDATA", "CNCIP1", "10.0.0.2");
    EXPECT_EQ(file.ReadInteger("MACHINEDATA", "CNCCOUNT", -1), 2) << "reads see the update";
    EXPECT_EQ(Read(), original) << "the file waits for the commit";
    EXPECT_TRUE(update.Commit()) << file.LastError();
  }
  const std::string both = "[MACHINEDATA]\nCNCCOUNT=2\nCNCIP0=10.0.0.1\nCNCIP1=10.0.0.2\n";
  EXPECT_EQ(Read(), both);

  const struct {
    const char* what;
    std::function<void()> writes;
  } failing[] = {
      {"the disk fills up",
       [&] {
         const vandir::test::FileSizeLimit full(4);
         TIniUpdate update(file);
         file.WriteInteger("MACHINEDATA", "CNCCOUNT", 3);
         file.WriteString("MACHINEDATA", "CNCIP2", "10.0.0.3");
         EXPECT_FALSE(update.Commit());
       }},
      {"one write is refused",
       [&] {
         TIniUpdate update(file);
         file.WriteInteger("MACHINEDATA", "CNCCOUNT", 3);
         EXPECT_FALSE(file.WriteString("MACHINEDATA", "CNCIP2", "10.0.0.3\n[OPTIONS]"));
         EXPECT_FALSE(update.Commit());
       }},
      {"the update is not committed",
       [&] {
         TIniUpdate update(file);
         file.WriteInteger("MACHINEDATA", "CNCCOUNT", 3);
       }},
  };
  for (const auto& c : failing) {
    c.writes();
    EXPECT_EQ(Read(), both) << c.what;
    EXPECT_EQ(file.ReadInteger("MACHINEDATA", "CNCCOUNT", -1), 2) << c.what;
    EXPECT_TRUE(Leftovers().empty()) << c.what;
  }
}

TEST_F(IniFileOnDisk, ReadsSeeAFileReplacedBehindTheirBack) {
  Write("[OPTIONS]\nLANGUAGE=1\n");
  const timespec stamp[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), stamp, 0), 0);
  TIniFile file(path);
  EXPECT_EQ(file.ReadInteger("OPTIONS", "LANGUAGE", -1), 1);
  // Another program saves a file of the same size with the same time, as editors do: by
  // writing a new file and renaming it over the old one.
  vandir::test::WriteBytes(folder / "other", "[OPTIONS]\nLANGUAGE=0\n");
  ASSERT_EQ(::utimensat(AT_FDCWD, (folder / "other").c_str(), stamp, 0), 0);
  fs::rename(folder / "other", path);
  EXPECT_EQ(file.ReadInteger("OPTIONS", "LANGUAGE", -1), 0);
}

}  // namespace
}  // namespace talvo::app
