// Key files: INI text with sections and keys, names compared without regard to case, texts
// kept byte for byte. TIniFile is the settings file: every read sees the file as it is on
// disk and every write reaches the disk at once. TMemIniFile is read once into memory
// (language and display-string files) and never written.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace talvo::app {

class TIniData;  // the parsed file; only the implementation sees SimpleIni

// The reading side both kinds share. Numbers are decimal integers with an optional sign;
// anything else reads as the default, as does a missing section or key.
class TKeyReader {
 public:
  virtual ~TKeyReader();
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

 protected:
  TKeyReader();
  // The parsed file, current as the kind defines it.
  virtual const TIniData& Data() const = 0;
};

class TIniFile : public TKeyReader {
 public:
  explicit TIniFile(std::filesystem::path path);
  ~TIniFile() override;

  const std::filesystem::path& FileName() const { return path_; }

  // Each write re-reads the file, changes the one key and saves; false when the file could
  // not be written (the value is then not kept either).
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  bool DeleteKey(std::string_view section, std::string_view key);

 protected:
  const TIniData& Data() const override;

 private:
  bool Save();

  std::filesystem::path path_;
  // The parse is kept only while the file on disk is the one it came from.
  mutable std::unique_ptr<TIniData> ini_;
  mutable std::filesystem::file_time_type stamp_{};
  mutable std::uintmax_t size_ = static_cast<std::uintmax_t>(-1);
};

class TMemIniFile : public TKeyReader {
 public:
  TMemIniFile();
  // A missing or unreadable file reads as empty.
  explicit TMemIniFile(const std::filesystem::path& path);
  ~TMemIniFile() override;
  // Replaces the contents with `bytes` parsed as a key file.
  void LoadBytes(std::string_view bytes);

 protected:
  const TIniData& Data() const override { return *ini_; }

 private:
  std::unique_ptr<TIniData> ini_;
};

}  // namespace talvo::app
