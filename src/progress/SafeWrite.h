#pragma once
// Files the progress features write (a saved chart, printable sheets) are
// made in memory first and put in place only when complete: a failure leaves
// no half-written file and keeps any older one. The name "-" stands for
// standard output, as it does for other command-line tools.

#include "platform/Exception.h"

#include <QtCore/QString>

#include <QtCore/QSizeF>
#include <QtGui/QPageLayout>

#include <functional>

class QIODevice;
class QPdfWriter;
class QPainter;

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

// Sets up a PDF of A4 pages: the orientation, the margins in millimetres,
// the dots per inch, and the document's title, made by Sorabe.
void SetUpPdf(QPdfWriter& writer, const QString& title, QPageLayout::Orientation orientation, qreal marginMm,
              int resolution);

// Saves a picture of the given size as PNG (twice its pixels, for sharp
// print-outs) or as a landscape A4 PDF page it fills in its proportions,
// chosen by the name's extension; any other name raises Exception with
// `refusal`. paint draws the picture at its own size.
void SavePicture(const QString& path, QSizeF size, const QString& title, const QString& refusal,
                 const std::function<void(QPainter& painter)>& paint);

}  // namespace progress
