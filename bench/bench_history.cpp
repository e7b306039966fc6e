// Reading and rewriting a score history of 1,000 to 100,000 records, against
// plain reading and copying of the same file measured in the same run.

#include "drill/ScoreHistory.h"
#include "drill/ScoreListModel.h"
#include "platform/ShiftJis.h"

#include "PlainRead.h"
#include "Stats.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDate>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>
#include <vector>

using bench::medianMs;
using bench::readAllPlain;

namespace {

void copyPlain(const QByteArray& from, const QByteArray& to) {
  const QByteArray data = readAllPlain(from);
  const int fd = ::open(to.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  if (::write(fd, data.constData(), data.size()) != data.size()) std::perror("write");
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const QString words[] = {history::kAdditionWord, history::kMultiplicationWord,
                           history::kSubtractionWord};
  std::printf("%8s | %10s %10s %6s | %10s %10s %6s | %10s %10s %6s\n", "records", "list ms",
              "read ms", "ratio", "lines ms", "read ms", "ratio", "write ms", "copy ms",
              "ratio");
  for (int records : {1000, 10000, 100000}) {
    const QString path = dir.path() + QStringLiteral("/seiseki%1.dat").arg(records);
    const QByteArray native = QFile::encodeName(path);
    const QByteArray copy = native + ".copy";
    {
      QByteArray content;
      const QDate start(2003, 4, 5);
      for (int i = 0; i < records; ++i)
        content += platform::ToShiftJis(history::FormatScoreRecord(
                       start.addDays(i % 3000), i % 101, words[i % 3], QString::number(i % 12),
                       QString::number(i % 60), QString::number(i % 10))) +
                   "\r\n";
      QFile file(path);
      if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return 1;
    }
    const int runs = records >= 100000 ? 9 : 21;
    qsizetype sink = 0;

    const double plainRead = medianMs(runs, [&] { sink += readAllPlain(native).size(); });
    // As in the window, the previous list lives until the new one is read.
    QStringList shown;
    const double lines = medianMs(runs, [&] {
      QStringList list;
      history::ReadScoreLines(path, list);
      shown = std::move(list);
      sink += shown.size();
    });
    shown = QStringList();
    // What the window does: read and index the lines, hand them to the
    // list's model, which decodes only the lines the list shows.
    ScoreListModel model;
    const double listed = medianMs(runs, [&] {
      history::ScoreLines read;
      history::ReadScoreFile(path, read);
      model.Assign(std::move(read));
      sink += model.rowCount();
      sink += model.data(model.index(0)).toString().size();
    });

    const double plainCopy = medianMs(runs, [&] { copyPlain(native, copy); });
    const QString record = history::FormatScoreRecord(QDate(2004, 1, 1), 98,
                                                      history::kAdditionWord, "2", "5", "3");
    const double written =
        medianMs(runs, [&] { history::WriteScoreRecord(path, record, [] {}); });

    std::printf("%8d | %10.2f %10.2f %6.2f | %10.2f %10.2f %6.2f | %10.2f %10.2f %6.2f\n",
                records, listed, plainRead, listed / plainRead, lines, plainRead,
                lines / plainRead, written, plainCopy, written / plainCopy);
    if (sink < 0) std::puts("");
  }
  std::puts("list = ReadScoreFile + ScoreListModel::Assign (as the window lists a history); "
            "lines = ReadScoreLines, every line decoded; read = all bytes of the file; "
            "write = WriteScoreRecord; copy = read, write to a new file, fsync");
  return 0;
}
