#pragma once
// The window "クラスの成績": a class folder's children in one table, a row per
// child, grid and operation, sortable by every column, with a small line of
// the latest times. Histories that could not be read are named above the
// table. Enter or a double click on a row opens that child's progress chart;
// "保存…" keeps the table as CSV or as an A4 PDF.

#include "drill/ClassOverview.h"
#include "progress/ClassExport.h"

#include <QtCore/QAbstractTableModel>
#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QWidget>

class QLabel;
class QSortFilterProxyModel;
class QTableView;

namespace progress {

class ProgressWindow;

// The rows of a class, as a table. Each column sorts by its value, not by
// its text: names in the order a person sorts them, dates and times as such.
class ClassModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Child, Grid, Op, Drills, DrillsLately, LastDate, LastScore, LastTime, BestTime, RecentTimes, ColumnCount };
  static constexpr int SortRole = Qt::UserRole;
  static constexpr int TimesRole = Qt::UserRole + 1;  // the latest times, QList<int> of tenths, oldest first

  explicit ClassModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  void SetOverview(drill::ClassOverview overview);
  const drill::ClassOverview& Overview() const { return overview_; }
  const ClassRow& Row(int row) const { return rows_[std::size_t(row)]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  QVariant Text(const ClassRow& row, int column) const;
  QVariant SortKey(int row, const ClassRow& r, int column) const;

  drill::ClassOverview overview_;
  std::vector<ClassRow> rows_;
};

// "さいきん 20 回: 2:05.3 から 1:50.1、はやく なりました": the small line in words.
QString RecentTimesText(const std::vector<std::int32_t>& tenths);

// Draws the latest times as a small line: lower is faster.
class RecentTimesDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class ClassWindow : public QWidget {
  Q_OBJECT

 public:
  // Loads the class in folder, today deciding which drills are recent.
  explicit ClassWindow(const QString& folder, const QDate& today, QWidget* parent = nullptr);

  QTableView* Table() const { return table_; }
  QLabel* ErrorLine() const { return errors_; }
  const ClassModel& Model() const { return *model_; }
  // The rows in the order the table shows them.
  std::vector<ClassRow> ShownRows() const;

  // Saves the table: CSV, or PDF for a ".pdf" path; raises Exception.
  void Save(const QString& path) const;
  // Opens the progress chart of the child in the table's row (in its shown
  // order), for the row's grid.
  ProgressWindow* OpenChart(int shownRow);

 public slots:
  void SaveClick();

 private:
  QString folder_;
  ClassModel* model_ = nullptr;
  QSortFilterProxyModel* proxy_ = nullptr;
  QTableView* table_ = nullptr;
  QLabel* errors_ = nullptr;
};

}  // namespace progress
