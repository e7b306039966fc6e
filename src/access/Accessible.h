#pragma once
// The accessible interfaces of our own controls, as a screen reader sees
// them:
//   TSaNumEdit    editable text (static text when read-only) named after its
//                 place in the drill window, with its shown text, caret and
//                 whole-cell selection, its value text, and after grading
//                 "せいかい" or "まちがい" as its description;
//   TCuteButton   a push button named by its caption, with a press action;
//   TShadowLabel  static text, its caption;
//   TPanel        its caption (the countdown "3", "2", "1");
//   TForm1        the window, describing how the last drill closed;
//   its QListView the score list, named and labelled by its caption.

#include <QtCore/QString>

class QAccessibleInterface;
class QObject;
class QWidget;
class TSaNumEdit;

namespace a11y {

// The factory Install() registers: an interface for the classes above,
// null for any other.
QAccessibleInterface* Factory(const QString& className, QObject* object);

// Where the caret stands in a cell's shown text: after what was typed, the
// marks and the zeros of fixed decimals not counted.
int CaretOffset(TSaNumEdit* cell);

// A caption as it reads: "&&" is "&", any other "&" marks a mnemonic.
QString WithoutMnemonics(const QString& caption);

// The status line of a drill window's interface ("しゅうりょう 95てん");
// returns whether it changed.
bool SetWindowStatus(QWidget* form, const QString& status);

}  // namespace a11y
