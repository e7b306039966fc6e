#pragma once
// The window "成績グラフ": the progress chart of one grid kind's history, read
// from the working folder (or a child's data folder), and "保存…" to keep it as a PNG or PDF file. It is
// a top-level window of its own, apart from the drill window. A screen reader
// finds it as a frame named by its title, holding the chart with the chart in
// words as its description.

#include "progress/ProgressChart.h"

#include <QtWidgets/QWidget>

class QPushButton;

namespace progress {

class ProgressWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressWindow(drill::GridKind grid, QWidget* parent = nullptr);
  // The chart of the child whose data folder is folder, named in the title.
  ProgressWindow(drill::GridKind grid, const QString& folder, QWidget* parent = nullptr);

  // Shows the chart window of a grid kind for a drill window, reading the
  // history afresh: the one already open is raised, else a new one opens.
  // It closes with the drill window and never keeps the program running.
  static ProgressWindow* Open(drill::GridKind grid, QWidget* drillWindow);
  // The same for a child's folder (empty: the working folder), closing with
  // owner.
  static ProgressWindow* Open(drill::GridKind grid, const QString& folder, QWidget* owner);

  // The folder the histories are read from; empty for the working folder.
  const QString& Folder() const { return folder_; }

  // Reads the history again; a history that cannot be read shows its error.
  void Reload();

  const ProgressChart& Chart() const { return chart_; }
  QWidget* ChartView() const { return view_; }
  // Saves the chart as it is shown (PNG, or PDF for a ".pdf" path); raises
  // Exception on failure.
  void Save(const QString& path) const;

 public slots:
  // "保存…": asks for a file, then saves; a failure shows the error box.
  void SaveClick();

 private:
  QString HistoryFile() const;

  QString folder_;
  ProgressChart chart_;
  QWidget* view_ = nullptr;
  QPushButton* saveButton_ = nullptr;
};

}  // namespace progress
