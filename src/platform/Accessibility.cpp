#include "platform/Accessibility.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>

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

// A caption's change waits until the handler that made it is done, and
// an object renamed several times meanwhile is renamed once.
std::vector<QPointer<QObject>> renamed;
bool flushQueued = false;

void Flush() {
  flushQueued = false;
  const std::vector<QPointer<QObject>> objects = std::exchange(renamed, {});
  if (!detail::listening) return;
  for (const QPointer<QObject>& object : objects)
    if (object) UpdateAccessibility(object, QAccessible::NameChanged);
}

}  // namespace

void Install() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installActivationObserver(new Follower);  // lives as long as the program
  detail::listening = QAccessible::isActive();
}

void SetWatcher(Watcher w) { watcher = w; }

void UpdateAccessibility(QAccessibleEvent* event) {
  if (watcher)
    watcher(event);
  else
    QAccessible::updateAccessibility(event);
}

void detail::nameChanged(QObject* object) {
  if (std::find(renamed.begin(), renamed.end(), object) != renamed.end()) return;
  renamed.emplace_back(object);
  if (flushQueued || !QCoreApplication::instance()) return;
  flushQueued = true;
  QMetaObject::invokeMethod(QCoreApplication::instance(), [] { Flush(); }, Qt::QueuedConnection);
}

}  // namespace a11y
