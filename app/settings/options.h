// The settings file's OPTIONS and LOCALDIR keys, their defaults and their repairs. Every
// read goes to the file; nothing is remembered here.
#pragma once

#include <string>

#include "app/settings/key_file.h"

namespace talvo::app {

inline constexpr const char* kOptions = "OPTIONS";
inline constexpr const char* kLocalDir = "LOCALDIR";

// The eleven pages whose tab the settings can hide, in tab order of their keys' pages.
inline constexpr const char* kPageShowKeys[] = {
    "WORK_SHOW",     "POS_SHOW",         "PLC_SHOW",     "ALARM_SHOW",
    "PARAM_SHOW",    "USERPARAM_SHOW",   "USERPARAM2_SHOW", "HARDWARE_SHOW",
    "MACHINEDATA_SHOW", "NCFILES_SHOW",  "UPGRADE_SHOW"};

class TOptions {
 public:
  TOptions(TIniFile& file, std::string home) : file_(file), home_(std::move(home)) {}

  TIniFile& File() const { return file_; }
  const std::string& Home() const { return home_; }

  bool DemoMode() const { return file_.ReadBool(kOptions, "DEMOMODE", false); }
  // 0..3; anything else is repaired to 2 in the file. `saved`, when given, tells whether
  // the file took the repair (true when none was needed).
  int Language(bool* saved = nullptr) const;
  int ProcessInterval() const;
  bool EnableReconnect() const { return file_.ReadBool(kOptions, "ENABLE_RECONNECT", true); }
  bool EnableReconnectTimes() const {
    return file_.ReadBool(kOptions, "ENABLE_RECONNECT_TIMES", false);
  }
  int NumberReconnectTimes() const {
    return file_.ReadInteger(kOptions, "NUMBER_RECONNECT_TIMES", 10);
  }
  // The service's KeepConnectCount: the number when limited, else 0 (no limit).
  unsigned KeepConnectCount() const;
  int ReconnectDelaySeconds() const {
    return file_.ReadInteger(kOptions, "RECONNECT_DELAY_TIME", 1);
  }
  // Milliseconds for the service; never negative.
  int KeepConnectInterval() const;
  int AlarmWarnFlashInterval() const;
  bool MessageToController() const { return file_.ReadBool(kOptions, "MSGTONC", true); }
  bool PageShown(const char* showKey) const { return file_.ReadBool(kOptions, showKey, true); }
  int ShowTimer() const { return file_.ReadInteger(kOptions, "SHOWTIMER", 1); }
  // 0 milling or 1 lathe; anything else reads as 0 (the system type is written back when
  // it is applied).
  int LastSysType() const;
  // Stores the applied system type when the file holds another; false when the write failed.
  bool SetLastSysType(int type);

  // Local folders, each ending with '/'.
  std::string MachineDir() const { return Folder("MACHINEDIR", "Machine/"); }
  std::string NcFilesDir() const { return Folder("NCFILESDIR", "Ncfiles/"); }
  std::string SetupDir() const { return Folder("SETUPDIR", "Setup/"); }
  std::string RemoteZPath() const { return Folder("REMOTE_Z_PATH", "Ncfiles/"); }

 private:
  std::string Folder(const char* key, const char* underHome) const;

  TIniFile& file_;
  std::string home_;
};

}  // namespace talvo::app
