#include "widgets/Panel.h"

#include "platform/Accessibility.h"
#include "widgets/Accessible.h"

#include <QtGui/QPainter>

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
  a11y::InstallWidgetFactory();
  // Opaque: a panel hides whatever lies beneath it, the 100-square under
  // the 25-square panel included.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPanel::SetCaption(const QString& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  update();
  a11y::NameChanged(this);
}

void TPanel::SetColor(TColor color) {
  if (color_ == color) return;
  color_ = color;
  update();
}

void TPanel::SetFontColor(TColor color) {
  if (fontColor_ == color) return;
  fontColor_ = color;
  update();
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
  if (bevelOuter_ == bevel) return;
  bevelOuter_ = bevel;
  update();
}

void TPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  p.fillRect(r, ColorToQColor(color_));
  if (bevelOuter_ != bvNone) {
    const QColor light = ColorToQColor(clBtnHighlight);
    const QColor dark = ColorToQColor(clBtnShadow);
    const bool raised = bevelOuter_ == bvRaised;
    p.setPen(raised ? light : dark);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(raised ? dark : light);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  }
  if (!caption_.isEmpty()) {
    p.setFont(font());
    p.setPen(ColorToQColor(fontColor_));
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption_);
  }
}
