#include "widgets/ShadoLblRules.h"

#include "platform/ShiftJis.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>

#include <algorithm>
#include <cstring>

namespace ShadoLbl {

TextFlags LabelTextFlags(TAlignment alignment, bool wordWrap, bool showAccelChar,
                         TEllipsis ellipsis) {
  return {alignment, wordWrap, !showAccelChar, ellipsis};
}

QString PaintedCaption(const QString& caption, bool showAccelChar) {
  if (caption.isEmpty() || (showAccelChar && caption == u"&")) return caption + u' ';
  return caption;
}

int LayoutShift(TTextLayout layout, int height, int textHeight) {
  switch (layout) {
    case tlTop: return 0;
    case tlCenter: return (height - textHeight) / 2;
    case tlBottom: return height - textHeight;
  }
  return 0;
}

Rgb SplitColor(TColor color) {
  const QColor c = ColorToQColor(color);
  return {c.red(), c.green(), c.blue()};
}

namespace {

// Floor of a / b for b > 0.
int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// start + (end - start) * i / last, truncated toward zero. The value lies
// between two bytes, so it is never negative and truncating is flooring.
int step(int start, int end, int i, int last) { return start + floorDiv((end - start) * i, last); }

}  // namespace

Rgb GradientStep(Rgb start, Rgb end, int i, int n) {
  if (n <= 1) return start;
  const int last = n - 1;
  return {step(start.red, end.red, i, last), step(start.green, end.green, i, last),
          step(start.blue, end.blue, i, last)};
}

void FillGradientBitmap(QImage& bitmap, Rgb start, Rgb end, bool vertical) {
  Q_ASSERT(bitmap.isNull() || bitmap.depth() == 32);
  const int w = bitmap.width(), h = bitmap.height();
  if (w <= 0 || h <= 0) return;
  const auto pixel = [&](int i, int n) {
    const Rgb c = GradientStep(start, end, i, n);
    return qRgb(c.red, c.green, c.blue);
  };
  if (vertical) {
    for (int y = 0; y < h; ++y) {
      auto* row = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
      std::fill(row, row + w, pixel(y, h));
    }
    return;
  }
  auto* first = reinterpret_cast<QRgb*>(bitmap.scanLine(0));
  for (int x = 0; x < w; ++x) first[x] = pixel(x, w);
  for (int y = 1; y < h; ++y) std::memcpy(bitmap.scanLine(y), first, std::size_t(w) * sizeof(QRgb));
}

void PaintGradientRect(QPainter& painter, const QRect& rect, Rgb start, bool vertical, Rgb end) {
  if (rect.width() <= 0 || rect.height() <= 0) return;
  QImage bitmap(vertical ? QSize(1, rect.height()) : QSize(rect.width(), rect.height() / 20 + 1),
                QImage::Format_RGB32);
  FillGradientBitmap(bitmap, start, end, vertical);
  // Nearest-pixel stretching: along the gradient the sizes match, so every
  // pixel keeps its exact colour.
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rect, bitmap);
  painter.restore();
}

std::vector<QStringView> Characters(QStringView text) {
  std::vector<QStringView> out;
  out.reserve(std::size_t(text.size()));
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype n =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    out.push_back(text.mid(i, n));
    i += n;
  }
  return out;
}

int CharacterCount(QStringView text) {
  int n = 0;
  for (qsizetype i = 0; i < text.size(); ++i, ++n)
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
  return n;
}

int Cp932Length(QStringView character) {
  if (character.size() == 1 && character[0].unicode() < 0x80) return 1;
  // Half-width katakana are single bytes; everything else the code page
  // holds is a lead byte and a trail byte.
  return int(platform::ToShiftJis(character.toString()).size()) >= 2 ? 2 : 1;
}

qsizetype ThreeColorSplit(QStringView caption) {
  const std::vector<QStringView> chars = Characters(caption);
  std::vector<int> lengths;
  lengths.reserve(chars.size());
  int total = 0;
  for (QStringView c : chars) total += lengths.emplace_back(Cp932Length(c));
  const int half = total / 2;
  qsizetype units = 0;
  int offset = 0;
  for (std::size_t i = 0; i < chars.size() && offset < half; ++i) {
    units += chars[i].size();
    offset += lengths[i];
  }
  return units;
}

}  // namespace ShadoLbl
