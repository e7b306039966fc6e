#pragma once
// The numeric cell as a screen reader sees and hears it (see Accessible.h):
// its interface, the events of its text and selection, and the voice a
// window may give the cells it holds.

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtWidgets/QAccessibleWidget>

class TSaNumEdit;

namespace a11y {

// What a window says of the cells it holds. The cell knows nothing of where
// it stands; the window that places it installs a voice that names it
// there ("4 たす 7"). A name or description given to the widget itself
// still wins.
class CellVoice {
 public:
  virtual ~CellVoice() = default;
  // The cell's name and description in its place; empty when the voice has
  // nothing to say of it.
  virtual QString Name(const TSaNumEdit* cell) const = 0;
  virtual QString Description(const TSaNumEdit* cell) const = 0;
  // A cell whose changes are not reported (a field that changes too often
  // to be spoken).
  virtual bool Quiet(const TSaNumEdit* cell) const = 0;
  // The cells whose names hold this cell's text, renamed when it changes.
  virtual QList<TSaNumEdit*> NamedAfter(const TSaNumEdit* cell) const = 0;
};

// The voice every cell asks (null: none); it must outlive the cells.
void SetCellVoice(const CellVoice* voice);

// Where the caret stands in a cell's shown text: after what was typed, the
// marks and the zeros of fixed decimals not counted.
int CaretOffset(TSaNumEdit* cell);

// A cell's shown text went from `before` to `after`: reported as inserted,
// removed or replaced characters with the caret after them. A change of a
// cell others are named after renames them too.
void TextChanged(TSaNumEdit* cell, const QString& before, const QString& after);

// A cell was selected as a whole or lost its selection.
void SelectionChanged(TSaNumEdit* cell);

class CellAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit CellAccessible(TSaNumEdit* cell);

  void* interface_cast(QAccessible::InterfaceType type) override;
  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  QString text(QAccessible::Text t) const override;

  // The text interface, over the shown text.
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 private:
  TSaNumEdit* cell() const;
};

}  // namespace a11y
