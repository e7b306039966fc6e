// How the shadow label lays out its text: prefixes, lines, tabs, word
// breaking and the two ellipsis forms, measured with the window's font.

#include "platform/Application.h"
#include "widgets/ShadoLblText.h"

#include <QtCore/QTextBoundaryFinder>

#include <gtest/gtest.h>

using namespace ShadoLbl;

namespace {

QFontMetrics metrics() {
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(20);
  font.setBold(true);
  return QFontMetrics(font);
}

TextLine firstLine(const QString& text, int width, TextFlags flags) {
  return LayOutText(text, flags, width, metrics()).lines.at(0);
}

int widthOf(const QString& text) { return LineWidth(text, metrics()); }

}  // namespace

TEST(ShadowLabelText, PrefixesLinesAndTabs) {
  const std::tuple<const char16_t*, const char16_t*, QList<qsizetype>> cases[] = {
      {u"&File", u"File", {0}}, {u"A&&B", u"A&B", {}}, {u"AB&", u"AB", {}},
      {u"&&&x", u"&x", {1}},    {u"&a&b", u"ab", {0, 1}}};
  for (const auto& [text, shown, underlined] : cases) {
    const TextLine line = firstLine(QString::fromUtf16(text), 500, {});
    EXPECT_EQ(std::make_pair(line.text, line.underlined), std::make_pair(QString::fromUtf16(shown), underlined));
  }
  TextFlags noPrefix;
  noPrefix.noPrefix = true;
  EXPECT_EQ(firstLine(QStringLiteral("&File"), 500, noPrefix).text, QStringLiteral("&File"));

  const TextBlock block = LayOutText(QStringLiteral("one\ntwo\r\nthree\rfour"), {}, 500, metrics());
  EXPECT_EQ(std::make_pair(block.height, block.width), std::make_pair(4 * metrics().height(), widthOf(QStringLiteral("three"))));

  const int tab = 8 * metrics().averageCharWidth(), x = widthOf(QStringLiteral("X"));
  EXPECT_EQ(widthOf(QStringLiteral("1\tX")), tab + x);
  EXPECT_EQ(widthOf(QStringLiteral("a\t\tX")), 2 * tab + x);
}

// Greedy: each line fits or holds no break opportunity, and the next line's
// first piece (up to its first break opportunity) would not have fitted.
TEST(ShadowLabelText, WordBreakingFillsEachLineAsFarAsItFits) {
  TextFlags flags;
  flags.wordBreak = true;
  for (const QString& caption : {QStringLiteral("alpha beta gamma delta"),
                                QStringLiteral("100マスの たしざん、かけざん、ひきざんを れんしゅうします")}) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, caption);
    const auto breakAfter = [&](qsizetype pos) {
      finder.setPosition(pos);
      return finder.toNextBoundary();
    };
    for (int width = 30; width <= widthOf(caption); width += 7) {
      std::vector<qsizetype> starts;
      qsizetype pos = 0;
      for (const TextLine& line : LayOutText(caption, flags, width, metrics()).lines) {
        pos = caption.indexOf(line.text, pos);
        ASSERT_GE(pos, 0) << line.text.toStdString();
        starts.push_back(pos);
        pos += line.text.size();
        EXPECT_TRUE(line.width <= width || breakAfter(starts.back()) >= pos) << line.text.toStdString();
      }
      EXPECT_EQ(pos, caption.size());
      for (std::size_t i = 0; i + 1 < starts.size(); ++i)
        EXPECT_GT(widthOf(caption.mid(starts[i], breakAfter(starts[i + 1]) - starts[i]).trimmed()), width);
    }
  }
}

TEST(ShadowLabelText, EndEllipsisKeepsTheLongestStartThatFits) {
  TextFlags flags;
  flags.ellipsis = elEnd;
  const QString caption = QStringLiteral("C:\\Sorabe\\date\\seiseki.dat");
  for (int width = widthOf(QStringLiteral("...")); width < widthOf(caption); width += 3) {
    const TextLine line = firstLine(caption, width, flags);
    ASSERT_TRUE(line.text.endsWith(QStringLiteral("..."))) << line.text.toStdString();
    const QString kept = line.text.chopped(3);
    EXPECT_TRUE(caption.startsWith(kept) && line.width <= width);
    EXPECT_GT(widthOf(caption.left(kept.size() + 1) + QStringLiteral("...")), width);
  }
  EXPECT_EQ(firstLine(caption, widthOf(caption), flags).text, caption);
}

TEST(ShadowLabelText, PathEllipsisKeepsTheLastComponentWhole) {
  TextFlags flags;
  flags.ellipsis = elPath;
  const QString path = QStringLiteral("C:\\Sor&abe\\date\\&seiseki.dat"), shown = QString(path).remove(u'&');
  const QString last = QStringLiteral("\\seiseki.dat");
  const int withLast = widthOf(QStringLiteral("...") + last);
  for (int width = withLast; width < widthOf(shown); width += 3) {
    const TextLine line = firstLine(path, width, flags);
    ASSERT_TRUE(line.text.endsWith(QStringLiteral("...") + last)) << line.text.toStdString();
    const QString head = line.text.chopped(last.size() + 3);
    EXPECT_TRUE(shown.startsWith(head) && line.width <= width);
    EXPECT_GT(widthOf(shown.left(head.size() + 1) + QStringLiteral("...") + last), width);
    // The underline under "s" of the last component moves with it.
    EXPECT_EQ(line.underlined.last(), line.text.size() - last.size() + 1);
  }
  // Narrower: the last component's start after "...".
  const TextLine narrow = firstLine(path, withLast - 20, flags);
  EXPECT_TRUE(narrow.text.startsWith(QStringLiteral("...\\")) && last.startsWith(narrow.text.mid(3)));
  EXPECT_LE(narrow.width, withLast - 20);
  // Without a separator the middle goes, the start keeping one more when odd.
  const QString title = QStringLiteral("Sorabe  Ver 1.10");
  for (int width = widthOf(QStringLiteral("S...0")); width < widthOf(title); width += 4) {
    const QString text = firstLine(title, width, flags).text;
    const qsizetype dots = text.indexOf(QStringLiteral("...")), tail = text.size() - dots - 3;
    EXPECT_TRUE((dots == tail || dots == tail + 1) && title.startsWith(text.left(dots)) &&
                title.endsWith(text.right(tail)) && widthOf(text) <= width)
        << text.toStdString();
  }
}
