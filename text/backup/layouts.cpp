#include "text/backup/layouts.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>

#include "text/hmi_merge.h"
#include "text/interface_language.h"
#include "text/screen_text.h"
#include "text/trim.h"

namespace talvo::text::backup {
namespace {

// Binary machine files start with an 8-byte name and four 16-bit words: a version and the
// counts of what follows.
constexpr std::size_t kHeaderSize = 16;
constexpr int kAxes = 6;
constexpr int kBaseAndWorkSets = 7;  // the base offset, G54..G59
constexpr std::size_t kSramDRegisters = 0x100;
constexpr int kDRegisters = 256;
constexpr std::size_t kSramSize = 65536;

std::uint16_t U16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}

std::int32_t I32(std::string_view b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return static_cast<std::int32_t>(v);
}

double F64(std::string_view b, std::size_t at) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i)
    bits = bits << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string Padded(int number, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", digits, number);
  return text;
}

// The shortest text that reads back as the same double, so that two values that differ never
// look alike.
std::string ExactText(double value) {
  if (value == 0) return "0";
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// The controller keeps the largest finite double in a macro variable that holds nothing.
std::string VariableText(double value) {
  return value == std::numeric_limits<double>::max() ? "VACANT" : ExactText(value);
}

std::string QuotedText(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool HasHeader(std::string_view bytes, std::string_view name) {
  return bytes.size() >= kHeaderSize && bytes.substr(0, name.size()) == name &&
         bytes.substr(name.size(), 8 - name.size()).find_first_not_of('\0') == std::string_view::npos;
}

struct Items {
  std::vector<Item> list;
  void Add(std::string key, std::string value, std::string description = {}) {
    list.push_back({std::move(key), std::move(description), std::move(value), false});
  }
};

std::vector<Item> Parameters(std::string_view bytes, const DisplayStrings& strings) {
  Items items;
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    const int number = static_cast<int>(i / 4);
    items.Add("parameter " + Padded(number, 4), std::to_string(I32(bytes, i)),
              strings.ParameterDescription(number));
  }
  return items.list;
}

std::optional<std::vector<Item>> DRegisters(std::string_view bytes, const DisplayStrings& strings) {
  if (!HasHeader(bytes, "VDSRAM") || bytes.size() != kSramSize) return std::nullopt;
  Items items;
  for (int d = 0; d < kDRegisters; ++d) {
    std::string description;
    if (const auto row = UserParameterRow(d)) {
      description = "user parameter " + Padded(*row, 2);
      if (const std::string function = strings.UserParameterFunction(*row); !function.empty())
        description += " " + function;
    }
    items.Add("D" + Padded(d, 3),
              std::to_string(I32(bytes, kSramDRegisters + 4 * static_cast<std::size_t>(d))),
              std::move(description));
  }
  // Counters, timers, keep relays and work data: not named here, but not to be missed either.
  // The checksum in the header follows them, so the header stays out.
  const std::size_t dEnd = kSramDRegisters + 4 * kDRegisters;
  std::string rest(bytes.substr(kHeaderSize, kSramDRegisters - kHeaderSize));
  rest += bytes.substr(dEnd);
  items.list.push_back({"other contents", {}, std::move(rest), true});
  return items.list;
}

std::string SetName(int set) {
  if (set == 0) return "base offset";
  if (set < kBaseAndWorkSets) return "G" + std::to_string(53 + set);
  return "G54P" + std::to_string(set - kBaseAndWorkSets + 1);
}

void AddCoordinateSets(std::string_view bytes, std::size_t at, int sets, Items& items) {
  for (int set = 0; set < sets; ++set)
    for (int axis = 0; axis < kAxes; ++axis)
      items.Add(SetName(set) + " axis " + std::to_string(axis + 1),
                LengthText(I32(bytes, at + 4 * static_cast<std::size_t>(set * kAxes + axis))));
}

void AddGlobalVariables(std::string_view bytes, std::size_t at, int count, Items& items) {
  for (int i = 0; i < count; ++i)
    items.Add("global variable " + Padded(i + 1, 4),
              VariableText(F64(bytes, at + 8 * static_cast<std::size_t>(i))));
}

// GLOBAL6.DAT: milling tools (lengths 1..6, radius, TDC value, TDC time), the coordinate sets
// and the global macro variables.
std::optional<std::vector<Item>> MillingData(std::string_view bytes) {
  constexpr std::size_t kToolSize = 40;
  if (!HasHeader(bytes, "VDGLOB6")) return std::nullopt;
  const int tools = U16(bytes, 10), sets = U16(bytes, 12), variables = U16(bytes, 14);
  const std::size_t setsAt = kHeaderSize + kToolSize * static_cast<std::size_t>(tools);
  const std::size_t variablesAt = setsAt + 4 * kAxes * static_cast<std::size_t>(sets);
  if (bytes.size() != variablesAt + 8 * static_cast<std::size_t>(variables)) return std::nullopt;
  Items items;
  for (int t = 0; t < tools; ++t) {
    const std::size_t at = kHeaderSize + kToolSize * static_cast<std::size_t>(t);
    const std::string tool = "tool " + Padded(t, 2);
    for (int k = 0; k < kAxes; ++k)
      items.Add(tool + " length " + std::to_string(k + 1), LengthText(I32(bytes, at + 4 * static_cast<std::size_t>(k))));
    items.Add(tool + " radius", LengthText(I32(bytes, at + 24)));
    items.Add(tool + " TDC value", std::to_string(I32(bytes, at + 28)));
    items.Add(tool + " TDC time", ExactText(F64(bytes, at + 32)));
  }
  AddCoordinateSets(bytes, setsAt, sets, items);
  AddGlobalVariables(bytes, variablesAt, variables, items);
  return items.list;
}

// GREADY6.BIN: lathe tools, geometry and wear of X, Y, Z and the nose radius, and a type.
std::optional<std::vector<Item>> LatheTools(std::string_view bytes) {
  constexpr std::size_t kToolSize = 36;
  constexpr const char* kParts[] = {"geometry X", "geometry Y", "geometry Z", "geometry R",
                                    "wear X",     "wear Y",     "wear Z",     "wear R"};
  if (!HasHeader(bytes, "VDGRDY6") || U16(bytes, 12) != kToolSize) return std::nullopt;
  const int tools = U16(bytes, 10);
  if (bytes.size() != kHeaderSize + kToolSize * static_cast<std::size_t>(tools)) return std::nullopt;
  Items items;
  for (int t = 0; t < tools; ++t) {
    const std::size_t at = kHeaderSize + kToolSize * static_cast<std::size_t>(t);
    const std::string tool = "tool " + Padded(t, 2);
    for (std::size_t k = 0; k < std::size(kParts); ++k)
      items.Add(tool + " " + kParts[k], LengthText(I32(bytes, at + 4 * k)));
    items.Add(tool + " type", std::to_string(static_cast<unsigned char>(bytes[at + 32])));
  }
  return items.list;
}

// GRUNH6.BIN: the lathe's coordinate sets.
std::optional<std::vector<Item>> LatheOffsets(std::string_view bytes) {
  if (!HasHeader(bytes, "VDGRNH6") || U16(bytes, 12) != kAxes) return std::nullopt;
  const int sets = U16(bytes, 10);
  if (bytes.size() != kHeaderSize + 4 * kAxes * static_cast<std::size_t>(sets)) return std::nullopt;
  Items items;
  AddCoordinateSets(bytes, kHeaderSize, sets, items);
  return items.list;
}

// GRUNL6.BIN: the lathe's global macro variables.
std::optional<std::vector<Item>> LatheVariables(std::string_view bytes) {
  if (!HasHeader(bytes, "VDGRNL6") || U16(bytes, 12) != 8) return std::nullopt;
  const int count = U16(bytes, 10);
  if (bytes.size() != kHeaderSize + 8 * static_cast<std::size_t>(count)) return std::nullopt;
  Items items;
  AddGlobalVariables(bytes, kHeaderSize, count, items);
  return items.list;
}

// A text table of number=text lines with comment blocks. The Chinese tables are Big5.
std::vector<Item> TextTable(std::string_view upperName, std::string_view bytes) {
  const bool chinese = upperName.starts_with("CHI_") || upperName == "USRCHI.STR" ||
                       upperName == "DSPC.STR";
  std::vector<std::string> lines;
  MergeLines(SplitLines(bytes), &lines);
  std::map<int, std::string> texts;  // the first text of a number answers, as in the program
  for (const std::string& line : lines) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string_view key = TrimmedSpaces(std::string_view(line).substr(0, equals));
    int number = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (error != std::errc() || end != key.data() + key.size()) continue;
    texts.try_emplace(number, ControllerBytesToUtf8(chinese ? kTraditionalChinese : kEnglish,
                                                    TrimmedSpaces(std::string_view(line).substr(equals + 1))));
  }
  Items items;
  for (const auto& [number, text] : texts) items.Add("text " + std::to_string(number), QuotedText(text));
  return items.list;
}

}  // namespace

std::string LengthText(std::int32_t units) {
  const std::int64_t whole = units;
  const std::int64_t magnitude = whole < 0 ? -whole : whole;
  char text[24];
  std::snprintf(text, sizeof text, "%s%lld.%04lld", whole < 0 ? "-" : "",
                static_cast<long long>(magnitude / 10000), static_cast<long long>(magnitude % 10000));
  return text;
}

std::optional<std::vector<Item>> DecodeItems(std::string_view upperName, std::string_view bytes,
                                            const DisplayStrings& strings) {
  if (upperName == "PARAM.BIN") {
    if (bytes.size() % 4 != 0) return std::nullopt;
    return Parameters(bytes, strings);
  }
  if (upperName == "SRAM") return DRegisters(bytes, strings);
  if (upperName == "GLOBAL6.DAT") return MillingData(bytes);
  if (upperName == "GREADY6.BIN") return LatheTools(bytes);
  if (upperName == "GRUNH6.BIN") return LatheOffsets(bytes);
  if (upperName == "GRUNL6.BIN") return LatheVariables(bytes);
  if (upperName.ends_with(".STR") || upperName.ends_with(".ERR")) return TextTable(upperName, bytes);
  return std::nullopt;
}

}  // namespace talvo::text::backup
