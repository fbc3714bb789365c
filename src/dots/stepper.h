// Exact integer stepping: a value that moves by a rational amount per step, as the
// hardware's counters do, with no floating point and no division per step.
#pragma once

#include <cstdint>

namespace dots {

// Rounds n / d down (d > 0).
constexpr int32_t FloorDiv(int32_t n, int32_t d) { return n / d - ((n % d != 0) && (n < 0)); }

// value(k) = floor((start + k * increment) / denominator), k counted by Next().
class Stepper {
 public:
  constexpr Stepper() = default;
  constexpr Stepper(int32_t start, int32_t increment, int32_t denominator)
      : value_(FloorDiv(start, denominator)),
        rest_(start - value_ * denominator),
        whole_(FloorDiv(increment, denominator)),
        part_(increment - whole_ * denominator),
        denominator_(denominator) {}

  // From a to b in `steps` steps, each position rounded to the nearest (halves up).
  static constexpr Stepper Between(int32_t a, int32_t b, int32_t steps) {
    const int32_t m = steps > 0 ? steps : 1;
    return Stepper(2 * a * m + m, 2 * (b - a), 2 * m);
  }
  // The centre of dot k of n dots over `span` texels: floor((k + 1/2) * span / n).
  static constexpr Stepper Centres(int32_t span, int32_t n) {
    return Stepper(span, 2 * span, 2 * n);
  }

  constexpr int32_t Value() const { return value_; }
  constexpr void Next() {
    value_ += whole_;
    rest_ += part_;
    if (rest_ >= denominator_) {
      rest_ -= denominator_;
      ++value_;
    }
  }
  // n steps at once (n >= 0).
  constexpr void Skip(int32_t n) {
    const int64_t rest = rest_ + int64_t{part_} * n;
    value_ += whole_ * n + static_cast<int32_t>(rest / denominator_);
    rest_ = static_cast<int32_t>(rest % denominator_);
  }

 private:
  int32_t value_ = 0, rest_ = 0, whole_ = 0, part_ = 0, denominator_ = 1;
};

}  // namespace dots
