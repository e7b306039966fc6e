#include "platform/ShiftJis.h"

#include <QtCore/QStringList>

#include <gtest/gtest.h>

using platform::FromShiftJis;
using platform::ToShiftJis;

namespace {

QByteArray bytes(std::initializer_list<unsigned char> list) {
  QByteArray out;
  for (unsigned char c : list) out.append(static_cast<char>(c));
  return out;
}

}  // namespace

TEST(ShiftJis, WindowTextsRoundTrip) {
  const QStringList texts = {
      QStringLiteral("しゅうりょう"), QStringLiteral("はじめる"), QStringLiteral("おわる"),
      QStringLiteral("100マス成績表"), QStringLiteral("25マス成績表"),
      QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("＋×－．，０１２３４５６７８９"),
      QStringLiteral("ファイルへのアクセスが拒否されました"), QStringLiteral("ｶﾀｶﾅ"),
      QStringLiteral("2003/4/05  98点  たしざん  2:5:3")};
  for (const QString& text : texts) {
    const QByteArray encoded = ToShiftJis(text);
    EXPECT_FALSE(encoded.contains('?')) << text.toStdString();
    EXPECT_EQ(FromShiftJis(encoded), text);
  }
}

TEST(ShiftJis, KnownByteForms) {
  EXPECT_EQ(ToShiftJis(QStringLiteral("点")), bytes({0x93, 0x5F}));
  EXPECT_EQ(ToShiftJis(QStringLiteral("ｱ")), bytes({0xB1}));
  EXPECT_EQ(FromShiftJis(bytes({0x93, 0x5F})), QStringLiteral("点"));
}

TEST(ShiftJis, AsciiIsItself) {
  // Backslash and tilde too: the history is plain ASCII apart from its words.
  QByteArray all;
  QString expected;
  for (int c = 0; c < 0x80; ++c) {
    all.append(static_cast<char>(c));
    expected.append(QChar(c));
  }
  EXPECT_EQ(FromShiftJis(all), expected);
  EXPECT_EQ(ToShiftJis(expected), all);
}

TEST(ShiftJis, CharactersOutsideTheCodePageBecomeOneQuestionMark) {
  EXPECT_EQ(ToShiftJis(QStringLiteral("aéb")), QByteArray("a?b"));
  EXPECT_EQ(ToShiftJis(QStringLiteral("x😀y")), QByteArray("x?y"));  // a surrogate pair
  QString lone = QStringLiteral("a");
  lone.append(QChar(0xD800)).append(u'b').append(QChar(0xDC00));
  EXPECT_EQ(ToShiftJis(lone), QByteArray("a?b?"));
  EXPECT_EQ(ToShiftJis(QString()), QByteArray());
}

TEST(ShiftJis, InvalidBytesAreReplacedOneByOne) {
  const QChar bad = QChar::ReplacementCharacter;
  EXPECT_EQ(FromShiftJis(bytes({'a', 0x80, 'b'})), QString(u'a') + bad + u'b');
  EXPECT_EQ(FromShiftJis(bytes({0xFF, 0xFD})), QString(bad) + bad);
  // A lead byte with a byte that cannot follow it: only the lead is lost.
  EXPECT_EQ(FromShiftJis(bytes({0x82, '\r', '\n'})), QString(bad) + QStringLiteral("\r\n"));
  EXPECT_EQ(FromShiftJis(bytes({0x82, 0x20, 0x93, 0x5F})), QString(bad) + QStringLiteral(" 点"));
  // A lead byte cut off at the end.
  EXPECT_EQ(FromShiftJis(bytes({'1', 0x93})), QString(u'1') + bad);
}

TEST(ShiftJis, NulBytesAreKept) {
  const QString text = FromShiftJis(QByteArray("a\0b\0", 4));
  ASSERT_EQ(text.size(), 4);
  EXPECT_EQ(text[1], QChar(0));
  EXPECT_EQ(text[3], QChar(0));
  EXPECT_EQ(ToShiftJis(text), QByteArray("a\0b\0", 4));
}
