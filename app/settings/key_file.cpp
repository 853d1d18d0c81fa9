#include "app/settings/key_file.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/settings/simple_ini.h"
#include "text/trim.h"

namespace talvo::app {

class TIniData : public CSimpleIniA {
 public:
  using CSimpleIniA::CSimpleIniA;
};

namespace {

std::unique_ptr<TIniData> NewIni() {
  // Multi-key so that with a key written twice the first one answers, as on the
  // controller's own tools; no spaces around '=' so written files keep the key=value form.
  auto ini = std::make_unique<TIniData>(false, true, false);
  ini->SetSpaces(false);
  return ini;
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Parse(TIniData& ini, std::string_view bytes) {
  ini.Reset();
  // SimpleIni stops at a NUL; a damaged file gives what comes before it.
  ini.LoadData(bytes.data(), bytes.size());
}

}  // namespace

TKeyReader::TKeyReader() = default;
TKeyReader::~TKeyReader() = default;

std::string TKeyReader::ReadString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
  const char* value = Data().GetValue(std::string(section).c_str(), std::string(key).c_str());
  return value ? std::string(value) : std::string(fallback);
}

int TKeyReader::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const std::string text(text::TrimmedSpaces(ReadString(section, key, "")));
  if (text.empty()) return fallback;
  const char* first = text.data();
  if (*first == '+') ++first;
  int value = 0;
  const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return fallback;
  return value;
}

bool TKeyReader::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

bool TKeyReader::ValueExists(std::string_view section, std::string_view key) const {
  return Data().GetValue(std::string(section).c_str(), std::string(key).c_str()) != nullptr;
}

TIniFile::TIniFile(std::filesystem::path path) : path_(std::move(path)), ini_(NewIni()) {}
TIniFile::~TIniFile() = default;

const TIniData& TIniFile::Data() const {
  std::error_code ec;
  const auto stamp = std::filesystem::last_write_time(path_, ec);
  const auto size = ec ? static_cast<std::uintmax_t>(-1) : std::filesystem::file_size(path_, ec);
  if (ec) {
    ini_->Reset();
    size_ = static_cast<std::uintmax_t>(-1);
    return *ini_;
  }
  if (stamp != stamp_ || size != size_) {
    Parse(*ini_, ReadAll(path_));
    stamp_ = stamp;
    size_ = size;
  }
  return *ini_;
}

bool TIniFile::Save() {
  // Whatever happens below, the next read parses what is on disk, so a value that could not
  // be written is not kept in memory either.
  size_ = static_cast<std::uintmax_t>(-1);
  std::string bytes;
  if (ini_->Save(bytes) < 0) return false;
  const auto temp = path_.string() + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) return false;
  }
  // Replaced whole, so a crash or a full disk mid-write never leaves half a settings file.
  std::error_code ec;
  std::filesystem::rename(temp, path_, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) {
  Data();
  if (ini_->SetValue(std::string(section).c_str(), std::string(key).c_str(),
                     std::string(value).c_str(), nullptr, true) < 0)
    return false;
  return Save();
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Data();
  if (!ini_->Delete(std::string(section).c_str(), std::string(key).c_str())) return true;
  return Save();
}

TMemIniFile::TMemIniFile() : ini_(NewIni()) {}

TMemIniFile::TMemIniFile(const std::filesystem::path& path) : TMemIniFile() {
  Parse(*ini_, ReadAll(path));
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadBytes(std::string_view bytes) { Parse(*ini_, bytes); }

}  // namespace talvo::app
