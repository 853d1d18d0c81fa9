#include "app/pages/parameter_listing.h"

#include <QString>

#include <fstream>
#include <iterator>
#include <optional>

namespace talvo::app {
namespace {

constexpr int kListedValues = 2001;  // indexes 0..2000
constexpr std::size_t kValueBytes = 4;

// The entry of `folder` named `name` without regard to case; the exact name wins.
std::optional<std::filesystem::path> FindIgnoringCase(const std::filesystem::path& folder,
                                                      const std::string& name) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(folder / name, ec)) return folder / name;
  const QString wanted = QString::fromStdString(name);
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const QString entry = QString::fromStdString(it->path().filename().string());
    if (entry.compare(wanted, Qt::CaseInsensitive) == 0 && it->is_regular_file(ec))
      return it->path();
  }
  return std::nullopt;
}

std::vector<std::int32_t> LittleEndianValues(const std::string& bytes) {
  std::vector<std::int32_t> values;
  for (std::size_t at = 0; at + kValueBytes <= bytes.size() && values.size() < kListedValues;
       at += kValueBytes) {
    std::uint32_t raw = 0;
    for (std::size_t i = 0; i < kValueBytes; ++i)
      raw |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    values.push_back(static_cast<std::int32_t>(raw));
  }
  return values;
}

}  // namespace

std::string ParameterListing(const std::vector<std::int32_t>& values) {
  std::string text = "Parameter Value Listing:\r\n No   Type     Value\r\n";
  for (std::size_t i = 0; i < values.size(); ++i)
    text += QString::asprintf("%04d  Long     %11ld\r\n", static_cast<int>(i),
                              static_cast<long>(values[i]))
                .toStdString();
  return text;
}

bool WriteParameterListing(const std::filesystem::path& folder) {
  const auto source = FindIgnoringCase(folder, "Param.bin");
  if (!source) return false;
  std::ifstream in(*source, std::ios::binary);
  if (!in) return false;
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  std::ofstream out(folder / "Param.txt", std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << ParameterListing(LittleEndianValues(bytes));
  return static_cast<bool>(out.flush());
}

}  // namespace talvo::app
