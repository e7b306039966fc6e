#include "window/ListAccessible.h"

#include <QtCore/QHash>
#include <QtCore/QPointer>
#include <QtWidgets/QAccessibleWidget>
#include <QtWidgets/QListView>

namespace a11y {
namespace {

// One line of the list. Its text and state are read from the view when
// asked, so a reloaded list needs no new items: a line past the end of the
// model is no longer valid.
class LineAccessible : public QAccessibleInterface {
 public:
  LineAccessible(QListView* list, int row) : list_(list), row_(row) {}

  bool isValid() const override { return list_ && list_->model() && row_ < list_->model()->rowCount(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(list_); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  void setText(QAccessible::Text, const QString&) override {}
  QAccessible::Role role() const override { return QAccessible::ListItem; }

  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name && isValid() ? index().data().toString() : QString();
  }

  QRect rect() const override {
    if (!isValid()) return {};
    const QRect line = list_->visualRect(index());
    return QRect(list_->viewport()->mapToGlobal(line.topLeft()), line.size());
  }

  QAccessible::State state() const override {
    QAccessible::State st;
    if (!isValid()) {
      st.invalid = true;
      return st;
    }
    st.selectable = st.focusable = true;
    st.selected = list_->selectionModel() && list_->selectionModel()->isSelected(index());
    st.focused = list_->hasFocus() && list_->currentIndex() == index();
    st.invisible = !list_->isVisible() || !list_->viewport()->rect().intersects(list_->visualRect(index()));
    return st;
  }

  int row() const { return row_; }

 private:
  QModelIndex index() const { return list_->model()->index(row_, 0, list_->rootIndex()); }

  QPointer<QListView> list_;
  int row_;
};

class ListAccessible : public QAccessibleWidget {
 public:
  // The name and the label relation are QAccessibleWidget's own, read
  // from the buddy label when asked, so they follow its caption.
  explicit ListAccessible(QListView* list) : QAccessibleWidget(list, QAccessible::List) {}

  ~ListAccessible() override {
    for (QAccessible::Id id : std::as_const(lines_)) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return list()->model() ? list()->model()->rowCount(list()->rootIndex()) : 0; }

  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    if (const QAccessible::Id id = lines_.value(index))
      if (QAccessibleInterface* line = QAccessible::accessibleInterface(id)) return line;
    auto* line = new LineAccessible(list(), index);
    lines_.insert(index, QAccessible::registerAccessibleInterface(line));
    return line;
  }

  int indexOfChild(const QAccessibleInterface* child) const override {
    const auto* line = dynamic_cast<const LineAccessible*>(child);
    return line && line->parent() == this && line->isValid() ? line->row() : -1;
  }

  QAccessibleInterface* childAt(int x, int y) const override {
    const QModelIndex at = list()->indexAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
    return at.isValid() ? child(at.row()) : nullptr;
  }

  QAccessibleInterface* focusChild() const override {
    return list()->hasFocus() && list()->currentIndex().isValid() ? child(list()->currentIndex().row()) : nullptr;
  }

 private:
  QListView* list() const { return static_cast<QListView*>(widget()); }

  mutable QHash<int, QAccessible::Id> lines_;  // by row
};

}  // namespace

QAccessibleInterface* NewListAccessible(QListView* list) { return new ListAccessible(list); }

}  // namespace a11y
