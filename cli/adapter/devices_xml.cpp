#include "cli/adapter/devices_xml.h"

#include <algorithm>
#include <ctime>
#include <set>
#include <utility>

namespace talvo::cli::adapter {

namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // XML 1.0 allows no control characters but these.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
    }
  }
  return out;
}

std::string Timestamp(std::chrono::system_clock::time_point time) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

// One machine's elements; `id` prefixes every id.
class DeviceWriter {
 public:
  DeviceWriter(std::string& out, std::string id) : out_(out), id_(std::move(id)) {}

  void Line(int depth, const std::string& text) { out_ += std::string(2 * depth, ' ') + text + '\n'; }
  // <Kind id="PREFIX_ID" name="NAME"> and its DataItems opened.
  void Open(int depth, const std::string& kind, const std::string& id, const std::string& name = "") {
    Line(depth, "<" + kind + " id=\"" + id_ + "_" + id + "\"" +
                    (name.empty() ? "" : " name=\"" + Escaped(name) + "\"") + ">");
  }
  void Item(int depth, const std::string& category, const std::string& key,
            const std::string& type, const std::string& more = "") {
    Line(depth, "<DataItem category=\"" + category + "\" id=\"" + id_ + "_" + key + "\" name=\"" +
                    key + "\" type=\"" + type + "\"" + more + "/>");
  }
  void Axis(int depth, const std::string& key, const std::string& letter, bool rotary) {
    const std::string kind = rotary ? "Rotary" : "Linear";
    const std::string measure = rotary ? "ANGLE\" subType=\"ACTUAL\" units=\"DEGREE"
                                       : "POSITION\" subType=\"ACTUAL\" units=\"MILLIMETER";
    Open(depth, kind, key + "_axis", letter);
    Line(depth + 1, "<DataItems>");
    Item(depth + 2, "SAMPLE", key + "_machine", measure, " coordinateSystem=\"MACHINE\"");
    Item(depth + 2, "SAMPLE", key + "_work", measure, " coordinateSystem=\"WORK\"");
    Line(depth + 1, "</DataItems>");
    Line(depth, "</" + kind + ">");
  }
  void Spindle(int depth, int number) {
    const std::string key = "s" + std::to_string(number);
    Open(depth, "Rotary", key + "_spindle", "S" + std::to_string(number));
    Line(depth + 1, "<DataItems>");
    Item(depth + 2, "SAMPLE", key + "_speed", "ROTARY_VELOCITY",
         " subType=\"ACTUAL\" units=\"REVOLUTION/MINUTE\"");
    Item(depth + 2, "SAMPLE", key + "_speed_cmd", "ROTARY_VELOCITY",
         " subType=\"PROGRAMMED\" units=\"REVOLUTION/MINUTE\"");
    Item(depth + 2, "EVENT", key + "_ovr", "ROTARY_VELOCITY_OVERRIDE", " units=\"PERCENT\"");
    Line(depth + 1, "</DataItems>");
    Line(depth, "</Rotary>");
  }

 private:
  std::string& out_;
  std::string id_;
};

void WriteDevice(std::string& out, const ShopMachine& machine, const std::string& name, int number) {
  DeviceWriter d(out, "m" + std::to_string(number));
  d.Line(2, "<Device id=\"m" + std::to_string(number) + "\" name=\"" + Escaped(name) +
                "\" uuid=\"vandir-" + Escaped(machine.address) + "\">");
  d.Line(3, "<Description>" + Escaped(machine.title) + " (" + Escaped(machine.address) +
                "), served by talvo-cli adapter on port " + std::to_string(machine.port) +
                "</Description>");
  d.Line(3, "<DataItems>");
  d.Item(4, "EVENT", "avail", "AVAILABILITY");
  d.Line(3, "</DataItems>");
  d.Line(3, "<Components>");
  d.Open(4, "Axes", "axes");
  d.Line(5, "<Components>");
  for (const auto& [key, letter] : {std::pair{"x", "X"}, {"y", "Y"}, {"z", "Z"}}) d.Axis(6, key, letter, false);
  for (std::size_t i = 0; i < machine.setup.axisParameters.size(); ++i) {
    const int parameter = machine.setup.axisParameters[i];
    // The program shows no letter for such an axis: the machine has none there.
    if (AxisLetter(parameter).empty()) continue;
    d.Axis(6, "axis" + std::to_string(i + 4), AxisLetter(parameter), IsRotaryAxis(parameter));
  }
  for (int spindle = 1; spindle <= 3; ++spindle) d.Spindle(6, spindle);
  d.Line(5, "</Components>");
  d.Line(4, "</Axes>");
  d.Open(4, "Controller", "controller");
  d.Line(5, "<DataItems>");
  d.Item(6, "EVENT", "mode", "CONTROLLER_MODE");
  d.Item(6, "CONDITION", "alarm", "SYSTEM");
  d.Item(6, "CONDITION", "warning", "SYSTEM");
  d.Line(5, "</DataItems>");
  d.Line(5, "<Components>");
  d.Open(6, "Path", "path");
  d.Line(7, "<DataItems>");
  d.Item(8, "EVENT", "execution", "EXECUTION");
  d.Item(8, "EVENT", "program", "PROGRAM", " subType=\"MAIN\"");
  d.Item(8, "EVENT", "active_program", "PROGRAM", " subType=\"ACTIVE\"");
  d.Item(8, "EVENT", "block", "BLOCK");
  d.Item(8, "EVENT", "line", "LINE_NUMBER", " subType=\"ABSOLUTE\"");
  d.Item(8, "SAMPLE", "path_feedrate", "PATH_FEEDRATE", " subType=\"ACTUAL\" units=\"MILLIMETER/SECOND\"");
  d.Item(8, "SAMPLE", "path_feedrate_cmd", "PATH_FEEDRATE",
         " subType=\"PROGRAMMED\" units=\"MILLIMETER/SECOND\"");
  d.Item(8, "EVENT", "feed_ovr", "PATH_FEEDRATE_OVERRIDE", " subType=\"PROGRAMMED\" units=\"PERCENT\"");
  d.Item(8, "EVENT", "tool", "TOOL_NUMBER");
  d.Item(8, "EVENT", "part_count", "PART_COUNT", " subType=\"ALL\"");
  d.Item(8, "EVENT", "part_count_target", "PART_COUNT", " subType=\"TARGET\"");
  d.Line(7, "</DataItems>");
  d.Line(6, "</Path>");
  d.Line(5, "</Components>");
  d.Line(4, "</Controller>");
  d.Line(3, "</Components>");
  d.Line(2, "</Device>");
}

