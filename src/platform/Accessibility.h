#pragma once
// What our own widgets and the drill window tell a screen reader.
//
// Every call returns at once unless something listens on the accessibility
// bus, so a keystroke or a stopwatch tick pays one test of a flag when no
// assistive technology runs. The flag follows Qt's activation of its bridge
// (QAccessible::setActive); Install() must have run for it to be raised.

#include <span>

class QAccessibleEvent;
class QObject;
class QString;
class QWidget;
class TSaNumEdit;

namespace a11y {

namespace detail {
extern bool listening;
void textChanged(TSaNumEdit* cell, const QString& before, const QString& after);
void selectionChanged(TSaNumEdit* cell);
void nameChanged(QObject* object);
void marksChanged(std::span<TSaNumEdit* const> cells);
void operationChanged(QWidget* form);
void drillStarted(QWidget* form, std::span<TSaNumEdit* const> answers);
void drillClosed(QWidget* form, int score);
}  // namespace detail

// Registers our accessible interfaces and starts following the bridge's
// activation. Call once, after the application object exists.
void Install();

// Hands the events we send to `watcher` instead of Qt's bridge (null: back
// to the bridge). Tests and benchmarks watch here, since Qt drops every
// event, before its own update handler, unless a platform bridge is active,
// and the offscreen platform has none. Who listens is still told by
// QAccessible::setActive.
using Watcher = void (*)(QAccessibleEvent* event);
void SetWatcher(Watcher watcher);

// A cell's shown text went from `before` to `after`: reported as inserted,
// removed or replaced characters with the caret after them. The tenths of
// the stopwatch are not reported (ten a second would drown speech); the
// seconds and minutes are. A header cell's change renames the answer cells
// it heads.
inline void TextChanged(TSaNumEdit* cell, const QString& before, const QString& after) {
  if (detail::listening) detail::textChanged(cell, before, after);
}

// A cell was selected as a whole or lost its selection.
inline void SelectionChanged(TSaNumEdit* cell) {
  if (detail::listening) detail::selectionChanged(cell);
}

// The accessible name of a widget changed (a caption). Reported once the
// handler that changed it is done, so a caption that only flickers within
// one handler (the countdown's "0") is never spoken, and several changes of
// one name are one event.
inline void NameChanged(QObject* object) {
  if (detail::listening) detail::nameChanged(object);
}

// Grading marked these answer cells right or wrong, or a start took the
// marks away: their descriptions changed.
inline void MarksChanged(std::span<TSaNumEdit* const> cells) {
  if (detail::listening) detail::marksChanged(cells);
}

// Another operation was chosen: every answer cell of the window is named
// after it.
inline void OperationChanged(QWidget* form) {
  if (detail::listening) detail::operationChanged(form);
}

// A drill starts on these answer cells: the last closing's announcement is
// withdrawn and their marks are gone.
inline void DrillStarted(QWidget* form, std::span<TSaNumEdit* const> answers) {
  if (detail::listening) detail::drillStarted(form, answers);
}

// A drill closed with this score: "しゅうりょう" and the score become the
// window's description, announced as an alert.
inline void DrillClosed(QWidget* form, int score) {
  if (detail::listening) detail::drillClosed(form, score);
}

}  // namespace a11y
