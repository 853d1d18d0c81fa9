#include "app/settings/key_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/settings/file_replace.h"
#include "text/trim.h"

namespace talvo::app {

using text::KeyFileText;

namespace {

// The whole file behind `fd`; false with errno set when a read fails.
bool ReadAll(int fd, std::string& bytes) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace

TKeyReader::TKeyReader() = default;
TKeyReader::~TKeyReader() = default;

std::string TKeyReader::ReadString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
  return std::string(Text().Find(section, key).value_or(fallback));
}

int TKeyReader::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const std::string_view text = text::TrimmedSpaces(Text().Find(section, key).value_or(""));
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
  return Text().Find(section, key).has_value();
}

TIniFile::TIniFile(std::filesystem::path path) : path_(std::move(path)) {}
TIniFile::~TIniFile() = default;

bool TIniFile::Same(const Stamp& a, const Stamp& b) {
  return a.device == b.device && a.inode == b.inode && a.size == b.size &&
         a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec;
}

const KeyFileText& TIniFile::Text() const {
  if (pending_) return *pending_;
  struct stat now {};
  if (::stat(path_.c_str(), &now) != 0) {
    // A missing file is an empty one that a write may create; any other failure is not.
    readError_ = errno == ENOENT ? std::string()
                                 : "cannot look at " + path_.string() + ": " + std::strerror(errno);
    if (stamp_ || !disk_.Bytes().empty()) disk_ = KeyFileText();
    stamp_.reset();
    return disk_;
  }
  const Stamp seen{now.st_dev, now.st_ino, now.st_size, now.st_mtim};
  if (stamp_ && Same(*stamp_, seen)) return disk_;

  disk_ = KeyFileText();
  stamp_.reset();
  readError_ = "cannot read " + path_.string() + ": ";
  if (S_ISDIR(now.st_mode)) {
    readError_ += std::strerror(EISDIR);
    return disk_;
  }
  if (!S_ISREG(now.st_mode)) {  // a pipe or a device would never end, or never start
    readError_ += "not a regular file";
    return disk_;
  }
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  std::string bytes;
  struct stat opened {};
  if (fd < 0 || ::fstat(fd, &opened) != 0 || !ReadAll(fd, bytes)) {
    readError_ += std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return disk_;
  }
  ::close(fd);
  readError_.clear();
  disk_ = KeyFileText(std::move(bytes));
  // The stamp of the file that was read, taken before its bytes: a change made meanwhile
  // makes the next read look again.
  stamp_ = Stamp{opened.st_dev, opened.st_ino, opened.st_size, opened.st_mtim};
  return disk_;
}

void TIniFile::BeginUpdate() {
  if (updates_++ > 0) return;
  const KeyFileText& now = Text();
  updateFailed_ = !readError_.empty();
  updateChanged_ = false;
  // A file that is there but cannot be read is never replaced by what little is known of it.
  if (updateFailed_) lastError_ = readError_;
  pending_ = now;
}

bool TIniFile::EndUpdate(bool commit) {
  if (!commit && !updateFailed_) {
    updateFailed_ = true;
    lastError_ = "a change of " + path_.string() + " was left unfinished";
  }
  if (--updates_ > 0) return !updateFailed_;
  const KeyFileText changed = std::move(*pending_);
  pending_.reset();
  if (updateFailed_) return false;
  if (!updateChanged_) return true;
  const bool replaced = ReplaceFileContents(path_, changed.Bytes(), lastError_);
  stamp_.reset();  // the next read takes the file as it is on disk now
  return replaced;
}

bool TIniFile::Change(const std::function<KeyFileText::Edit(KeyFileText&)>& edit,
                      std::string_view section, std::string_view key) {
  TIniUpdate update(*this);
  if (!updateFailed_) {
    switch (edit(*pending_)) {
      case KeyFileText::Edit::kChanged:
        updateChanged_ = true;
        break;
      case KeyFileText::Edit::kUnchanged:
        break;
      case KeyFileText::Edit::kRefused:
        lastError_ = "cannot write " + std::string(key) + " of [" + std::string(section) +
                     "]: a name or value that does not fit on one line";
        updateFailed_ = true;
        break;
    }
  }
  return update.Commit();
}

bool TIniFile::WriteString(std::string_view section, std::string_view key,
                           std::string_view value) {
  return Change([&](KeyFileText& text) { return text.Set(section, key, value); }, section, key);
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  return Change([&](KeyFileText& text) { return text.Remove(section, key); }, section, key);
}

TIniUpdate::TIniUpdate(TIniFile& file) : file_(file) { file_.BeginUpdate(); }

TIniUpdate::~TIniUpdate() {
  if (!ended_) file_.EndUpdate(false);
}

bool TIniUpdate::Commit() {
  if (ended_) return false;
  ended_ = true;
  return file_.EndUpdate(true);
}

TMemIniFile::TMemIniFile() = default;

TMemIniFile::TMemIniFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (in) LoadBytes(std::string(std::istreambuf_iterator<char>(in), {}));
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadBytes(std::string_view bytes) { text_ = KeyFileText(std::string(bytes)); }

}  // namespace talvo::app
