// The interface language: the language files of the program home, the current one, and
// the turning of their bytes (and the controller's) into screen text. Captions are looked
// up by section and key; the built-in English text answers when a file lacks the key.
#pragma once

#include <QString>

#include <array>
#include <string>
#include <string_view>

#include "app/settings/key_file.h"

namespace talvo::app {

class TLanguage {
 public:
  // Opens "Language/MLangCHT.ini", "MLangCHS.ini" and "MLangENG.ini" under `home`, and
  // "MLangUser.ini" when `language` is 3. Missing files read as empty.
  TLanguage(const std::string& home, int language);

  int Code() const { return language_; }
  const TMemIniFile& Current() const { return *files_[static_cast<std::size_t>(language_)]; }
  // The file of a language 0..3 (3 reads as empty unless it is the current language).
  const TMemIniFile& File(int language) const;

  // The caption of a listed key in the current file, as screen text.
  QString Caption(std::string_view section, std::string_view key) const;
  // A key used with a default of its own besides its caption's (a history line's prefix).
  QString Caption(std::string_view section, std::string_view key,
                  std::string_view fallback) const;
  // The caption's bytes, for text that goes on to the controller.
  std::string CaptionBytes(std::string_view section, std::string_view key) const;
  // Bytes of the current language's code page (its files, the controller's texts) as
  // screen text, and screen text back into them.
  QString Decode(std::string_view bytes) const;
  std::string Encode(const QString& text) const;

  static std::string FileName(int language);

 private:
  int language_;
  std::array<std::unique_ptr<TMemIniFile>, 4> files_;
};

}  // namespace talvo::app
