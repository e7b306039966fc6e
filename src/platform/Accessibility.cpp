#include "platform/Accessibility.h"

#include "widgets/Accessible.h"
#include "window/DrillNames.h"
#include "widgets/SaNumEdit.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtGui/QAccessible>

#include <algorithm>
#include <utility>
#include <vector>

namespace a11y {

bool detail::listening = false;

namespace {

// Follows Qt's bridge: raised when an assistive technology starts
// listening (or a test says so through QAccessible::setActive), lowered
// when it stops.
class Follower : public QAccessible::ActivationObserver {
 public:
  void accessibilityActiveChanged(bool active) override { detail::listening = active; }
};

Watcher watcher = nullptr;

void Send(QAccessibleEvent& event) {
  if (watcher)
    watcher(&event);
  else
    QAccessible::updateAccessibility(&event);
}

void Send(QObject* object, QAccessible::Event type) {
  QAccessibleEvent event(object, type);
  Send(event);
}

// A caption's change waits until the handler that made it is done, and
// an object renamed several times meanwhile is renamed once.
std::vector<QPointer<QObject>> renamed;
bool flushQueued = false;

void Flush() {
  flushQueued = false;
  const std::vector<QPointer<QObject>> objects = std::exchange(renamed, {});
  if (!detail::listening) return;
  for (const QPointer<QObject>& object : objects)
    if (object) Send(object, QAccessible::NameChanged);
}

}  // namespace

void Install() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(&Factory);
  QAccessible::installActivationObserver(new Follower);  // lives as long as the program
  detail::listening = QAccessible::isActive();
}

void SetWatcher(Watcher w) { watcher = w; }

// Typing appends and Backspace removes at the end, and a screen reader
// echoes just that character. Any other change (the program's writes, a
// paste, the clock) replaces the whole text, so the new number is read as
// a whole and never as the one digit that differs ("10" to "11").
void detail::textChanged(TSaNumEdit* cell, const QString& before, const QString& after) {
  if (before == after) return;
  const CellPlace place = PlaceOf(cell);
  if (place.kind == CellPlace::Tenths) return;
  const int caret = CaretOffset(cell);
  if (after.startsWith(before)) {
    QAccessibleTextInsertEvent event(cell, int(before.size()), after.mid(before.size()));
    event.setCursorPosition(caret);
    Send(event);
  } else if (before.startsWith(after)) {
    QAccessibleTextRemoveEvent event(cell, int(after.size()), before.mid(after.size()));
    event.setCursorPosition(caret);
    Send(event);
  } else {
    QAccessibleTextUpdateEvent event(cell, 0, before, after);
    event.setCursorPosition(caret);
    Send(event);
  }
  // At once, so a renamed cell is renamed before the focus comes to it.
  for (TSaNumEdit* answer : NamedAfter(place))
    if (answer) Send(answer, QAccessible::NameChanged);
}

void detail::selectionChanged(TSaNumEdit* cell) {
  const int caret = CaretOffset(cell);
  const int length = cell->Selected() ? int(cell->DisplayImage().size()) : 0;
  QAccessibleTextSelectionEvent event(cell, length > 0 ? 0 : caret, length > 0 ? length : caret);
  event.setCursorPosition(caret);
  Send(event);
}

void detail::nameChanged(QObject* object) {
  if (std::find(renamed.begin(), renamed.end(), object) != renamed.end()) return;
  renamed.emplace_back(object);
  if (flushQueued || !QCoreApplication::instance()) return;
  flushQueued = true;
  QMetaObject::invokeMethod(QCoreApplication::instance(), [] { Flush(); }, Qt::QueuedConnection);
}

void detail::marksChanged(std::span<TSaNumEdit* const> cells) {
  for (TSaNumEdit* cell : cells) Send(cell, QAccessible::DescriptionChanged);
}

void detail::operationChanged(QWidget* form) {
  if (auto* drill = qobject_cast<TForm1*>(form))
    for (TSaNumEdit* answer : NamedAfterOperation(drill)) Send(answer, QAccessible::NameChanged);
}

void detail::drillStarted(QWidget* form, std::span<TSaNumEdit* const> answers) {
  if (SetWindowStatus(form, QString())) Send(form, QAccessible::DescriptionChanged);
  marksChanged(answers);
}

// Qt 6.4 has no announcement event: the closing becomes the window's
// description and is raised as an alert, sent at once so that it comes
// before the "しゅうりょう" box takes the focus.
void detail::drillClosed(QWidget* form, int score) {
  SetWindowStatus(form, QStringLiteral("しゅうりょう %1てん").arg(score));
  Send(form, QAccessible::DescriptionChanged);
  Send(form, QAccessible::Alert);
}

}  // namespace a11y
