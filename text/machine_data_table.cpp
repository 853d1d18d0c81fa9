#include "text/machine_data_table.h"

namespace talvo::text {
namespace {

const std::array<TMachineCategory, kMachineCategories> kMilling = {{
    {"ladder", "TRANSMACLADDER", "Ladder_Count", "Ladder_File", {"CNC.LAD", "CNC.L88", "CNC.PAR"}},
    {"io", "TRANSMACIO", "IO_Count", "IO_File", {"PLCIO.CFG"}},
    {"parameters", "TRANSMACPARAM", "Parameter_Count", "Parameter_File",
     {"PARAM.BIN", "PARAM.DEF", "XPNET.BAT", "NETWORK.BAT"}},
    {"tools", "TRANSMACGLOBAL", "Miller_Tools_Count", "Miller_Tools_File", {"GLOBAL6.DAT"}},
    {"d-registers", "TRANSMACDREG", "D_Register_Count", "D_Register_File", {"SRAM"}},
    {"plc-alarm-texts", "TRANSMACPLCERR", "PLC_Error_Count", "PLC_Error_File",
     {"CHI_MLC.ERR", "ENG_MLC.ERR"}},
    {"user-parameter-texts", "TRANSMACUSRPARAMSTR", "User_Parameter_Count",
     "User_Parameter_File", {"USRCHI.STR", "USRENG.STR"}},
    {"graphics", "TRANSMACGRAPH", "Graphic_Count", "Graphic_File", {"GRAPH.DAT"}},
    {"alarm-log", "TRANSMACCNCLOG", "CNC_Log_Count", "CNC_Log_File", {"CNCSYS.LOG"}},
    {"operation-log", "TRANSMACOPLOG", "Op_Log_Count", "Op_Log_File", {"OPMSG.LOG"}},
    {"screen-settings", "TRANSMACMMIBASE", "Mmibase_Count", "Mmibase_File", {"MMIBASE.INI"}},
}};

const TMachineCategory kLatheTools = {"tools", "TRANSMACGLOBAL", "Lathe_Tools_Count",
                                      "Lathe_Tools_File",
                                      {"GREADY6.BIN", "GRUNH6.BIN", "GRUNL6.BIN"}};

}  // namespace

const TMachineCategory& MachineCategory(int category, int systemType) {
  if (category == kCategoryTools && systemType == 1) return kLatheTools;
  return kMilling.at(static_cast<std::size_t>(category));
}

int SystemTypeOfVersion(std::string_view version) {
  return version.size() >= 5 && version[4] == 'M' ? 0 : 1;
}

}  // namespace talvo::text
