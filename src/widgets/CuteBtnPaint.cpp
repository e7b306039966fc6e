// How the push button draws itself: the face, the two bevels, the caption
// (etched while disabled) and the focus frame, over the rules of
// CuteBtnPaint.h.

#include "widgets/CuteBtn.h"
#include "widgets/CuteBtnPaint.h"

#include "platform/Application.h"
#include "platform/ClientEdge.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>

#include <algorithm>
#include <vector>

namespace CuteBtn {

namespace {

// Boxes stay far inside int however wide a bevel or a margin is.
constexpr qint64 kCoordinateLimit = qint64(1) << 24;

int clamped(qint64 v) { return int(std::clamp(v, -kCoordinateLimit, kCoordinateLimit)); }

qint64 floorHalf(qint64 v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

// Pixels a painter can reach, in its own coordinates (it may be translated).
struct Canvas {
  qint64 left, top, right, bottom;  // inclusive

  explicit Canvas(const QPainter& p) {
    const QTransform& t = p.worldTransform();
    left = -qint64(t.dx());
    top = -qint64(t.dy());
    right = left + p.device()->width() - 1;
    bottom = top + p.device()->height() - 1;
  }

  // Fills the pixels x0..x1, y0..y1 (inclusive, in any order) that lie on
  // the canvas.
  void fill(QPainter& p, qint64 x0, qint64 y0, qint64 x1, qint64 y1, const QColor& c) const {
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    x0 = std::max(x0, left), x1 = std::min(x1, right);
    y0 = std::max(y0, top), y1 = std::min(y1, bottom);
    if (x0 > x1 || y0 > y1) return;
    p.fillRect(QRect(int(x0), int(y0), int(x1 - x0 + 1), int(y1 - y0 + 1)), c);
  }

  // A line from one point straight to another, the last point left out.
  void segment(QPainter& p, qint64 x0, qint64 y0, qint64 x1, qint64 y1, const QColor& c) const {
    if (x0 == x1 && y0 != y1) fill(p, x0, y0, x0, y1 > y0 ? y1 - 1 : y1 + 1, c);
    else if (y0 == y1 && x0 != x1) fill(p, x0, y0, x1 > x0 ? x1 - 1 : x1 + 1, y0, c);
  }
};

}  // namespace

Box TextBox(QSize client, const CaptionPlacement& placement) {
  const qint64 inset = placement.flat ? qint64(placement.bevelWidth) : 2 * qint64(placement.bevelWidth);
  qint64 left = inset, top = inset;
  qint64 right = client.width() - inset, bottom = client.height() - inset;
  if (placement.marginX != -1) {
    if (placement.alignment == taLeftJustify) left += placement.marginX;
    else if (placement.alignment == taRightJustify) right -= placement.marginX;
  }
  if (placement.marginY != -1) {
    if (placement.layout == tlTop) top += placement.marginY;
    else if (placement.layout == tlBottom) bottom -= placement.marginY;
  }
  // The right and bottom edges stay, so a centred caption moves by half.
  if (placement.pressed) left += 2, top += 2;
  return {clamped(left), clamped(top), clamped(right), clamped(bottom)};
}

QPoint TextOrigin(const Box& box, QSize extent, TAlignment alignment, TTextLayout layout) {
  qint64 x = box.left, y = box.top;
  if (alignment == taRightJustify) x = qint64(box.right) - extent.width();
  else if (alignment == taCenter) x += floorHalf(qint64(box.width()) - extent.width());
  if (layout == tlBottom) y = qint64(box.bottom) - extent.height();
  else if (layout == tlCenter) y += floorHalf(qint64(box.height()) - extent.height());
  return {clamped(x), clamped(y)};
}

Box DrawBevel(QPainter& painter, Box r, const QColor& a, const QColor& b, int width) {
  const Canvas canvas(painter);
  qint64 left = r.left, top = r.top, right = qint64(r.right) - 1, bottom = qint64(r.bottom) - 1;
  // Past this many rings every further ring lies off the canvas.
  const qint64 reach = std::max({canvas.right - left, canvas.bottom - top, right - canvas.left,
                                 bottom - canvas.top, qint64(0)}) + 1;
  const qint64 rings = std::min<qint64>(std::max(width, 0), reach);
  for (qint64 i = 0; i < rings; ++i, ++left, ++top, --right, --bottom) {
    canvas.segment(painter, left, bottom, left, top, a);
    canvas.segment(painter, left, top, right, top, a);
    canvas.segment(painter, right, top, right, bottom, b);
    canvas.segment(painter, right, bottom, left - 1, bottom, b);
  }
  const qint64 n = std::max(width, 0);
  return {clamped(r.left + n), clamped(r.top + n), clamped(r.right - n), clamped(r.bottom - n)};
}

void DrawFocusRect(QPainter& painter, const Box& r) {
  if (r.width() <= 0 || r.height() <= 0) return;
  std::vector<QPoint> dots;
  auto dot = [&](int x, int y) {
    if (((x - r.left) + (y - r.top)) % 2 == 0) dots.emplace_back(x, y);
  };
  for (int x = r.left; x < r.right; ++x) {
    dot(x, r.top);
    if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    dot(r.left, y);
    if (r.right - 1 > r.left) dot(r.right - 1, y);
  }
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(QPen(Qt::white, 0));
  painter.drawPoints(dots.data(), int(dots.size()));
  painter.restore();
}

}  // namespace CuteBtn

using CuteBtn::Box;

namespace {

QRect toRect(const Box& b) { return QRect(b.left, b.top, b.width(), b.height()); }

Box shifted(const Box& b, int dx, int dy) { return {b.left + dx, b.top + dy, b.right + dx, b.bottom + dy}; }

Box inset(const Box& b, int d) { return {b.left + d, b.top + d, b.right - d, b.bottom - d}; }

}  // namespace

void TCuteButton::paintEvent(QPaintEvent*) {
  platform::Guarded([&] {
    QPainter p(this);
    const int fw = FrameWidth();
    if (fw > 0) platform::DrawClientEdge(p, fw, width(), height());
    const QRect client = ClientRect();
    p.setClipRect(client);
    p.translate(fw, fw);

    // The face: the button's colour, or its disabled colour if it uses one.
    const TColor face = useDisabledColor_ && !isEnabled() ? disabledColor_ : color_;
    p.fillRect(QRect(QPoint(0, 0), client.size()), ColorToQColor(face));

    // The hover bevel on the client edge, the inner bevel inside whatever
    // it leaves.
    const QColor light = ColorToQColor(bevelHighlightColor_);
    const QColor dark = ColorToQColor(bevelShadowColor_);
    Box r{0, 0, client.width(), client.height()};
    for (TBevelCut cut : {bevelOuter_, bevelInner_}) {
      if (cut == CuteBtn::bvLowered) r = CuteBtn::DrawBevel(p, r, dark, light, bevelWidth_);
      else if (cut == CuteBtn::bvRaised) r = CuteBtn::DrawBevel(p, r, light, dark, bevelWidth_);
    }

    const Box t = CuteBtn::TextBox(client.size(), {bevelWidth_, flat_, alignment_, layout_, marginX_, marginY_,
                                                   bevelOuter_ == CuteBtn::bvLowered});
    textBoxPainted_ = t;
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic;
    const QSize extent = QFontMetrics(font()).size(flags, caption_);
    auto caption = [&](const Box& box, const QColor& colour) {
      if (box.width() <= 0 || box.height() <= 0 || caption_.isEmpty()) return;
      p.save();
      p.setClipRect(toRect(box), Qt::IntersectClip);
      p.setPen(colour);
      const QPoint origin = CuteBtn::TextOrigin(box, extent, alignment_, layout_);
      p.drawText(QRect(origin, extent), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | flags, caption_);
      p.restore();
    };
    if (isEnabled()) {
      caption(t, ColorToQColor(fontColor_));
    } else {
      // Etched: a light copy one pixel down and right beneath the shadow.
      caption(shifted(t, 1, 1), ColorToQColor(clBtnHighlight));
      caption(t, ColorToQColor(clBtnShadow));
    }

    if (showFocusRect_ && Focused()) CuteBtn::DrawFocusRect(p, inset(t, 2));
  });
}
