// The two groups of radio buttons: whatever a person does to any of the five
// buttons, each group keeps exactly one checked, a handler runs only when its
// button becomes checked, and the checked button is its group's tab stop.

#include "DrillFixture.h"

#include "drill/ScoreHistory.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QRadioButton>

namespace {

class ModeSelection : public DrillFixture {
 protected:
  QList<QRadioButton*> operations() const {
    return {form->RadioButton1, form->RadioButton2, form->RadioButton3};
  }
  QList<QRadioButton*> gridKinds() const { return {form->RadioButton4, form->RadioButton6}; }

  static QList<QRadioButton*> checkedOf(const QList<QRadioButton*>& group) {
    QList<QRadioButton*> out;
    for (QRadioButton* radio : group)
      if (radio->isChecked()) out << radio;
    return out;
  }

  // Marks what the handlers write, so that a handler that runs shows.
  void markHandlerOutputs() {
    form->Label21->setText("?");
    form->Label25->setText("?");
  }
  bool operationHandlerRan() const { return form->Label21->text() != "?"; }
  bool gridKindHandlerRan() const { return form->Label25->text() != "?"; }
};

enum class Input { Mouse, Space, ArrowNext, ArrowPrevious, Program };

void apply(Input input, QRadioButton* radio) {
  switch (input) {
    case Input::Mouse:
      QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
      break;
    case Input::Space:
      radio->setFocus();
      QTest::keyClick(radio, Qt::Key_Space);
      break;
    case Input::ArrowNext:
    case Input::ArrowPrevious: {
      radio->setFocus();
      const bool next = input == Input::ArrowNext;
      // Right and Down, Left and Up: whichever way the group is laid out.
      for (Qt::Key key : next ? std::array{Qt::Key_Right, Qt::Key_Down} : std::array{Qt::Key_Left, Qt::Key_Up})
        if (QApplication::focusWidget() == radio) QTest::keyClick(radio, key);
      break;
    }
    case Input::Program:
      radio->setChecked(true);
      break;
  }
  QCoreApplication::processEvents();
}

TEST_F(ModeSelection, EveryInputOnEveryButtonKeepsOneCheckedPerGroupAndRunsHandlersOnlyOnChange) {
  const Input inputs[] = {Input::Mouse, Input::Space, Input::ArrowNext, Input::ArrowPrevious,
                          Input::Program};
  QList<QRadioButton*> all = operations() + gridKinds();
  for (Input input : inputs) {
    // Each button twice in a row: the second time it is the checked one.
    for (QRadioButton* radio : all + all) {
      for (int again = 0; again < 2; ++again) {
        SCOPED_TRACE(testing::Message() << "input " << int(input) << " on "
                                        << radio->objectName().toStdString() << " pass " << again);
        const QRadioButton* operationBefore = checkedOf(operations()).value(0);
        const QRadioButton* gridKindBefore = checkedOf(gridKinds()).value(0);
        markHandlerOutputs();
        apply(input, radio);

        const auto operation = checkedOf(operations());
        const auto gridKind = checkedOf(gridKinds());
        ASSERT_EQ(operation.size(), 1);
        ASSERT_EQ(gridKind.size(), 1);
        EXPECT_EQ(operationHandlerRan(), operation[0] != operationBefore);
        EXPECT_EQ(gridKindHandlerRan(), gridKind[0] != gridKindBefore);
        // The other group never moves.
        EXPECT_EQ(operations().contains(radio) ? gridKind[0] : operation[0],
                  operations().contains(radio) ? gridKindBefore : operationBefore);
        const bool checks = input == Input::Mouse || input == Input::Space || input == Input::Program;
        EXPECT_TRUE(radio->isChecked() || !checks);
      }
    }
  }
}

TEST_F(ModeSelection, AClickOnTheCheckedAdditionStillDrawsAndGradesAnAdditionDrill) {
  QTest::mouseClick(form->RadioButton1, Qt::LeftButton, {}, QPoint(8, 24));
  ASSERT_TRUE(form->RadioButton1->isChecked());
  startDrill();
  for (int j = 1; j <= 10; ++j) EXPECT_EQ(form->XEdit(j)->Text().size(), 1) << "top header " << j;
  for (int k = 1; k <= 100; ++k) typeIntoFocus(QString::number(expected100(k)), k < 100);
  QTest::keyClick(form->SaNumEdit(100), Qt::Key_Return);
  EXPECT_EQ(testing_support::recorded().messages, QStringList{"しゅうりょう"});
  EXPECT_TRUE(QString(readFile(history::kHistory100)).contains(" 100"));
}

TEST_F(ModeSelection, TheCheckedButtonOfEachGroupIsItsTabStopWhereverTheFocusHasBeen) {
  // Visit each button of both groups by the mouse and by a press dragged off
  // (which focuses a button without checking it), then walk the tab chain.
  for (QRadioButton* radio : operations() + gridKinds()) {
    QTest::mousePress(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
    QTest::mouseMove(radio, QPoint(-50, -50));
    QTest::mouseRelease(radio, Qt::LeftButton, {}, QPoint(-50, -50));
    QCoreApplication::processEvents();
  }
  QTest::mouseClick(form->RadioButton2, Qt::LeftButton, {}, QPoint(8, 24));
  QTest::mouseClick(form->RadioButton6, Qt::LeftButton, {}, QPoint(8, 8));
  QTest::mouseClick(form->RadioButton4, Qt::LeftButton, {}, QPoint(8, 8));
  QTest::mousePress(form->RadioButton1, Qt::LeftButton, {}, QPoint(8, 24));
  QTest::mouseRelease(form->RadioButton1, Qt::LeftButton, {}, QPoint(-50, -50));
  QCoreApplication::processEvents();
  ASSERT_TRUE(form->RadioButton2->isChecked());
  ASSERT_TRUE(form->RadioButton4->isChecked());

  form->YEdit(10)->setFocus();
  QTest::keyClick(focused(), Qt::Key_Tab);
  EXPECT_EQ(focused(), form->RadioButton4);
  QTest::keyClick(focused(), Qt::Key_Tab);
  EXPECT_EQ(focused(), form->CuteButton1);
  QTest::keyClick(focused(), Qt::Key_Backtab);
  EXPECT_EQ(focused(), form->RadioButton4);
  form->CuteButton2->setFocus();
  QTest::keyClick(focused(), Qt::Key_Tab);
  EXPECT_EQ(focused(), form->RadioButton2);
  QTest::keyClick(focused(), Qt::Key_Tab);
  EXPECT_EQ(focused(), form->SaNumEdit(1));
}

}  // namespace
