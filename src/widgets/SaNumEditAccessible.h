#pragma once
// The accessible interface of the numeric cell (see Accessible.h).

#include <QtWidgets/QAccessibleWidget>

class TSaNumEdit;

namespace a11y {

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
