#pragma once
// Files the progress features write (a saved chart, printable sheets) are
// written beside their place and put there only when complete: a failure
// leaves no half-written file and keeps any older one.

#include <QtCore/QString>

#include <functional>

class QIODevice;

namespace progress {

// Calls write with the open file; raises Exception when the file cannot be
// written or write returns false (nothing is left behind then).
void WriteFileSafely(const QString& path, const std::function<bool(QIODevice& file)>& write);

}  // namespace progress
