#pragma once
// The shadow label's rules that need no window: the caption it paints, the
// text flags, where the text block sits, the colours of a gradient line and
// of graded characters, and where a three-colour caption splits.
//
// A character is one code point (a surrogate pair is one character); its
// size in bytes is what code page 932 gives it, because the split of a
// three-colour caption counts the caption's bytes in that code page.

#include "platform/Types.h"

#include <QtCore/QString>
#include <QtCore/QStringView>

#include <vector>

class QImage;
class QPainter;
class QRect;

namespace ShadoLbl {
Q_NAMESPACE

// How a caption too wide for its line is shortened.
enum TEllipsis : quint8 { elNone, elEnd, elPath };
Q_ENUM_NS(TEllipsis)

// How the caption's characters are graded in colour.
enum TTextGradation : quint8 { tgNone, tg2Colors, tg3Colors };
Q_ENUM_NS(TTextGradation)

// How the label lays out its text. Tabs always expand to stops every eight
// average character widths.
struct TextFlags {
  TAlignment alignment = taLeftJustify;
  bool wordBreak = false;  // wrap lines between words to the box width
  bool noPrefix = false;   // "&" is an ordinary character
  TEllipsis ellipsis = elNone;
  friend bool operator==(const TextFlags&, const TextFlags&) = default;
};

TextFlags LabelTextFlags(TAlignment alignment, bool wordWrap, bool showAccelChar,
                         TEllipsis ellipsis);

// The text the label paints and measures: an empty caption, and a lone "&"
// while "&" marks accelerators, get one blank appended so that the text
// block is never empty.
QString PaintedCaption(const QString& caption, bool showAccelChar);

// How far the text block moves down from the top of a label `height` high
// when the block is `textHeight` high (negative: up), truncated toward zero.
int LayoutShift(TTextLayout layout, int height, int textHeight);

// One colour as red, green and blue bytes.
struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Resolves a colour, a system colour through the current palette.
Rgb SplitColor(TColor color);

// Step i of a gradient of n steps from `start` to `end`: each component is
// start + (end - start) * i / (n - 1), truncated. Worked in whole numbers so
// that a value that is exactly whole is never one below it. A gradient of a
// single step is its start colour, as the first step of any longer one is.
Rgb GradientStep(Rgb start, Rgb end, int i, int n);

// Fills a 32-bit image with a gradient from `start` to `end`, worked out
// along one line only: the first column (vertical) spread across every
// row, or the first row (horizontal) copied into the others.
void FillGradientBitmap(QImage& bitmap, Rgb start, Rgb end, bool vertical);

// Paints a gradient over a rectangle without an off-screen surface: a
// bitmap one pixel wide (vertical) or (height div 20 + 1) rows high
// (horizontal) is filled and stretched over the rectangle.
void PaintGradientRect(QPainter& painter, const QRect& rect, Rgb start, bool vertical, Rgb end);

// The characters of a text, in order, each a view into it.
std::vector<QStringView> Characters(QStringView text);
int CharacterCount(QStringView text);

// Bytes one character takes in code page 932: 1 or 2. A character the code
// page cannot hold is stored as a single "?" and counts one byte.
int Cp932Length(QStringView character);

// Where a three-colour caption splits, in UTF-16 units: the first part holds
// the characters whose first byte lies within the first L div 2 bytes of the
// caption, L being its length in code page 932.
qsizetype ThreeColorSplit(QStringView caption);

}  // namespace ShadoLbl
