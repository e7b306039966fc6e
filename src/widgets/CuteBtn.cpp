#include "widgets/CuteBtn.h"

#include "platform/Application.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>

TCuteButton::TCuteButton(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_Hover);  // repaint as the cursor comes and goes
  resize(75, 25);
}

void TCuteButton::SetCaption(const QString& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  update();
}

void TCuteButton::SetColor(TColor color) {
  if (color_ == color) return;
  color_ = color;
  update();
}

void TCuteButton::SetFontColor(TColor color) {
  if (fontColor_ == color) return;
  fontColor_ = color;
  update();
}

void TCuteButton::SetBevelWidth(int width) {
  bevelWidth_ = qMax(1, width);
  update();
}

void TCuteButton::SetFlat(bool flat) {
  if (flat_ == flat) return;
  flat_ = flat;
  update();
}

void TCuteButton::SetShowFocusRect(bool show) {
  showFocusRect_ = show;
  update();
}

void TCuteButton::SetUseDisabledColor(bool use) {
  useDisabledColor_ = use;
  update();
}

void TCuteButton::SetEgnoreContClick(bool ignore) { egnoreContClick_ = ignore; }

void TCuteButton::Click() {
  if (!OnClick) return;
  if (!egnoreContClick_) {
    platform::Guarded([&] { OnClick(this); });
    return;
  }
  // Detached while it runs, so clicks that pile up meanwhile are dropped.
  TNotifyEvent handler = std::move(OnClick);
  OnClick = nullptr;
  platform::Guarded([&] { handler(this); });
  if (!OnClick) OnClick = std::move(handler);
}

void TCuteButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect r = rect();
  QColor face = ColorToQColor(color_);
  if (!isEnabled() && useDisabledColor_) face = ColorToQColor(clGray);
  p.fillRect(r, face);

  const QColor light = ColorToQColor(clBtnHighlight);
  const QColor dark = ColorToQColor(clBtnShadow);
  const bool sunken = pressed_;
  const bool raised = !sunken && (hasFocus() || underMouse());
  auto bevel = [&](QRect box, const QColor& topLeft, const QColor& bottomRight) {
    for (int i = 0; i < bevelWidth_; ++i) {
      p.setPen(topLeft);
      p.drawLine(box.left(), box.top(), box.right(), box.top());
      p.drawLine(box.left(), box.top(), box.left(), box.bottom());
      p.setPen(bottomRight);
      p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
      p.drawLine(box.right(), box.top(), box.right(), box.bottom());
      box.adjust(1, 1, -1, -1);
    }
    return box;
  };
  QRect inner = r;
  if (sunken) inner = bevel(inner, dark, light);
  else if (raised) inner = bevel(inner, light, dark);
  else inner.adjust(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
  if (!flat_) inner = bevel(inner, light, dark);

  QRect textBox = r;
  if (sunken) textBox.translate(1, 1);
  p.setFont(font());
  if (isEnabled()) {
    p.setPen(ColorToQColor(fontColor_));
    p.drawText(textBox, Qt::AlignCenter | Qt::TextSingleLine, caption_);
  } else {
    p.setPen(light);
    p.drawText(textBox.translated(1, 1), Qt::AlignCenter | Qt::TextSingleLine, caption_);
    p.setPen(dark);
    p.drawText(textBox, Qt::AlignCenter | Qt::TextSingleLine, caption_);
  }
  if (showFocusRect_ && hasFocus()) {
    p.setPen(QPen(ColorToQColor(clWindowText), 1, Qt::DotLine));
    p.drawRect(inner.adjusted(1, 1, -2, -2));
  }
}

void TCuteButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressed_ = true;
  update();
}

void TCuteButton::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
  pressed_ = false;
  update();
  if (rect().contains(event->position().toPoint())) Click();
}

void TCuteButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    spaceDown_ = true;
    pressed_ = true;
    update();
    return;
  }
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
    Click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TCuteButton::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && spaceDown_) {
    spaceDown_ = false;
    pressed_ = false;
    update();
    Click();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void TCuteButton::focusOutEvent(QFocusEvent* event) {
  spaceDown_ = false;
  pressed_ = false;
  update();
  QWidget::focusOutEvent(event);
}

void TCuteButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
  QWidget::changeEvent(event);
}
