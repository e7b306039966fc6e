// How the shadow label lays out its text: prefixes, lines, tabs, word
// breaking, the two ellipsis forms and alignment, measured with the
// window's own font.

#include "platform/Application.h"
#include "widgets/ShadoLblText.h"

#include <QtCore/QTextBoundaryFinder>
#include <QtGui/QFont>
#include <QtGui/QFontMetrics>

#include <gtest/gtest.h>

using namespace ShadoLbl;

namespace {

QFontMetrics metrics() {
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(20);
  font.setBold(true);
  return QFontMetrics(font);
}

QStringList texts(const TextBlock& block) {
  QStringList out;
  for (const TextLine& line : block.lines) out << line.text;
  return out;
}

TextBlock layOut(const QString& text, int width, TextFlags flags = {}) {
  return LayOutText(text, flags, width, metrics());
}

}  // namespace

TEST(ShadowLabelText, AmpersandsUnderlineTheNextCharacterUnlessPrefixesAreOff) {
  struct Case {
    const char16_t* text;
    bool noPrefix;
    const char16_t* shown;
    QList<qsizetype> underlined;
  };
  const Case cases[] = {{u"&File", false, u"File", {0}},  {u"A&&B", false, u"A&B", {}},
                        {u"AB&", false, u"AB", {}},       {u"&&&x", false, u"&x", {1}},
                        {u"&a&b", false, u"ab", {0, 1}},  {u"&File", true, u"&File", {}},
                        {u"&\nA", false, u"", {}}};
  for (const Case& c : cases) {
    TextFlags flags;
    flags.noPrefix = c.noPrefix;
    const TextBlock block = layOut(QString::fromUtf16(c.text), 500, flags);
    ASSERT_FALSE(block.lines.empty());
    EXPECT_EQ(block.lines[0].text, QString::fromUtf16(c.shown)) << QString::fromUtf16(c.text).toStdString();
    EXPECT_EQ(block.lines[0].underlined, c.underlined) << QString::fromUtf16(c.text).toStdString();
  }
}

TEST(ShadowLabelText, LineBreaksEndLinesOneFontHeightApart) {
  const TextBlock block = layOut(QStringLiteral("one\ntwo\r\nthree\rfour"), 500);
  EXPECT_EQ(texts(block), (QStringList{"one", "two", "three", "four"}));
  EXPECT_EQ(block.lineHeight, metrics().height());
  EXPECT_EQ(block.height, 4 * metrics().height());
  EXPECT_EQ(block.width, metrics().horizontalAdvance(QStringLiteral("three")));
  EXPECT_EQ(texts(layOut(QStringLiteral("a\n"), 500)), (QStringList{"a", ""}));
}

TEST(ShadowLabelText, TabsMoveToStopsOfEightAverageWidths) {
  const QFontMetrics m = metrics();
  const int tab = 8 * m.averageCharWidth();
  const int x = m.horizontalAdvance(QStringLiteral("X"));
  EXPECT_EQ(LineWidth(QStringLiteral("\tX"), m), tab + x);
  EXPECT_EQ(LineWidth(QStringLiteral("1\tX"), m), tab + x);
  const QString longer(tab / m.horizontalAdvance(QChar(u'a')) + 1, u'a');
  ASSERT_GT(m.horizontalAdvance(longer), tab);
  EXPECT_EQ(LineWidth(longer + QStringLiteral("\tX"), m), 2 * tab + x);
  EXPECT_EQ(LineWidth(QStringLiteral("a\t\tX"), m), 2 * tab + x);
}

// Greedy breaking: each line fits (or is one unbreakable piece), and the
// next line's first piece (up to its first break opportunity) would not
// have fitted on it.
TEST(ShadowLabelText, WordBreakingFillsEachLineAsFarAsItFits) {
  const QFontMetrics m = metrics();
  TextFlags flags;
  flags.wordBreak = true;
  const QString captions[] = {QStringLiteral("alpha beta gamma delta"),
                              QStringLiteral("100マスの たしざん、かけざん、ひきざんを れんしゅうします")};
  for (const QString& caption : captions) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, caption);
    const auto breakAfter = [&](qsizetype pos) {
      finder.setPosition(pos);
      return finder.toNextBoundary();
    };
    for (int width = 30; width <= m.horizontalAdvance(caption) + 10; width += 7) {
      const TextBlock block = layOut(caption, width, flags);
      std::vector<qsizetype> starts;
      qsizetype pos = 0;
      for (const TextLine& line : block.lines) {
        pos = caption.indexOf(line.text, pos);
        ASSERT_GE(pos, 0) << line.text.toStdString();
        starts.push_back(pos);
        pos += line.text.size();
        if (line.width > width) {
          EXPECT_GE(breakAfter(starts.back()), pos) << line.text.toStdString();
        }
      }
      EXPECT_EQ(pos, caption.size());
      for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        QString joined = caption.mid(starts[i], breakAfter(starts[i + 1]) - starts[i]);
        while (joined.endsWith(u' ')) joined.chop(1);
        EXPECT_GT(LineWidth(joined, m), width) << joined.toStdString();
      }
    }
  }
  // A word wider than the box stays whole; blanks at a break go.
  EXPECT_EQ(texts(layOut(QStringLiteral("Sorabe"), 10, flags)), QStringList{"Sorabe"});
  const int ab = m.horizontalAdvance(QStringLiteral("ab"));
  EXPECT_EQ(texts(layOut(QStringLiteral("ab    cd"), ab, flags)), (QStringList{"ab", "cd"}));
}

