// Captions for the dialogs that may be shown before the main window gave them a language:
// without one they show the built-in text of the key.
#pragma once

#include <QString>

#include <string_view>

#include "app/language/caption_keys.h"
#include "app/language/language.h"

namespace talvo::app {

inline QString OptionalCaption(const TLanguage* language, std::string_view section,
                               std::string_view key) {
  if (language != nullptr) return language->Caption(section, key);
  return QString::fromUtf8(CaptionKey(std::string(section), std::string(key)).fallback);
}

}  // namespace talvo::app
