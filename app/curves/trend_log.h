// The samples of the live curves: one time column and one value column per curve, all in
// ring buffers of a fixed length, so an open window holds at most the longest rolling span
// however long it runs. A value that could not be sampled (no connection, a stalled link)
// is NaN and shows as a gap. No widgets: the window draws what this holds.
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace talvo::app {

// How a curve's values are written: as the pages show them.
enum class ETrendFormat { Fixed, Whole };

struct TTrendCurve {
  QString name;
  QString unit;
  ETrendFormat format = ETrendFormat::Fixed;
};

class TTrendLog {
 public:
  // `capacity` samples per curve are kept; older ones are dropped.
  explicit TTrendLog(std::size_t capacity);

  std::size_t Capacity() const { return capacity_; }
  std::size_t Size() const { return size_; }
  int CurveCount() const { return static_cast<int>(curves_.size()); }
  const TTrendCurve& Curve(int curve) const { return curves_[static_cast<std::size_t>(curve)]; }

  // A new curve has no values for the samples already taken (NaN).
  int AddCurve(TTrendCurve curve);
  void RemoveCurve(int curve);
  // One sample of every curve at `ms` (milliseconds since the epoch); `values` has one entry
  // per curve.
  void Append(std::int64_t ms, std::span<const double> values);
  void Clear();

  // Sample `i`, 0 the oldest kept.
  std::int64_t Time(std::size_t i) const { return times_[Slot(i)]; }
  double Value(int curve, std::size_t i) const {
    return values_[static_cast<std::size_t>(curve)][Slot(i)];
  }
  // The first sample at or after `ms` (Size() when none).
  std::size_t FirstAtOrAfter(std::int64_t ms) const;
  // The sample nearest to `ms`; Size() when empty.
  std::size_t Nearest(std::int64_t ms) const;

  // A value as the pages write it; "" for a gap.
  QString Text(int curve, double value) const;
  // The samples from `fromMs` to `toMs` as CSV: a "Time" column of local date and time with
  // milliseconds, then one column per curve headed "name [unit]", a gap as an empty cell.
  std::string Csv(std::int64_t fromMs, std::int64_t toMs) const;

 private:
  std::size_t Slot(std::size_t i) const { return (head_ + i) % capacity_; }

  std::size_t capacity_;
  std::size_t head_ = 0;  // slot of the oldest sample
  std::size_t size_ = 0;
  std::vector<TTrendCurve> curves_;
  std::vector<std::int64_t> times_;
  std::vector<std::vector<double>> values_;
};

}  // namespace talvo::app
