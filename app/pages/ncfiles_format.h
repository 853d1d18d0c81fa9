// The rows of the NC files frame's two lists and the texts around them: controller entries
// with their packed date and time, PC files, attribute letters, free space, and the answer
// the overwrite question gives the service.
#pragma once

#include <QByteArray>
#include <QMessageBox>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "link/listing_entry.h"

namespace talvo::app {

// "MM/DD/YYYY" of an entry's packed date.
QString ListingDateText(const vandir::ListingEntry& entry);
// "hh:mm AM" / "hh:mm PM", the hour counted modulo 12 (12:30 reads 00:30 PM).
QString ListingTimeText(const vandir::ListingEntry& entry);
// "R", "H", "S", "A" for read-only, hidden, system and archive, in this order.
QString AttributeLetters(std::uint8_t attributes);

// One row of a file list: the name as stored (controller bytes or the PC's own file name)
// and the four texts shown.
struct TFileRow {
  QByteArray stored;
  QString name;
  QString size;
  QString modified;
  QString attributes;
};

// The PC files of `folder` (ending in '/'), folders and other kinds left out. A file the
// owner may not write reads as read-only; a name with a leading dot as hidden.
std::vector<TFileRow> PcFileRows(const std::string& folder);
// Free space of the file system holding `folder`; empty when it cannot be told.
QString PcFreeSpaceText(const std::string& folder);

// The overwrite question's answer for the service from the button chosen; anything but the
// four known buttons aborts.
int OverwriteAnswer(QMessageBox::StandardButton button);

}  // namespace talvo::app
