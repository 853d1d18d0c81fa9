// The machine list of the settings file (section MACHINEDATA): CNCCOUNT entries numbered
// from 0, each a CNCNAMEn and a CNCIPn. The list is dense: deleting an entry moves every
// later one down. Every read and write goes to the file; a change of several keys reaches it
// whole or not at all. A change returns false when the file refused it (the file's LastError
// says why).
#pragma once

#include <string>

#include "app/settings/key_file.h"

namespace talvo::app {

class TMachineList {
 public:
  // More entries than anyone keeps; a damaged count beyond it must not build a menu of
  // a hundred thousand items.
  static constexpr int kMostMachines = 999;

  explicit TMachineList(TIniFile& file) : file_(file) {}

  TIniFile& File() const { return file_; }

  // CNCCOUNT, held to 0..kMostMachines. A file without one holds no machine: a first start
  // offers no blank entry to connect to.
  int Count() const;
  std::string Name(int index) const;
  std::string Ip(int index) const;
  bool SetName(int index, const std::string& name);
  bool SetIp(int index, const std::string& ip);
  bool AutoConnect() const;
  bool SetAutoConnect(bool on);

  // Appends an entry with empty name and address (none beyond kMostMachines).
  bool Add();
  // Removes entry `index`, moving the later ones down; nothing when out of range.
  bool Delete(int index);
  // Deletes every entry whose address is blank, re-examining the index that moved up.
  bool DeleteEntriesWithoutAddress();

  // "NAME-IP", the caption of the entry's menu item.
  std::string MenuCaption(int index) const { return Name(index) + "-" + Ip(index); }

 private:
  TIniFile& file_;
};

}  // namespace talvo::app
