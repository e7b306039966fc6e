#pragma once
// The chart in words, for a reader who cannot see it (the screen reader
// reads it as the chart's description): how many drills of each operation,
// the best and the latest, and whether the times are getting shorter.

#include "progress/ProgressChart.h"

#include <QtCore/QString>

namespace progress {

QString ChartSummary(const ProgressChart& chart);

// The text for a history that could not be read: the drill's own wording
// for the file, its text for the cause and its error number.
QString HistoryErrorText(const QString& path, const EInOutError& error);

}  // namespace progress
