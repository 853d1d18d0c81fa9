// Key files: INI text with sections and keys, names compared without regard to case, texts
// kept byte for byte. TIniFile is the settings file: every read sees the file as it is on
// disk and every write reaches the disk at once, changing only the line of the key written.
// TMemIniFile is read once into memory (language and display-string files), never written.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/key_file_text.h"

namespace talvo::app {

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
  // The file's text, current as the kind defines it.
  virtual const text::KeyFileText& Text() const = 0;
};

class TIniFile : public TKeyReader {
 public:
  explicit TIniFile(std::filesystem::path path);
  ~TIniFile() override;

  const std::filesystem::path& FileName() const { return path_; }

  // Each write reads the file as it is now, changes the one key and replaces the file whole;
  // writing the value the file already holds leaves the file alone. False when the file could
  // not be read or written: it stays as it was, and LastError says why.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  bool DeleteKey(std::string_view section, std::string_view key);

  // Why the last write that returned false failed: the step, the file and the reason.
  const std::string& LastError() const { return lastError_; }

 protected:
  const text::KeyFileText& Text() const override;

 private:
  friend class TIniUpdate;
  // Which file on disk the text came from.
  struct Stamp {
    dev_t device;
    ino_t inode;
    off_t size;
    timespec modified;
  };
  static bool Same(const Stamp& a, const Stamp& b);

  void BeginUpdate();
  bool EndUpdate(bool commit);
  // One write: `edit` applied to the text as it is now, then saved (at once, or with the
  // update it belongs to).
  bool Change(const std::function<text::KeyFileText::Edit(text::KeyFileText&)>& edit,
              std::string_view section, std::string_view key);

  std::filesystem::path path_;
  mutable text::KeyFileText disk_;
  mutable std::optional<Stamp> stamp_;  // none while the file is missing or unreadable
  mutable std::string readError_;       // the file is there but could not be read
  std::string lastError_;
  // The writes of an update, applied to a copy of the file's text until the update ends.
  int updates_ = 0;
  std::optional<text::KeyFileText> pending_;
  bool updateFailed_ = false;
  bool updateChanged_ = false;
};

// Writes made while an update lives reach the file together, as one replacement, when it is
// committed: a change of several keys is made whole or not at all, and a failure is one
// failure. Reads meanwhile see the writes made so far. Updates may nest; the outermost
// one writes the file. An update that ends without Commit discards its writes.
class TIniUpdate {
 public:
  explicit TIniUpdate(TIniFile& file);
  ~TIniUpdate();
  TIniUpdate(const TIniUpdate&) = delete;
  TIniUpdate& operator=(const TIniUpdate&) = delete;

  // False when a write of the update (or, outermost, the file's replacement) failed; the
  // file's LastError says why.
  bool Commit();

 private:
  TIniFile& file_;
  bool ended_ = false;
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
  const text::KeyFileText& Text() const override { return text_; }

 private:
  text::KeyFileText text_;
};

}  // namespace talvo::app
