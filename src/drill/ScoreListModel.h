#pragma once
// The score list's contents: the lines of one history, decoded only as the
// list shows them.

#include "drill/ScoreHistory.h"

#include <QtCore/QAbstractListModel>

class ScoreListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  void Clear();
  void Assign(history::ScoreLines lines);
  QStringList Lines() const { return lines_.all(); }

 private:
  history::ScoreLines lines_;
};
