// The window "にがて": what it shows for a folder's answers, what a screen
// reader hears of each square, and its saved files.

#include "progress/WeakFactsWindow.h"

#include "common/TestSupport.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTableWidget>

#include <gtest/gtest.h>

using drill::Operation;

namespace {

class WeakFactsView : public ::testing::Test {
 protected:
  void SetUp() override {
    oldCwd_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(testing_support::makeTempDir()));
    QDir().mkdir("date");
  }
  void TearDown() override { QDir::setCurrent(oldCwd_); }

  // Today's drill: "top left answer right ms" per line.
  void writeAnswers(const char* op, std::initializer_list<const char*> cells) {
    QFile file(answers::kAnswersPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(answers::kHeaderLine);
    const QByteArray when = QDateTime::currentDateTime().toString("yyyy-MM-ddTHH:mm:ss").toLatin1();
    for (const char* cell : cells)
      file.write(when + "\t25\t" + op + "\t" + QByteArray(cell).replace(' ', '\t') + "\n");
  }

  QString oldCwd_;
};

}  // namespace

TEST_F(WeakFactsView, ShowsTheMapTheListAndWhatAScreenReaderHears) {
  writeAnswers("add", {"7 8 14 0 3400", "7 8 15 1 3400", "7 8 14 0 3400", "2 3 5 1 900", "2 3 5 1 5100"});
  progress::WeakFactsWindow window(Operation::Addition);
  EXPECT_EQ(window.windowTitle(), "にがて たしざん");
  const QTableWidget* map = window.Map();
  const struct {
    int row, column;
    const char* name;  // as a screen reader reads the square
    const char* mark;
  } squares[] = {
      {8, 7, "7 たす 8, 3.4 びょう, 2 かい まちがい", "×2"},
      {3, 2, "2 たす 3, 3.0 びょう, 0 かい まちがい", ""},
      {0, 0, "0 たす 0, まだ", ""},
  };
  for (const auto& s : squares) {
    const QTableWidgetItem* item = map->item(s.row, s.column);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->data(Qt::AccessibleTextRole).toString(), QString::fromUtf8(s.name));
    EXPECT_EQ(item->text(), QString::fromUtf8(s.mark));
  }
  EXPECT_NE(map->item(8, 7)->background().color(), map->item(3, 2)->background().color());
  EXPECT_EQ(window.Weakest()->text(),
            "1. 7 + 8 = 15　3.4 びょう　2 かい まちがい\n2. 2 + 3 = 5　3.0 びょう　0 かい まちがい");
  EXPECT_TRUE(map->item(8, 7)->toolTip().contains("14, 15, 14"));

  // Subtraction: its columns are the top headers 10 to 19, and no answers yet.
  window.ShowOperation(Operation::Subtraction);
  EXPECT_EQ(window.windowTitle(), "にがて ひきざん");
  EXPECT_EQ(map->horizontalHeaderItem(7)->text(), "17");
  EXPECT_TRUE(window.Map()->isHidden());
  EXPECT_EQ(window.findChild<QLabel*>("NoAnswers")->text(), "まだ こたえが ありません");

  window.resize(900, 640);
  window.ShowOperation(Operation::Addition);
  for (const char* name : {"map.png", "map.pdf"}) {
    window.Save(name);
    EXPECT_GT(QFile(name).size(), 1000) << name;
  }
  EXPECT_FALSE(QImage("map.png").isNull());
  EXPECT_THROW(window.Save("map.txt"), Exception);
}
