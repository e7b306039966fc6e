#include "widgets/ShadoLbl.h"

#include <QtCore/QEvent>
#include <QtGui/QPainter>

void TShadow::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  changed();
}

void TShadow::SetColor(TColor color) {
  if (color_ == color) return;
  color_ = color;
  changed();
}

void TShadow::SetOffsetLeft(int offset) {
  if (offsetLeft_ == offset) return;
  offsetLeft_ = offset;
  changed();
}

void TShadow::SetOffsetTop(int offset) {
  if (offsetTop_ == offset) return;
  offsetTop_ = offset;
  changed();
}

void TShadow::Assign(const TShadow& source) {
  visible_ = source.visible_;
  color_ = source.color_;
  offsetLeft_ = source.offsetLeft_;
  offsetTop_ = source.offsetTop_;
  changed();
}

void TShadow::changed() {
  if (OnChange) OnChange(this);
}

TShadowLabel::TShadowLabel(QWidget* parent)
    : QWidget(parent), highlight_(new TShadow(this)), shadow_(new TShadow(this)) {
  // A window-less label: it takes no input and lets its parent show through.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  highlight_->SetColor(clWhite);
  highlight_->SetOffsetLeft(-1);
  highlight_->SetOffsetTop(-1);
  highlight_->OnChange = [this](QObject*) { update(); };
  shadow_->OnChange = [this](QObject*) { update(); };
}

void TShadowLabel::SetCaption(const QString& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  update();
}

void TShadowLabel::SetFontColor(TColor color) {
  if (fontColor_ == color) return;
  fontColor_ = color;
  update();
}

void TShadowLabel::SetTransparent(bool transparent) {
  if (transparent_ == transparent) return;
  transparent_ = transparent;
  update();
}

void TShadowLabel::SetColor(TColor color) {
  if (color_ == color) return;
  color_ = color;
  update();
}

void TShadowLabel::SetEllipsis(TEllipsis ellipsis) {
  if (ellipsis_ == ellipsis) return;
  ellipsis_ = ellipsis;
  update();
}

void TShadowLabel::SetGradation(bool gradation) {
  if (gradation_ == gradation) return;
  gradation_ = gradation;
  update();
}

void TShadowLabel::SetGradateVert(bool vertical) {
  if (gradateVert_ == vertical) return;
  gradateVert_ = vertical;
  update();
}

void TShadowLabel::SetTextGradation(TTextGradation gradation) {
  if (textGradation_ == gradation) return;
  textGradation_ = gradation;
  update();
}

void TShadowLabel::SetHighlight(const TShadow* source) {
  if (source) highlight_->Assign(*source);
}

void TShadowLabel::SetShadow(const TShadow* source) {
  if (source) shadow_->Assign(*source);
}

void TShadowLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!transparent_) p.fillRect(rect(), ColorToQColor(color_));
  p.setFont(font());
  const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
  QString text = caption_;
  if (ellipsis_ != elNone)
    text = fontMetrics().elidedText(text, ellipsis_ == elEnd ? Qt::ElideRight : Qt::ElideMiddle, width());
  for (const TShadow* copy : {shadow_, highlight_}) {
    if (!copy->Visible()) continue;
    p.setPen(ColorToQColor(copy->Color()));
    p.drawText(rect().translated(copy->OffsetLeft(), copy->OffsetTop()), flags, text);
  }
  p.setPen(ColorToQColor(isEnabled() ? fontColor_ : clGrayText));
  p.drawText(rect(), flags, text);
}

void TShadowLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange) update();
  QWidget::changeEvent(event);
}
