#include "progress/ChartScale.h"

#include <algorithm>
#include <cmath>

namespace progress {

double NiceNumber(double x, bool round) {
  const double exponent = std::floor(std::log10(x));
  const double power = std::pow(10.0, exponent);
  const double fraction = x / power;  // 1 <= fraction < 10
  double nice;
  if (round)
    nice = fraction < 1.5 ? 1 : fraction < 3 ? 2 : fraction < 7 ? 5 : 10;
  else
    nice = fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10;
  return nice * power;
}

int Ticks::decimals() const {
  if (count == 0 || step >= 1) return 0;
  return std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
}

Ticks NiceTicks(double low, double high, int maxTicks) {
  Ticks ticks;
  if (!std::isfinite(low) || !std::isfinite(high) || maxTicks < 2) return ticks;
  if (high < low) std::swap(low, high);
  if (high == low) {
    // One value still gets an axis around it.
    const double pad = low == 0 ? 1 : std::abs(low) / 2;
    low -= pad;
    high += pad;
  }
  const double range = NiceNumber(high - low, false);
  ticks.step = NiceNumber(range / (maxTicks - 1), true);
  ticks.first = std::floor(low / ticks.step) * ticks.step;
  const double last = std::ceil(high / ticks.step) * ticks.step;
  ticks.count = int(std::lround((last - ticks.first) / ticks.step)) + 1;
  return ticks;
}

Ticks CountTicks(double low, double high, int maxTicks) {
  Ticks ticks = NiceTicks(low, high, maxTicks);
  if (ticks.count > 0 && ticks.step < 1) {
    if (high < low) std::swap(low, high);
    ticks.step = 1;
    ticks.first = std::floor(low);
    ticks.count = int(std::ceil(high) - ticks.first) + 1;
  }
  return ticks;
}

}  // namespace progress
