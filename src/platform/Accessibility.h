#pragma once
// How our own widgets and windows reach a screen reader: Qt's way,
// QAccessible::isActive() and then QAccessible::updateAccessibility(), with
// two small additions.
//
// IsActive() is QAccessible::isActive() followed through Qt's activation
// observer, so a keystroke or a stopwatch tick pays one test of a flag when
// no assistive technology runs; Install() must have run for it to be raised.
// UpdateAccessibility() hands the event to the watcher a test installed, or
// else to Qt.

#include <QtGui/QAccessible>

class QObject;

namespace a11y {

namespace detail {
extern bool listening;
void nameChanged(QObject* object);
}  // namespace detail

// Starts following the bridge's activation. Call once, after the
// application object exists. Each widget registers its own accessible
// interface when the first one is made.
void Install();

inline bool IsActive() { return detail::listening; }

// Hands the events we send to `watcher` instead of Qt's bridge (null: back
// to the bridge). Tests and benchmarks watch here, since Qt drops every
// event, before its own update handler, unless a platform bridge is active,
// and the offscreen platform has none. Who listens is still told by
// QAccessible::setActive.
using Watcher = void (*)(QAccessibleEvent* event);
void SetWatcher(Watcher watcher);

// QAccessible::updateAccessibility, or the watcher.
void UpdateAccessibility(QAccessibleEvent* event);

inline void UpdateAccessibility(QObject* object, QAccessible::Event type) {
  QAccessibleEvent event(object, type);
  UpdateAccessibility(&event);
}

// The accessible name of a widget changed (a caption). Reported once the
// handler that changed it is done, so a caption that only flickers within
// one handler (the countdown's "0") is never spoken, and several changes of
// one name are one event.
inline void NameChanged(QObject* object) {
  if (IsActive()) detail::nameChanged(object);
}

}  // namespace a11y
