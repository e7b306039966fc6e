// The numeric cell as a screen reader sees it. Its text is the shown text
// (marks, thousands commas and fixed decimals included, as painted); the
// caret stands after what was typed, since the cell edits only at the end;
// the selection is the whole cell or nothing, as the cell's own is.

#include "widgets/Accessible.h"
#include "widgets/SaNumEditAccessible.h"
#include "window/DrillNames.h"

#include "widgets/SaNumEdit.h"

#include <QtGui/QFontMetrics>

namespace a11y {

int CaretOffset(TSaNumEdit* cell) {
  if (cell->DisplayImage().isEmpty()) return 0;
  const TSaNumParts p = cell->SplitValue(cell->Text());
  QString integer = cell->Comma() ? cell->GroupThousands(p.Integer) : p.Integer;
  if (integer.isEmpty() && (cell->IntegerFixed() || cell->DecimalFixed())) integer = QStringLiteral("0");
  return int(cell->LeftMark().size() + p.Sign.size() + integer.size() + p.Point.size() +
             p.Decimals.size());
}

CellAccessible::CellAccessible(TSaNumEdit* cell) : QAccessibleWidget(cell, QAccessible::EditableText) {}

TSaNumEdit* CellAccessible::cell() const { return static_cast<TSaNumEdit*>(widget()); }

void* CellAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

// The 100-square's headers are read-only: text to read, not a field.
QAccessible::Role CellAccessible::role() const {
  return cell()->ReadOnly() ? QAccessible::StaticText : QAccessible::EditableText;
}

QAccessible::State CellAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  state.readOnly = cell()->ReadOnly();
  state.editable = !cell()->ReadOnly();
  state.selectableText = true;
  return state;
}

// A name or description given to the widget itself wins; otherwise the
// drill window's place of the cell speaks.
QString CellAccessible::text(QAccessible::Text t) const {
  switch (t) {
    case QAccessible::Name:
      if (cell()->accessibleName().isEmpty())
        if (QString name = NameOf(PlaceOf(cell())); !name.isEmpty()) return name;
      break;
    case QAccessible::Description:
      if (cell()->accessibleDescription().isEmpty())
        if (QString mark = DescriptionOf(PlaceOf(cell()), cell()); !mark.isEmpty()) return mark;
      break;
    case QAccessible::Value: return cell()->Text();
    default: break;
  }
  return QAccessibleWidget::text(t);
}

void CellAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex == 0 && selectionCount() == 1) *endOffset = characterCount();
}

int CellAccessible::selectionCount() const {
  return cell()->Selected() && !cell()->DisplayImage().isEmpty() ? 1 : 0;
}

// Any range selects the whole cell, as a drag over part of the value does.
void CellAccessible::addSelection(int startOffset, int endOffset) {
  if (startOffset != endOffset) cell()->SelectAll();
}

void CellAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex == 0) cell()->ClearSelection();
}

void CellAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex != 0) return;
  if (startOffset == endOffset)
    cell()->ClearSelection();
  else
    cell()->SelectAll();
}

int CellAccessible::cursorPosition() const { return CaretOffset(cell()); }

// The caret cannot move inside the text: it stays after what was typed.
void CellAccessible::setCursorPosition(int) {}

QString CellAccessible::text(int startOffset, int endOffset) const {
  const QString image = cell()->DisplayImage();
  startOffset = qBound(0, startOffset, int(image.size()));
  endOffset = qBound(startOffset, endOffset, int(image.size()));
  return image.mid(startOffset, endOffset - startOffset);
}

int CellAccessible::characterCount() const { return int(cell()->DisplayImage().size()); }

// Marks and value are painted as three runs (left mark, value, right mark); a
// character's box lies in its run, in screen coordinates.
QRect CellAccessible::characterRect(int offset) const {
  TSaNumEdit* c = cell();
  const QString image = c->DisplayImage();
  if (offset < 0 || offset >= image.size()) return QRect();
  const QString leftMark = c->LeftMark();
  const qsizetype shownLength = image.size() - leftMark.size() - c->RightMark().size();
  int x = 0;
  QString before;
  if (offset < leftMark.size()) {
    x = c->LeftMarkRect().x();
    before = leftMark.left(offset);
  } else if (offset < leftMark.size() + shownLength) {
    x = c->ValueRect().x();
    before = image.mid(leftMark.size(), offset - leftMark.size());
  } else {
    x = c->RightMarkRect().x();
    before = image.mid(leftMark.size() + shownLength, offset - leftMark.size() - shownLength);
  }
  const QFontMetrics metrics = c->fontMetrics();
  const int frame = c->FrameWidth();
  const QPoint topLeft(frame + x + metrics.horizontalAdvance(before), frame + c->ValueRect().y());
  return QRect(c->mapToGlobal(topLeft), QSize(metrics.horizontalAdvance(image[offset]), c->TextHeight()));
}

int CellAccessible::offsetAtPoint(const QPoint& point) const {
  for (int offset = 0; offset < characterCount(); ++offset)
    if (characterRect(offset).contains(point)) return offset;
  return -1;
}

void CellAccessible::scrollToSubstring(int, int) {}

QString CellAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = offset;
  return QString();
}

}  // namespace a11y
