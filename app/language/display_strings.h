// The controller's display strings as the pages read them: section "HMISTRINGTABLE" of the
// merged display-string file the connect sequence writes into Resource/, by number, trimmed,
// turned into Simplified Chinese when the interface is, and decoded for the screen. The
// file is read again whenever it changed on disk, so a new connection's texts show at once.
#pragma once

#include <QString>

#include <filesystem>
#include <string>

#include "app/settings/key_file.h"

namespace talvo::app {

class TDisplayStrings {
 public:
  TDisplayStrings(std::filesystem::path path, int language);

  const std::filesystem::path& Path() const { return path_; }
  // The file name for a language: "Dsp.str" in demo mode and for the user language,
  // "DspC.str" for the two Chinese, "DspE.str" for English.
  static std::string FileName(int language, bool demo);

  // The controller bytes of entry `number` after trimming and conversion; empty when missing.
  std::string Bytes(int number) const;
  QString Text(int number) const;

 private:
  const TMemIniFile& Current() const;

  std::filesystem::path path_;
  int language_;
  mutable TMemIniFile file_;
  mutable std::filesystem::file_time_type stamp_{};
  mutable std::uintmax_t size_ = static_cast<std::uintmax_t>(-1);
};

}  // namespace talvo::app
