#pragma once
// The push button's drawing rules, apart from the widget: where the caption
// box lies, how a bevel ring is laid down pixel by pixel, and the dotted
// focus frame. They need a painter but no window, so they are tested on
// plain images.

#include "platform/Types.h"

#include <QtCore/QObject>
#include <QtCore/QRect>
#include <QtCore/QSize>

class QColor;
class QPainter;

namespace CuteBtn {
Q_NAMESPACE

// The cut of a bevel: none, sunk into the face, or standing out of it.
enum TBevelCut { bvNone, bvLowered, bvRaised };
Q_ENUM_NS(TBevelCut)

// A rectangle as the drawing rules count it: right and bottom exclusive.
struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const Box&, const Box&) = default;
};

// What decides where the caption goes.
struct CaptionPlacement {
  int bevelWidth = 1;
  bool flat = false;
  TAlignment alignment = taCenter;
  TTextLayout layout = tlCenter;
  int marginX = -1;  // -1: none
  int marginY = -1;
  bool pressed = false;  // the hover bevel is lowered
};

// The box the caption is placed in, for a client area of the given size:
// inset by the bevels, narrowed by the margin on the side the caption keeps
// to, and moved in at the top left while pressed.
Box TextBox(QSize client, const CaptionPlacement& placement);

// Where a single line of the given extent starts in a box.
QPoint TextOrigin(const Box& box, QSize extent, TAlignment alignment, TTextLayout layout);

// Lays `width` one-pixel rings down from the edge of r inwards: colour a on
// the left column and the top row but for its right end, colour b on the
// right column and the whole bottom row. Returns r inset by `width`.
Box DrawBevel(QPainter& painter, Box r, const QColor& a, const QColor& b, int width);

// The dotted focus frame: every other pixel along the edge of r inverted,
// starting with the top-left corner.
void DrawFocusRect(QPainter& painter, const Box& r);

}  // namespace CuteBtn
