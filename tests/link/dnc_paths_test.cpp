// Every path the controller names on the DNC channel stays inside the DNC root.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "link/dnc/dnc_paths.h"
#include "link/dnc/dnc_search.h"
#include "tests/link/temp_folder.h"

namespace vandir {
namespace {

namespace fs = std::filesystem;

// root/NC/O1, root/SUB/, links inside the root leading in and out, and a file beside the
// root that no path may reach.
class DncPaths : public testing::Test {
 protected:
  DncPaths() {
    folder.Write("root/NC/O1", "G0");
    folder.Write("secret", "keep out");
    fs::create_directories(folder / "root/SUB");
    fs::create_directory_symlink(folder / "root/NC", folder / "root/LINK_IN");
    fs::create_directory_symlink(folder.Path(), folder / "root/LINK_OUT");
    fs::create_symlink(folder / "secret", folder / "root/FILE_OUT");
    root = fs::canonical(folder / "root");
  }
  std::optional<fs::path> Resolve(const std::string& text, const fs::path& current = {}) {
    return DncRoot((folder / "root").string()).Resolve(text, current);
  }

  test::TempFolder folder;
  fs::path root;
};

TEST_F(DncPaths, ControllerFormsMapOntoTheRoot) {
  const struct {
    std::string text;
    std::string current;
    std::string expected;  // relative to the root
  } cases[] = {
      {"O1", "", "O1"},
      {"NC\\O1", "", "NC/O1"},
      {"C:\\NC\\O1", "", "NC/O1"},
      {"z:\\NC\\O1", "", "NC/O1"},
      {"C:\\\\NC\\\\O1", "", "NC/O1"},
      {"\\NC\\O1", "SUB", "NC/O1"},
      {"C:O1", "NC", "NC/O1"},
      {"O1", "NC", "NC/O1"},
      {"..\\SUB", "NC", "SUB"},
      {"NC\\..\\O2", "", "O2"},
      {"NC\\", "", "NC"},
      {"C:\\", "", ""},
      {"C:", "NC", "NC"},
      {".", "", ""},
      {"LINK_IN\\O1", "", "NC/O1"},
      {"NEW\\NAME.NC", "", "NEW/NAME.NC"},
  };
  for (const auto& c : cases) {
    const auto resolved = Resolve(c.text, c.current);
    ASSERT_TRUE(resolved) << c.text;
    EXPECT_EQ(*resolved, c.expected.empty() ? root : root / c.expected) << c.text;
  }
}

TEST_F(DncPaths, PcPathsInsideTheRootAreTakenAsTheyAre) {
  EXPECT_EQ(Resolve((folder / "root/NC/O1").string()), root / "NC/O1");
  EXPECT_EQ(Resolve((folder / "root/").string()), root);
  // The root as the controller was told it, through a link to the root's parent.
  EXPECT_EQ(Resolve((folder / "root/LINK_OUT/root/SUB").string()), root / "SUB");
}

TEST_F(DncPaths, EveryEscapeIsRefused) {
  const std::string escapes[] = {
      "..",
      "..\\secret",
      "..\\..\\..\\etc\\passwd",
      "C:\\..\\..\\etc\\passwd",
      "C:..\\secret",
      "\\..\\secret",
      "NC\\..\\..\\secret",
      "NEW\\..\\..\\secret",
      "/etc/passwd",
      "/",
      (folder / "secret").string(),
      (folder / "root/../secret").string(),
      "LINK_OUT\\secret",
      "LINK_OUT",
      "FILE_OUT",
      "LINK_IN\\..\\..\\secret",
      std::string("NC\0..\\..\\secret", 16),
      "",
  };
  for (const auto& text : escapes) EXPECT_FALSE(Resolve(text)) << text;
  EXPECT_FALSE(Resolve("..\\..\\secret", "NC"));
  EXPECT_FALSE(Resolve("O1", "../.."));
}

TEST_F(DncPaths, ALinkIsNamedNotFollowedInTheResult) {
  // Deleting or renaming "LINK_IN" must act on the link inside the root.
  EXPECT_EQ(Resolve("LINK_IN"), root / "LINK_IN");
}

TEST_F(DncPaths, OverlongNamesAreRefused) {
  EXPECT_FALSE(Resolve("NC\\" + std::string(300, 'A')));
  EXPECT_FALSE(Resolve(std::string(5000, 'A')));
}

TEST(DncRootPath, AnEmptyOrMissingRootAdmitsNothing) {
  EXPECT_FALSE(DncRoot("").Valid());
  EXPECT_FALSE(DncRoot("").Resolve("O1"));
  EXPECT_FALSE(DncRoot("/no/such/folder/anywhere").Resolve("O1"));
  EXPECT_FALSE(DncRoot("").Admits("/tmp"));
}

TEST(DncPattern, SplitsAtTheLastSeparator) {
  const struct {
    std::string pattern, folder, name;
  } cases[] = {
      {"C:\\NC\\*.NC", "C:\\NC\\", "*.NC"},
      {"*.*", "", "*.*"},
      {"C:*.NC", "C:", "*.NC"},
      {"/tmp/x/O?", "/tmp/x/", "O?"},
      {"C:\\NC\\", "C:\\NC\\", ""},
  };
  for (const auto& c : cases) {
    const DncPattern split = SplitDncPattern(c.pattern);
    EXPECT_EQ(split.folder, c.folder) << c.pattern;
    EXPECT_EQ(split.name, c.name) << c.pattern;
  }
}

TEST(DncWildcard, MatchesAsTheControllerDoes) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*", "O1000.NC", true},          {"*.*", "O1000", true},
      {"*.*", "O1000.NC", true},        {"*.NC", "o1000.nc", true},
      {"*.NC", "O1000.NCX", false},     {"O????", "O1000", true},
      {"O????", "O100", false},         {"O*0", "O1000", true},
      {"O*1", "O1000", false},          {"O1*.*", "O1", true},
      {"*A*B*", "XAYBZ", true},         {"*A*B*", "XBYAZ", false},
      {"PROG.NC", "PROG.NC", true},     {"PROG.NC", "PROG.N", false},
      {"", "", true},                   {"", "A", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

}  // namespace
}  // namespace vandir
