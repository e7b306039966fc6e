#include "widgets/ShadoLbl.h"

#include "platform/Accessibility.h"
#include "platform/Application.h"
#include "widgets/Accessible.h"
#include "widgets/ShadoLblText.h"
#include "widgets/Store.h"

#include <QtCore/QEvent>
#include <QtGui/QImage>
#include <QtGui/QKeySequence>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>

using namespace ShadoLbl;

// ---------------------------------------------------------------------------
// TShadow

template <class T>
void TShadow::store(T& field, T value) {
  if (field == value) return;
  field = value;
  changed();
}

void TShadow::SetVisible(bool visible) { store(visible_, visible); }
void TShadow::SetColor(TColor color) { store(color_, color); }
void TShadow::SetOffsetLeft(int offset) { store(offsetLeft_, offset); }
void TShadow::SetOffsetTop(int offset) { store(offsetTop_, offset); }

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

// ---------------------------------------------------------------------------
// Construction and the setters' reactions

TShadowLabel::TShadowLabel(QWidget* parent)
    : QWidget(parent), highlight_(new TShadow(this)), shadow_(new TShadow(this)) {
  a11y::InstallWidgetFactory();
  setMouseTracking(true);  // OnMouseMove also without a button held
  setAttribute(Qt::WA_OpaquePaintEvent, !transparent_);
  highlight_->SetColor(clWhite);
  highlight_->SetOffsetLeft(-1);
  highlight_->SetOffsetTop(-1);
  highlight_->OnChange = [this](QObject*) { repaint(); };
  shadow_->OnChange = [this](QObject*) { repaint(); };
}

void TShadowLabel::repaint() { update(); }

// For colours that show only in some modes of grading.
void TShadowLabel::repaintWhile(bool shown) {
  if (shown) repaint();
}

// For what changes the caption's measured size.
void TShadowLabel::remeasure() {
  adjustBounds();
  repaint();
}

using widgets::store;

void TShadowLabel::SetAlignment(TAlignment value) {
  if (store(alignment_, value)) repaint();
}

// Switching it on fits the label at once; a new size repaints by itself.
void TShadowLabel::SetAutoSize(bool value) {
  if (store(autoSize_, value)) adjustBounds();
}

void TShadowLabel::SetCaption(const QString& value) {
  if (!store(caption_, value)) return;
  regrabAccelerator();
  a11y::NameChanged(this);
  remeasure();
}

TColor TShadowLabel::Color() const {
  const QWidget* parent = parentWidget();
  if (!parentColor_ || !parent) return color_;
  // Our own controls publish their colour; any other parent shows its
  // palette's background.
  const QVariant own = parent->property("Color");
  if (own.isValid() && own.canConvert<uint>()) return own.toUInt();
  const QColor c = parent->palette().color(parent->backgroundRole());
  return RGBColor(c.red(), c.green(), c.blue());
}

// The colour it already shows, the parent's included, changes nothing.
void TShadowLabel::SetColor(TColor value) {
  if (value == Color()) return;
  color_ = value;
  parentColor_ = false;
  repaint();
}

void TShadowLabel::SetEllipsis(TEllipsis value) {
  if (store(ellipsis_, value)) repaint();
}

// Takes effect at the next paint that happens for another reason.
void TShadowLabel::SetFlickerless(bool value) { flickerless_ = value; }

void TShadowLabel::SetFocusControl(QWidget* control) {
  focusControl_ = control;
  regrabAccelerator();
}

void TShadowLabel::SetFontColor(TColor value) {
  if (store(fontColor_, value)) repaint();
}

void TShadowLabel::SetGradateVert(bool value) {
  if (store(gradateVert_, value)) repaint();
}

void TShadowLabel::SetGradation(bool value) {
  if (store(gradation_, value)) repaint();
}

void TShadowLabel::SetGradationColor(TColor value) {
  if (store(gradationColor_, value)) repaint();
}

void TShadowLabel::SetHighlight(const TShadow* source) {
  if (source) highlight_->Assign(*source);
}

void TShadowLabel::SetLayout(TTextLayout value) {
  if (store(layout_, value)) repaint();
}

void TShadowLabel::SetParentColor(bool value) {
  if (store(parentColor_, value)) repaint();
}

void TShadowLabel::SetShadow(const TShadow* source) {
  if (source) shadow_->Assign(*source);
}

