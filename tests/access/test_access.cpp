// What a screen reader finds and hears: the controls through their
// accessible interfaces before, during and after a drill, and the events of
// typing, the countdown, the stopwatch and the closing.

#include "main/DrillFixture.h"

#include "access/Accessible.h"
#include "access/DrillNames.h"
#include "access/Notify.h"
#include "platform/Panel.h"
#include "widgets/MMTimer.h"
#include "widgets/ShadoLbl.h"

#include <QtGui/QAccessible>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

using testing_support::recorded;

namespace {

// One event as the update handler saw it, with what it said at that moment.
struct Heard {
  QAccessible::Event type;
  QObject* object;
  QString text;  // the name, description, or inserted / removed text
  int position = -1;
  int cursor = -1;
};

std::vector<Heard>* sink = nullptr;

void Record(QAccessibleEvent* event) {
  Heard heard{event->type(), event->object(), {}};
  QAccessibleInterface* iface = event->accessibleInterface();
  switch (event->type()) {
    case QAccessible::NameChanged: heard.text = iface->text(QAccessible::Name); break;
    case QAccessible::DescriptionChanged:
    case QAccessible::Alert: heard.text = iface->text(QAccessible::Description); break;
    case QAccessible::TextInserted: {
      auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
      heard = {e->type(), e->object(), e->textInserted(), e->changePosition(), e->cursorPosition()};
      break;
    }
    case QAccessible::TextRemoved: {
      auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
      heard = {e->type(), e->object(), e->textRemoved(), e->changePosition(), e->cursorPosition()};
      break;
    }
    case QAccessible::TextUpdated: {
      auto* e = static_cast<QAccessibleTextUpdateEvent*>(event);
      heard = {e->type(), e->object(), e->textRemoved() + ">" + e->textInserted(), e->changePosition(),
               e->cursorPosition()};
      break;
    }
    case QAccessible::TextSelectionChanged: {
      auto* e = static_cast<QAccessibleTextSelectionEvent*>(event);
      heard = {e->type(), e->object(), {}, e->selectionEnd() - e->selectionStart(), e->cursorPosition()};
      break;
    }
    default: break;
  }
  if (sink) sink->push_back(heard);
}

// Records every event we send; `active` also says, as a bridge does when a
// screen reader connects, that an assistive technology listens.
class Listener {
 public:
  explicit Listener(bool active) {
    sink = &heard;
    a11y::SetWatcher(&Record);
    if (active) QAccessible::setActive(true);
  }
  ~Listener() {
    QCoreApplication::processEvents();
    QAccessible::setActive(false);
    a11y::SetWatcher(nullptr);
    sink = nullptr;
  }
  std::vector<Heard> take() {
    QCoreApplication::processEvents();  // names and descriptions come once the handler is done
    return std::exchange(heard, {});
  }

