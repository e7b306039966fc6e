#include "platform/ClientEdge.h"

#include "platform/Types.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QPainter>
#include <QtGui/QPalette>

namespace platform {

void DrawClientEdge(QPainter& p, int frameWidth, int w, int h) {
  if (frameWidth == 1) {
    p.setPen(QColor(Qt::black));
    p.drawRect(0, 0, w - 1, h - 1);
    return;
  }
  if (frameWidth != 2) return;
  p.setPen(ColorToQColor(clBtnShadow));
  p.drawLine(0, 0, w - 2, 0);
  p.drawLine(0, 0, 0, h - 2);
  p.setPen(ColorToQColor(clBtnHighlight));
  p.drawLine(0, h - 1, w - 1, h - 1);
  p.drawLine(w - 1, 0, w - 1, h - 1);
  p.setPen(QGuiApplication::palette().color(QPalette::Active, QPalette::Shadow));
  p.drawLine(1, 1, w - 3, 1);
  p.drawLine(1, 1, 1, h - 3);
  p.setPen(ColorToQColor(clBtnFace));
  p.drawLine(1, h - 2, w - 2, h - 2);
  p.drawLine(w - 2, 1, w - 2, h - 2);
}

}  // namespace platform
