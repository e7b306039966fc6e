#pragma once
// The chart's scales: where a value lies on an axis, and which values get a
// tick. Ticks fall on "nice" numbers (1, 2 or 5 times a power of ten) so a
// reader takes a value off the axis at a glance.

#include <vector>

namespace progress {

// The nice number nearest to x (round) or the smallest one not below it:
// 1, 2, 5 or 10 times a power of ten. x must be positive.
double NiceNumber(double x, bool round);

// Ticks from first to last in equal steps, at most about maxTicks of them,
// covering [low, high]: first <= low and last >= high.
struct Ticks {
  double first = 0;
  double step = 1;
  int count = 0;

  double at(int i) const { return first + step * i; }
  double last() const { return at(count - 1); }
  // Decimal places a label needs to tell the ticks apart (0 for whole steps).
  int decimals() const;
};

Ticks NiceTicks(double low, double high, int maxTicks);

// The same for a count of things (drills): whole numbers only, so two
// drills are ticked 1 and 2, never 1.0, 1.1, ... 2.0.
Ticks CountTicks(double low, double high, int maxTicks);

// A straight map from a value range onto a pixel range (either may run
// backwards, as a y axis does).
struct LinearScale {
  double from0 = 0, from1 = 1;
  double to0 = 0, to1 = 1;

  double operator()(double value) const {
    return to0 + (value - from0) * (to1 - to0) / (from1 - from0);
  }
};

}  // namespace progress