 private:
  std::vector<Heard> heard;
};

std::vector<Heard> Only(const std::vector<Heard>& all, QAccessible::Event type, QObject* object = nullptr) {
  std::vector<Heard> some;
  for (const Heard& h : all)
    if (h.type == type && (!object || h.object == object)) some.push_back(h);
  return some;
}

QAccessibleInterface* Iface(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

class Access : public DrillFixture {
 protected:
  void SetUp() override {
    a11y::Install();
    DrillFixture::SetUp();
  }

  // Every answer of the 100-square right but those in `wrong`, then Enter
  // in the last cell.
  void answerAndClose(std::initializer_list<int> wrong) {
    for (int k = 1; k <= 100; ++k) {
      const bool bad = std::find(wrong.begin(), wrong.end(), k) != wrong.end();
      form->SaNumEdit(k)->SetText(QString::number(expected100(k) + (bad ? 1 : 0)));
    }
    form->SaNumEdit(100)->setFocus();
    QTest::keyClick(form->SaNumEdit(100), Qt::Key_Return);
    QCoreApplication::processEvents();
  }

  QString header(TSaNumEdit* cell) const { return cell->Text(); }
};

// --- The controls as they read ------------------------------------------------

TEST_F(Access, ControlsReadAsTheyShowBeforeDuringAndAfterADrill) {
  enum Phase { Before, During, Graded, Restarted };
  struct Row {
    Phase phase;
    std::function<QObject*()> control;
    QAccessible::Role role;
    std::function<QString()> name;
    QString value;        // "*" for any
    QString description;
    const char* states;   // f focused, r read-only, e editable, d disabled, i invisible
  };
  auto fixed = [](const char* text) { return [s = QString::fromUtf8(text)] { return s; }; };
  auto answer = [this](int k, const char* word) {
    return [this, k, w = QString::fromUtf8(word)] {
      return header(form->XEdit((k - 1) % 10 + 1)) + " " + w + " " + header(form->YEdit((k - 1) / 10 + 1));
    };
  };
  auto cell = [this](int k) { return [this, k]() -> QObject* { return form->SaNumEdit(k); }; };
  auto of = [](auto get) { return [get]() -> QObject* { return get(); }; };
  using R = QAccessible::Role;
  const std::vector<Row> rows = {
      {Before, of([&] { return form->CuteButton1; }), R::Button, fixed("はじめる"), "", "", "f"},
      {Before, of([&] { return form->CuteButton2; }), R::Button, fixed("おわる"), "", "", ""},
      {Before, of([&] { return form->ShadowLabel1; }), R::StaticText, fixed("Sorabe  Ver 1.10"), "", "", ""},
      {Before, of([&] { return form->Panel1; }), R::StaticText, fixed("3"), "", "", "i"},
      {Before, of([&] { return form.get(); }), R::Window, fixed("Sorabe"), "", "", ""},
      {Before, cell(1), R::EditableText, fixed("1ぎょうめ 1れつめ"), "", "", "e"},
      {Before, cell(100), R::EditableText, fixed("10ぎょうめ 10れつめ"), "", "", "e"},
      {Before, of([&] { return form->XEdit(3); }), R::StaticText, fixed("うえの 3ばんめ"), "", "", "r"},
      {Before, of([&] { return form->Y25masu(2); }), R::EditableText, fixed("ひだりの 2ばんめ"), "", "", "ei"},
      {Before, of([&] { return form->Edit25masu(7); }), R::EditableText, fixed("2ぎょうめ 2れつめ"), "", "", "ei"},
      {Before, cell(101), R::EditableText, fixed("分"), "0", "", "e"},
      {Before, cell(102), R::EditableText, fixed("秒"), "0", "", "e"},
      {Before, cell(103), R::EditableText, fixed("10分の1秒"), "0", "", "e"},
      {During, cell(1), R::EditableText, answer(1, "ひく"), "", "", "fe"},
      {During, cell(57), R::EditableText, answer(57, "ひく"), "", "", "e"},
      {During, of([&] { return form->CuteButton1; }), R::Button, fixed("はじめる"), "", "", "d"},
      {During, of([&] { return form->Panel1; }), R::StaticText, fixed("3"), "", "", "i"},
      {During, of([&] { return form->XEdit(1); }), R::StaticText, fixed("うえの 1ばんめ"), "*", "", "r"},
      {Graded, cell(1), R::EditableText, answer(1, "ひく"), "*", "せいかい", "e"},
      {Graded, cell(2), R::EditableText, answer(2, "ひく"), "*", "まちがい", "e"},
      {Graded, of([&] { return form->Edit25masu(1); }), R::EditableText, fixed("1ぎょうめ 1れつめ"), "", "", "ei"},
      {Graded, of([&] { return form.get(); }), R::Window, fixed("Sorabe"), "", "しゅうりょう 99てん", ""},
      {Restarted, cell(2), R::EditableText, fixed("1ぎょうめ 2れつめ"), "", "", "e"},
      {Restarted, of([&] { return form.get(); }), R::Window, fixed("Sorabe"), "", "", ""},
  };

  Listener listener(true);  // as with a screen reader running
  for (Phase phase : {Before, During, Graded, Restarted}) {
    if (phase == During) {
      form->RadioButton3->setChecked(true);
      startDrill();
      form->MMTimer1->SetEnabled(false);
    } else if (phase == Graded) {
      answerAndClose({2});
    } else if (phase == Restarted) {
      form->CuteButton1Click(form->CuteButton1);
    }
    for (const Row& row : rows) {
      if (row.phase != phase) continue;
      QObject* control = row.control();
      QAccessibleInterface* iface = Iface(control);
      ASSERT_NE(iface, nullptr);
      SCOPED_TRACE(("phase " + QString::number(phase) + " " + control->objectName()).toStdString());
      EXPECT_EQ(iface->role(), row.role);
      EXPECT_EQ(iface->text(QAccessible::Name), row.name());
      if (row.value != "*") {
        EXPECT_EQ(iface->text(QAccessible::Value), row.value);
      }
      EXPECT_EQ(iface->text(QAccessible::Description), row.description);
      const QAccessible::State st = iface->state();
      const QString flags = QString::fromUtf8(row.states);
      EXPECT_EQ(bool(st.focused), flags.contains('f'));
      EXPECT_EQ(bool(st.readOnly), flags.contains('r'));
      if (row.role == R::EditableText || row.role == R::StaticText) {
        EXPECT_EQ(bool(st.editable), flags.contains('e'));
      }
      EXPECT_EQ(bool(st.disabled), flags.contains('d'));
      EXPECT_EQ(bool(st.invisible), flags.contains('i'));
    }
  }
}

TEST_F(Access, TheCellsTextInterfaceFollowsWhatIsShownTheCaretAndTheWholeCellSelection) {
  struct Config {
    const char* left;
    const char* right;
    bool decimalFixed;
    const char* text;
    const char* shown;
    int caret;
  };
  const Config configs[] = {
      {"", "", false, "12", "12", 2},
      {"", "", false, "1234567", "1,234,567", 9},
      {"¥", "円", true, "1234.5", "¥1,234.500円", 8},
      {"¥", "", false, "", "", 0},
  };
  for (const Config& c : configs) {
    SCOPED_TRACE(c.shown);
    TSaNumEdit* cell = form->SaNumEdit(103);  // a wide enough cell for every run
    cell->resize(300, cell->height());
    cell->SetLeftMark(QString::fromUtf8(c.left));
    cell->SetRightMark(QString::fromUtf8(c.right));
    cell->SetDecimalFixed(c.decimalFixed);
    cell->SetText(QString::fromUtf8(c.text));
    cell->ClearSelection();
    QAccessibleTextInterface* text = Iface(cell)->textInterface();
    ASSERT_NE(text, nullptr);
    const QString shown = QString::fromUtf8(c.shown);
    EXPECT_EQ(text->text(0, text->characterCount()), shown);
    EXPECT_EQ(text->cursorPosition(), c.caret);
    EXPECT_EQ(text->selectionCount(), 0);

    text->setSelection(0, 1, 2);  // any range selects the whole cell
    EXPECT_EQ(cell->Selected(), !shown.isEmpty());
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(end - start, shown.isEmpty() ? 0 : shown.size());
    text->removeSelection(0);
    EXPECT_FALSE(cell->Selected());

    int lastLeft = -1;
    for (int i = 0; i < text->characterCount(); ++i) {
      const QRect box = text->characterRect(i);
      EXPECT_GT(box.left(), lastLeft) << "character " << i;
      EXPECT_EQ(text->offsetAtPoint(box.center()), i);
      lastLeft = box.left();
    }
  }
}

TEST_F(Access, PressActionClicksTheButtonAfterTheRequestAndNotWhileDisabled) {
  QAccessibleActionInterface* action = Iface(form->CuteButton1)->actionInterface();
  ASSERT_NE(action, nullptr);
  ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
  action->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_FALSE(form->Timer1->isActive()) << "clicked before the request was answered";
  QCoreApplication::processEvents();
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_TRUE(form->Panel1->isVisible());

  recorded().sounds.clear();
  action->doAction(QAccessibleActionInterface::pressAction());  // disabled now
  QCoreApplication::processEvents();
  EXPECT_TRUE(recorded().sounds.isEmpty());
}

TEST(AccessNames, AnswerNamesReadTheHeadersOrThePlaceAndCaptionsLoseTheirMnemonics) {
  EXPECT_EQ(a11y::AnswerName("4", "たす", "7", 0, 0), "4 たす 7");
  EXPECT_EQ(a11y::AnswerName("14", "ひく", "7", 3, 5), "14 ひく 7");
  EXPECT_EQ(a11y::AnswerName("", "かける", "7", 3, 5), "4ぎょうめ 6れつめ");
  EXPECT_EQ(a11y::AnswerName("4", "かける", "", 9, 9), "10ぎょうめ 10れつめ");
  EXPECT_EQ(a11y::WithoutMnemonics("は&じめる"), "はじめる");
  EXPECT_EQ(a11y::WithoutMnemonics("A && B&"), "A & B");
}

// --- What is heard ------------------------------------------------------------

TEST_F(Access, TypingCountdownStopwatchAndClosingAreHeard) {
  Listener listener(true);
  form->CuteButton1Click(form->CuteButton1);
  std::vector<QString> countdown;
  for (int step = 0; step < 3; ++step) {
    form->Timer1Timer(form->Timer1);
    for (const Heard& h : Only(listener.take(), QAccessible::NameChanged, form->Panel1))
      countdown.push_back(h.text);
  }
  // "0" flickers within the last step and is never heard; "3" is what the
  // panel holds for the next drill.
  EXPECT_EQ(countdown, (std::vector<QString>{"2", "1", "3"}));

  form->MMTimer1->SetEnabled(false);  // the ticks below are counted by hand

  ASSERT_EQ(focused(), form->SaNumEdit(1));
  QTest::keyClick(focused(), Qt::Key_1);
  QTest::keyClick(focused(), Qt::Key_2);
  QTest::keyClick(focused(), Qt::Key_Backspace);
  QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(focused(), Qt::Key_7);
  std::vector<Heard> typed = listener.take();
  auto is = [](const Heard& h, QAccessible::Event type, const char* text, int position, int cursor) {
    return h.type == type && h.text == QString::fromUtf8(text) && h.position == position && h.cursor == cursor;
  };
  ASSERT_EQ(typed.size(), 7u);
  EXPECT_TRUE(is(typed[0], QAccessible::TextInserted, "1", 0, 1));
  EXPECT_TRUE(is(typed[1], QAccessible::TextInserted, "2", 1, 2));
  EXPECT_TRUE(is(typed[2], QAccessible::TextRemoved, "2", 1, 1));
  EXPECT_TRUE(is(typed[3], QAccessible::TextSelectionChanged, "", 1, 1));  // Ctrl+A: all of "1"
  EXPECT_TRUE(is(typed[4], QAccessible::TextRemoved, "1", 0, 0));         // typing over it
  EXPECT_TRUE(is(typed[5], QAccessible::TextSelectionChanged, "", 0, 0));
  EXPECT_TRUE(is(typed[6], QAccessible::TextInserted, "7", 0, 1));

  // Two and a half seconds of stopwatch: the seconds twice, never the tenths.
  for (int tick = 0; tick < 25; ++tick) form->MMTimer1Timer(form->MMTimer1);
  const std::vector<Heard> clock = listener.take();
  EXPECT_TRUE(Only(clock, QAccessible::TextUpdated, form->SaNumEdit(103)).empty());
  const std::vector<Heard> seconds = Only(clock, QAccessible::TextUpdated, form->SaNumEdit(102));
  ASSERT_EQ(seconds.size(), 2u);
  EXPECT_EQ(seconds[1].text, "1>2");
  EXPECT_EQ(clock.size(), 2u);

  // The closing: the marks of the hundred cells and the window's alert.
  answerAndClose({5, 6});
  const std::vector<Heard> closing = listener.take();
  const std::vector<Heard> marks = Only(closing, QAccessible::DescriptionChanged);
  EXPECT_EQ(marks.size(), 101u);  // 100 cells and the window
  EXPECT_EQ(Only(closing, QAccessible::DescriptionChanged, form->SaNumEdit(5)).at(0).text, "まちがい");
  const std::vector<Heard> alert = Only(closing, QAccessible::Alert, form.get());
  ASSERT_EQ(alert.size(), 1u);
  EXPECT_EQ(alert[0].text, "しゅうりょう 98てん");
  EXPECT_EQ(recorded().messages, QStringList{"しゅうりょう"});

  // Another operation renames every answer cell beside filled headers.
  form->RadioButton2->setChecked(true);
  const std::vector<Heard> renamed = Only(listener.take(), QAccessible::NameChanged);
  EXPECT_EQ(renamed.size(), 100u);
  EXPECT_TRUE(renamed.at(0).text.contains("かける"));
}

TEST_F(Access, HeadersRenameTheirAnswerCellsOncePerCell) {
  Listener listener(true);
  startDrill();
  form->MMTimer1->SetEnabled(false);
  std::vector<Heard> names = Only(listener.take(), QAccessible::NameChanged);
  std::erase_if(names, [&](const Heard& h) { return h.object == form->Panel1; });
  EXPECT_EQ(names.size(), 100u);
  EXPECT_EQ(Only(names, QAccessible::NameChanged, form->SaNumEdit(23)).size(), 1u);
  EXPECT_EQ(Only(names, QAccessible::NameChanged, form->SaNumEdit(23)).at(0).text,
            form->XEdit(3)->Text() + " たす " + form->YEdit(3)->Text());

  form->X25masu(2)->SetText("9");  // a header of the grid not drawn: its cells keep their place names
  EXPECT_TRUE(Only(listener.take(), QAccessible::NameChanged).empty());
}

TEST_F(Access, NothingIsBuiltWhileNoOneListens) {
  Listener listener(false);
  startDrill();
  form->MMTimer1->SetEnabled(false);
  QTest::keyClick(focused(), Qt::Key_4);
  QTest::keyClick(focused(), Qt::Key_A, Qt::ControlModifier);
  for (int tick = 0; tick < 25; ++tick) form->MMTimer1Timer(form->MMTimer1);
  answerAndClose({});
  form->RadioButton2->setChecked(true);
  EXPECT_EQ(listener.take().size(), 0u);
}

}  // namespace
