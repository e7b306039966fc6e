// What a screen reader finds and hears: the controls through their
// accessible interfaces before, during and after a drill, and the events of
// typing, the countdown, the stopwatch and the closing.

#include "window/DrillFixture.h"

#include "platform/Accessibility.h"
#include "platform/ShiftJis.h"
#include "widgets/Accessible.h"
#include "widgets/Panel.h"
#include "window/DrillNames.h"
#include "widgets/MMTimer.h"
#include "widgets/ShadoLbl.h"

#include <QtGui/QAccessible>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListView>

#include <algorithm>
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
  Heard h{event->type(), event->object(), {}};
  QAccessibleInterface* iface = event->accessibleInterface();
  if (h.type == QAccessible::NameChanged) h.text = iface->text(QAccessible::Name);
  if (h.type == QAccessible::DescriptionChanged || h.type == QAccessible::Alert)
    h.text = iface->text(QAccessible::Description);
  if (auto* e = dynamic_cast<QAccessibleTextCursorEvent*>(event)) h.cursor = e->cursorPosition();
  if (auto* e = dynamic_cast<QAccessibleTextInsertEvent*>(event)) {
    h.text = e->textInserted();
    h.position = e->changePosition();
  } else if (auto* e = dynamic_cast<QAccessibleTextRemoveEvent*>(event)) {
    h.text = e->textRemoved();
    h.position = e->changePosition();
  } else if (auto* e = dynamic_cast<QAccessibleTextUpdateEvent*>(event)) {
    h.text = e->textRemoved() + ">" + e->textInserted();
  } else if (auto* e = dynamic_cast<QAccessibleTextSelectionEvent*>(event)) {
    h.position = e->selectionEnd() - e->selectionStart();  // the length selected
  }
  if (sink) sink->push_back(h);
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
};

// --- The controls as they read ------------------------------------------------

