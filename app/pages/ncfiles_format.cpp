#include "app/pages/ncfiles_format.h"

#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "service/result_codes.h"
#include "service/size_text.h"

namespace talvo::app {

QString ListingDateText(const vandir::ListingEntry& entry) {
  return QString::asprintf("%02d/%02d/%04d", entry.month, entry.day, entry.year);
}

QString ListingTimeText(const vandir::ListingEntry& entry) {
  return QString::asprintf("%02d:%02d %cM", entry.hour % 12, entry.minute,
                           entry.hour < 12 ? 'A' : 'P');
}

QString AttributeLetters(std::uint8_t attributes) {
  QString letters;
  if (attributes & vandir::kAttributeReadOnly) letters += 'R';
  if (attributes & vandir::kAttributeHidden) letters += 'H';
  if (attributes & vandir::kAttributeSystem) letters += 'S';
  if (attributes & vandir::kAttributeArchive) letters += 'A';
  return letters;
}

std::vector<TFileRow> PcFileRows(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<TFileRow> rows;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code entryError;
    if (!it->is_regular_file(entryError)) continue;
    const std::string name = it->path().filename().string();
    const std::uintmax_t size = it->file_size(entryError);
    const fs::file_time_type written = it->last_write_time(entryError);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(written).time_since_epoch());
    const fs::perms perms = it->status(entryError).permissions();
    std::uint8_t attributes = 0;
    if ((perms & fs::perms::owner_write) == fs::perms::none) attributes |= vandir::kAttributeReadOnly;
    if (name.front() == '.') attributes |= vandir::kAttributeHidden;
    rows.push_back({QByteArray::fromStdString(name), QString::fromStdString(name),
                    QString::number(size),
                    QLocale::system().toString(
                        QDateTime::fromSecsSinceEpoch(seconds.count()), QLocale::ShortFormat),
                    AttributeLetters(attributes)});
  }
  return rows;
}

QString PcFreeSpaceText(const std::string& folder) {
  std::error_code ec;
  const std::filesystem::space_info space = std::filesystem::space(folder, ec);
  if (ec) return {};
  return QString::fromStdString(SizeText(space.available));
}

int OverwriteAnswer(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Yes:
      return kAnswerYes;
    case QMessageBox::YesToAll:
      return kAnswerYesToAll;
    case QMessageBox::No:
      return kAnswerNo;
    case QMessageBox::NoToAll:
      return kAnswerNoToAll;
    default:
      return kAnswerCancel;
  }
}

}  // namespace talvo::app
