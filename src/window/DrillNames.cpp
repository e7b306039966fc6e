#include "window/DrillNames.h"

#include "platform/Accessibility.h"
#include "widgets/Panel.h"
#include "widgets/SaNumEdit.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QListView>
#include <QtWidgets/QRadioButton>

namespace a11y {

namespace {

using Grid = TForm1::GridKind;

// The cells of one kind, by component name.
struct Family {
  const char* prefix;
  CellPlace::Kind kind;
  Grid grid;
  int count;
};

constexpr Family kFamilies[] = {
    {"SaNumEdit", CellPlace::Answer, Grid::Square100, 103},  // 101 to 103 are the clock
    {"XEdit", CellPlace::TopHeader, Grid::Square100, 10},
    {"YEdit", CellPlace::LeftHeader, Grid::Square100, 10},
    {"Edit25masu", CellPlace::Answer, Grid::Square25, 25},
    {"X25masu", CellPlace::TopHeader, Grid::Square25, 5},
    {"Y25masu", CellPlace::LeftHeader, Grid::Square25, 5},
};

TSaNumEdit* AnswerAt(const TForm1* form, Grid grid, int row, int column) {
  const int k = row * drill::HeaderCount(grid) + column + 1;
  return grid == Grid::Square100 ? form->SaNumEdit(k) : form->Edit25masu(k);
}

TSaNumEdit* TopOf(const TForm1* form, Grid grid, int column) {
  return grid == Grid::Square100 ? form->XEdit(column + 1) : form->X25masu(column + 1);
}

TSaNumEdit* LeftOf(const TForm1* form, Grid grid, int row) {
  return grid == Grid::Square100 ? form->YEdit(row + 1) : form->Y25masu(row + 1);
}

TSaNumEdit* CellAt(const CellPlace& place) {
  switch (place.kind) {
    case CellPlace::Answer: return AnswerAt(place.form, place.grid, place.row, place.column);
    case CellPlace::TopHeader: return TopOf(place.form, place.grid, place.column);
    case CellPlace::LeftHeader: return LeftOf(place.form, place.grid, place.row);
    case CellPlace::Minutes: return place.form->SaNumEdit(101);
    case CellPlace::Seconds: return place.form->SaNumEdit(102);
    case CellPlace::Tenths: return place.form->SaNumEdit(103);
    case CellPlace::Other: break;
  }
  return nullptr;
}

CellPlace Placed(TForm1* form, const Family& family, int n) {
  CellPlace place;
  place.form = form;
  place.grid = family.grid;
  place.kind = family.kind;
  const int columns = drill::HeaderCount(family.grid);
  if (family.kind == CellPlace::Answer && n > 100) {
    place.kind = n == 101 ? CellPlace::Minutes : n == 102 ? CellPlace::Seconds : CellPlace::Tenths;
  } else if (family.kind == CellPlace::Answer) {
    place.row = (n - 1) / columns;
    place.column = (n - 1) % columns;
  } else if (family.kind == CellPlace::TopHeader) {
    place.column = n - 1;
  } else {
    place.row = n - 1;
  }
  return place;
}

// While the window is still being built a header may not exist yet.
QString TextOf(const TSaNumEdit* cell) { return cell ? cell->Text() : QString(); }

}  // namespace

CellPlace PlaceOf(const TSaNumEdit* cell) {
  auto* form = qobject_cast<TForm1*>(cell->window());
  if (!form) return {};
  const QString name = cell->objectName();
  for (const Family& family : kFamilies) {
    const QLatin1StringView prefix(family.prefix);
    if (!name.startsWith(prefix)) continue;
    bool ok = false;
    const int n = QStringView(name).mid(prefix.size()).toInt(&ok);
    if (!ok || n < 1 || n > family.count) continue;
    const CellPlace place = Placed(form, family, n);
    if (CellAt(place) == cell) return place;
  }
  return {};
}

QString AnswerName(const QString& top, const QString& operationWord, const QString& left, int row,
                   int column) {
  if (top.isEmpty() || left.isEmpty())
    return QStringLiteral("%1ぎょうめ %2れつめ").arg(row + 1).arg(column + 1);
  return QStringLiteral("%1 %2 %3").arg(top, operationWord, left);
}

QString OperationWord(const TForm1* form) {
  if (form->RadioButton1->isChecked()) return QStringLiteral("たす");
  if (form->RadioButton2->isChecked()) return QStringLiteral("かける");
  return QStringLiteral("ひく");
}

QString NameOf(const CellPlace& place) {
  switch (place.kind) {
    case CellPlace::Answer:
      return AnswerName(TextOf(TopOf(place.form, place.grid, place.column)), OperationWord(place.form),
                        TextOf(LeftOf(place.form, place.grid, place.row)), place.row, place.column);
    case CellPlace::TopHeader: return QStringLiteral("うえの %1ばんめ").arg(place.column + 1);
    case CellPlace::LeftHeader: return QStringLiteral("ひだりの %1ばんめ").arg(place.row + 1);
    case CellPlace::Minutes: return QStringLiteral("分");
    case CellPlace::Seconds: return QStringLiteral("秒");
    case CellPlace::Tenths: return QStringLiteral("10分の1秒");
    case CellPlace::Other: break;
  }
  return QString();
}

QString DescriptionOf(const CellPlace& place, const TSaNumEdit* cell) {
  if (place.kind != CellPlace::Answer || !place.form->Graded(place.grid)) return QString();
  return cell->FontColor() == clBlue ? QStringLiteral("せいかい") : QStringLiteral("まちがい");
}

QList<TSaNumEdit*> NamedAfter(const CellPlace& place) {
  QList<TSaNumEdit*> cells;
  const int columns = drill::HeaderCount(place.grid);
  // A name holds the headers only while both are filled; beside an empty
  // one it stays the place name, whatever this header holds.
  if (place.kind == CellPlace::TopHeader)
    for (int row = 0; row < columns; ++row)
      if (!TextOf(LeftOf(place.form, place.grid, row)).isEmpty())
        cells << AnswerAt(place.form, place.grid, row, place.column);
  if (place.kind == CellPlace::LeftHeader)
    for (int column = 0; column < columns; ++column)
      if (!TextOf(TopOf(place.form, place.grid, column)).isEmpty())
        cells << AnswerAt(place.form, place.grid, place.row, column);
  return cells;
}

QList<TSaNumEdit*> NamedAfterOperation(TForm1* form) {
  QList<TSaNumEdit*> cells;
  for (Grid grid : {Grid::Square100, Grid::Square25}) {
    const int columns = drill::HeaderCount(grid);
    for (int row = 0; row < columns; ++row)
      for (int column = 0; column < columns; ++column)
        if (!TextOf(TopOf(form, grid, column)).isEmpty() && !TextOf(LeftOf(form, grid, row)).isEmpty())
          cells << AnswerAt(form, grid, row, column);
  }
  return cells;
}

void NameControls(TForm1* form) {
  form->Panel2->setAccessibleName(QStringLiteral("マスの かず"));
  // The list reads its name from the label when asked; the rename is
  // told to a listening screen reader.
  form->Label25->setBuddy(form->ListBox1);
  NameChanged(form->ListBox1);
}

}  // namespace a11y
