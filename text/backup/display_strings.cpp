#include "text/backup/display_strings.h"

#include <memory>

#include "text/hmi_merge.h"
#include "text/key_file_text.h"
#include "text/interface_language.h"
#include "text/screen_text.h"
#include "text/trim.h"

namespace talvo::text::backup {
namespace {

constexpr int kDescriptionKeyBase = 20000;
constexpr int kUserFunctionFirstKeys[] = {14551, 14581};  // rows 1..20, rows 21..40
constexpr int kUserRowsPerBlock = 20;
constexpr int kUserRegisterFirst[] = {51, 81};

}  // namespace

DisplayStrings DisplayStrings::OfBackup(
    const std::function<std::optional<std::string_view>(std::string_view)>& file) {
  std::vector<std::string> merged = {kHmiSection};
  bool any = false;
  for (const char* name : kDisplayStringFiles) {
    const auto bytes = file(name);
    if (!bytes) continue;
    MergeLines(SplitLines(*bytes), &merged);
    any = true;
  }
  if (!any) return {};
  std::string joined;
  for (const std::string& line : merged) joined += line + "\n";
  auto table = std::make_shared<const KeyFileText>(std::move(joined));
  return DisplayStrings([table](int number) -> std::string {
    const auto found = table->Find("HMISTRINGTABLE", std::to_string(number));
    if (!found) return {};
    return ControllerBytesToUtf8(kEnglish, TrimmedSpaces(*found));
  });
}

std::string DisplayStrings::Text(int number) const { return lookup_ ? lookup_(number) : std::string(); }

std::string DisplayStrings::ParameterDescription(int number) const {
  std::string text = Text(number + kDescriptionKeyBase);
  if (const auto at = text.find("%%"); at != std::string::npos) text.erase(at, 1);
  return std::string(TrimmedSpaces(text));
}

std::string DisplayStrings::UserParameterFunction(int row) const {
  const int block = (row - 1) / kUserRowsPerBlock;
  return Text(kUserFunctionFirstKeys[block] + (row - 1) % kUserRowsPerBlock);
}

std::optional<int> UserParameterRow(int dRegister) {
  for (int block = 0; block < 2; ++block) {
    const int offset = dRegister - kUserRegisterFirst[block];
    if (offset >= 0 && offset < kUserRowsPerBlock) return block * kUserRowsPerBlock + offset + 1;
  }
  return std::nullopt;
}

}  // namespace talvo::text::backup
