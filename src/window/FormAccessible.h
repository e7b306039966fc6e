#pragma once
// The drill window as a screen reader sees and hears it: the window,
// describing how the last drill closed; its score list, named and labelled
// by its caption (ListAccessible.h); and the voice that names its cells
// after their place in it (DrillNames.h).

#include "platform/Accessibility.h"

#include <span>

class QString;
class QWidget;
class TSaNumEdit;

namespace a11y {

namespace detail {
void marksChanged(std::span<TSaNumEdit* const> cells);
void operationChanged(QWidget* form);
void drillStarted(QWidget* form, std::span<TSaNumEdit* const> answers);
void drillClosed(QWidget* form, int score);
}  // namespace detail

// Registers the window's interface and its cells' voice with Qt, once;
// every drill window calls it when it is made.
void InstallDrillWindow();

// The status line of a drill window's interface ("しゅうりょう 95てん");
// returns whether it changed.
bool SetWindowStatus(QWidget* form, const QString& status);

// Grading marked these answer cells right or wrong, or a start took the
// marks away: their descriptions changed.
inline void MarksChanged(std::span<TSaNumEdit* const> cells) {
  if (IsActive()) detail::marksChanged(cells);
}

// Another operation was chosen: every answer cell of the window is named
// after it.
inline void OperationChanged(QWidget* form) {
  if (IsActive()) detail::operationChanged(form);
}

// A drill starts on these answer cells: the last closing's announcement is
// withdrawn and their marks are gone.
inline void DrillStarted(QWidget* form, std::span<TSaNumEdit* const> answers) {
  if (IsActive()) detail::drillStarted(form, answers);
}

// A drill closed with this score: "しゅうりょう" and the score become the
// window's description, announced as an alert.
inline void DrillClosed(QWidget* form, int score) {
  if (IsActive()) detail::drillClosed(form, score);
}

}  // namespace a11y
