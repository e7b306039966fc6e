#include "platform/Types.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPalette>

QColor ColorToQColor(TColor color) {
  if ((color & clSystemColor) == 0)
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));

  const QPalette palette = QGuiApplication::palette();
  switch (color) {
    case clWindow: return palette.color(QPalette::Active, QPalette::Base);
    case clWindowText: return palette.color(QPalette::Active, QPalette::Text);
    case clBtnFace: return palette.color(QPalette::Active, QPalette::Button);
    case clBtnShadow: return palette.color(QPalette::Active, QPalette::Dark);
    case clBtnHighlight: return palette.color(QPalette::Active, QPalette::Light);
    case clHighlight: return palette.color(QPalette::Active, QPalette::Highlight);
    case clHighlightText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case clGrayText: return palette.color(QPalette::Disabled, QPalette::Text);
    default: return palette.color(QPalette::Active, QPalette::Text);
  }
}
