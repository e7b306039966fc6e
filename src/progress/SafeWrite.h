#pragma once
// Files the progress features write (a saved chart, printable sheets) are
// made in memory first and put in place only when complete: a failure leaves
// no half-written file and keeps any older one. The name "-" stands for
// standard output, as it does for other command-line tools.

#include "platform/Exception.h"

#include <QtCore/QString>

#include <functional>

class QIODevice;

namespace progress {

inline const QString kStandardOutput = QStringLiteral("-");

// A file that could not be written. Message() is the text the error box
// shows; the reason is the drill's own text for the system's error number.
class WriteError : public Exception {
 public:
  // err is the errno value, or 0 when the contents could not be made.
  WriteError(QString path, int err);
  const QString& Path() const { return path_; }
  int Errno() const { return errno_; }
  // The same in a terminal's language: Japanese, or English with the
  // system's own wording of the reason.
  QString Text(bool japanese) const;

 private:
  QString path_;
  int errno_;
};

// Calls write with a device to write the contents to, then puts them at path
// (or on standard output for "-"). Raises WriteError when the contents
// cannot be made (write returns false) or written; nothing is left behind.
void WriteFileSafely(const QString& path, const std::function<bool(QIODevice& file)>& write);

}  // namespace progress