TEST(ShadowLabelText, EndEllipsisKeepsTheLongestStartThatFitsWithDots) {
  const QFontMetrics m = metrics();
  TextFlags flags;
  flags.ellipsis = elEnd;
  const QString caption = QStringLiteral("C:\\Sorabe\\date\\seiseki.dat");
  const int full = m.horizontalAdvance(caption);
  for (int width = m.horizontalAdvance(QStringLiteral("...")); width < full; width += 3) {
    const TextLine line = layOut(caption, width, flags).lines.at(0);
    ASSERT_TRUE(line.text.endsWith(QStringLiteral("..."))) << line.text.toStdString();
    const QString kept = line.text.chopped(3);
    EXPECT_TRUE(caption.startsWith(kept));
    EXPECT_LE(line.width, width);
    EXPECT_GT(LineWidth(caption.left(kept.size() + 1) + QStringLiteral("..."), m), width) << "w=" << width;
  }
  EXPECT_EQ(layOut(caption, full, flags).lines.at(0).text, caption);
  EXPECT_EQ(layOut(caption, 1, flags).lines.at(0).text, QStringLiteral("..."));
}

TEST(ShadowLabelText, PathEllipsisKeepsTheLastComponentWhole) {
  const QFontMetrics m = metrics();
  TextFlags flags;
  flags.ellipsis = elPath;
  const QString path = QStringLiteral("C:\\Sorabe\\date\\seiseki.dat");
  const QString last = QStringLiteral("\\seiseki.dat");
  const int withLast = m.horizontalAdvance(QStringLiteral("...") + last);
  for (int width = withLast; width < m.horizontalAdvance(path); width += 3) {
    const TextLine line = layOut(path, width, flags).lines.at(0);
    ASSERT_TRUE(line.text.endsWith(QStringLiteral("...") + last)) << line.text.toStdString();
    const QString head = line.text.chopped(last.size() + 3);
    EXPECT_TRUE(path.startsWith(head));
    EXPECT_LE(line.width, width);
    EXPECT_GT(LineWidth(path.left(head.size() + 1) + QStringLiteral("...") + last, m), width) << "w=" << width;
  }
  // Narrower than "..." and the last component: the component's start.
  for (int width = withLast - 1; width > m.horizontalAdvance(QStringLiteral("...\\")); width -= 5) {
    const TextLine line = layOut(path, width, flags).lines.at(0);
    ASSERT_TRUE(line.text.startsWith(QStringLiteral("...\\"))) << line.text.toStdString();
    EXPECT_TRUE(last.startsWith(line.text.mid(3)));
    EXPECT_LE(line.width, width);
  }
  // "/" separates too.
  EXPECT_TRUE(layOut(QStringLiteral("/home/hanako/date/seiseki.dat"), withLast + 20, flags)
                  .lines.at(0)
                  .text.endsWith(QStringLiteral("/seiseki.dat")));
}

TEST(ShadowLabelText, PathEllipsisWithoutSeparatorCutsTheMiddle) {
  const QFontMetrics m = metrics();
  TextFlags flags;
  flags.ellipsis = elPath;
  const QString caption = QStringLiteral("Sorabe  Ver 1.10");
  for (int width = m.horizontalAdvance(QStringLiteral("S...0")); width < m.horizontalAdvance(caption);
       width += 4) {
    const QString shown = layOut(caption, width, flags).lines.at(0).text;
    const qsizetype dots = shown.indexOf(QStringLiteral("..."));
    ASSERT_GE(dots, 1) << shown.toStdString();
    const qsizetype tail = shown.size() - dots - 3;
    EXPECT_TRUE(dots == tail || dots == tail + 1) << shown.toStdString();
    EXPECT_TRUE(caption.startsWith(shown.left(dots)) && caption.endsWith(shown.right(tail)));
    EXPECT_LE(m.horizontalAdvance(shown), width);
  }
}

TEST(ShadowLabelText, UnderlinesFollowTheCharactersAnEllipsisKeeps) {
  TextFlags flags;
  flags.ellipsis = elPath;
  const QFontMetrics m = metrics();
  const QString shown = QStringLiteral("...\\seiseki.dat");
  const TextLine line =
      layOut(QStringLiteral("C:\\Sor&abe\\&seiseki.dat"), m.horizontalAdvance(shown), flags).lines.at(0);
  EXPECT_EQ(line.text, shown);
  EXPECT_EQ(line.underlined, QList<qsizetype>{4});
  flags.ellipsis = elEnd;
  EXPECT_TRUE(layOut(QStringLiteral("ABCDEFGH&IJ"), m.horizontalAdvance(QStringLiteral("ABC...")), flags)
                  .lines.at(0)
                  .underlined.isEmpty());
}

TEST(ShadowLabelText, LinesArePlacedByAlignment) {
  const QFontMetrics m = metrics();
  const int w = m.horizontalAdvance(QStringLiteral("ab"));
  TextFlags flags;
  flags.alignment = taRightJustify;
  EXPECT_EQ(layOut(QStringLiteral("ab"), 100, flags).lines.at(0).left, 100 - w);
  flags.alignment = taCenter;
  EXPECT_EQ(layOut(QStringLiteral("ab"), 100, flags).lines.at(0).left, (100 - w) / 2);
  EXPECT_EQ(layOut(QStringLiteral("ab"), w - 3, flags).lines.at(0).left, -1);
  flags.alignment = taLeftJustify;
  EXPECT_EQ(layOut(QStringLiteral("ab"), 100, flags).lines.at(0).left, 0);
}
