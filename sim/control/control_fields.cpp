#include "sim/control/control_fields.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

#include "sim/options.h"

namespace vandir::sim {

namespace {

constexpr double kLongestText = 127;

std::optional<double> ParseDouble(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

template <typename Integer>
bool AssignInteger(Integer& field, std::string_view text, std::optional<Limits> limits) {
  using Range = std::numeric_limits<Integer>;
  const long min = limits ? static_cast<long>(limits->min) : Range::min();
  const long max = limits ? static_cast<long>(limits->max) : Range::max();
  const auto value = ParseInteger(text, min, max);
  if (!value) return false;
  field = static_cast<Integer>(*value);
  return true;
}

bool AssignDouble(double& field, std::string_view text, std::optional<Limits> limits) {
  const auto value = ParseDouble(text);
  if (!value || (limits && (*value < limits->min || *value > limits->max))) return false;
  field = *value;
  return true;
}

bool AssignText(std::string& field, std::string_view text, std::optional<Limits> limits) {
  if (static_cast<double>(text.size()) > (limits ? limits->max : kLongestText)) return false;
  field = text;
  return true;
}

}  // namespace

std::string FormatField(FieldRef field) {
  return std::visit(
      [](auto* value) -> std::string {
        using Value = std::remove_pointer_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, std::string>) {
          return *value;
        } else if constexpr (std::is_same_v<Value, double>) {
          char text[32];
          const auto end = std::to_chars(text, text + sizeof text, *value).ptr;
          return std::string(text, end);
        } else {
          return std::to_string(static_cast<long>(*value));
        }
      },
      field);
}

bool AssignField(FieldRef field, std::string_view text, std::optional<Limits> limits) {
  return std::visit(
      [&](auto* value) {
        using Value = std::remove_pointer_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, std::string>) {
          return AssignText(*value, text, limits);
        } else if constexpr (std::is_same_v<Value, double>) {
          return AssignDouble(*value, text, limits);
        } else {
          return AssignInteger(*value, text, limits);
        }
      },
      field);
}

}  // namespace vandir::sim
