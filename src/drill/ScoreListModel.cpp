#include "drill/ScoreListModel.h"

int ScoreListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(lines_.size());
}

QVariant ScoreListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= lines_.size()) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return lines_.line(index.row());
  return {};
}

void ScoreListModel::Clear() { Assign({}); }

void ScoreListModel::Assign(history::ScoreLines lines) {
  beginResetModel();
  lines_ = std::move(lines);
  endResetModel();
}
