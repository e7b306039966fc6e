// The numeric cell as a screen reader sees it. Its text is the shown text
// (marks, thousands commas and fixed decimals included, as painted); the
// caret stands after what was typed, since the cell edits only at the end;
// the selection is the whole cell or nothing, as the cell's own is.

#include "widgets/SaNumEditAccessible.h"

#include "platform/Accessibility.h"
#include "widgets/SaNumEdit.h"

#include <QtGui/QFontMetrics>

namespace a11y {

namespace {

const CellVoice* voice = nullptr;

}  // namespace

void SetCellVoice(const CellVoice* v) { voice = v; }

int CaretOffset(TSaNumEdit* cell) { return SaNum::CaretOffset(cell->ValueFormat(), cell->Text()); }

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
// voice of the window that holds the cell speaks.
QString CellAccessible::text(QAccessible::Text t) const {
  switch (t) {
    case QAccessible::Name:
      if (voice && cell()->accessibleName().isEmpty())
        if (QString name = voice->Name(cell()); !name.isEmpty()) return name;
      break;
    case QAccessible::Description:
      if (voice && cell()->accessibleDescription().isEmpty())
        if (QString mark = voice->Description(cell()); !mark.isEmpty()) return mark;
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

// Typing appends and Backspace removes at the end, and a screen reader
// echoes just that character. Any other change (the program's writes, a
// paste, the clock) replaces the whole text, so the new number is read as
// a whole and never as the one digit that differs ("10" to "11").
void TextChanged(TSaNumEdit* cell, const QString& before, const QString& after) {
  if (before == after) return;
  if (voice && voice->Quiet(cell)) return;
  const int caret = CaretOffset(cell);
  if (after.startsWith(before)) {
    QAccessibleTextInsertEvent event(cell, int(before.size()), after.mid(before.size()));
    event.setCursorPosition(caret);
    UpdateAccessibility(&event);
  } else if (before.startsWith(after)) {
    QAccessibleTextRemoveEvent event(cell, int(after.size()), before.mid(after.size()));
    event.setCursorPosition(caret);
    UpdateAccessibility(&event);
  } else {
    QAccessibleTextUpdateEvent event(cell, 0, before, after);
    event.setCursorPosition(caret);
    UpdateAccessibility(&event);
  }
  // At once, so a renamed cell is renamed before the focus comes to it.
  if (voice)
    for (TSaNumEdit* named : voice->NamedAfter(cell))
      if (named) UpdateAccessibility(named, QAccessible::NameChanged);
}

void SelectionChanged(TSaNumEdit* cell) {
  const int caret = CaretOffset(cell);
  const int length = cell->Selected() ? int(cell->DisplayImage().size()) : 0;
  QAccessibleTextSelectionEvent event(cell, length > 0 ? 0 : caret, length > 0 ? length : caret);
  event.setCursorPosition(caret);
  UpdateAccessibility(&event);
}

}  // namespace a11y
