// The cell's value model in a cell: what a written text becomes, how a
// value is shown, and how limits re-shape the value (the rules alone are
// tested in test_sanumvalue.cpp).

#include "test_sanumedit.h"

#include <QtCore/QVariant>

using sanum_test::Beeps;

namespace {

QString written(TSaNumEdit& cell, const QString& text) {
  cell.SetText(QString());
  cell.SetText(text);
  return cell.Text();
}

}  // namespace

TEST(SaNumEditText, WrittenTextIsCleanedIntoANumber) {
  TSaNumEdit cell;
  EXPECT_EQ(written(cell, "1,234"), "1234");
  EXPECT_EQ(written(cell, u"１２"_qs), "12");
  EXPECT_EQ(written(cell, u"１，２３４．５"_qs), "1234.5");
  EXPECT_EQ(written(cell, u"－７"_qs), "-7");
  EXPECT_EQ(written(cell, u"１２あ３"_qs), "12");  // another wide character ends the number
  EXPECT_EQ(written(cell, "007"), "7");
  EXPECT_EQ(written(cell, "000"), "0");
  EXPECT_EQ(written(cell, "12abc"), "12");
  EXPECT_EQ(written(cell, "12.3456"), "12.345");
  EXPECT_EQ(written(cell, "1.2.3"), "1.2");
  EXPECT_EQ(written(cell, "5-"), "5");
  EXPECT_EQ(written(cell, ".5"), "0.5");
  EXPECT_EQ(written(cell, "-.5"), "-0.5");
  EXPECT_EQ(written(cell, "-0"), "-0");
  EXPECT_EQ(written(cell, "-"), "-");
  EXPECT_EQ(written(cell, "123456789"), "123456789");
  EXPECT_EQ(written(cell, "1234567890"), "");  // too many digits is not shortened
  EXPECT_EQ(written(cell, "12\r\n"), "12");
  cell.SetMinus(false);
  EXPECT_EQ(written(cell, "-5"), "");
}

TEST(SaNumEditText, WritingIsNotAnEdit) {
  TSaNumEdit cell;
  int changes = 0;
  cell.OnChange = [&](QObject*) { ++changes; };
  cell.SetText("12");
  cell.SelectAll();
  cell.SetText("345");
  EXPECT_EQ(cell.Text(), "345");
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(cell.UndoAvailable());
  EXPECT_TRUE(cell.Selected());
  EXPECT_EQ(Beeps(), 0);
}

TEST(SaNumEditText, PropertiesAreReachableByNameThroughTheirSetters) {
  TSaNumEdit cell;
  cell.SetText("123");
  ASSERT_TRUE(cell.setProperty("IntegerLength", 2));
  EXPECT_EQ(cell.Text(), "");  // the setter ran and re-filtered
  ASSERT_TRUE(cell.setProperty("Text", "45"));
  EXPECT_EQ(cell.Text(), "45");
  ASSERT_TRUE(cell.setProperty("Alignment", QVariant::fromValue(taCenter)));
  EXPECT_EQ(cell.Alignment(), taCenter);
  ASSERT_TRUE(cell.setProperty("Options", 1 | 16));
  EXPECT_TRUE(cell.Options().Contains(eoMinusOnly));
  EXPECT_TRUE(cell.Options().Contains(eoORInputStop));
  EXPECT_FALSE(cell.Options().Contains(eoArrowUp));
  ASSERT_TRUE(cell.setProperty("Color", uint(clWhite)));
  EXPECT_EQ(cell.Color(), clWhite);
}

TEST(SaNumEditText, OptionsAreOneBitEachWithArrowsByDefault) {
  TSaNumEdit cell;
  EXPECT_EQ(cell.Options().Bits(), 6u);
  TSaNumEditOptions all{eoMinusOnly, eoArrowUp, eoArrowDown, eoAutoWidthSize, eoORInputStop};
  EXPECT_EQ(all.Bits(), 31u);
  EXPECT_EQ((all - TSaNumEditOptions{eoArrowUp}).Bits(), 29u);
}

TEST(SaNumEditFormat, DisplayImageCarriesMarksOnlyAroundAValue) {
  TSaNumEdit cell;
  cell.SetLeftMark(u"¥"_qs);
  cell.SetRightMark(u"円"_qs);
  EXPECT_EQ(cell.DisplayImage(), "");
  cell.SetText("1234");
  EXPECT_EQ(cell.DisplayImage(), u"¥1,234円"_qs);
  cell.SetComma(false);  // formatting properties rebuild the image
  EXPECT_EQ(cell.DisplayImage(), u"¥1234円"_qs);
  cell.SetText("");
  cell.SetIntegerFixed(true);
  EXPECT_EQ(cell.DisplayImage(), u"¥0円"_qs);
}

TEST(SaNumEditLimits, TighterLimitsReshapeTheValue) {
  TSaNumEdit cell;
  cell.SetText("123");
  cell.SetIntegerLength(3);
  EXPECT_EQ(cell.Text(), "123");
  cell.SetIntegerLength(2);
  EXPECT_EQ(cell.Text(), "");

  cell.SetText("12.345");
  cell.SetDecimalLength(1);
  EXPECT_EQ(cell.Text(), "12.3");
  cell.SetDecimalLength(0);
  EXPECT_EQ(cell.Text(), "12");
  EXPECT_EQ(cell.DisplayImage(), "12");

  cell.SetText("-5");
  cell.SetMinus(false);
  EXPECT_EQ(cell.Text(), "");

  // Negative lengths and margins are ignored.
  cell.SetIntegerLength(-1);
  cell.SetDecimalLength(-3);
  cell.SetTopMargin(-1);
  cell.SetLeftMargin(-2);
  EXPECT_EQ(cell.IntegerLength(), 2);
  EXPECT_EQ(cell.DecimalLength(), 0);
  EXPECT_EQ(cell.TopMargin(), 2);
  EXPECT_EQ(cell.LeftMargin(), 2);
}
