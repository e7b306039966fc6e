// The drill window's handlers: start-up, mode selection, start and
// countdown, stopwatch, answer entry, grading and the score history.

#include "window/Form1.h"

#include "drill/HeaderDraw.h"
#include "drill/ScoreHistory.h"
#include "drill/ScoreListModel.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "platform/Sound.h"
#include "widgets/CuteBtn.h"
#include "widgets/MMTimer.h"
#include "widgets/Panel.h"
#include "widgets/SaNumEdit.h"
#include "widgets/ShadoLbl.h"
#include "window/DrillNames.h"
#include "window/FormAccessible.h"

#include <QtCore/QDate>
#include <QtCore/QEvent>
#include <QtCore/QTime>
#include <QtCore/QTimer>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListView>
#include <QtWidgets/QRadioButton>

namespace {

const QString kCountdownSound = QStringLiteral("cd.wav");

// A clock field that does not hold a whole number counts as 0.
int ClockValue(const TSaNumEdit* field) {
  int value = 0;
  return TryStrToInt(field->Text(), value) ? value : 0;
}

}  // namespace

QWidget* TForm1::FindComponent(const QString& name) const {
  return findChild<QWidget*>(name);
}

TSaNumEdit* TForm1::FindCell(const QString& name) const {
  auto* cell = findChild<TSaNumEdit*>(name);
  if (!cell) throw Exception(QStringLiteral("コンポーネント %1 が見つかりません").arg(name));
  return cell;
}

QStringList TForm1::ScoreListLines() const { return scoreModel_->Lines(); }

void TForm1::SeedRandom(std::uint32_t seed) { random_.seed(seed); }

int TForm1::Random(int n) { return drill::DrawBelow(random_, n); }

drill::Operation TForm1::CheckedOperation() const {
  if (RadioButton1->isChecked()) return drill::Operation::Addition;
  if (RadioButton2->isChecked()) return drill::Operation::Multiplication;
  return drill::Operation::Subtraction;
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !activatedOnce_) {
    // Only the first activation: after a drill the headers stay, so the
    // child can check the red cells against them.
    activatedOnce_ = true;
    const bool handled = QWidget::event(event);
    platform::Guarded([this] { FormActivate(this); });
    return handled;
  }
  return QWidget::event(event);
}

// A control that loses the focus by being disabled or hidden ("はじめる" as
// it is pressed, the 25-square's panel) hands it to the window itself, not to
// the next control of the tab order: a key still held or pressed again must
// not click whatever comes next ("おわる"). Tab and the cells' own moves
// start from an enabled, shown control and go along the chain as usual.
bool TForm1::focusNextPrevChild(bool next) {
  QWidget* current = focusWidget();
  if (current && current != this && (!current->isEnabled() || !current->isVisibleTo(this))) {
    setFocus(Qt::OtherFocusReason);
    return true;
  }
  return QWidget::focusNextPrevChild(next);
}

// --- Start-up and end -------------------------------------------------------

void TForm1::FormCreate(QObject*) {
  const QTime now = QTime::currentTime();
  SeedRandom(std::uint32_t(((now.hour() * 60 + now.minute()) * 60 + now.second()) * 1000 + now.msec()));
}

void TForm1::FormActivate(QObject*) {
  CuteButton1->setFocus();
  for (int j = 1; j <= 10; ++j) XEdit(j)->SetText(QString());
  for (int i = 1; i <= 10; ++i) YEdit(i)->SetText(QString());
  LoadScoreList(GridKind::Square100);
}

void TForm1::CuteButton2Click(QObject*) { close(); }

// --- Mode selection ---------------------------------------------------------

void TForm1::RadioButton1Click(QObject*) {
  Label21->setText(QStringLiteral("＋"));
  Label1->setText(QStringLiteral("＋"));
  a11y::OperationChanged(this);
}

void TForm1::RadioButton2Click(QObject*) {
  Label21->setText(QStringLiteral("×"));
  Label1->setText(QStringLiteral("×"));
  a11y::OperationChanged(this);
}

void TForm1::RadioButton3Click(QObject*) {
  Label21->setText(QStringLiteral("－"));
  Label1->setText(QStringLiteral("－"));
  a11y::OperationChanged(this);
}

void TForm1::RadioButton4Click(QObject*) {
  Label25->setText(QStringLiteral("100マス成績表"));
  a11y::NameControls(this);
  Panel3->hide();
  LoadScoreList(GridKind::Square100);
}

