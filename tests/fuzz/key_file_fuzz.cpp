// Key files edited in place: any bytes are read, then every name pair of a small list is set,
// set again and removed. A value that comes back is one line's rest after "=" (no line end,
// no surrounding blank); a write reads back as written and leaves every other pair reading
// as it did; a value is changed within its own line and a new key only adds bytes; writing
// the same value again changes no byte; a removal only takes bytes away.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "text/key_file_text.h"

namespace {

using talvo::text::KeyFileText;

constexpr std::string_view kSections[] = {"", "OPTIONS", "MACHINEDATA", "a b", "x"};
constexpr std::string_view kKeys[] = {"LANGUAGE", "CNCCOUNT", "CNCIP0", "k", "a b"};

void Check(bool holds) {
  if (!holds) std::abort();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::optional<std::string>> AllValues(const KeyFileText& text) {
  std::vector<std::optional<std::string>> values;
  for (std::string_view section : kSections)
    for (std::string_view key : kKeys) {
      const auto value = text.Find(section, key);
      values.push_back(value ? std::optional<std::string>(*value) : std::nullopt);
    }
  return values;
}

// Every pair but number `except` reads as in `before`.
void OthersKept(const std::vector<std::optional<std::string>>& before, const KeyFileText& text,
                std::size_t except) {
  const auto after = AllValues(text);
  for (std::size_t i = 0; i < before.size(); ++i)
    if (i != except) Check(before[i] == after[i]);
}

// The one stretch of `before` that differs in `after` (bytes before and after it are kept).
std::string_view Replaced(std::string_view before, std::string_view after) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
    ++prefix;
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
    ++suffix;
  return before.substr(prefix, before.size() - prefix - suffix);
}

// `after` is `before` with some bytes taken out.
bool Subsequence(std::string_view after, std::string_view before) {
  std::size_t at = 0;
  for (char c : before)
    if (at < after.size() && after[at] == c) ++at;
  return at == after.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const KeyFileText original(bytes);
  Check(original.Bytes() == bytes);
  for (const auto& value : AllValues(original)) {
    if (!value) continue;
    Check(value->size() <= size && value->find_first_of("\r\n") == std::string::npos);
    Check(value->empty() || (!IsBlank(value->front()) && !IsBlank(value->back())));
  }

  std::size_t pair = 0;
  for (std::string_view section : kSections)
    for (std::string_view key : kKeys) {
      KeyFileText text(bytes);
      const auto before = AllValues(text);
      const bool existed = before[pair].has_value();
      const auto set = text.Set(section, key, "v=1 \xA4\xA4");
      Check(set != KeyFileText::Edit::kRefused);
      Check(text.Find(section, key) == std::optional<std::string_view>("v=1 \xA4\xA4"));
      OthersKept(before, text, pair);
      // A value is replaced within its line; a new key only adds bytes.
      const std::string_view replaced = Replaced(bytes, text.Bytes());
      Check(existed ? replaced.find_first_of("\r\n") == std::string_view::npos
                    : replaced.empty() && text.Bytes().size() > size);

      const std::string written = text.Bytes();
      Check(text.Set(section, key, "v=1 \xA4\xA4") == KeyFileText::Edit::kUnchanged);
      Check(text.Bytes() == written);

      const auto removed = text.Remove(section, key);
      Check(removed == KeyFileText::Edit::kChanged && !text.Find(section, key));
      Check(Subsequence(text.Bytes(), written));
      OthersKept(before, text, pair);
      ++pair;
    }
  // Names and values that would make lines of their own are refused and change nothing.
  KeyFileText text(bytes);
  for (const auto& [section, key, value] :
       {std::tuple<const char*, const char*, const char*>{"OPTIONS", "k", "a\nb"}, {"OPT]", "k", "v"}, {"OPTIONS", "k=1", "v"},
        {"OPTIONS", "", "v"}, {"OPTIONS", "[k", "v"}, {" OPTIONS", "k", "v"}}) {
    Check(text.Set(section, key, value) == KeyFileText::Edit::kRefused);
    Check(text.Bytes() == bytes);
  }
  return 0;
}
