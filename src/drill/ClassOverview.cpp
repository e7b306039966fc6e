#include "drill/ClassOverview.h"

#include <QtCore/QCollator>
#include <QtCore/QDateTime>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QLocale>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <exception>
#include <sys/stat.h>
#include <thread>

namespace drill {
namespace {

constexpr GridKind kGrids[] = {GridKind::Square100, GridKind::Square25};
constexpr Operation kOperations[] = {Operation::Addition, Operation::Multiplication, Operation::Subtraction};

int Slot(Operation operation) {
  switch (operation) {
    case Operation::Addition:
      return 0;
    case Operation::Multiplication:
      return 1;
    case Operation::Subtraction:
      break;
  }
  return 2;
}

bool Exists(const QString& path) {
  struct stat st;
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 || errno != ENOENT;
}

// A child who has not drilled yet has no history, or not even its "date"
// folder: that is no drills, not an error. Anything else in the way (a
// folder where the file should be, a file where the folder should be) is.
bool NoHistory(const QString& folder, const EInOutError& error) {
  if (error.ErrorCode == 2) return true;
  return error.ErrorCode == 3 && !Exists(folder + QStringLiteral("/date"));
}

QString EnglishReason(int code) {
  switch (code) {
    case 2:
      return QStringLiteral("file not found");
    case 3:
      return QStringLiteral("path not found");
    case 4:
      return QStringLiteral("too many open files");
    case 5:
      return QStringLiteral("access denied");
    case 101:
      return QStringLiteral("disk full");
    case 0:
      return QStringLiteral("could not be read");
    default:
      return QStringLiteral("I/O error %1").arg(code);
  }
}

// Newest last, as ScoreRecords keeps them: the file written last holds the
// later drill of two on one date.
QDateTime WrittenAt(const QString& path) { return QFileInfo(path).lastModified(); }

}  // namespace

QString HistoryError::Text(const QString& child, bool japanese) const {
  return japanese ? QStringLiteral("%1: %2 を読めません（%3）").arg(child, path, reason)
                  : QStringLiteral("%1: cannot read %2 (%3)").arg(child, path, EnglishReason(code));
}

QStringList ClassOverview::Errors(bool japanese) const {
  QStringList lines;
  if (folderError)
    lines << (japanese ? QStringLiteral("クラスのフォルダ %1 を読めません（%2）").arg(folder, folderError->reason)
                       : QStringLiteral("cannot read the class folder %1 (%2)")
                             .arg(folder, EnglishReason(folderError->code)));
  for (const ChildOverview& child : children)
    for (const HistoryError& error : child.errors) lines << error.Text(child.name, japanese);
  return lines;
}

ChildHistories ReadChildHistories(const QString& folder) {
  ChildHistories out;
  QByteArray buffer;
  ReadChildHistories(folder, out, buffer);
  return out;
}

void ReadChildHistories(const QString& folder, ChildHistories& out, QByteArray& buffer) {
  out.errors.clear();
  for (GridKind grid : kGrids) {
    const QString relative = HistoryPath(grid);
    const QString path = folder + u'/' + relative;
    try {
      progress::ReadScoreRecords(path, out.records[int(grid)], buffer);
    } catch (const EInOutError& e) {
      if (!NoHistory(folder, e)) out.errors.push_back({relative, e.ErrorCode, e.Message()});
    } catch (const std::exception& e) {
      // Out of memory on a huge file, say: this child's history, not the class.
      out.errors.push_back({relative, 0, QString::fromLocal8Bit(e.what())});
    }
  }
}

ChildOverview SummarizeChild(const QString& name, const QString& folder, const ChildHistories& histories,
                             const QDate& today) {
  ChildOverview child;
  child.name = name;
  child.folder = folder;
  child.errors = histories.errors;
  const QDate lately = today.addDays(1 - kRecentDays);
  for (GridKind grid : kGrids) {
    const progress::ScoreRecords& read = histories.records[int(grid)];
    child.skipped += read.skipped;
    DrillSummary summaries[3];
    for (const progress::ScoreRecord& r : read.records) {
      DrillSummary& s = summaries[Slot(r.operation)];
      if (s.drills == 0 || r.score > s.best.score || (r.score == s.best.score && r.TimeTenths() < s.best.TimeTenths()))
        s.best = r;
      ++s.drills;
      if (r.date >= lately && r.date <= today) ++s.drillsLately;
      s.last = r;
    }
    // The latest times, walking back from the newest drill until every
    // operation has its share.
    int wanted = 0;
    for (const DrillSummary& s : summaries) wanted += std::min(s.drills, kRecentTimes);
    for (auto r = read.records.rbegin(); wanted > 0 && r != read.records.rend(); ++r) {
      std::vector<std::int32_t>& times = summaries[Slot(r->operation)].recentTenths;
      if (int(times.size()) == kRecentTimes) continue;
      times.push_back(r->TimeTenths());
      --wanted;
    }
    for (Operation operation : kOperations) {
      DrillSummary& s = summaries[Slot(operation)];
      if (s.drills == 0) continue;
      s.grid = grid;
      s.operation = operation;
      std::reverse(s.recentTenths.begin(), s.recentTenths.end());
      child.summaries.push_back(std::move(s));
    }
  }
  child.latest = FindLatestDrill(histories, folder);
  return child;
}

std::optional<LatestDrill> FindLatestDrill(const ChildHistories& histories, const QString& folder) {
  const std::vector<progress::ScoreRecord>& big = histories.records[int(GridKind::Square100)].records;
  const std::vector<progress::ScoreRecord>& small = histories.records[int(GridKind::Square25)].records;
  if (big.empty() && small.empty()) return std::nullopt;
  if (small.empty()) return LatestDrill{GridKind::Square100, big.back()};
  if (big.empty()) return LatestDrill{GridKind::Square25, small.back()};
  if (big.back().date != small.back().date)
    return big.back().date > small.back().date ? LatestDrill{GridKind::Square100, big.back()}
                                               : LatestDrill{GridKind::Square25, small.back()};
  const bool smallLater = WrittenAt(folder + u'/' + history::kHistory25) >
                          WrittenAt(folder + u'/' + history::kHistory100);
  return smallLater ? LatestDrill{GridKind::Square25, small.back()} : LatestDrill{GridKind::Square100, big.back()};
}

std::optional<LatestDrill> LatestDrillOf(const QString& folder, std::vector<HistoryError>* errors) {
  const ChildHistories histories = ReadChildHistories(folder);
  if (errors) *errors = histories.errors;
  return FindLatestDrill(histories, folder);
}

int ListChildFolders(const QString& folder, QStringList& names) {
  names.clear();
  const QByteArray native = QFile::encodeName(folder);
  DIR* dir = ::opendir(native.constData());
  if (!dir) return errno;
  errno = 0;
  while (const dirent* entry = ::readdir(dir)) {
    // ".", "..", and what a file manager or a shared drive hides.
    if (entry->d_name[0] == '.') continue;
    bool isDir = entry->d_type == DT_DIR;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat st;
      isDir = ::stat((native + '/' + entry->d_name).constData(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    if (isDir) names << QFile::decodeName(entry->d_name);
  }
  const int err = errno;
  ::closedir(dir);
  if (err != 0) return err;

  // The C locale compares code points, numbers and case included; a name
  // list is sorted the way people read it even there.
  const QLocale system = QLocale::system();
  QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
  collator.setNumericMode(true);
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  // Names a person reads as the same ("Hana", "hana") still keep one order.
  std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
    const int order = collator.compare(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  return 0;
}

ClassOverview LoadClass(const QString& folder, const QDate& today, int threads) {
  ClassOverview overview;
  overview.folder = folder;
  QStringList names;
  if (const int err = ListChildFolders(folder, names); err != 0) {
    const EInOutError error = history::InOutError(err, folder);
    overview.folderError = HistoryError{folder, error.ErrorCode, error.Message()};
    return overview;
  }
  overview.children.resize(std::size_t(names.size()));
  if (threads <= 0) threads = int(std::max(1u, std::thread::hardware_concurrency()));
  threads = std::min<int>(threads, int(names.size()));

  // Each worker takes the next child until none is left; a child is read
  // and summed up on one thread, and written to its own place only. A
  // worker reads every child through the same buffers.
  std::atomic<qsizetype> next{0};
  const auto work = [&] {
    ChildHistories histories;
    QByteArray buffer;
    for (qsizetype i; (i = next++) < names.size();) {
      const QString path = folder + u'/' + names[i];
      ReadChildHistories(path, histories, buffer);
      overview.children[std::size_t(i)] = SummarizeChild(names[i], path, histories, today);
    }
  };
  std::vector<std::thread> workers;
  for (int t = 1; t < threads; ++t) workers.emplace_back(work);
  work();
  for (std::thread& worker : workers) worker.join();
  return overview;
}

}  // namespace drill
