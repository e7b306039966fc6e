#pragma once
// How the shadow label lays out and draws a text in a box, the way the
// desktop's own labels do it:
// - "&" underlines the character after it and "&&" shows one "&", unless
//   the flags say the text has no prefixes; a "&" at the very end shows
//   nothing;
// - CR, LF and CR LF end a line; lines are one font height apart, starting
//   at the top of the box;
// - a tab moves on to the next stop, every eight average character widths
//   from the line's start;
// - with word breaking, a line breaks at the last opportunity between words
//   (Unicode line breaking, so also between Japanese characters) that keeps
//   it within the box; blanks at a break are dropped; a word wider than the
//   box is not broken but stands alone on its line;
// - a line wider than the box is shortened: at its end, keeping the longest
//   start that fits with "..." after it; or as a path, keeping the last
//   component (from the last "\" or "/") whole and the longest start of the
//   rest before "..."; when even "..." and the last component do not fit,
//   the component keeps its longest start that fits after "...". A line
//   without a separator loses characters from its middle, the start keeping
//   one more than the end when the count is odd;
// - each line is then placed left, right or centred in the box (half of
//   the spare width, truncated);
// - drawing is clipped to the box.
// Characters get no extra overhang: Qt fonts report none.

#include "widgets/ShadoLblRules.h"

#include <QtCore/QList>
#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QFontMetrics>

#include <vector>

class QColor;
class QPainter;

namespace ShadoLbl {

struct TextLine {
  QString text;                  // as shown: prefixes taken out, shortened
  QList<qsizetype> underlined;   // indexes into text of underlined characters
  int left = 0;                  // from the box's left edge
  int width = 0;
};

struct TextBlock {
  std::vector<TextLine> lines;
  int lineHeight = 0;
  int ascent = 0;
  int width = 0;   // of the widest line
  int height = 0;  // lines * lineHeight
};

// Lays out text for a box `boxWidth` wide.
TextBlock LayOutText(const QString& text, const TextFlags& flags, int boxWidth,
                     const QFontMetrics& metrics);

// Draws a laid-out block into box (its left and top edges, clipping to all
// of it) in one colour, with the painter's font (the one it was laid out for).
void DrawTextBlock(QPainter& painter, const TextBlock& block, const QRect& box,
                   const QColor& colour, const QFontMetrics& metrics);

// The advance of a line, tabs expanded.
int LineWidth(const QString& line, const QFontMetrics& metrics);

}  // namespace ShadoLbl
