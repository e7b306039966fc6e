#pragma once
// The children of one account and the last drill of each, for the
// terminal: the folders of children/ in the data folder, as the sorabe
// command makes them for --add-child.

#include "drill/ClassOverview.h"

#include <QtCore/QString>

#include <optional>
#include <vector>

namespace progress {

struct ChildLine {
  QString name;
  std::optional<drill::LatestDrill> latest;
};

// A table with a heading line and one line per child, its columns lined up
// on a terminal (two columns for a full-width character).
QString ChildrenText(const std::vector<ChildLine>& children, bool japanese);

// Lists the children in folder on stdout; a history that cannot be read is
// named on stderr, and the rest are still listed. Gives the exit status:
// 0, or 1 when a history or the folder could not be read.
int PrintChildren(const QString& folder, bool japanese);

}  // namespace progress
