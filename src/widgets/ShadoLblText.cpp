#include "widgets/ShadoLblText.h"

#include <QtCore/QTextBoundaryFinder>
#include <QtGui/QColor>
#include <QtGui/QPainter>

#include <algorithm>
#include <functional>

namespace ShadoLbl {
namespace {

constexpr QLatin1StringView kEllipsis("...");

int tabWidth(const QFontMetrics& metrics) { return std::max(1, 8 * metrics.averageCharWidth()); }

bool isLineBreak(QChar c) { return c == u'\r' || c == u'\n'; }

// The text with its prefixes taken out, and which characters they underline.
TextLine takePrefixes(const QString& text, bool noPrefix) {
  TextLine out;
  if (noPrefix || !text.contains(u'&')) {
    out.text = text;
    return out;
  }
  out.text.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c != u'&') {
      out.text += c;
      continue;
    }
    if (i + 1 == text.size()) break;
    const QChar next = text[i + 1];
    if (next == u'&') {
      out.text += next;
      ++i;
    } else if (!isLineBreak(next) && next != u'\t') {
      out.underlined.append(out.text.size());
    }
  }
  return out;
}

// Characters [from, to) of a line, with their underlines.
TextLine piece(const TextLine& line, qsizetype from, qsizetype to) {
  TextLine out;
  out.text = line.text.mid(from, to - from);
  for (qsizetype i : line.underlined)
    if (i >= from && i < to) out.underlined.append(i - from);
  return out;
}

TextLine joined(TextLine a, const TextLine& b) {
  for (qsizetype i : b.underlined) a.underlined.append(i + a.text.size());
  a.text += b.text;
  return a;
}

TextLine ellipsis() {
  TextLine out;
  out.text = kEllipsis;
  return out;
}

// Offsets of the character boundaries of a text: 0, ..., size.
std::vector<qsizetype> boundaries(QStringView text) {
  std::vector<qsizetype> out{0};
  for (QStringView c : Characters(text)) out.push_back(out.back() + c.size());
  return out;
}