void TForm1::RadioButton6Click(QObject*) {
  Panel3->show();
  Label25->setText(QStringLiteral("25マス成績表"));
  a11y::NameControls(this);
  LoadScoreList(GridKind::Square25);
}

// --- Start, countdown and stopwatch ------------------------------------------

void TForm1::CuteButton1Click(QObject*) {
  platform::PlaySoundAsync(kCountdownSound);
  RadioButton4->setEnabled(false);
  RadioButton6->setEnabled(false);
  CorrectCount = 0;
  SaNumEdit(101)->SetText(QStringLiteral("0"));
  SaNumEdit(102)->SetText(QStringLiteral("0"));
  SaNumEdit(103)->SetText(QStringLiteral("0"));

  // The 25-square first, then the 100-square, as the radio buttons are
  // tested; only the checked grid is touched.
  for (GridKind kind : {GridKind::Square25, GridKind::Square100}) {
    const Grid grid = GridOf(kind);
    if (!grid.button->isChecked()) continue;
    for (qsizetype k = 1; k <= qsizetype(grid.answers.size()); ++k) {
      TSaNumEdit* cell = FindCell(grid.answerName + QString::number(k));
      cell->SetText(QString());
      cell->SetFontColor(clBlue);  // undoes the marks of the last grading
    }
    graded_[std::size_t(kind)] = false;
    a11y::DrillStarted(this, grid.answers);
    Timer1->start();
    Panel1->show();
    CuteButton1->setEnabled(false);
    RadioButton1->setEnabled(false);
    RadioButton2->setEnabled(false);
    RadioButton3->setEnabled(false);
    for (TSaNumEdit* cell : grid.tops) cell->SetText(QString());
    for (TSaNumEdit* cell : grid.lefts) cell->SetText(QString());
  }
}

void TForm1::Timer1Timer(QObject*) {
  Panel1->SetCaption(QString::number(StrToInt(Panel1->Caption()) - 1));
  if (Panel1->Caption() != QStringLiteral("0")) {
    platform::PlaySoundAsync(kCountdownSound);
    return;
  }

  // The count ran out: headers, focus, panel and stopwatch in one step, so
  // "0" is never shown.
  for (GridKind kind : {GridKind::Square25, GridKind::Square100}) {
    const Grid grid = GridOf(kind);
    if (!grid.button->isChecked()) continue;
    const int count = int(grid.tops.size());
    const drill::Headers headers =
        drill::DrawHeaders(CheckedOperation(), count, [this](int n) { return Random(n); });
    for (int j = 0; j < count; ++j) grid.tops[j]->SetText(headers.tops[j]);
    for (int i = 0; i < count; ++i) grid.lefts[i]->SetText(headers.lefts[i]);
    grid.answers.front()->setFocus();
    Panel1->SetCaption(QStringLiteral("3"));
    Panel1->hide();
    Timer1->stop();
    MMTimer1->SetEnabled(true);
  }
}

std::uint64_t TForm1::DrawDigitPermutation() {
  return drill::DrawDigitPermutation([this](int n) { return Random(n); });
}

void TForm1::MMTimer1Timer(QObject*) {
  TSaNumEdit* minutes = SaNumEdit(101);
  TSaNumEdit* seconds = SaNumEdit(102);
  TSaNumEdit* tenths = SaNumEdit(103);
  tenths->SetText(QString::number(ClockValue(tenths) + 1));
  if (tenths->Text() == QStringLiteral("10")) {
    tenths->SetText(QStringLiteral("0"));
    seconds->SetText(QString::number(ClockValue(seconds) + 1));
  }
  if (seconds->Text() == QStringLiteral("60")) {
    seconds->SetText(QStringLiteral("0"));
    minutes->SetText(QString::number(ClockValue(minutes) + 1));
  }
}

// --- Answer entry --------------------------------------------------------------

void TForm1::SaNumEdit1KeyPress(QObject* Sender, QChar& Key) {
  // Enter in an empty answer cell must not skip it.
  if (Key != QChar(13)) return;
  if (static_cast<TSaNumEdit*>(Sender)->Text().isEmpty()) Key = QChar(0);
}

void TForm1::Edit25masu1KeyPress(QObject* Sender, QChar& Key) { SaNumEdit1KeyPress(Sender, Key); }

// --- Grading ---------------------------------------------------------------------

void TForm1::SaNumEdit100KeyPress(QObject*, QChar& Key) { LastCellKeyPress(GridKind::Square100, Key); }

void TForm1::Edit25masu25KeyPress(QObject*, QChar& Key) { LastCellKeyPress(GridKind::Square25, Key); }

