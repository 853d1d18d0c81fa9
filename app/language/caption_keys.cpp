#include "app/language/caption_keys.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <stdexcept>
#include <utility>

namespace talvo::app {
namespace {

struct Key {
  const char* key;
  const char* fallback;
};

void Add(std::vector<TCaptionKey>& all, const char* section, std::initializer_list<Key> keys) {
  for (const Key& k : keys) all.push_back({section, k.key, k.fallback});
}

// A composed key name that lives as long as the table (a deque never moves its elements).
const char* Kept(std::string name) {
  static std::deque<std::string> names;
  return names.emplace_back(std::move(name)).c_str();
}

// Keys prefix + first .. last, with the fallbacks in order and empty ones after them.
void AddNumbered(std::vector<TCaptionKey>& all, const char* section, const char* prefix,
                 int first, std::initializer_list<const char*> fallbacks, int last) {
  auto it = fallbacks.begin();
  for (int n = first; n <= last; ++n)
    all.push_back({section, Kept(prefix + std::to_string(n)), it != fallbacks.end() ? *it++ : ""});
}

std::vector<TCaptionKey> BuildTable() {
  std::vector<TCaptionKey> all;
  Add(all, "MainString",
      {{"Form", "Talvo-Maintenance"},
       {"SpeedButtonConnect", "Connect"},
       {"SpeedButtonAddWork", "Machine"},
       {"SpeedButtonSendMsgToNc", "Send Message"},
       {"SpeedButtonDisconnect", "Disconnect"},
       {"SpeedButtonAbout", "About"},
       {"SpeedButtonExit", "Exit"},
       {"LabelDisConnect", "DisConnect"},
       {"LabelConnect", "Connect"},
       {"LabelConnecting", "Connecting..."},
       {"LabelExclude", "Exclude"},
       {"LabelFailed", "Failed"},
       {"LabelNone", "None"},
       {"MachineListEmpty", "No machines yet: add one with Machines"},
       {"TabWork", "Work"},
       {"TabPos", "Position"},
       {"TabPLC", "PLC"},
       {"TabAlarm", "Alarm"},
       {"TabParam", "Parameter"},
       {"TabUserParam", "User Parameter"},
       {"TabUserParam2", "User Parameter2"},
       {"TabHardware", "Hardware"},
       {"TabMachine", "Machine"},
       {"TabNcfiles", "NC Files"},
       {"TabUpgrade", "Upgrade"},
       {"TabOption", "Option"},
       {"SettingsNotSaved", "Could not save the settings to %1: %2"}});
  Add(all, "Work",
      {{"MainProgNameLabel", "Main Part"},
       {"NowProgNameLabel", "Now Part"},
       {"NCodeLabel", "Block No"},
       {"LinesNoLabel", "Lines No"},
       {"WorkModeLabel", "Mode"},
       {"WorkStaticeLabel", "Statice"},
       {"LFeedRate", "Feed Rate"},
       {"S1_LNowSpeed", "S1 Speed"},
       {"S2_LNowSpeed", "S2 Speed"},
       {"S3_LNowSpeed", "S3 Speed"},
       {"FeedRateUnit_Metric", "mm/min"},
       {"S1_Unit", "RPM"},
       {"S2_Unit", "RPM"},
       {"S3_Unit", "RPM"},
       {"LFeedRatePer", "Rate"},
       {"LS1Per", "Rate"},
       {"LS2Per", "Rate"},
       {"LS3Per", "Rate"},
       {"LCutTime", "Cut time"},
       {"LWorkTime", "Run time"},
       {"LNowWorkPice", "Count"},
       {"LMaxWorkPice", "MAX Count"},
       {"LSpindleT", "Spindle T"},
       {"LPrepareT", "Prepare T"},
       {"GcodeGroup", "G Code Group"},
       {"LocalVerGroup", "Local Var"},
       {"GlobalVerGroup", "Global Var"},
       {"LocalVerNo", "No"},
       {"LocalVer", "Value"},
       {"GlobalVerNo", "No"},
       {"GlobalVer", "Value"}});
  Add(all, "Pos",
      {{"ABS_Label", "ABSOLUTE"},
       {"INC_Label", "RELATIVE"},
       {"MAC_Label", "MACHINE"},
       {"DIS_Label", "DIST TO GO"},
       {"HandlePos_Label", "HANDLE"},
       {"PosGroup_Label", "Position"},
       {"OffsetGroup_Label", "Offset"},
       {"ToolsGroup_Label", "Tools"},
       {"TDCGroup_Label", "TDC"},
       {"GeonGroup_Label", "Geon"},
       {"WearGroup_Label", "Wear"},
       {"OffsetGoto_Label", "Offset name"},
       {"OffsetGoto_Button", "Go to"},
       {"MToolsNo_Label", "No"},
       {"MToolsRadius_Label", "Radius"},
       {"MToolsLength_Label", ""},
       {"TDCNo_Label", "No"},
       {"TDCValue_Label", "Value"},
       {"TDCTime_Label", "Time"},
       {"WearNo_Label", "No"},
       {"WearType_Label", "Type"},
       {"WearNose_Label", "Nose"},
       {"WearX_Label", "W_X"},
       {"WearY_Label", "W_Y"},
       {"WearZ_Label", "W_Z"},
       {"GeonNo_Label", "No"},
       {"GeonType_Label", "Type"},
       {"GeonNoseRadius", "Nose"},
       {"GeonX_Label", "G_X"},
       {"GeonY_Label", "G_Y"},
       {"GeonZ_Label", "G_Z"}});
  Add(all, "PLC",
      {{"IBit_Label", "I Bit"},
       {"OBit_Label", "O Bit"},
       {"CBit_Label", "C Bit"},
       {"SBit_Label", "S Bit"},
       {"ABit_Label", "A Bit"},
       {"CounterNo_Label", "Counter"},
       {"CounterCurrentValue_Label", "Current Value"},
       {"CounterSetValue_Label", "Set Value"},
       {"TimmerNo_Label", "Timmer"},
       {"TimmerCurrentValue_Label", "Current Value"},
       {"TimmerSetValue_Label", "Set Value"},
       {"RegisterNo_Label", "Register"},
       {"RegisterValue_Label", "Value"},
       {"DRegisterNo_Label", "D Register"},
       {"DRegisterValue_Label", "Value"}});
  Add(all, "Alarm",
      {{"AlarmGroup_Label", "Alarm"},
       {"WarningGroup_Label", "Warning"},
       {"HistoryGroup_Label", "History"},
       {"OpHistoryGroup_Label", "Operate History"},
       {"History_Label", "Get History"},
       {"OpHistory_Label", "Get Operate History"}});
  Add(all, "Parameter",
      {{"ParameterGoto_Label", "No."},
       {"ParameterGoto_Button", "Go to"},
       {"ParameterSearch_Label", "Find"},
       {"ParameterSearch_Button", "Search"},
       {"SpeedButtonParamAllGroup_Label", "All"}});
  // The group buttons show 1..8 with their names; the grids read 1..11 with no default.
  AddNumbered(all, "Parameter", "SysParamGroup", 1,
              {"Servo", "Machine", "Spindle", "MPG", "Offset", "Home", "Operate", "Other"}, 11);
  AddNumbered(all, "Parameter", "SysParamActiveType", 1, {}, 3);
  Add(all, "Parameter",
      {{"SysParamNo_Label", "No"},
       {"SysParamGroup_Label", "Group"},
       {"SysParamValue_Label", "Value"},
       {"SysParamVisible_Label", "Visible"},
       {"SysParamExplain_Label", "Explain"},
       {"SysParamNoUse", "No Use"},
       {"SysParamLoading", "Loading..."},
       {"SearchParamNotFound", "Search parameter not find"}});
  Add(all, "UserParameter",
      {{"UserParamNo_Label", "No"},
       {"UserParamValue_Label", "Value"},
       {"UserParamFunction_Label", "Function"},
       {"UserParamExplain_Label", "Explain"}});
  Add(all, "UserParameter2",
      {{"UserParam2No_Label", "No"},
       {"UserParam2Value_Label", "Value"},
       {"UserParam2Function_Label", "Function"},
       {"UserParam2Explain_Label", "Explain"}});
  Add(all, "Hardware",
      {{"CardInf_Label", "KVELM"},
       {"Dog_Label", "Dog"},
       {"Index_Label", "Index"},
       {"EncoderFalse_Label", "Encoder"},
       {"HardwareNo_Label", "No"},
       {"HardwareStatus_Label", "Status"},
       {"HardwareItems_Label", "Items"},
       {"HardwareOK", "OK"},
       {"HardwareFALSE", "FALSE"},
       {"SystemInfoNo_Label", "System"},
       {"SystemInfoValue_Label", "Value"},
       {"SystemInfoComment_Label", "Comment"}});
  Add(all, "Option",
      {{"LanguageGroup", "Language"},
       {"RadioBIG5", "Chinese Traditional"},
       {"RadioGB", "Chinese Simplified"},
       {"RadioENG", "English"},
       {"GroupBoxReconnect", "Reconnect"},
       {"CheckBoxEnableReconnect", "Retry"},
       {"CheckBoxReconnectTimes", "Max retries"},
       {"LabelRetryDelayTime", "Retry delay time"},
       {"LabelRetryDelayTimeUnit", "Sec"},
       {"DelayTime", "Delay Time"},
       {"Apply_Label", "Apply"},
       {"Cancel_Label", "Cancel"},
       {"LanguageNextStart", "The language changes at the next start."}});
  Add(all, "FileTrans",
      {{"MachinePathLabel", "Machine Path"},
       {"TransMachineLabel", "Trans Machine"},
       {"TransLadderLabel", "Trans Ladder"},
       {"TransIO", "Trans IO"},
       {"TransParam", "Trans Param"},
       {"TransGlobal", "Trans Global"},
       {"TransDreg", "Trans Dreg"},
       {"TransPlcErr", "Trans PlcErr"},
       {"TransUsrParamStr", "Trans Usr ParamStr"},
       {"TransGraph", "Trans Graph"},
       {"TransCNCLog", "Trans CNC Log File"},
       {"TransOpLog", "Trans Op Log File"},
       {"TransMmibase", "Trans Mmibase.ini"},
       {"Upload_Label", "Upload"},
       {"Download_Label", "Download"},
       {"Compare_Label", "Compare with backup..."},
       {"NcfilesPath", "Ncfiles Path"},
       {"SetupPath", "Setup Path"},
       {"SetupUpload_Label", "Setup"},
       {"SELECT_DIR", "Select Dir"},
       {"CONFIRM_NC_READY", "Please confirm the state of NC is ready !"},
       {"CONFIM_NC", "NC Machine Warning!"},
       {"CONFIM_PRESS_EMG", "NC Machine Status must be NO-RDY mode!"},
       {"CONFIM_PRESS_NC_EMG", "Press EMG,to Update ladder !"},
       {"CONFIM_FILE_NOT_FOUND1", "File Not Find!("},
       {"CONFIM_FILE_NOT_FOUND2", ")"},
       {"TRANS_NC_MACHINE",
        "Once Machine files uploading finished,please select PARAMETERS RESTORE and select "
        "C:UPDATE to update files!"},
       {"TRANS_NC_SETUP", "Setup files send finished,please select C:SETUP to update system!"},
       {"FINISH", "FINISH"},
       {"BackupIncomplete", "Unfinished backup in this folder, started"},
       {"BackupNotFetched", "not fetched:"},
       {"ConfirmSendTo", "Send to the machine"},
       {"ConfirmSendFrom", "from the folder"},
       {"ConfirmSetupFiles", "Every file and folder of the setup, files:"},
       {"ConfirmSendReplace",
        "Files of the same names in the controller's staging folder are replaced. Send them?"},
       {"SetupUnreadable", "The setup folder cannot be read whole; nothing was sent:"},
       {"CompareForm", "Compare with backup"},
       {"CompareClose", "Close"}});
  Add(all, "FileString",
      {{"LabelPCFileList", "PC"},
       {"LabelNCFileList", "NC"},
       {"LabelPCFileCount", "Count"},
       {"LabelNCFileCount", "Count"},
       {"LabelPcDiskFree", "Disk Free"},
       {"LabelNcDiskFree", "Disk Free"},
       {"ListViewPcFileC1", "Name"},
       {"ListViewPcFileC2", "Size"},
       {"ListViewPcFileC3", "Modified"},
       {"ListViewPcFileC4", "Attributes"},
       {"SpeedButtonFilePCtoNC", "Up>"},
       {"SpeedButtonFileNCtoPC", "<Down"},
       {"SpeedButtonRenamePC", "Rename"},
       {"SpeedButtonRenameNC", "Rename"},
       {"SpeedButtonDeletePC", "Delete"},
       {"SpeedButtonDeleteNC", "Delete"},
       {"SpeedButtonChangePathPC", "Change Path"},
       {"SpeedButtonCancel", "Cancel"},
       {"SpeedButtonExit", "Exit"},
       {"MessageConnectNotReady", "Connect not ready !"},
       {"MessageGetNCFileList", "Get NC file list ..."},
       {"MessageFileNCtoPC", "Download NC file ..."},
       {"MessageFilePCtoNC", "Upload PC file ..."},
       {"MessageRenameNCFile", "Rename NC file ..."},
       {"MessageDelNCFile", "Delete NC file ..."},
       {"MessageConfirmOverwrite", "Overwrite file"},
       {"MessageDelConfim", "Delete file ?"},
       {"MessageInputNew", "Input new file name:"},
       {"MessageRename", "File Rename"},
       {"MessageFileDel", "File Delete:"},
       {"MessageFinish", "Finish"},
       {"MessageSkipped", "Skipped"},
       {"MessagePCNoFile", "PC no file ..."},
       {"MessageNCNoFile", "NC no file ..."},
       {"MessageFailure", "Failure"},
       {"MessageRenameFailure", "Rename failure"},
       {"MessageDelFailure", "Delete failre"},
       {"MessageCreateDirFailure", "Create directory failure"},
       {"MessageNameRefused", "Left out, not a plain file name:"},
       {"MessageNameTooLong", "Left out, name too long:"},
       {"MessageFileNotThere", "Left out, not in the folder:"},
       {"MessageConnectionLost", "Connection lost, not completed"},
       {"MessageListingStopped", "The controller never completed the listing; files shown:"},
       {"Msg_Can_not_Show_Contents_Z_Disk", "Can not show the contents of the Z Disk"},
       {"Msg_Param_Index_Data_Error", "Paramater Index File is Incorrect"}});
  for (int number : KnownFileErrorNumbers())
    all.push_back({"FileString", Kept("ERROR_NC_FILE_ERROR_MSG" + std::to_string(number)), ""});
  Add(all, "InputNumeric",
      {{"Form", "Input Numeric"}, {"SpeedButtonOK_Label", "OK"}, {"SpeedButtonCancel_Label", "Cancel"}});
  Add(all, "ReturnCode",
      {{"Caption", "Return Message"},
       {"Accept", "Accept"},
       {"FormatError", "Format Error!"},
       {"SetFinish", "Set Finish"},
       {"SetFail", "Set Fail"},
       {"GetFinish", "Get Finish"},
       {"GetFail", "Get Fail"},
       {"DataErr", "Data Error"},
       {"ModeErr", "Mode Error"},
       {"ModeOverErr", "Mode Over Error"},
       {"StatusErr", "Status Error"},
       {"StatusOverErr", "Status Over Error"},
       {"OverRangeErr", "Over Range Error"},
       {"OverFieldErr", "Over Field Error"},
       {"OverLevelErr", "Over Level Error"},
       {"OverNoErr", "Over No Error"},
       {"OverPErr", "Over P Error"},
       {"OverAxisRange", "Over Axis Range"},
       {"PwErr", "Password Error"},
       {"PwLevelOver", "Password Level Over"},
       {"PwNoNotFound", "Password No Not Found"},
       {"NetConnectErr", "Net Connect Error"},
       {"NetTimeout", "Net Timeout"},
       {"NetWaiting", "Net Waiting"},
       {"NetPcIpReadonly", "PC site IP readonly, access denied!"},
       {"NetBusy", "Busy: an earlier write still waits for its reply, nothing was written"},
       {"NetResultUnknown", "The link was lost before the reply: the result is unknown"},
       {"NetNoReply", "No reply came for the write: the result is unknown"}});
  Add(all, "Password",
      {{"Form", "Confirm Password"},
       {"LABEL", "Please Input Password"},
       {"ACCEPT", "ACCEPT"},
       {"CANCEL", "CANCEL"},
       {"SHOWNEXTTIME", "Do'nt Show Next Time"}});
  Add(all, "SendMessage",
      {{"Form", "Send Message to NC"},
       {"LabelTitle", "Please input message:"},
       {"Send", "Send"},
       {"Cancel", "Cancel"}});
  Add(all, "AboutString",
      {{"AboutForm", "About"},
       {"AboutLabelProductName", "Talvo-Maintenance"},
       {"AboutLabelVersion", "Version:"},
       {"AboutButtonOK", "OK"}});
  Add(all, "AddCNCString",
      {{"Form", "CNC Connect"},
       {"StringGridCNCName", "Name"},
       {"StringGridCNCIP", "IP"},
       {"SpeedButtonAdd", "Add"},
       {"SpeedButtonDelete", "Del"},
       {"SpeedButtonConnect", "Connect"},
       {"CheckBoxAutoConnect", "Auto Connect"},
       {"SpeedButtonExit", "Exit"},
       {"LabelNoAddress", "An entry without an IP address is not kept."}});
  Add(all, "OptionString", {{"SelectDirectoryCaption", "Select Directory"}});
  Add(all, "CurvesString",
      {{"SpeedButtonCurves", "Curves"},
       {"MenuItemTrends", "Trends..."},
       {"MenuItemRecorder", "Data recorder plots..."},
       {"TrendsForm", "Trends"},
       {"RecorderForm", "Data recorder plots"},
       {"ButtonAdd", "Add"},
       {"ButtonPause", "Pause"},
       {"ButtonLive", "Live"},
       {"ButtonExportCsv", "Export CSV"},
       {"ButtonExportPng", "Export PNG"},
       {"ButtonOpen", "Open files"},
       {"ButtonWhole", "Whole plot"},
       {"ExportFailed", "Export failed: %1"},
       {"SpanMinutes", "%1 min"},
       {"Time", "Time"},
       {"KindMacro", "Macro variable"},
       {"KindDRegister", "D register"},
       {"KindRegister", "PLC register"},
       {"FeedCommand", "Feed command"},
       {"FeedActual", "Feed actual"},
       {"FeedOverride", "Feed override"},
       {"SpindleCommand", "S%1 command"},
       {"SpindleActual", "S%1 actual"},
       {"SpindleOverride", "S%1 override"},
       {"MachinePosition", "Machine %1"},
       {"MacroVariable", "#%1"},
       {"DRegister", "D%1"},
       {"Register", "R%1"},
       {"UnitLength", "mm"},
       {"UnitPercent", "%"},
       {"AxisRecord", "Record"},
       {"AxisIsrTime", "ISR time (summed)"}});
  return all;
}

std::string Folded(const std::string& text) {
  std::string folded = text;
  std::transform(folded.begin(), folded.end(), folded.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return folded;
}

}  // namespace

const std::vector<int>& KnownFileErrorNumbers() {
  // The controller's file results, then the link's own transfer and command failures.
  static const std::vector<int> numbers = {2,  5,   9,   12,  13,  14,  15,  16,  -1,  -2, -3,
                                           -4, -5,  -6,  -7,  -8,  -11, -12, -13, -14, -15,
                                           -16, -17, -21, -22, -23, -65};
  return numbers;
}

const std::vector<TCaptionKey>& AllCaptionKeys() {
  static const std::vector<TCaptionKey> table = BuildTable();
  return table;
}

const TCaptionKey& CaptionKey(const std::string& section, const std::string& key) {
  static const auto index = [] {
    std::map<std::pair<std::string, std::string>, const TCaptionKey*> map;
    for (const TCaptionKey& entry : AllCaptionKeys())
      map.emplace(std::pair(Folded(entry.section), Folded(entry.key)), &entry);
    return map;
  }();
  const auto it = index.find({Folded(section), Folded(key)});
  if (it == index.end()) throw std::out_of_range("no caption key " + section + "/" + key);
  return *it->second;
}

}  // namespace talvo::app
