#include "progress/SafeWrite.h"

#include "drill/ScoreHistory.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtGui/QImage>
#include <QtGui/QImageWriter>
#include <QtGui/QPageLayout>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace progress {
namespace {

QString Reason(const QString& path, int err, bool japanese) {
  if (err == 0) return japanese ? QStringLiteral("内容を作れませんでした") : QStringLiteral("the contents could not be made");
  if (japanese) return history::InOutError(err, path).Message();
  const char* text = ::strerrordesc_np(err);  // never translated
  return text ? QString::fromUtf8(text) : QStringLiteral("error %1").arg(err);
}

QString Describe(const QString& path, int err, bool japanese) {
  const QString reason = Reason(path, err, japanese);
  if (path == kStandardOutput)
    return japanese ? QStringLiteral("標準出力に書き込めません（%1）").arg(reason)
                    : QStringLiteral("cannot write to standard output (%1)").arg(reason);
  return japanese ? QStringLiteral("ファイル %1 に書き込めません（%2）").arg(path, reason)
                  : QStringLiteral("cannot write %1 (%2)").arg(path, reason);
}

// Gives 0, or the errno value of the write that failed.
int WriteAll(int fd, const QByteArray& bytes) {
  const char* p = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, std::size_t(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    p += n;
    left -= n;
  }
  return 0;
}

// Puts bytes at path through a new file beside it, renamed over it once it
// is complete and on disk. A file already there keeps its permissions; a
// link is followed to the file it names. Gives 0 or the errno value.
int Replace(QByteArray path, const QByteArray& bytes) {
  char resolved[PATH_MAX];
  if (::realpath(path.constData(), resolved)) path = resolved;
  struct stat old;
  const bool exists = ::stat(path.constData(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : EACCES;

  QByteArray temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = path + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
    fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);  // the umask applies
    if (fd < 0 && errno != EEXIST) return errno;
  }
  if (fd < 0) return EEXIST;
  int err = exists && ::fchmod(fd, old.st_mode & 07777) != 0 ? errno : 0;
  if (err == 0) err = WriteAll(fd, bytes);
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
  if (err == 0 && ::rename(temp.constData(), path.constData()) != 0) err = errno;
  if (err != 0) ::unlink(temp.constData());
  return err;
}

}  // namespace

WriteError::WriteError(QString path, int err)
    : Exception(Describe(path, err, true)), path_(std::move(path)), errno_(err) {}

QString WriteError::Text(bool japanese) const { return Describe(path_, errno_, japanese); }

void WriteFileSafely(const QString& path, const std::function<bool(QIODevice& file)>& write) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer)) throw WriteError(path, 0);
  }
  const int err = path == kStandardOutput ? WriteAll(STDOUT_FILENO, bytes) : Replace(QFile::encodeName(path), bytes);
  if (err != 0) throw WriteError(path, err);
}

void SetUpPdf(QPdfWriter& writer, const QString& title, QPageLayout::Orientation orientation, qreal marginMm,
              int resolution) {
  writer.setResolution(resolution);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation,
                                   QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter));
  writer.setTitle(title);
  writer.setCreator(QStringLiteral("Sorabe"));
}

void SavePicture(const QString& path, QSizeF size, const QString& title, const QString& refusal,
                 const std::function<void(QPainter& painter)>& paint) {
  const bool pdf = path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
  if (!pdf && !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) throw Exception(refusal);
  WriteFileSafely(path, [&](QIODevice& file) {
    if (pdf) {
      QPdfWriter writer(&file);
      SetUpPdf(writer, title, QPageLayout::Landscape, 10, 300);
      QPainter painter(&writer);
      const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
      const double scale = std::min(page.width() / size.width(), page.height() / size.height());
      painter.scale(scale, scale);
      paint(painter);
      return painter.end();
    }
    QImage image((size * 2).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    {
      QPainter painter(&image);
      paint(painter);
    }
    return QImageWriter(&file, "png").write(image);
  });
}

}  // namespace progress
