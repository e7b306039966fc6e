#pragma once
// A drill window in a working folder of its own, shown and activated, with
// helpers that drive it through real key events.

#include "common/TestSupport.h"
#include "window/Form1.h"
#include "widgets/CuteBtn.h"
#include "widgets/SaNumEdit.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtTest/QTest>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QRadioButton>

#include <gtest/gtest.h>

#include <memory>

class DrillFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    oldCwd_ = QDir::currentPath();
    dir_ = testing_support::makeTempDir();
    ASSERT_TRUE(QDir::setCurrent(dir_));
    if (createHistories_) {
      QDir().mkdir("date");
      writeFile("date/seiseki.dat", {});
      writeFile("date/mas25.dat", {});
    }
    prepareFolder();
    form = std::make_unique<TForm1>();
    form->SeedRandom(12345);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QCoreApplication::processEvents();
  }

  void TearDown() override {
    form.reset();
    QDir::setCurrent(oldCwd_);
  }

  // Runs in the working folder before the window is built.
  virtual void prepareFolder() {}

  static void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
  }

  static QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QWidget* focused() const { return QApplication::focusWidget(); }

  // "はじめる" and the three countdown steps, without waiting for the clock.
  void startDrill() {
    form->CuteButton1Click(form->CuteButton1);
    for (int step = 0; step < 3; ++step) form->Timer1Timer(form->Timer1);
    QCoreApplication::processEvents();
  }

  // Types text and Enter into the focused control, as a child does.
  void typeIntoFocus(const QString& text, bool enter = true) {
    QWidget* target = focused();
    ASSERT_NE(target, nullptr);
    for (QChar c : text) QTest::keyClicks(target, QString(c));
    if (enter) QTest::keyClick(target, Qt::Key_Return);
    QCoreApplication::processEvents();
  }

  // The right answer of the 100-square's cell k for the checked operation.
  int expected100(int k) const {
    const int x = form->XEdit((k - 1) % 10 + 1)->Text().toInt();
    const int y = form->YEdit((k - 1) / 10 + 1)->Text().toInt();
    if (form->RadioButton2->isChecked()) return x * y;
    if (form->RadioButton3->isChecked()) return x - y;
    return x + y;
  }

  std::unique_ptr<TForm1> form;
  bool createHistories_ = true;
  QString dir_;

 private:
  QString oldCwd_;
};