TEST_F(Access, ControlsReadAsTheyShowBeforeDuringAndAfterADrill) {
  enum Phase { Before, During, Graded, Restarted };
  struct Row {
    Phase phase;
    QObject* control;
    QAccessible::Role role;
    QString name;         // %1 and %2: the column and row headers of answer cell k
    int k;
    QString value;        // "*" for any (a drawn or typed number)
    QString description;
    QString states;       // f focused, r read-only, e editable, d disabled, i invisible
  };
  using R = QAccessible::Role;
  TForm1* f = form.get();
  const std::vector<Row> rows = {
      {Before, f->CuteButton1, R::Button, "はじめる", 0, "", "", "f"},
      {Before, f->ShadowLabel1, R::StaticText, "Sorabe  Ver 1.10", 0, "", "", ""},
      {Before, f->Panel1, R::StaticText, "3", 0, "", "", "i"},
      {Before, f, R::Window, "Sorabe", 0, "", "", ""},
      {Before, f->SaNumEdit(1), R::EditableText, "1ぎょうめ 1れつめ", 0, "", "", "e"},
      {Before, f->XEdit(3), R::StaticText, "うえの 3ばんめ", 0, "", "", "r"},
      {Before, f->Y25masu(2), R::EditableText, "ひだりの 2ばんめ", 0, "", "", "ei"},
      {Before, f->SaNumEdit(101), R::EditableText, "分", 0, "0", "", "e"},
      {Before, f->SaNumEdit(102), R::EditableText, "秒", 0, "0", "", "e"},
      {Before, f->SaNumEdit(103), R::EditableText, "10分の1秒", 0, "0", "", "e"},
      {During, f->SaNumEdit(1), R::EditableText, "%1 ひく %2", 1, "", "", "fe"},
      {During, f->SaNumEdit(57), R::EditableText, "%1 ひく %2", 57, "", "", "e"},
      {During, f->CuteButton1, R::Button, "はじめる", 0, "", "", "d"},
      {Graded, f->SaNumEdit(1), R::EditableText, "%1 ひく %2", 1, "*", "せいかい", "e"},
      {Graded, f->SaNumEdit(2), R::EditableText, "%1 ひく %2", 2, "*", "まちがい", "e"},
      {Graded, f->Edit25masu(1), R::EditableText, "1ぎょうめ 1れつめ", 0, "", "", "ei"},
      {Graded, f, R::Window, "Sorabe", 0, "", "しゅうりょう 99てん", ""},
      {Restarted, f->SaNumEdit(2), R::EditableText, "1ぎょうめ 2れつめ", 0, "", "", "e"},
      {Restarted, f, R::Window, "Sorabe", 0, "", "", ""},
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
      SCOPED_TRACE(QString("phase %1 %2").arg(phase).arg(row.control->objectName()).toStdString());
      QAccessibleInterface* iface = Iface(row.control);
      ASSERT_NE(iface, nullptr);
      EXPECT_EQ(iface->role(), row.role);
      const QString name = row.k == 0 ? row.name
                                      : row.name.arg(f->XEdit((row.k - 1) % 10 + 1)->Text(),
                                                     f->YEdit((row.k - 1) / 10 + 1)->Text());
      EXPECT_EQ(iface->text(QAccessible::Name), name);
      if (row.value != "*") {
        EXPECT_EQ(iface->text(QAccessible::Value), row.value);
      }
      EXPECT_EQ(iface->text(QAccessible::Description), row.description);
      const QAccessible::State st = iface->state();
      EXPECT_EQ(bool(st.focused), row.states.contains('f'));
      EXPECT_EQ(bool(st.readOnly), row.states.contains('r'));
      EXPECT_EQ(bool(st.editable), row.states.contains('e'));
      EXPECT_EQ(bool(st.disabled), row.states.contains('d'));
      EXPECT_EQ(bool(st.invisible), row.states.contains('i'));
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

TEST(AccessNames, AnswerNamesReadTheHeadersOrThePlaceAndCaptionsLoseTheirMnemonics) {
  EXPECT_EQ(a11y::AnswerName("4", "たす", "7", 0, 0), "4 たす 7");
  EXPECT_EQ(a11y::AnswerName("14", "ひく", "7", 3, 5), "14 ひく 7");
  EXPECT_EQ(a11y::AnswerName("", "かける", "7", 3, 5), "4ぎょうめ 6れつめ");
  EXPECT_EQ(a11y::AnswerName("4", "かける", "", 9, 9), "10ぎょうめ 10れつめ");
  EXPECT_EQ(a11y::WithoutMnemonics("は&じめる"), "はじめる");
  EXPECT_EQ(a11y::WithoutMnemonics("A && B&"), "A & B");
}

// --- What is heard ------------------------------------------------------------

TEST_F(Access, PressCountdownTypingStopwatchAndClosingAreHeard) {
  Listener listener(true);
  // "はじめる" pressed through its action clicks once the request is answered,
  // and not at all while it is disabled.
  QAccessibleActionInterface* button = Iface(form->CuteButton1)->actionInterface();
  button->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_FALSE(form->Timer1->isActive()) << "clicked before the request was answered";
  listener.take();
  button->doAction(QAccessibleActionInterface::pressAction());
  listener.take();
  EXPECT_TRUE(form->Timer1->isActive());
  EXPECT_EQ(recorded().sounds.size(), 1);
  std::vector<QString> countdown;
  std::vector<Heard> renamed;
  for (int step = 0; step < 3; ++step) {
    form->Timer1Timer(form->Timer1);
    for (const Heard& h : Only(listener.take(), QAccessible::NameChanged))
      if (h.object == form->Panel1)
        countdown.push_back(h.text);
      else
        renamed.push_back(h);
  }
  // "0" flickers within the last step and is never heard; "3" is what the
  // panel holds for the next drill.
  EXPECT_EQ(countdown, (std::vector<QString>{"2", "1", "3"}));
  // Each answer cell is renamed once, as its second header is drawn.
  EXPECT_EQ(renamed.size(), 100u);
  ASSERT_EQ(Only(renamed, QAccessible::NameChanged, form->SaNumEdit(23)).size(), 1u);
  EXPECT_EQ(Only(renamed, QAccessible::NameChanged, form->SaNumEdit(23))[0].text,
            form->XEdit(3)->Text() + " たす " + form->YEdit(3)->Text());

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
  const std::vector<Heard> operation = Only(listener.take(), QAccessible::NameChanged);
  EXPECT_EQ(operation.size(), 100u);
  EXPECT_TRUE(operation.at(0).text.contains("かける"));
}

// The score list reads as the caption above it, which labels it, through
// every grid switch, and its lines are its items; the grid-kind panel names
// its radio group.
TEST_F(Access, TheScoreListIsNamedByItsCaptionAndThePanelByItsChoice) {
  writeFile("date/mas25.dat", platform::ToShiftJis(QStringLiteral("2024/4/02  96点  かけざん  0:40:0\r\n"
                                                                  "2024/4/03  92点  たしざん  0:41:0\r\n")));
  const struct {
    QRadioButton* grid;
    const char* caption;
    int lines;
  } switches[] = {{nullptr, "100マス成績表", 0},
                  {form->RadioButton6, "25マス成績表", 2},
                  {form->RadioButton4, "100マス成績表", 0},
                  {form->RadioButton6, "25マス成績表", 2}};
  Listener listener(true);
  for (const auto& step : switches) {
    SCOPED_TRACE(step.caption);
    if (step.grid) step.grid->setChecked(true);
    ASSERT_EQ(form->Label25->text(), step.caption);
    const std::vector<Heard> renamed = Only(listener.take(), QAccessible::NameChanged, form->ListBox1);
    ASSERT_EQ(renamed.size(), step.grid ? 1u : 0u) << "a rename is heard once";
    if (step.grid) {
      EXPECT_EQ(renamed[0].text, step.caption);
    }
    QAccessibleInterface* list = Iface(form->ListBox1);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), step.caption);
    const auto labelledBy = list->relations(QAccessible::Label);
    ASSERT_EQ(labelledBy.size(), 1);
    EXPECT_EQ(labelledBy[0].first->object(), form->Label25);
    const auto labels = Iface(form->Label25)->relations(QAccessible::Labelled);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->object(), form->ListBox1);
    ASSERT_EQ(list->childCount(), step.lines);
    for (int row = 0; row < step.lines; ++row) {
      QAccessibleInterface* line = list->child(row);
      ASSERT_NE(line, nullptr);
      EXPECT_EQ(line->role(), QAccessible::ListItem);
      EXPECT_EQ(line->text(QAccessible::Name), form->ScoreListLines().at(row));
      EXPECT_EQ(list->indexOfChild(line), row);
      EXPECT_EQ(line->parent(), list);
    }
  }
  EXPECT_EQ(Iface(form->Panel2)->text(QAccessible::Name), "マスの かず");
  EXPECT_EQ(Iface(form->Panel2)->role(), QAccessible::Pane);
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
