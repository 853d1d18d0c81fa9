#include "app/settings/machine_list.h"

#include <algorithm>

namespace talvo::app {
namespace {

constexpr const char* kSection = "MACHINEDATA";

std::string NameKey(int index) { return "CNCNAME" + std::to_string(index); }
std::string IpKey(int index) { return "CNCIP" + std::to_string(index); }

bool Blank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

int TMachineList::Count() const {
  return std::clamp(file_.ReadInteger(kSection, "CNCCOUNT", 0), 0, kMostMachines);
}

std::string TMachineList::Name(int index) const {
  return file_.ReadString(kSection, NameKey(index), "");
}

std::string TMachineList::Ip(int index) const {
  return file_.ReadString(kSection, IpKey(index), "");
}

bool TMachineList::SetName(int index, const std::string& name) {
  return file_.WriteString(kSection, NameKey(index), name);
}

bool TMachineList::SetIp(int index, const std::string& ip) {
  return file_.WriteString(kSection, IpKey(index), ip);
}

bool TMachineList::AutoConnect() const { return file_.ReadBool(kSection, "AUTOCONNECT", false); }

bool TMachineList::SetAutoConnect(bool on) {
  return file_.WriteBool(kSection, "AUTOCONNECT", on);
}

bool TMachineList::Add() {
  const int index = Count();
  if (index >= kMostMachines) return true;
  TIniUpdate update(file_);
  file_.WriteInteger(kSection, "CNCCOUNT", index + 1);
  SetName(index, "");
  SetIp(index, "");
  return update.Commit();
}

bool TMachineList::Delete(int index) {
  const int count = Count();
  if (count < 1 || index < 0 || index >= count) return true;
  TIniUpdate update(file_);
  for (int i = index; i + 1 < count; ++i) {
    SetName(i, Name(i + 1));
    SetIp(i, Ip(i + 1));
  }
  file_.DeleteKey(kSection, NameKey(count - 1));
  file_.DeleteKey(kSection, IpKey(count - 1));
  file_.WriteInteger(kSection, "CNCCOUNT", count - 1);
  return update.Commit();
}

bool TMachineList::DeleteEntriesWithoutAddress() {
  TIniUpdate update(file_);
  for (int i = 0; i < Count();) {
    if (!Blank(Ip(i)))
      ++i;
    else if (!Delete(i))
      break;  // the entry stays: looking at it again would never end
  }
  return update.Commit();
}

}  // namespace talvo::app
