#include "app/language/display_strings.h"

#include <fstream>
#include <iterator>

#include "text/cvcode.h"
#include "text/screen_text.h"
#include "text/trim.h"

namespace talvo::app {
namespace {


}  // namespace

TDisplayStrings::TDisplayStrings(std::filesystem::path path, int language)
    : path_(std::move(path)), language_(language) {}

std::string TDisplayStrings::FileName(int language, bool demo) {
  if (demo || language == 3) return "Dsp.str";
  return language == 2 ? "DspE.str" : "DspC.str";
}

const TMemIniFile& TDisplayStrings::Current() const {
  std::error_code ec;
  const auto stamp = std::filesystem::last_write_time(path_, ec);
  const auto size = ec ? static_cast<std::uintmax_t>(-1) : std::filesystem::file_size(path_, ec);
  if (ec) {
    if (size_ != static_cast<std::uintmax_t>(-1)) file_.LoadBytes({});
    size_ = static_cast<std::uintmax_t>(-1);
  } else if (stamp != stamp_ || size != size_) {
    std::ifstream in(path_, std::ios::binary);
    file_.LoadBytes(std::string(std::istreambuf_iterator<char>(in), {}));
    stamp_ = stamp;
    size_ = size;
  }
  return file_;
}

std::string TDisplayStrings::Bytes(int number) const {
  const std::string raw(
      text::TrimmedSpaces(Current().ReadString("HMISTRINGTABLE", std::to_string(number), "")));
  std::string converted;
  text::FromControllerText(language_, raw, converted);
  return converted;
}

QString TDisplayStrings::Text(int number) const {
  return QString::fromStdString(text::ControllerBytesToUtf8(language_, Bytes(number)));
}

}  // namespace talvo::app