void TShadowLabel::SetShowAccelChar(bool value) {
  if (!store(showAccelChar_, value)) return;
  regrabAccelerator();
  remeasure();
}

void TShadowLabel::SetTextGradation(TTextGradation value) {
  if (store(textGradation_, value)) repaint();
}

void TShadowLabel::SetTextGradationColor(TColor value) {
  if (store(textGradationColor_, value)) repaintWhile(textGradation_ != tgNone);
}

void TShadowLabel::SetTextMidColor(TColor value) {
  if (store(textMidColor_, value)) repaintWhile(textGradation_ == tg3Colors);
}

void TShadowLabel::SetTransparent(bool value) {
  if (!store(transparent_, value)) return;
  // An opaque label covers its whole box, so what lies beneath need not be
  // painted first.
  setAttribute(Qt::WA_OpaquePaintEvent, !value);
  repaint();
}

void TShadowLabel::SetWordWrap(bool value) {
  if (store(wordWrap_, value)) remeasure();
}

// While AutoSize, the label takes the size of its caption's text block
// (the copies' offsets not added); a right-aligned label keeps its right
// edge.
void TShadowLabel::adjustBounds() {
  if (!autoSize_) return;
  const TextFlags flags = LabelTextFlags(taLeftJustify, wordWrap_, showAccelChar_, elNone);
  const TextBlock block =
      LayOutText(PaintedCaption(caption_, showAccelChar_), flags, width(), fontMetrics());
  int left = x();
  if (alignment_ == taRightJustify) left += width() - block.width;
  setGeometry(left, y(), block.width, block.height);
}

void TShadowLabel::regrabAccelerator() {
  if (acceleratorId_ != 0) releaseShortcut(acceleratorId_);
  acceleratorId_ = 0;
  if (!focusControl_ || !showAccelChar_) return;
  const QKeySequence key = QKeySequence::mnemonic(caption_);
  if (!key.isEmpty()) acceleratorId_ = grabShortcut(key);
}

// ---------------------------------------------------------------------------
// Events

bool TShadowLabel::event(QEvent* event) {
  if (event->type() == QEvent::Shortcut) {
    if (focusControl_ && focusControl_->isEnabled() && focusControl_->isVisible())
      focusControl_->setFocus(Qt::ShortcutFocusReason);
    return true;
  }
  return QWidget::event(event);
}

void TShadowLabel::changeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::FontChange: remeasure(); break;
    case QEvent::EnabledChange:
    case QEvent::PaletteChange: repaint(); break;
    default: break;
  }
  QWidget::changeEvent(event);
}

void TShadowLabel::mouse(const TMouseEvent& handler, QMouseEvent* event) {
  if (!handler) return;
  const QPoint at = event->position().toPoint();
  platform::Guarded([&] { handler(this, event->button(), event->modifiers(), at.x(), at.y()); });
}

void TShadowLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) leftDown_ = true;
  mouse(OnMouseDown, event);
}

// A click is a left press and release over the label; it comes before
// OnMouseUp.
void TShadowLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && leftDown_) {
    leftDown_ = false;
    if (rect().contains(event->position().toPoint()) && OnClick)
      platform::Guarded([&] { OnClick(this); });
  }
  mouse(OnMouseUp, event);
}

void TShadowLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && OnDblClick) platform::Guarded([&] { OnDblClick(this); });
  mousePressEvent(event);
}

void TShadowLabel::mouseMoveEvent(QMouseEvent* event) {
  if (!OnMouseMove) return;
  const QPoint at = event->position().toPoint();
  platform::Guarded([&] { OnMouseMove(this, event->modifiers(), at.x(), at.y()); });
}

// ---------------------------------------------------------------------------
// Painting

void TShadowLabel::paintEvent(QPaintEvent*) {
  // An opaque label may compose its picture off-screen and show it in one
  // copy; a transparent one paints straight over its parent.
  const bool offscreen = flickerless_ && !transparent_;
  QImage surface;
  QPainter painter;
  if (offscreen) {
    // Device pixels and the screen's resolution, so that the picture is as
    // sharp and its text as big as if painted straight on.
    const qreal ratio = devicePixelRatioF();
    surface = QImage(size() * ratio, QImage::Format_RGB32);
    if (surface.isNull()) return;
    surface.setDevicePixelRatio(ratio);
    surface.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    surface.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    painter.begin(&surface);
  } else {
    painter.begin(this);
  }
  if (!transparent_) paintBackground(painter, offscreen ? &surface : nullptr);
  paintText(painter);
  if (offscreen) {
    painter.end();
    QPainter(this).drawImage(0, 0, surface);
  }
}

