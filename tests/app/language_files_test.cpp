// The shipped language files: every key the program looks up is in each of them, and each
// caption reaches the screen exactly as the translation table wrote it, through the file's
// code page (Big5, GB2312, ASCII) and the program's own reading and decoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/language/caption_keys.h"
#include "app/language/language.h"
#include "app/settings/key_file.h"
#include "tests/support/file_bytes.h"

namespace talvo::app {
namespace {

using vandir::test::ReadBytes;

const std::string kDataHome = TALVO_SOURCE_DIR "/data/";
constexpr int kLanguages[] = {0, 1, 2};

// One line of tools/language_texts.tsv: the texts in the order of the language codes.
struct TTranslation {
  std::string section;
  std::string key;
  std::string texts[3];
};

std::vector<TTranslation> ReadTable() {
  std::ifstream in(TALVO_SOURCE_DIR "/tools/language_texts.tsv");
  std::vector<TTranslation> table;
  std::string section;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    std::istringstream fields(line);
    std::string key, english, traditional, simplified;
    std::getline(fields, key, '\t');
    std::getline(fields, english, '\t');
    std::getline(fields, traditional, '\t');
    std::getline(fields, simplified, '\t');
    // Indexed by language code: 0 Traditional, 1 Simplified, 2 English.
    table.push_back({section, key, {traditional, simplified, english}});
  }
  return table;
}

TEST(LanguageFiles, EveryListedKeyIsInEachFile) {
  for (int language : kLanguages) {
    const auto path = kDataHome + "Language/" + TLanguage::FileName(language);
    ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
    const TMemIniFile file(path);
    for (const TCaptionKey& entry : AllCaptionKeys())
      EXPECT_TRUE(file.ValueExists(entry.section, entry.key))
          << TLanguage::FileName(language) << " lacks " << entry.section << "/" << entry.key;
  }
}

TEST(LanguageFiles, EveryCaptionDecodesToItsTranslation) {
  const std::vector<TTranslation> table = ReadTable();
  ASSERT_EQ(table.size(), AllCaptionKeys().size()) << "one translation per listed key";
  for (int language : kLanguages) {
    const TLanguage shipped(kDataHome, language);
    for (const TTranslation& line : table) {
      // A key the program never asks for would throw here: the table holds listed keys only.
      const QString caption = shipped.Caption(line.section, line.key);
      EXPECT_EQ(caption.toStdString(), line.texts[language])
          << TLanguage::FileName(language) << " " << line.section << "/" << line.key;
      EXPECT_FALSE(caption.contains(QChar::ReplacementCharacter));
    }
  }
}

TEST(LanguageFiles, ChineseFilesAreInTheirCodePagesAndEnglishIsAscii) {
  // The reader takes UTF-8 too, so decoding alone would not notice a file in the wrong
  // code page.
  for (int language : kLanguages) {
    const std::string bytes = ReadBytes(kDataHome + "Language/" + TLanguage::FileName(language));
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.compare(0, 3, "\xEF\xBB\xBF"), 0) << "no byte-order mark";
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > 0 && c < 0x7F; });
    EXPECT_EQ(ascii, language == 2) << TLanguage::FileName(language);
  }
  // The language names in the language's own code page: Big5 for 0, GB2312 for 1.
  EXPECT_EQ(TLanguage(kDataHome, 0).CaptionBytes("Option", "RadioBIG5"),
            "\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5");
  EXPECT_EQ(TLanguage(kDataHome, 1).CaptionBytes("Option", "RadioGB"),
            "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4");
}

TEST(LanguageFiles, EnglishFileReadsWellWhereTheBuiltInTextsDoNot) {
  const TLanguage english(kDataHome, 2);
  const struct {
    const char* section;
    const char* key;
    const char* text;
  } mended[] = {{"Work", "WorkStaticeLabel", "Status"},
                {"PLC", "TimmerNo_Label", "Timer"},
                {"FileString", "MessageDelFailure", "Delete failed"},
                {"Password", "SHOWNEXTTIME", "Don't show next time"},
                {"FileString", "Msg_Param_Index_Data_Error", "The parameter index file is incorrect"},
                {"Parameter", "SearchParamNotFound", "Parameter not found"},
                {"FileTrans", "CONFIM_FILE_NOT_FOUND1", "File not found! ("}};
  for (const auto& m : mended)
    EXPECT_EQ(english.Caption(m.section, m.key).toStdString(), m.text) << m.key;
  for (const TCaptionKey& entry : AllCaptionKeys()) {
    const std::string text = english.CaptionBytes(entry.section, entry.key);
    for (const char* typo : {"Statice", "Timmer", "failre", "Do'nt", "Paramater", "not find"})
      EXPECT_EQ(text.find(typo), std::string::npos) << entry.section << "/" << entry.key;
  }
}

TEST(LanguageFiles, FileErrorsHaveATextInEveryLanguage) {
  for (int language : kLanguages) {
    const TLanguage shipped(kDataHome, language);
    for (int number : KnownFileErrorNumbers())
      EXPECT_FALSE(
          shipped.Caption("FileString", "ERROR_NC_FILE_ERROR_MSG" + std::to_string(number)).isEmpty())
          << TLanguage::FileName(language) << " error " << number;
  }
}

TEST(LanguageFiles, BuildPutsThemIntoTheProgramHome) {
  for (int language : kLanguages) {
    const std::string name = "Language/" + TLanguage::FileName(language);
    EXPECT_EQ(ReadBytes(TALVO_PROGRAM_DIR "/" + name), ReadBytes(kDataHome + name)) << name;
  }
}

}  // namespace
}  // namespace talvo::app
