#pragma once
// A class at a glance: a folder holding one data folder per child, each
// folder named after its child, as a school's shared drive keeps them. Every
// child's two histories are read (never written) and summed up per grid and
// operation. A history that cannot be read is kept as that child's error;
// the other children, and the child's other history, still load.

#include "drill/Grid.h"
#include "drill/ScoreRecord.h"

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace drill {

// How many of the latest times a summary keeps for its small line.
inline constexpr int kRecentTimes = 20;
// The days "lately" covers, today included.
inline constexpr int kRecentDays = 7;

// One grid and operation of one child.
struct DrillSummary {
  GridKind grid = GridKind::Square100;
  Operation operation = Operation::Addition;
  int drills = 0;
  int drillsLately = 0;            // dated within the last kRecentDays days
  progress::ScoreRecord last;      // the latest drill
  progress::ScoreRecord best;      // the highest score, and of those the fastest, as the chart rings it
  std::vector<std::int32_t> recentTenths;  // the latest times in tenths of a second, oldest first
};

// The latest drill over both histories of a child.
struct LatestDrill {
  GridKind grid = GridKind::Square100;
  progress::ScoreRecord record;
};

// A history of a child that could not be read.
struct HistoryError {
  QString path;    // within the child's folder: "date/seiseki.dat"
  int code = 0;    // as EInOutError::ErrorCode: 5 access denied, ...
  QString reason;  // the drill's own text for it

  // "はな: date/seiseki.dat を読めません（ファイルへのアクセスが拒否されました）",
  // or the same in English.
  QString Text(const QString& child, bool japanese) const;
};

struct ChildOverview {
  QString name;    // the folder's name
  QString folder;  // the folder's path
  std::vector<DrillSummary> summaries;  // by grid (100, then 25), then operation (たしざん, かけざん, ひきざん)
  std::vector<HistoryError> errors;
  qsizetype skipped = 0;                // lines of its histories that are not records
  std::optional<LatestDrill> latest;

  bool HasDrills() const { return !summaries.empty(); }
};

struct ClassOverview {
  QString folder;
  std::vector<ChildOverview> children;  // in the order a person sorts names
  std::optional<HistoryError> folderError;  // the class folder itself could not be listed

  // The class folder's error, or every child's errors, one line each.
  QStringList Errors(bool japanese) const;
};

// The two histories of a child, with the paths used in error texts.
struct ChildHistories {
  progress::ScoreRecords records[2];  // 100-square, 25-square
  std::vector<HistoryError> errors;
};

// Reads both histories in folder. A missing history (or a missing "date"
// folder) holds no drills; any other failure is kept as an error.
ChildHistories ReadChildHistories(const QString& folder);
// The same into out, reading through buffer; both keep their storage for
// the next child.
void ReadChildHistories(const QString& folder, ChildHistories& out, QByteArray& buffer);

// Sums up what was read; today decides which drills are recent.
ChildOverview SummarizeChild(const QString& name, const QString& folder, const ChildHistories& histories,
                             const QDate& today);

// The latest drill among both grids' records: the last of the latest date.
// Two grids drilled on the same day cannot be told apart by their records;
// then the history written last (by its file time in folder) wins.
std::optional<LatestDrill> FindLatestDrill(const ChildHistories& histories, const QString& folder);

// The latest drill of the child whose data folder is folder; errors receives
// each history that could not be read.
std::optional<LatestDrill> LatestDrillOf(const QString& folder, std::vector<HistoryError>* errors = nullptr);

// The sub-folders of a class folder (hidden ones left out), sorted as a
// person sorts names: "はな" with "ハナ", "2" before "10", case ignored.
// Gives the errno value when folder cannot be listed, else 0.
int ListChildFolders(const QString& folder, QStringList& names);

// Loads the class in folder. threads is how many children are read at once
// (0: one per processor).
ClassOverview LoadClass(const QString& folder, const QDate& today, int threads = 0);

}  // namespace drill
