#include "app/ChildrenList.h"

#include "app/CommandLine.h"
#include "drill/AnswersFile.h"

#include <QtCore/QStringList>

#include <cstdio>

namespace progress {
namespace {

QStringList Cells(const ChildLine& child, bool japanese) {
  if (!child.latest)
    return {child.name, japanese ? QStringLiteral("まだ ドリルが ありません") : QStringLiteral("no drills yet")};
  const drill::LatestDrill& drill = *child.latest;
  const ScoreRecord& record = drill.record;
  const bool hundred = drill.grid == drill::GridKind::Square100;
  return {child.name,
          record.date.toString(Qt::ISODate),
          japanese ? drill::GridName(drill.grid) : QString::number(hundred ? 100 : 25),
          japanese ? drill::OperationName(record.operation) : answers::OperationKey(record.operation),
          japanese ? QStringLiteral("%1点").arg(record.score) : QString::number(record.score),
          record.TimeText()};
}

}  // namespace

QString ChildrenText(const std::vector<ChildLine>& children, bool japanese) {
  std::vector<QStringList> rows;
  rows.push_back(japanese ? QStringList{QStringLiteral("なまえ"), QStringLiteral("さいごのドリル"), QStringLiteral("マス"),
                                        QStringLiteral("けいさん"), QStringLiteral("てんすう"), QStringLiteral("タイム")}
                          : QStringList{QStringLiteral("child"), QStringLiteral("last drill"), QStringLiteral("grid"),
                                        QStringLiteral("op"), QStringLiteral("score"), QStringLiteral("time")});
  for (const ChildLine& child : children) rows.push_back(Cells(child, japanese));

  // Every column as wide as its widest cell; the last cell of a line is not
  // padded and widens nothing ("no drills yet" runs on over the columns).
  std::vector<int> widths;
  for (const QStringList& row : rows)
    for (qsizetype i = 0; i + 1 < row.size(); ++i) {
      if (std::size_t(i) >= widths.size()) widths.push_back(0);
      widths[std::size_t(i)] = std::max(widths[std::size_t(i)], TerminalWidth(row[i]));
    }
  QString text;
  for (const QStringList& row : rows) {
    for (qsizetype i = 0; i < row.size(); ++i) {
      text += row[i];
      if (i + 1 < row.size()) text += QString(widths[std::size_t(i)] - TerminalWidth(row[i]) + 2, u' ');
    }
    text += u'\n';
  }
  return text;
}

int PrintChildren(const QString& folder, bool japanese) {
  QStringList names;
  if (const int error = drill::ListChildFolders(folder, names)) {
    drill::ClassOverview unread;
    unread.folder = folder;
    const EInOutError reason = history::InOutError(error, folder);
    unread.folderError = drill::HistoryError{folder, reason.ErrorCode, reason.Message()};
    std::fprintf(stderr, "%s\n", qPrintable(unread.Errors(japanese).first()));
    return 1;
  }
  std::vector<ChildLine> children;
  int status = 0;
  for (const QString& name : names) {
    std::vector<drill::HistoryError> errors;
    children.push_back({name, drill::LatestDrillOf(folder + u'/' + name, &errors)});
    for (const drill::HistoryError& error : errors) {
      std::fprintf(stderr, "%s\n", qPrintable(error.Text(name, japanese)));
      status = 1;
    }
  }
  std::fputs(ChildrenText(children, japanese).toUtf8().constData(), stdout);
  return std::fflush(stdout) == 0 ? status : 1;
}

}  // namespace progress