// The largest j in [first, last] for which fits(j) holds, fits growing
// harder with j; first - 1 when none does.
qsizetype largest(qsizetype first, qsizetype last, const std::function<bool(qsizetype)>& fits) {
  qsizetype lo = first, hi = last, best = first - 1;
  while (lo <= hi) {
    const qsizetype mid = lo + (hi - lo) / 2;
    if (fits(mid)) {
      best = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return best;
}

TextLine endEllipsis(const TextLine& line, int boxWidth, const QFontMetrics& m) {
  const std::vector<qsizetype> b = boundaries(line.text);
  const qsizetype keep = largest(0, qsizetype(b.size()) - 1, [&](qsizetype j) {
    return LineWidth(line.text.left(b[std::size_t(j)]) + kEllipsis, m) <= boxWidth;
  });
  return joined(piece(line, 0, b[std::size_t(std::max<qsizetype>(keep, 0))]), ellipsis());
}

TextLine pathEllipsis(const TextLine& line, int boxWidth, const QFontMetrics& m) {
  const QString& text = line.text;
  const std::vector<qsizetype> b = boundaries(text);
  const qsizetype chars = qsizetype(b.size()) - 1;
  const auto at = [&](qsizetype j) { return b[std::size_t(j)]; };
  const auto fits = [&](const TextLine& l) { return LineWidth(l.text, m) <= boxWidth; };
  const qsizetype separator = std::max(text.lastIndexOf(u'\\'), text.lastIndexOf(u'/'));

  if (separator < 0) {
    // No path: characters go from the middle.
    const auto middle = [&](qsizetype kept) {
      return joined(joined(piece(line, 0, at((kept + 1) / 2)), ellipsis()),
                    piece(line, at(chars - kept / 2), text.size()));
    };
    const qsizetype kept = largest(0, chars - 1, [&](qsizetype k) { return fits(middle(k)); });
    return middle(std::max<qsizetype>(kept, 0));
  }

  const TextLine last = piece(line, separator, text.size());
  const auto headed = [&](qsizetype j) { return joined(joined(piece(line, 0, at(j)), ellipsis()), last); };
  const qsizetype firstOfLast =
      qsizetype(std::lower_bound(b.begin(), b.end(), separator) - b.begin());
  const qsizetype head = largest(0, firstOfLast, [&](qsizetype j) { return fits(headed(j)); });
  if (head >= 0) return headed(head);
  // Not even "..." and the last component fit: keep the component's start.
  const auto cut = [&](qsizetype j) { return joined(ellipsis(), piece(line, separator, at(j))); };
  const qsizetype tail = largest(firstOfLast, chars, [&](qsizetype j) { return fits(cut(j)); });
  return cut(std::max(tail, firstOfLast));
}

qsizetype trimmedEnd(const QString& text, qsizetype from, qsizetype to) {
  while (to > from && text[to - 1] == u' ') --to;
  return to;
}

// Splits [from, to) of text into lines no wider than the box where breaks
// between words allow it; gives [from, to) pairs, blanks at a break dropped.
void wrap(const QString& text, qsizetype from, qsizetype to, int boxWidth, const QFontMetrics& m,
          std::vector<std::pair<qsizetype, qsizetype>>& out) {
  const QString line = text.mid(from, to - from);
  const auto fits = [&](qsizetype a, qsizetype b) {
    return LineWidth(line.mid(a, trimmedEnd(line, a, b) - a), m) <= boxWidth;
  };
  const auto push = [&](qsizetype a, qsizetype b) { out.emplace_back(from + a, from + trimmedEnd(line, a, b)); };

  QTextBoundaryFinder finder(QTextBoundaryFinder::Line, line);
  // start: where the line being filled begins; fitEnd: the furthest break
  // up to which it still fits.
  qsizetype start = 0, fitEnd = -1;
  for (qsizetype p = finder.toNextBoundary(); p > 0; p = finder.toNextBoundary()) {
    if (fits(start, p)) {
      fitEnd = p;
      continue;
    }
    if (fitEnd > start) {
      push(start, fitEnd);
      start = fitEnd;
      fitEnd = -1;
      if (fits(start, p)) {
        fitEnd = p;
        continue;
      }
    }
    // A word wider than the box stands on a line of its own.
    push(start, p);
    start = p;
    fitEnd = -1;
  }
  if (start < line.size()) push(start, line.size());
}

}  // namespace

int LineWidth(const QString& line, const QFontMetrics& metrics) {
  if (!line.contains(u'\t')) return metrics.horizontalAdvance(line);
  const int tab = tabWidth(metrics);
  int x = 0;
  qsizetype from = 0;
  for (;;) {
    const qsizetype end = line.indexOf(u'\t', from);
    x += metrics.horizontalAdvance(line.mid(from, end < 0 ? -1 : end - from));
    if (end < 0) return x;
    x = (x / tab + 1) * tab;
    from = end + 1;
  }
}

TextBlock LayOutText(const QString& text, const TextFlags& flags, int boxWidth,
                     const QFontMetrics& metrics) {
  const TextLine whole = takePrefixes(text, flags.noPrefix);
  const QString& t = whole.text;

  // Hard lines, then the lines word breaking makes of them.
  std::vector<std::pair<qsizetype, qsizetype>> spans;
  qsizetype from = 0;
  for (qsizetype i = 0;; ++i) {
    if (i < t.size() && !isLineBreak(t[i])) continue;
    if (flags.wordBreak && i > from)
      wrap(t, from, i, boxWidth, metrics, spans);
    else
      spans.emplace_back(from, i);
    if (i >= t.size()) break;
    if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n') ++i;
    from = i + 1;
  }

  TextBlock block;
  block.lineHeight = metrics.height();
  block.ascent = metrics.ascent();
  block.lines.reserve(spans.size());
  for (auto [a, b] : spans) {
    TextLine line = piece(whole, a, b);
    line.width = LineWidth(line.text, metrics);
    if (line.width > boxWidth && flags.ellipsis != elNone) {
      line = flags.ellipsis == elEnd ? endEllipsis(line, boxWidth, metrics)
                                     : pathEllipsis(line, boxWidth, metrics);
      line.width = LineWidth(line.text, metrics);
    }
    switch (flags.alignment) {
      case taLeftJustify: line.left = 0; break;
      case taRightJustify: line.left = boxWidth - line.width; break;
      case taCenter: line.left = (boxWidth - line.width) / 2; break;
    }
    block.width = std::max(block.width, line.width);
    block.lines.push_back(std::move(line));
  }
  block.height = int(block.lines.size()) * block.lineHeight;
  return block;
}

void DrawTextBlock(QPainter& painter, const TextBlock& block, const QRect& box,
                   const QColor& colour, const QFontMetrics& metrics) {
  painter.save();
  painter.setClipRect(box, Qt::IntersectClip);
  painter.setPen(colour);
  const int tab = tabWidth(metrics);
  int top = box.top();
  for (const TextLine& line : block.lines) {
    if (top > box.bottom()) break;
    const int left = box.left() + line.left;
    const int baseline = top + block.ascent;
    // Tabs move on to the next stop from the line's start.
    int x = 0;
    for (qsizetype from = 0;;) {
      const qsizetype end = line.text.indexOf(u'\t', from);
      const QString run = line.text.mid(from, end < 0 ? -1 : end - from);
      if (!run.isEmpty()) painter.drawText(QPoint(left + x, baseline), run);
      if (end < 0) break;
      x = ((x + metrics.horizontalAdvance(run)) / tab + 1) * tab;
      from = end + 1;
    }
    for (qsizetype i : line.underlined) {
      const qsizetype n = line.text[i].isHighSurrogate() ? 2 : 1;
      const int x0 = LineWidth(line.text.left(i), metrics);
      const int x1 = LineWidth(line.text.left(i + n), metrics);
      painter.fillRect(left + x0, baseline + metrics.underlinePos(), x1 - x0,
                       std::max(1, metrics.lineWidth()), colour);
    }
    top += block.lineHeight;
  }
  painter.restore();
}

}  // namespace ShadoLbl
