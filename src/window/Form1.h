#pragma once
// TForm1: the drill window. It builds every control of the window, and its
// handlers run the drill: mode selection, start and countdown, stopwatch,
// answer entry, grading and the score history.

#include "drill/Grid.h"
#include "drill/HeaderDraw.h"
#include "platform/Types.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtWidgets/QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <span>

class QLabel;
class QListView;
class QRadioButton;
class QTimer;
class ScoreListModel;
class TCuteButton;
class TMMTimer;
class TPanel;
class TSaNumEdit;
class TShadowLabel;

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  using GridKind = drill::GridKind;

  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Controls, under their component names. The grid cells are reached by
  // their running number through the accessors below or by name.
  TShadowLabel* ShadowLabel1;
  TPanel* Panel2;
  QRadioButton* RadioButton4;
  QRadioButton* RadioButton6;
  QLabel* Label24;
  QLabel* Label22;
  QLabel* Label23;
  QLabel* Label25;
  QListView* ListBox1;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  QRadioButton* RadioButton3;
  TCuteButton* CuteButton1;
  TCuteButton* CuteButton2;
  QLabel* Label21;
  TPanel* Panel1;
  TPanel* Panel3;
  QLabel* Label1;
  QTimer* Timer1;
  TMMTimer* MMTimer1;

  TSaNumEdit* SaNumEdit(int k) const { return saNumEdit_.at(k - 1); }   // 1 to 103
  TSaNumEdit* XEdit(int j) const { return xEdit_.at(j - 1); }           // 1 to 10
  TSaNumEdit* YEdit(int i) const { return yEdit_.at(i - 1); }           // 1 to 10
  TSaNumEdit* Edit25masu(int k) const { return edit25masu_.at(k - 1); } // 1 to 25
  TSaNumEdit* X25masu(int j) const { return x25masu_.at(j - 1); }       // 1 to 5
  TSaNumEdit* Y25masu(int i) const { return y25masu_.at(i - 1); }       // 1 to 5

  // The control with this component name, or null.
  QWidget* FindComponent(const QString& name) const;
  // The cell with this component name; raises when there is none.
  TSaNumEdit* FindCell(const QString& name) const;

  // The number of answer cells graded right in the current drill.
  std::int32_t CorrectCount = 0;

  // Whether the grid's blue and red digits are marks of a grading since its
  // last start (a fresh drill's blue digits mark nothing yet).
  bool Graded(GridKind kind) const { return graded_[std::size_t(kind)]; }

  // The score list's lines, top first.
  QStringList ScoreListLines() const;

  // Reseeds the generator the header draws use (tests make draws repeatable).
  void SeedRandom(std::uint32_t seed);
  // A uniform whole number from 0 to n - 1.
  int Random(int n);

  // The operation of the checked radio button (subtraction when neither
  // addition nor multiplication is checked, as the header draw reads it).
  drill::Operation CheckedOperation() const;

  // Moves the window so that it stands centred on its screen.
  void CenterOnScreen();

  // The monotonic clock, in milliseconds, that times how long each answer
  // cell holds the focus during a drill (tests put a fake one here).
  std::function<std::int64_t()> MonotonicMs;
  // Where the answers of each graded drill are appended.
  QString AnswersPath;
  // When set, the next countdown takes its headers from here instead of the
  // draw (once): a drill on chosen facts.
  std::function<drill::Headers(drill::Operation operation, int count)> NextHeaders;

 public slots:
  void FormCreate(QObject* Sender);
  void FormActivate(QObject* Sender);
  void CuteButton1Click(QObject* Sender);
  void CuteButton2Click(QObject* Sender);
  void RadioButton1Click(QObject* Sender);
  void RadioButton2Click(QObject* Sender);
  void RadioButton3Click(QObject* Sender);
  void RadioButton4Click(QObject* Sender);
  void RadioButton6Click(QObject* Sender);
  void Timer1Timer(QObject* Sender);
  void MMTimer1Timer(QObject* Sender);

 public:
  void SaNumEdit1KeyPress(QObject* Sender, QChar& Key);
  void SaNumEdit100KeyPress(QObject* Sender, QChar& Key);
  void Edit25masu1KeyPress(QObject* Sender, QChar& Key);
  void Edit25masu25KeyPress(QObject* Sender, QChar& Key);

  // Ten digits 0 to 9, each once, in random order, the first never 0,
  // read as one decimal number.
  std::uint64_t DrawDigitPermutation();

  // Grades one answer cell against its column and row header cells.
  void GradeCell(TSaNumEdit* column, TSaNumEdit* row, TSaNumEdit* answer);
  void Grade100();
  void Grade25();

  // Puts a record of the finished drill on top of a history file; stops the
  // stopwatch once the new contents are on disk.
  void WriteScoreRecord(const QString& fileName, const QString& operationWord, int score);
  // Fills the score list from the history of a grid kind.
  void LoadScoreList(GridKind kind);

 protected:
  bool event(QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void BuildLayout();
  void BuildGrid100();
  void BuildGrid25();
  void ChainTabOrder();
  void UpdateRadioTabStops();
  // The application's focus changes the window follows. They are cut first
  // thing in the destructor: the closing widgets still move the focus while
  // the window's own members are being destroyed.
  QList<QMetaObject::Connection> focusWatches_;
  // One grid: the radio button that chooses it, the name its answer cells
  // are found by, its answer cells row by row, its column and row header
  // cells, its history.
  struct Grid {
    QRadioButton* button;
    QString answerName;
    std::span<TSaNumEdit* const> answers;
    std::span<TSaNumEdit* const> tops;
    std::span<TSaNumEdit* const> lefts;
    QString history;
  };
  Grid GridOf(GridKind kind) const;
  void GradeGrid(const Grid& grid);
  // The closing of a drill, shared by both grids.
  void CloseDrill(GridKind kind, const QString& operationWord);
  // The Enter rule of the last answer cell of a grid.
  void LastCellKeyPress(GridKind kind, QChar& Key);
  bool GridReadyToGrade(const Grid& grid) const;

  // The answer cells' focus times of the running drill (Form1Answers.cpp):
  // only a clock read on each focus change, nothing on a keystroke or tick.
  void StartCellTimes(const Grid& grid);
  void SettleCellTimes(bool keepRunning);
  void FocusChanged(QWidget* now);
  // Appends the answers graded in this pass and not appended before; a
  // failure is one line on stderr, never an error box.
  void AppendGradedAnswers(const Grid& grid, GridKind kind);
  struct CellTimes {
    std::span<TSaNumEdit* const> cells;
    std::array<std::int64_t, 100> ms{};
    int focused = -1;          // index in cells, or -1
    std::int64_t since = 0;    // when it took the focus
    bool running = false;
    std::size_t graded = 0;    // cells graded by the current pass
    std::size_t appended = 0;  // cells of this drill already in the file
  } cellTimes_;
  bool answersFailureReported_ = false;

  std::array<TSaNumEdit*, 103> saNumEdit_{};
  std::array<TSaNumEdit*, 10> xEdit_{};
  std::array<TSaNumEdit*, 10> yEdit_{};
  std::array<TSaNumEdit*, 25> edit25masu_{};
  std::array<TSaNumEdit*, 5> x25masu_{};
  std::array<TSaNumEdit*, 5> y25masu_{};
  ScoreListModel* scoreModel_ = nullptr;

  // Every control with a TabOrder, panels included, in creation order.
  struct TabEntry {
    QWidget* control;
    int tabOrder;
  };
  QList<TabEntry> tabEntries_;
  void SetTabOrder(QWidget* control, int tabOrder);

  std::mt19937 random_;
  bool activatedOnce_ = false;
  std::array<bool, 2> graded_{};
};
