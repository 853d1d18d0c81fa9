// The result of a step that can fail: a value, or the reason the control line reports.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vandir::sim {

struct Failure {
  std::string why;
};

template <typename T>
class Outcome {
 public:
  Outcome(T value) : value_(std::move(value)) {}
  Outcome(Failure failure) : why_(std::move(failure.why)) {}

  explicit operator bool() const { return value_.has_value(); }
  const T& operator*() const { return *value_; }
  const T* operator->() const { return &*value_; }
  // Empty when there is a value.
  const std::string& Why() const { return why_; }

 private:
  std::optional<T> value_;
  std::string why_;
};

}  // namespace vandir::sim
