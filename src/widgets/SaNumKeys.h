#pragma once
// Which keys the numeric cell reads, without a widget: the character a key
// yields (the character rules run on it) and the keys without one that the
// cell still acts on.

#include <QtCore/QChar>
#include <QtCore/QString>
#include <QtCore/Qt>

namespace SaNum {

// The modifiers a key handler is told about.
Qt::KeyboardModifiers ShiftState(Qt::KeyboardModifiers modifiers);

// The character a key yields, or 0 for a key that yields none (arrows,
// Delete, function keys, Alt combinations): Enter 13, Backspace 8, Escape
// 27, Ctrl+letter 1 to 26, else the first character of the key's text.
QChar CharacterOf(int key, Qt::KeyboardModifiers shift, const QString& text);

// Tab and Shift+Tab belong to the window.
inline bool IsTab(int key) { return key == Qt::Key_Tab || key == Qt::Key_Backtab; }

// Keys without a character that the cell acts on.
bool IsEditingKey(int key);

}  // namespace SaNum
