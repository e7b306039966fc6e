// The cell's look: where marks, value and caret stand, how they are
// painted, and what the mouse does to them.

#include "widgets/SaNumEdit.h"

#include "platform/Application.h"
#include "platform/ClientEdge.h"

#include <QtCore/QTimer>
#include <QtGui/QFontMetrics>
#include <QtGui/QGuiApplication>
#include <QtGui/QInputMethod>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtGui/QStyleHints>
#include <QtWidgets/QApplication>

#include <algorithm>

// ---------------------------------------------------------------------------
// Measuring and layout

int TSaNumEdit::TextWidth(const QString& text) {
  if (text.isEmpty()) return 0;
  return fontMetrics().horizontalAdvance(text) + 1;
}

// The box the value is right-aligned in: as wide as the widest value of the
// fixed parts, so the digits do not move while the user types.
QString TSaNumEdit::LayoutText() {
  TSaNumParts p = SplitValue(value_);
  if (format_.IntegerFixed) {
    p.Integer = QString(format_.IntegerLength, u'0');
    p.Sign = format_.Minus ? QStringLiteral("-") : QString();
  }
  if (p.Integer.isEmpty() && (format_.IntegerFixed || format_.DecimalFixed)) p.Integer = QStringLiteral("0");
  if (format_.DecimalFixed) {
    p.Point = QStringLiteral(".");
    p.Decimals = QString(format_.DecimalLength, u'0');
  }
  if (format_.Comma) p.Integer = GroupThousands(p.Integer);
  return JoinValue(p.Sign, p.Integer, p.Point, p.Decimals);
}

int TSaNumEdit::LayoutWidth() { return TextWidth(LayoutText()); }

QString TSaNumEdit::TemplateText() {
  QString zeros(format_.IntegerLength, u'0');
  if (format_.Comma) zeros = GroupThousands(zeros);
  return (format_.Minus ? QStringLiteral("-") : QString()) + zeros + QStringLiteral(".") +
         QString(format_.DecimalLength, u'0');
}

// Marks take room only when something is shown between them.
int TSaNumEdit::markWidth(const QString& mark) {
  if (value_.isEmpty() && !format_.IntegerFixed && !format_.DecimalFixed) return 0;
  return TextWidth(mark);
}

int TSaNumEdit::groupLeft(int total) {
  const int cw = ClientWidth();
  switch (alignment_) {
    case taLeftJustify: return leftMargin_;
    case taRightJustify: return cw - rightMargin_ - 1 - total;
    case taCenter: break;
  }
  return leftMargin_ + (cw - leftMargin_ - rightMargin_) / 2 - total / 2;
}

int TSaNumEdit::rectTop() {
  const int ch = ClientHeight();
  switch (vertAlignment_) {
    case taTopJustify: return topMargin_;
    case taBottomJustify: return ch - textHeight_ - bottomMargin_;
    case taVCenter: break;
  }
  return (ch - textHeight_ - topMargin_ - bottomMargin_) / 2 + topMargin_;
}

QRect TSaNumEdit::LeftMarkRect() {
  const int l = markWidth(format_.LeftMark);
  const int total = l + LayoutWidth() + markWidth(format_.RightMark);
  return QRect(groupLeft(total), rectTop(), l, textHeight_);
}

QRect TSaNumEdit::LayoutRect() {
  const int l = markWidth(format_.LeftMark);
  const int w = LayoutWidth();
  const int total = l + w + markWidth(format_.RightMark);
  return QRect(groupLeft(total) + l, rectTop(), w, textHeight_);
}

QRect TSaNumEdit::ValueRect() {
  const int l = markWidth(format_.LeftMark);
  const int w = LayoutWidth();
  const int total = l + w + markWidth(format_.RightMark);
  const int t = TextWidth(FormatValue(value_));
  return QRect(groupLeft(total) + l + w - t, rectTop(), t, textHeight_);
}

QRect TSaNumEdit::RightMarkRect() {
  const int l = markWidth(format_.LeftMark);
  const int w = LayoutWidth();
  const int r = markWidth(format_.RightMark);
  const int total = l + w + r;
  int x = groupLeft(total) + l + w;
  if (alignment_ == taCenter)
    x = leftMargin_ + (ClientWidth() - leftMargin_ - rightMargin_) / 2 + total / 2 - r;
  return QRect(x, rectTop(), r, textHeight_);
}

// The caret follows what was typed, not the zeros the fixed decimals add.
int TSaNumEdit::CaretTextWidth() { return TextWidth(SaNum::CaretText(format_, value_)); }

QPoint TSaNumEdit::CaretPoint() {
  const QRect value = ValueRect();
  return QPoint(value.x() + CaretTextWidth() - 1, value.y());
}

// ---------------------------------------------------------------------------
// Painting

namespace {

int right(const QRect& r) { return r.x() + r.width(); }  // one past the last column

}  // namespace

