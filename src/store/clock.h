#pragma once
// The local wall clock, replaceable so that tests can fix the moment.

#include <ctime>

namespace korvanta::store {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
};

class SystemClock final : public Clock {
 public:
  LocalTime Now() const override;
};

}  // namespace korvanta::store
