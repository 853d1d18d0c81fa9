#include "cli/fleet/machine_list.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

#include "cli/errors.h"
#include "text/durable_file.h"
#include "text/interface_language.h"
#include "text/key_file_text.h"
#include "text/screen_text.h"
#include "text/trim.h"

namespace talvo::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSection = "MACHINEDATA";
constexpr int kMostMachines = 999;
constexpr const char* kSettingsFileName = "Talvo-Maintenance.ini";

// A whole number as the program reads its settings: blanks around it and a leading '+'
// allowed, anything else gives the default.
int ReadInteger(const text::KeyFileText& file, const char* section, const std::string& key,
                int fallback) {
  const auto found = file.Find(section, key);
  if (!found) return fallback;
  std::string_view digits = text::TrimmedSpaces(*found);
  if (digits.starts_with('+')) digits.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return fallback;
  return value;
}

std::string ReadText(const text::KeyFileText& file, const std::string& key) {
  return std::string(text::TrimmedSpaces(file.Find(kSection, key).value_or("")));
}

bool Listed(const std::vector<FleetMachine>& machines, const std::string& address) {
  return std::any_of(machines.begin(), machines.end(),
                     [&](const FleetMachine& m) { return m.address == address; });
}

}  // namespace

std::vector<FleetMachine> ReadMachineList(std::string_view settings) {
  const text::KeyFileText file{std::string(settings)};
  int language = ReadInteger(file, "OPTIONS", "LANGUAGE", text::kEnglish);
  if (language < text::kTraditionalChinese || language > text::kUserLanguage) language = text::kEnglish;
  const int count = std::clamp(ReadInteger(file, kSection, "CNCCOUNT", 1), 0, kMostMachines);
  std::vector<FleetMachine> machines;
  for (int n = 0; n < count; ++n) {
    const std::string address = ReadText(file, "CNCIP" + std::to_string(n));
    const std::string name = ReadText(file, "CNCNAME" + std::to_string(n));
    if (address.empty() && name.empty()) continue;
    if (!address.empty() && Listed(machines, address)) continue;
    machines.push_back({name.empty() ? address : text::ControllerBytesToUtf8(language, name), address});
  }
  return machines;
}

fs::path DefaultSettingsFile() {
  if (const char* home = std::getenv("TALVO_HOME"); home && *home) return fs::path(home) / kSettingsFileName;
  std::error_code ec;
  const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
  return (ec ? fs::current_path() : executable.parent_path()) / kSettingsFileName;
}

std::vector<FleetMachine> MachinesToBackUp(const Backup& command) {
  const fs::path settings = command.machines ? fs::path(*command.machines) : DefaultSettingsFile();
  const auto bytes = text::ReadWhole(settings);
  if (!command.hosts.empty()) {
    // The list only names them here; a list named on purpose must be there, though.
    if (!bytes && command.machines) throw LocalFileError(settings.string() + ": cannot be read");
    const std::vector<FleetMachine> list = ReadMachineList(bytes.value_or(""));
    std::vector<FleetMachine> machines;
    for (const std::string& host : command.hosts) {
      if (Listed(machines, host)) continue;
      const auto named = std::find_if(list.begin(), list.end(),
                                      [&](const FleetMachine& m) { return m.address == host; });
      machines.push_back(named != list.end() ? *named : FleetMachine{host, host});
    }
    return machines;
  }
  if (!bytes)
    throw LocalFileError(settings.string() +
                         ": cannot be read (the machine list; name the machines, or give --machines FILE)");
  std::vector<FleetMachine> machines = ReadMachineList(*bytes);
  if (machines.empty()) throw UsageError("the machine list in " + settings.string() + " is empty");
  return machines;
}

}  // namespace talvo::cli
