#include "app/language/language.h"

#include "app/language/caption_keys.h"
#include "text/screen_text.h"

namespace talvo::app {

std::string TLanguage::FileName(int language) {
  static const char* const names[] = {"MLangCHT.ini", "MLangCHS.ini", "MLangENG.ini",
                                      "MLangUser.ini"};
  return names[language >= 0 && language <= 3 ? language : 2];
}

TLanguage::TLanguage(const std::string& home, int language)
    : language_(language >= 0 && language <= 3 ? language : 2) {
  for (int i = 0; i < 4; ++i) {
    const bool open = i < 3 || language_ == 3;
    files_[static_cast<std::size_t>(i)] =
        open ? std::make_unique<TMemIniFile>(home + "Language/" + FileName(i))
             : std::make_unique<TMemIniFile>();
  }
}

const TMemIniFile& TLanguage::File(int language) const {
  return *files_[static_cast<std::size_t>(language >= 0 && language <= 3 ? language : 2)];
}

std::string TLanguage::CaptionBytes(std::string_view section, std::string_view key) const {
  const TCaptionKey& entry = CaptionKey(std::string(section), std::string(key));
  return Current().ReadString(entry.section, entry.key, entry.fallback);
}

QString TLanguage::Caption(std::string_view section, std::string_view key) const {
  return Decode(CaptionBytes(section, key));
}

QString TLanguage::Caption(std::string_view section, std::string_view key,
                           std::string_view fallback) const {
  return Decode(Current().ReadString(section, key, fallback));
}

QString TLanguage::Decode(std::string_view bytes) const {
  return QString::fromStdString(text::ControllerBytesToUtf8(language_, bytes));
}

std::string TLanguage::Encode(const QString& text) const {
  return text::Utf8ToControllerBytes(language_, text.toStdString());
}

}  // namespace talvo::app
