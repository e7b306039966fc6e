#pragma once
// The window "にがて": for one operation at a time, a 10 × 10 map of the facts
// (rows the left digit, columns the top digit) coloured by the child's median
// time, the mistakes marked with their count, and the ten weakest facts
// listed. The map is a table, so a screen reader reads every square as a
// cell ("7 たす 8, 3.4 びょう, 2 かい まちがい"). "保存…" keeps it as PNG or PDF.

#include "drill/WeakFacts.h"

#include <QtWidgets/QWidget>

class QLabel;
class QTabBar;
class QTableWidget;

namespace progress {

// The words a square is read with: "たす", "かける", "ひく".
QString OperationVerb(drill::Operation operation);
// "7 たす 8, 3.4 びょう, 2 かい まちがい", or "7 たす 8, まだ" when never answered.
QString SquareName(drill::Operation operation, const answers::Fact& fact, const drill::FactStats* stats);
// "7 + 8 = 15　3.4 びょう　2 かい まちがい": a line of the ten weakest.
QString WeakestLine(drill::Operation operation, const drill::FactStats& stats);
// The colour of a median on the map's scale, from 0 to scaleMs.
QColor MedianColor(std::int64_t medianMs, std::int64_t scaleMs);

class WeakFactsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit WeakFactsWindow(drill::Operation operation, QWidget* parent = nullptr);

  // Shows the window for a drill window with the operation's tab chosen,
  // reading the answers afresh; it closes with the drill window.
  static WeakFactsWindow* Open(drill::Operation operation, QWidget* drillWindow);

  void ShowOperation(drill::Operation operation);
  void Reload();

  drill::Operation Operation() const { return operation_; }
  const drill::WeakFacts& Facts() const { return facts_; }
  QTableWidget* Map() const { return map_; }
  QLabel* Weakest() const { return weakest_; }
  QWidget* Sheet() const { return sheet_; }  // what "保存…" keeps

  // Saves the map and the list as shown: PNG, or PDF for a ".pdf" path;
  // raises Exception on failure.
  void Save(const QString& path) const;

 public slots:
  void SaveClick();

 private:
  void ShowSquareDetail(int row, int column);

  drill::Operation operation_;
  drill::WeakFacts facts_;
  QTabBar* tabs_ = nullptr;
  QWidget* sheet_ = nullptr;
  QLabel* empty_ = nullptr;
  QTableWidget* map_ = nullptr;
  QWidget* legend_ = nullptr;
  QLabel* detail_ = nullptr;
  QLabel* weakest_ = nullptr;
  std::int64_t scaleMs_ = 5000;
};

}  // namespace progress
