// The score list's context menu in the drill window: a right click leaves
// the list, the focus and a running stopwatch alone; the menu opens the chart
// of the history shown and the sheets of the checked operation.

#include "app/ScoreListMenu.h"
#include "platform/ShiftJis.h"
#include "window/DrillFixture.h"
#include "progress/ProgressWindow.h"
#include "progress/SheetDialog.h"
#include "widgets/MMTimer.h"

#include <QtWidgets/QListView>
#include <QtWidgets/QMenu>
#include <QtWidgets/QRadioButton>

namespace {

class ScoreListMenuTest : public DrillFixture {
 protected:
  void SetUp() override {
    DrillFixture::SetUp();
    progress::InstallScoreListMenu(form.get());
    writeFile("date/seiseki.dat", platform::ToShiftJis(QStringLiteral("2024/4/02  100点  たしざん  1:40:2\r\n"
                                                                      "2024/4/01  97点  ひきざん  2:01:5\r\n")));
    writeFile("date/mas25.dat", platform::ToShiftJis(QStringLiteral("2024/4/02  96点  かけざん  0:40:0\r\n")));
    form->LoadScoreList(TForm1::GridKind::Square100);
  }

  // A right click as the window system delivers it: to the native window.
  void rightClickList() {
    const QPoint at = form->ListBox1->mapTo(form.get(), form->ListBox1->rect().center());
    QTest::mousePress(form->windowHandle(), Qt::RightButton, {}, at);
    QTest::mouseRelease(form->windowHandle(), Qt::RightButton, {}, at);
    QCoreApplication::processEvents();
  }

  QMenu* menu() const { return form->findChild<QMenu*>("ScoreListMenu"); }

  QAction* action(const QString& text) const {
    for (QAction* a : menu()->actions())
      if (a->text() == text) return a;
    return nullptr;
  }

  template <class Window>
  Window* openWindow(const QString& title) const {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<Window*>(w); window && window->isVisible() && window->windowTitle() == title)
        return window;
    return nullptr;
  }

  int clockTenths() const {
    return form->SaNumEdit(101)->Text().toInt() * 600 + form->SaNumEdit(102)->Text().toInt() * 10 +
           form->SaNumEdit(103)->Text().toInt();
  }
};

}  // namespace

TEST_F(ScoreListMenuTest, ARightClickDuringADrillOpensTheMenuAndChangesNothingElse) {
  startDrill();
  ASSERT_EQ(form->focusWidget(), form->SaNumEdit(1));
  ASSERT_TRUE(form->MMTimer1->Enabled());
  const QStringList lines = form->ScoreListLines();

  rightClickList();
  ASSERT_NE(menu(), nullptr);
  EXPECT_TRUE(menu()->isVisible());
  EXPECT_EQ(form->focusWidget(), form->SaNumEdit(1)) << "the list did not take the focus";
  EXPECT_FALSE(form->ListBox1->currentIndex().isValid());
  EXPECT_FALSE(form->ListBox1->selectionModel()->hasSelection());
  EXPECT_EQ(form->ScoreListLines(), lines);

  // The open menu holds nothing up: the stopwatch goes on counting.
  const int before = clockTenths();
  QTest::qWait(800);
  EXPECT_GE(clockTenths() - before, 4);
  EXPECT_TRUE(form->MMTimer1->Enabled());
  EXPECT_TRUE(menu()->isVisible());

  QTest::keyClick(menu(), Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_FALSE(menu()->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), form->SaNumEdit(1)) << "typing goes on in the answer cell";
  EXPECT_FALSE(form->ListBox1->selectionModel()->hasSelection());

  // A left click on the list is the list's own, as before.
  const QPoint first = form->ListBox1->visualRect(form->ListBox1->model()->index(0, 0)).center();
  QTest::mouseClick(form->ListBox1->viewport(), Qt::LeftButton, {}, first);
  EXPECT_TRUE(form->ListBox1->selectionModel()->hasSelection());
}

// Shift+F10 is the menu key of a laptop: on the focused list it opens the
// menu; other modifiers leave F10 to others.
TEST_F(ScoreListMenuTest, ShiftF10OnTheListOpensTheMenu) {
  const struct {
    Qt::KeyboardModifiers modifiers;
    bool opens;
  } keys[] = {{Qt::ShiftModifier, true},
              {Qt::NoModifier, false},
              {Qt::ShiftModifier | Qt::ControlModifier, false},
              {Qt::ShiftModifier | Qt::AltModifier, false}};
  for (const auto& key : keys) {
    SCOPED_TRACE(int(key.modifiers));
    form->ListBox1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), form->ListBox1);
    QTest::keyClick(form->ListBox1, Qt::Key_F10, key.modifiers);
    QCoreApplication::processEvents();
    EXPECT_EQ(menu() && menu()->isVisible(), key.opens);
    if (menu() && menu()->isVisible()) {
      QTest::keyClick(menu(), Qt::Key_Escape);
      QCoreApplication::processEvents();
      EXPECT_EQ(QApplication::focusWidget(), form->ListBox1) << "the focus comes back to the list";
    }
  }
}

TEST_F(ScoreListMenuTest, TheMenuOpensTheChartOfTheHistoryShownAndTheSheetsOfTheCheckedOperation) {
  rightClickList();
  ASSERT_NE(action("成績グラフ…"), nullptr);
  action("成績グラフ…")->trigger();
  auto* chart = openWindow<progress::ProgressWindow>("成績グラフ 100マス");
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->Chart().Records().records.size(), 2u);
  EXPECT_TRUE(chart->isWindow());
  EXPECT_EQ(chart->parentWidget(), nullptr) << "a window of its own";

  form->RadioButton6->setChecked(true);
  form->RadioButton2->setChecked(true);
  rightClickList();
  action("成績グラフ…")->trigger();
  auto* chart25 = openWindow<progress::ProgressWindow>("成績グラフ 25マス");
  ASSERT_NE(chart25, nullptr);
  ASSERT_EQ(chart25->Chart().Records().records.size(), 1u);
  EXPECT_EQ(chart25->Chart().Records().records[0].operation, drill::Operation::Multiplication);

  action("プリント…")->trigger();
  auto* sheets = openWindow<progress::SheetDialog>("プリント 25マス");
  ASSERT_NE(sheets, nullptr);
  EXPECT_EQ(sheets->Options().operation, drill::Operation::Multiplication);
  EXPECT_EQ(sheets->Options().grid, drill::GridKind::Square25);

  // Closing the drill window takes its chart and sheet windows along.
  QPointer<QWidget> a = chart, b = chart25, c = sheets;
  form.reset();
  EXPECT_TRUE(a.isNull() && b.isNull() && c.isNull());
}
