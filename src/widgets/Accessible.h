#pragma once
// The accessible interfaces of our own widgets, as a screen reader sees
// them:
//   TSaNumEdit    editable text (static text when read-only), with its shown
//                 text, caret and whole-cell selection and its value text;
//                 the window that holds it may name and describe it
//                 (SaNumEditAccessible.h);
//   TCuteButton   a push button named by its caption, with a press action;
//   TShadowLabel  static text, its caption;
//   TPanel        its caption (the countdown "3", "2", "1"), or a pane
//                 around the controls it holds.

#include <QtCore/QString>

class QAccessibleInterface;
class QObject;

namespace a11y {

// Registers the factory of the interfaces above with Qt, once; every widget
// of ours calls it when it is made.
void InstallWidgetFactory();

// An interface for the classes above, null for any other.
QAccessibleInterface* WidgetFactory(const QString& className, QObject* object);

// A caption as it reads: "&&" is "&", any other "&" marks a mnemonic.
QString WithoutMnemonics(const QString& caption);

}  // namespace a11y