void TShadowLabel::paintBackground(QPainter& painter, QImage* surface) {
  if (!gradation_) {
    painter.fillRect(rect(), ColorToQColor(Color()));
    return;
  }
  const Rgb from = SplitColor(gradationColor_), to = SplitColor(Color());
  if (surface)
    FillGradientBitmap(*surface, from, to, gradateVert_);
  else
    PaintGradientRect(painter, rect(), from, gradateVert_, to);
}

void TShadowLabel::paintText(QPainter& painter) {
  const QString text = PaintedCaption(caption_, showAccelChar_);
  const TextFlags flags = LabelTextFlags(alignment_, wordWrap_, showAccelChar_, ellipsis_);
  painter.setFont(font());
  const QFontMetrics metrics = painter.fontMetrics();
  const TextBlock block = LayOutText(text, flags, width(), metrics);
  const QRect box = rect().translated(0, LayoutShift(layout_, height(), block.height));

  const bool enabled = isEnabled();
  const QColor shadowColour = ColorToQColor(enabled ? shadow_->Color() : clGray);
  const QColor highlightColour = ColorToQColor(enabled ? highlight_->Color() : clBtnHighlight);
  const QColor textColour = ColorToQColor(enabled ? fontColor_ : clBtnShadow);

  if (shadow_->Visible())
    DrawTextBlock(painter, block, box.translated(shadow_->OffsetLeft(), shadow_->OffsetTop()),
                  shadowColour, metrics);
  if (highlight_->Visible())
    DrawTextBlock(painter, block,
                  box.translated(highlight_->OffsetLeft(), highlight_->OffsetTop()),
                  highlightColour, metrics);
  if (textGradation_ != tgNone && CharacterCount(text) > 1)
    paintGraded(painter, text, flags, box);
  else
    DrawTextBlock(painter, block, box, textColour, metrics);
}

// The caption with its characters graded from the font colour (also while
// disabled) to the end colour, through the middle colour with three colours.
// Each character is drawn in a box of its own width from the box's left
// edge on, so a graded caption starts at the left whatever the alignment;
// only a piece of one character is placed by the alignment, in the rest of
// the box.
void TShadowLabel::paintGraded(QPainter& painter, const QString& text, const TextFlags& flags,
                               const QRect& box) {
  const QFontMetrics metrics = painter.fontMetrics();
  int left = box.left();
  const auto draw = [&](QStringView piece, TColor startColor, TColor endColor) {
    const Rgb start = SplitColor(startColor), end = SplitColor(endColor);
    const std::vector<QStringView> chars = Characters(piece);
    if (chars.size() == 1) {
      const QRect rest(left, box.top(), width() - left, box.height());
      const QString one = piece.toString();
      if (rest.width() > 0)
        DrawTextBlock(painter, LayOutText(one, flags, rest.width(), metrics), rest,
                      QColor(start.red, start.green, start.blue), metrics);
      left += metrics.horizontalAdvance(one);
      return;
    }
    const int n = int(chars.size());
    for (int i = 0; i < n; ++i) {
      const QString c = chars[std::size_t(i)].toString();
      const int w = metrics.horizontalAdvance(c);
      const Rgb colour = GradientStep(start, end, i, n);
      if (w > 0)
        DrawTextBlock(painter, LayOutText(c, flags, w, metrics), QRect(left, box.top(), w, box.height()),
                      QColor(colour.red, colour.green, colour.blue), metrics);
      left += w;
    }
  };

  if (textGradation_ == tg2Colors || CharacterCount(text) == 2) {
    draw(text, fontColor_, textGradationColor_);
    return;
  }
  const qsizetype split = ThreeColorSplit(text);
  const QStringView first = QStringView(text).left(split), rest = QStringView(text).mid(split);
  draw(first, fontColor_, textMidColor_);
  if (CharacterCount(rest) == 1)
    draw(rest, textGradationColor_, textGradationColor_);
  else
    draw(rest, textMidColor_, textGradationColor_);
}
