// Which names may be joined to a folder: a plain name of one file, nothing that steps into
// another folder on the PC or the controller, nothing a file system cannot hold.
#include <gtest/gtest.h>

#include <string>

#include "link/file_names.h"

namespace vandir {
namespace {

TEST(FileNames, OnlyPlainNamesPass) {
  const struct {
    std::string name;
    NameFault fault;
  } cases[] = {
      {"O1234.NC", NameFault::kNone},
      {"CNC.LAD", NameFault::kNone},
      {".profile", NameFault::kNone},  // hidden on the PC, but still in the folder
      {"A.B.C", NameFault::kNone},
      {std::string(255, 'N'), NameFault::kNone},
      {"\xA4\xA4\xA4\xE5.NC", NameFault::kNone},  // Big5 bytes are not control characters
      {"", NameFault::kEmpty},
      {std::string(256, 'N'), NameFault::kTooLong},
      {"../.profile", NameFault::kSeparator},
      {"..\\AUTOEXEC.BAT", NameFault::kSeparator},
      {"SUB/EVIL.NC", NameFault::kSeparator},
      {"\\", NameFault::kSeparator},
      {".", NameFault::kDots},
      {"..", NameFault::kDots},
      {"A..B", NameFault::kDots},
      {"...", NameFault::kDots},
      {std::string("NUL\0.NC", 7), NameFault::kControl},
      {"BELL\a.NC", NameFault::kControl},
      {"TAB\t.NC", NameFault::kControl},
      {"DEL\x7F.NC", NameFault::kControl},
      {"\x1F", NameFault::kControl},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CheckFileName(c.name), c.fault) << VisibleName(c.name) << ": " << NameFaultText(c.fault);
}

TEST(FileNames, VisibleNameSpellsOutControlBytesOnly) {
  EXPECT_EQ(VisibleName("O1.NC"), "O1.NC");
  EXPECT_EQ(VisibleName("BELL\a.NC"), "BELL\\x07.NC");
  EXPECT_EQ(VisibleName(std::string("A\0B\x7F", 4)), "A\\x00B\\x7F");
  EXPECT_EQ(VisibleName("\xA4\xA4"), "\xA4\xA4");
}

}  // namespace
}  // namespace vandir