void TSaNumEdit::paintEvent(QPaintEvent*) {
  platform::Guarded([&] {
    QPainter p(this);
    const int fw = FrameWidth();
    const int w = width();
    const int h = height();

    // The sunken client edge (two pixels) or a flat border (one).
    platform::DrawClientEdge(p, fw, w, h);

    const QRect client(fw, fw, ClientWidth(), ClientHeight());
    p.setClipRect(client, Qt::IntersectClip);
    const QColor background = ColorToQColor(color_);
    p.fillRect(client, background);
    p.translate(fw, fw);

    QColor brush = background;
    QColor text = ColorToQColor(fontColor_);
    if (!isEnabled()) {
      text = ColorToQColor(disabledColor_);
    } else if (Selected()) {
      brush = ColorToQColor(clHighlight);
      text = ColorToQColor(clHighlightText);
    }

    const QRect lm = LeftMarkRect();
    const QRect vr = ValueRect();
    const QRect rm = RightMarkRect();
    valueRect_ = vr;

    // The fill covers the value and its marks only, so a selection does
    // not spread into the margins.
    const int fillLeft = format_.LeftMark.isEmpty() ? vr.x() : lm.x();
    const int fillRight = format_.RightMark.isEmpty() ? right(vr) : right(rm);
    if (brush != background)
      p.fillRect(QRect(fillLeft, vr.y(), fillRight - fillLeft, vr.height()), brush);

    const QString shown = FormatValue(value_);
    p.setFont(font());
    p.setPen(text);
    const int ascent = fontMetrics().ascent();
    if (!shown.isEmpty()) {
      if (!format_.LeftMark.isEmpty()) p.drawText(QPoint(lm.x(), lm.y() + ascent), format_.LeftMark);
      p.drawText(QPoint(vr.x(), vr.y() + ascent), shown);
      if (!format_.RightMark.isEmpty()) p.drawText(QPoint(rm.x(), rm.y() + ascent), format_.RightMark);
    }

    if (caretExists_ && caretShown_ && caretOn_) {
      p.setCompositionMode(QPainter::RasterOp_NotDestination);
      p.fillRect(QRect(caretPos_, QSize(caretWidth_, textHeight_)), Qt::black);
    }
  });
}

// ---------------------------------------------------------------------------
// Caret

QRect TSaNumEdit::CaretRect() const {
  if (!caretExists_ || !caretShown_) return QRect();
  const int fw = FrameWidth();
  return QRect(caretPos_ + QPoint(fw, fw), QSize(caretWidth_, textHeight_));
}

void TSaNumEdit::MakeCaret() {
  caretExists_ = true;
  caretShown_ = false;
  PlaceCaret();
}

void TSaNumEdit::PlaceCaret() {
  if (!caretExists_ || !hasFocus()) return;
  const QRect old = CaretRect();
  caretPos_ = CaretPoint();
  caretShown_ = true;
  restartBlink();
  if (old.isValid()) update(old);
  update(CaretRect());
  // The input method puts its composition window at the caret, in the
  // cell's font.
  QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImFont);
}

void TSaNumEdit::KillCaret() {
  if (!caretExists_) return;
  const QRect old = CaretRect();
  caretExists_ = false;
  caretShown_ = false;
  caretTimer_->stop();
  if (old.isValid()) update(old);
}

// A moved caret shows at once and then blinks at the desktop's rate; a
// flash time of 0 means a steady caret.
void TSaNumEdit::restartBlink() {
  caretOn_ = true;
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  if (flash > 0)
    caretTimer_->start(std::max(1, flash / 2));
  else
    caretTimer_->stop();
}

void TSaNumEdit::blink() {
  if (!caretExists_ || !caretShown_) return;
  caretOn_ = !caretOn_;
  update(CaretRect());
}

// ---------------------------------------------------------------------------
// Mouse

void TSaNumEdit::pressed(QMouseEvent* e, bool doubleClick) {
  QPointer<TSaNumEdit> self(this);
  const int fw = FrameWidth();
  const QPoint pt = e->position().toPoint() - QPoint(fw, fw);
  const bool inClient = QRect(0, 0, ClientWidth(), ClientHeight()).contains(pt);
  const Qt::MouseButton button = e->button();
  const bool left = button == Qt::LeftButton;

  if (inClient) {
    if (left) {
      leftDown_ = !doubleClick;
      // A click into the active window places the caret after the value
      // instead of leaving the whole cell selected.
      if (!dblClick_ && QApplication::activeWindow()) {
        if (!hasFocus()) setFocus(Qt::MouseFocusReason);
        ClearSelection();
      }
    }
    if (OnMouseDown) OnMouseDown(this, button, e->modifiers(), pt.x(), pt.y());
    if (!self) return;
    if (left) dblClick_ = false;
  }
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
}

void TSaNumEdit::mousePressEvent(QMouseEvent* e) {
  e->accept();
  platform::Guarded([&] { pressed(e, false); });
}

void TSaNumEdit::mouseDoubleClickEvent(QMouseEvent* e) {
  e->accept();
  QPointer<TSaNumEdit> self(this);
  platform::Guarded([&] {
    if (e->button() == Qt::LeftButton) {
      SelectAll();
      if (OnDblClick) OnDblClick(this);
      if (!self) return;
      // The press that comes with the double click must not undo the
      // selection it just made.
      dblClick_ = true;
    }
    pressed(e, true);
  });
}

void TSaNumEdit::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  QPointer<TSaNumEdit> self(this);
  platform::Guarded([&] {
    const int fw = FrameWidth();
    const QPoint pt = e->position().toPoint() - QPoint(fw, fw);
    const bool clicked = e->button() == Qt::LeftButton && leftDown_;
    if (e->button() == Qt::LeftButton) leftDown_ = false;
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), pt.x(), pt.y());
    if (!self) return;
    if (clicked && QRect(0, 0, ClientWidth(), ClientHeight()).contains(pt) && OnClick) OnClick(this);
  });
}

// Dragging across the value selects the whole cell; only the horizontal
// position counts.
void TSaNumEdit::mouseMoveEvent(QMouseEvent* e) {
  e->accept();
  platform::Guarded([&] {
    const int fw = FrameWidth();
    const QPoint pt = e->position().toPoint() - QPoint(fw, fw);
    if ((e->buttons() & Qt::LeftButton) && pt.x() >= valueRect_.x() && pt.x() <= right(valueRect_) &&
        !Selected())
      SelectAll();
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), pt.x(), pt.y());
  });
}
