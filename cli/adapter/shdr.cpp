#include "cli/adapter/shdr.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace talvo::cli::adapter {

namespace {

// A field may not carry the separator or end the line early; controller texts are
// arbitrary bytes.
std::string Field(std::string_view text) {
  std::string field(text);
  std::replace_if(
      field.begin(), field.end(), [](char c) { return c == '|' || c == '\n' || c == '\r'; },
      ' ');
  return field;
}

class Lines {
 public:
  explicit Lines(std::chrono::system_clock::time_point time) : stamp_(ShdrTimestamp(time)) {}

  // Samples share one line.
  void Sample(const adapter::Sample& sample) {
    samples_ += '|' + Field(sample.key) + '|' + Field(sample.value);
  }
  // A condition takes a line of its own: its last field is free text.
  void Condition(std::string_view item, std::string_view level, std::string_view code = "",
                 std::string_view text = "") {
    conditions_ += stamp_ + '|' + std::string(item) + '|' + std::string(level) + '|' +
                   std::string(code) + "|||" + Field(text) + '\n';
  }
  std::string Text() const {
    return (samples_.empty() ? std::string() : stamp_ + samples_ + '\n') + conditions_;
  }

 private:
  std::string stamp_;
  std::string samples_;
  std::string conditions_;
};

struct ConditionItem {
  std::string_view name;
  std::string_view level;
  std::vector<Condition> Snapshot::*list;
};

constexpr ConditionItem kConditionItems[] = {
    {kAlarmItem, "FAULT", &Snapshot::alarms},
    {kWarningItem, "WARNING", &Snapshot::warnings},
};

void Activate(Lines& lines, const ConditionItem& item, const Condition& condition) {
  lines.Condition(item.name, item.level, std::to_string(condition.code), condition.text);
}

// Everything the agent needs to know about one condition item, whatever it knew before.
void WholeCondition(Lines& lines, const ConditionItem& item, const Snapshot& snapshot) {
  const auto& active = snapshot.*item.list;
  if (!snapshot.available)
    lines.Condition(item.name, kUnavailable);
  else if (active.empty())
    lines.Condition(item.name, "NORMAL");
  else
    for (const Condition& condition : active) Activate(lines, item, condition);
}

const Condition* FindCode(const std::vector<Condition>& list, std::int32_t code) {
  const auto found = std::find_if(list.begin(), list.end(),
                                  [&](const Condition& c) { return c.code == code; });
  return found == list.end() ? nullptr : &*found;
}

void ConditionChanges(Lines& lines, const ConditionItem& item, const Snapshot& before,
                      const Snapshot& after) {
  const auto& was = before.*item.list;
  const auto& is = after.*item.list;
  if (before.available != after.available) {
    WholeCondition(lines, item, after);
    return;
  }
  if (!after.available) return;
  if (is.empty()) {
    // One line clears them all.
    if (!was.empty()) lines.Condition(item.name, "NORMAL");
    return;
  }
  for (const Condition& gone : was)
    if (!FindCode(is, gone.code)) lines.Condition(item.name, "NORMAL", std::to_string(gone.code));
  for (const Condition& condition : is)
    if (const Condition* old = FindCode(was, condition.code); !old || *old != condition)
      Activate(lines, item, condition);
}

}  // namespace

std::string ShdrTimestamp(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto whole = floor<seconds>(time);
  const auto millis = duration_cast<milliseconds>(time - whole).count();
  const std::time_t since = system_clock::to_time_t(whole);
  std::tm utc{};
  gmtime_r(&since, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                static_cast<int>(millis));
  return text;
}

std::string FullDump(const Snapshot& snapshot) {
  Lines lines(snapshot.time);
  for (const Sample& sample : snapshot.samples) lines.Sample(sample);
  for (const ConditionItem& item : kConditionItems) WholeCondition(lines, item, snapshot);
  return lines.Text();
}

std::string Changes(const Snapshot& before, const Snapshot& after) {
  Lines lines(after.time);
  for (std::size_t i = 0; i < after.samples.size(); ++i)
    if (i >= before.samples.size() || before.samples[i] != after.samples[i])
      lines.Sample(after.samples[i]);
  for (const ConditionItem& item : kConditionItems) ConditionChanges(lines, item, before, after);
  return lines.Text();
}

std::string Pong(std::chrono::milliseconds heartbeat) {
  return "* PONG " + std::to_string(heartbeat.count()) + "\n";
}

}  // namespace talvo::cli::adapter