bool NameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}

}  // namespace

std::vector<std::string> DeviceNames(const std::vector<ShopMachine>& machines) {
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (std::size_t n = 0; n < machines.size(); ++n) {
    std::string name;
    for (const char c : machines[n].title) {
      // A character beyond ASCII is several bytes: one '_' for all of them.
      if (static_cast<unsigned char>(c) >= 0x80 && (static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
      name += NameCharacter(c) ? c : '_';
    }
    if (std::all_of(name.begin(), name.end(), [](char c) { return c == '_'; }) || taken.contains(name))
      name = "machine" + std::to_string(n + 1);
    taken.insert(name);
    names.push_back(name);
  }
  return names;
}

std::string DevicesXml(const std::vector<ShopMachine>& machines,
                       std::chrono::system_clock::time_point time) {
  const std::string stamp = Timestamp(time);
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!-- Written by talvo-cli devices-xml: one Device per machine of the machine list. Each\n"
      "     DataItem's name is the key of its adapter's lines. Lengths in millimetres (rotary\n"
      "     axes in degrees), feeds in millimetres per second, overrides in percent. -->\n"
      "<MTConnectDevices xmlns=\"urn:mtconnect.org:MTConnectDevices:1.7\"\n"
      "                  xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
      "                  xsi:schemaLocation=\"urn:mtconnect.org:MTConnectDevices:1.7 "
      "http://schemas.mtconnect.org/schemas/MTConnectDevices_1.7.xsd\">\n"
      "  <Header creationTime=\"" + stamp + "\" deviceModelChangeTime=\"" + stamp +
      "\" sender=\"talvo-cli\" instanceId=\"1\"\n"
      "          version=\"1.7.0\" bufferSize=\"131072\" assetBufferSize=\"1024\" assetCount=\"0\"/>\n"
      "  <Devices>\n";
  const std::vector<std::string> names = DeviceNames(machines);
  for (std::size_t n = 0; n < machines.size(); ++n)
    WriteDevice(out, machines[n], names[n], static_cast<int>(n + 1));
  out += "  </Devices>\n</MTConnectDevices>\n";
  return out;
}

std::string AgentConfiguration(const std::vector<ShopMachine>& machines) {
  std::string out =
      "# MTConnect agent configuration written by talvo-cli devices-xml, for the device file\n"
      "# it writes for the same machine list. The adapters run on the agent's host; give Host\n"
      "# the address of theirs when they run elsewhere (and BIND in their files to match).\n"
      "Devices = Devices.xml\n"
      "Port = 5000\n"
      "\n";
  const std::vector<std::string> names = DeviceNames(machines);
  for (std::size_t n = 0; n < machines.size(); ++n)
    out += "# /etc/talvo/adapter/" + names[n] + ".conf (talvo-adapter@" + names[n] +
           ".service):\n#   HOST=" + machines[n].address + "\n#   PORT=" +
           std::to_string(machines[n].port) + "\n#   BIND=127.0.0.1\n";
  out += "\nAdapters {\n";
  for (std::size_t n = 0; n < machines.size(); ++n)
    out += "  " + names[n] + " {\n    Device = " + names[n] + "\n    Host = 127.0.0.1\n    Port = " +
           std::to_string(machines[n].port) + "\n  }\n";
  out += "}\n";
  return out;
}

}  // namespace talvo::cli::adapter
