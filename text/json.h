// JSON (RFC 8259) for the files the fleet tools write and read back: a backup's manifest and
// the comparison report. Numbers without a fraction or exponent that fit 64 bits stay whole
// numbers; object members keep their order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace talvo::text::json {

struct Value;
struct Member;
using Array = std::vector<Value>;
using Object = std::vector<Member>;

struct Value {
  std::variant<std::nullptr_t, bool, std::int64_t, double, std::string, Array, Object> data;

  // Defined below Member: a constructor may destroy `data`, which needs Member complete.
  Value();
  Value(bool b);
  Value(std::int64_t n);
  Value(int n);
  Value(double d);
  Value(std::string s);
  Value(const char* s);
  Value(Array a);
  Value(Object o);

  // The member `key` of an object; nothing for another kind of value or a missing key.
  const Value* Find(std::string_view key) const;
  const std::string* String() const { return std::get_if<std::string>(&data); }
  const std::int64_t* Integer() const { return std::get_if<std::int64_t>(&data); }
  const bool* Boolean() const { return std::get_if<bool>(&data); }
  const Array* Items() const { return std::get_if<Array>(&data); }
};

struct Member {
  std::string key;
  Value value;
};

inline Value::Value() : data(nullptr) {}
inline Value::Value(bool b) : data(b) {}
inline Value::Value(std::int64_t n) : data(n) {}
inline Value::Value(int n) : data(std::int64_t{n}) {}
inline Value::Value(double d) : data(d) {}
inline Value::Value(std::string s) : data(std::move(s)) {}
inline Value::Value(const char* s) : data(std::string(s)) {}
inline Value::Value(Array a) : data(std::move(a)) {}
inline Value::Value(Object o) : data(std::move(o)) {}

// Indented by two blanks a level, ending with a line end. Strings must be UTF-8.
std::string Write(const Value& value);

// The value `text` holds, or nothing with `error` (when given) telling what is wrong and
// where. Text that is not UTF-8, nesting deeper than 64 levels and anything after the value
// are refused.
std::optional<Value> Parse(std::string_view text, std::string* error = nullptr);

}  // namespace talvo::text::json