TForm1::Grid TForm1::GridOf(GridKind kind) const {
  if (kind == GridKind::Square100)
    return {RadioButton4, QStringLiteral("SaNumEdit"), std::span(saNumEdit_).first(100), xEdit_, yEdit_,
            drill::HistoryPath(kind)};
  return {RadioButton6, QStringLiteral("Edit25masu"), edit25masu_, x25masu_, y25masu_, drill::HistoryPath(kind)};
}

bool TForm1::GridReadyToGrade(const Grid& grid) const {
  for (const TSaNumEdit* cell : grid.answers)
    if (cell->Text().isEmpty()) return false;
  // Headers that are not numbers (no drill has drawn them yet, or an edited
  // 25-square header) cannot be graded against.
  int value = 0;
  for (auto headers : {grid.tops, grid.lefts})
    for (const TSaNumEdit* cell : headers)
      if (!TryStrToInt(cell->Text(), value)) return false;
  return true;
}

void TForm1::LastCellKeyPress(GridKind kind, QChar& Key) {
  if (Key != QChar(13)) return;
  RadioButton4->setEnabled(true);
  RadioButton6->setEnabled(true);
  if (!GridReadyToGrade(GridOf(kind))) {
    Key = QChar(0);
    return;
  }
  if (RadioButton1->isChecked()) CloseDrill(kind, history::kAdditionWord);
  if (RadioButton2->isChecked()) CloseDrill(kind, history::kMultiplicationWord);
  if (RadioButton3->isChecked()) CloseDrill(kind, history::kSubtractionWord);
  Key = QChar(0);
}

void TForm1::GradeCell(TSaNumEdit* column, TSaNumEdit* row, TSaNumEdit* answer) {
  const int top = StrToInt(column->Text());
  const int left = StrToInt(row->Text());
  if (drill::IsRightAnswer(CheckedOperation(), top, left, answer->Text())) {
    answer->SetFontColor(clBlue);
    ++CorrectCount;
  } else {
    answer->SetFontColor(clRed);
  }
}

void TForm1::GradeGrid(const Grid& grid) {
  // Row by row, each row from left to right.
  const std::size_t columns = grid.tops.size();
  for (std::size_t n = 0; n < grid.answers.size(); ++n)
    GradeCell(grid.tops[n % columns], grid.lefts[n / columns], grid.answers[n]);
}

void TForm1::Grade100() { GradeGrid(GridOf(GridKind::Square100)); }

void TForm1::Grade25() { GradeGrid(GridOf(GridKind::Square25)); }

void TForm1::CloseDrill(GridKind kind, const QString& operationWord) {
  const Grid grid = GridOf(kind);
  // Every pass counts from 0, so grading again after a closing that stopped
  // early counts the grid once.
  CorrectCount = 0;
  GradeGrid(grid);
  graded_[std::size_t(kind)] = true;
  a11y::MarksChanged(grid.answers);
  if (kind == GridKind::Square25) CorrectCount *= 4;  // scored out of 100 too
  WriteScoreRecord(grid.history, operationWord, CorrectCount);
  LoadScoreList(kind);
  a11y::DrillClosed(this, CorrectCount);
  CorrectCount = 0;
  CuteButton1->setEnabled(true);
  RadioButton1->setEnabled(true);
  RadioButton2->setEnabled(true);
  RadioButton3->setEnabled(true);
  ListBox1->setFocus();
  platform::ShowMessage(QStringLiteral("しゅうりょう"));
}

// --- Score history -----------------------------------------------------------------

void TForm1::WriteScoreRecord(const QString& fileName, const QString& operationWord, int score) {
  const QString record =
      history::FormatScoreRecord(QDate::currentDate(), score, operationWord, SaNumEdit(101)->Text(),
                                 SaNumEdit(102)->Text(), SaNumEdit(103)->Text());
  history::WriteScoreRecord(fileName, record, [this] { MMTimer1->SetEnabled(false); });
}

void TForm1::LoadScoreList(GridKind kind) {
  scoreModel_->Clear();
  history::ScoreLines lines;
  // A list emptied and filled again shows from its first entry, the newest
  // record, wherever it was scrolled before.
  const auto fill = [&] {
    scoreModel_->Assign(std::move(lines));
    ListBox1->scrollToTop();
  };
  try {
    history::ReadScoreFile(GridOf(kind).history, lines);
  } catch (...) {
    fill();  // the lines read before the failure
    throw;
  }
  fill();
}
