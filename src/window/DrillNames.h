#pragma once
// Where a cell stands in the drill window, and what a screen reader calls it
// there: an answer cell after its headers and the operation ("4 たす 7"), a
// header cell after its place ("うえの 3ばんめ"), a clock field after its unit.

#include "window/Form1.h"

#include <QtCore/QList>
#include <QtCore/QString>

namespace a11y {

struct CellPlace {
  enum Kind { Other, Answer, TopHeader, LeftHeader, Minutes, Seconds, Tenths };
  Kind kind = Other;
  TForm1* form = nullptr;
  TForm1::GridKind grid = TForm1::GridKind::Square100;
  int row = 0;     // from 0: answer and left header cells
  int column = 0;  // from 0: answer and top header cells
};

// Found from the cell's component name, checked against the window's own
// accessors; a cell outside a drill window is Other.
CellPlace PlaceOf(const TSaNumEdit* cell);

// "4 たす 7": the column header, the operation, the row header. While a
// header is empty (no drill has drawn them yet) the cell is named after its
// place: "1ぎょうめ 3れつめ" (row, then column, counted from 1).
QString AnswerName(const QString& top, const QString& operationWord, const QString& left, int row,
                   int column);

// "たす", "かける" or "ひく", as the operation radio buttons stand.
QString OperationWord(const TForm1* form);

// The name of a cell in its place; empty for Other.
QString NameOf(const CellPlace& place);

// "せいかい" or "まちがい" for an answer cell of a grid graded since its
// last start (blue digits are right, red ones wrong); empty otherwise.
QString DescriptionOf(const CellPlace& place, const TSaNumEdit* cell);

// The answer cells whose names this header's text takes part in: the column
// under a top header, the row beside a left header, where the other header
// is filled (beside an empty one a cell keeps its place name).
QList<TSaNumEdit*> NamedAfter(const CellPlace& place);

// The answer cells of both grids whose names hold the operation word (both
// headers filled).
QList<TSaNumEdit*> NamedAfterOperation(TForm1* form);

// Names the window's controls that show no caption of their own: the score
// list after the caption above it ("100マス成績表" or "25マス成績表"), which
// becomes its label, and Panel2 after what its radio group chooses. Called
// once the window is built and again whenever the list's caption changes.
void NameControls(TForm1* form);

}  // namespace a11y
