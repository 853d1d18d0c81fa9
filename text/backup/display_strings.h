// The controller's display strings that name the parameters and the user parameters in a
// comparison: as a backup holds them (its English PLC alarm texts, user strings and display
// strings, merged in that order as the program merges them at connect: comment blocks
// dropped, the first text of a number answers), or as the program's pages show them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace talvo::text::backup {

// The controller's files in merge order, by upper-case name; the last is the one the backup
// adds from its resource folder.
inline constexpr const char* kDisplayStringFiles[] = {"ENG_MLC.ERR", "USRENG.STR", "DSPE.STR"};

class DisplayStrings {
 public:
  // The text of a number, trimmed, as UTF-8; empty when there is none.
  using Lookup = std::function<std::string(int number)>;

  DisplayStrings() = default;
  explicit DisplayStrings(Lookup lookup) : lookup_(std::move(lookup)) {}
  // `file` gives the bytes of a backup file by its upper-case name, or nothing. Empty when
  // the backup holds none of the files.
  static DisplayStrings OfBackup(
      const std::function<std::optional<std::string_view>(std::string_view)>& file);

  bool Empty() const { return !lookup_; }
  // The text of `number`, trimmed, as UTF-8; empty when there is none.
  std::string Text(int number) const;
  // Parameter n's description: its text with the first "%%" reduced to one "%".
  std::string ParameterDescription(int number) const;
  // The function text of user parameter row 1..40 (D51..D70, D81..D100).
  std::string UserParameterFunction(int row) const;

 private:
  Lookup lookup_;
};

// The user parameter row 1..40 a D register holds, or nothing.
std::optional<int> UserParameterRow(int dRegister);

}  // namespace talvo::text::backup
