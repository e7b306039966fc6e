#include "widgets/SaNumKeys.h"

namespace SaNum {

Qt::KeyboardModifiers ShiftState(Qt::KeyboardModifiers m) {
  return m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

QChar CharacterOf(int key, Qt::KeyboardModifiers shift, const QString& text) {
  if (shift & (Qt::AltModifier | Qt::MetaModifier)) return QChar(0);
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return QChar(13);
    case Qt::Key_Backspace: return QChar(8);
    case Qt::Key_Escape: return QChar(27);
    default: break;
  }
  if (shift & Qt::ControlModifier) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return QChar(char16_t(key - Qt::Key_A + 1));
    return QChar(0);
  }
  if (text.isEmpty()) return QChar(0);
  const QChar c = text.front();
  if (c.unicode() < 0x20 || c.unicode() == 0x7F) return QChar(0);
  return c;
}

bool IsEditingKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete: return true;
    default: return false;
  }
}

}  // namespace SaNum
