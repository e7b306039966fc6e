// The push button's page of the gallery: every placement of the caption,
// the margins, the looks and states, the drop-down menu at once and after a
// hold, and the click that shuts out queued clicks. Each button has a label
// above it naming what it shows; the line at the bottom tells what the
// buttons report.

#include "Gallery.h"
#include "platform/Application.h"
#include "widgets/CuteBtn.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QThread>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QWidget>

#include <cstdio>

namespace {

constexpr int kColumn = 160;  // one button and its label
constexpr int kRow = 84;
constexpr int kButtonWidth = 137, kButtonHeight = 57;

constexpr TColor kDrillFace = RGBColor(0xEF, 0xEF, 0xEF);

QFont CaptionFont(int pixels) {
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(pixels);
  return font;
}

// Lives as long as the page: the buttons' handlers report through it.
class ButtonPage : public QObject {
 public:
  explicit ButtonPage(QWidget* page) : QObject(page), page_(page) {}

  void build() {
    page_->setObjectName(QStringLiteral("ButtonPage"));
    status_ = new QLabel(page_);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setGeometry(8, top(6) + 8, 6 * kColumn, 20);
    report(QStringLiteral("Hover, press, drag off, double-click, Space, Enter, Alt+letter: what happens shows here."));

    heading(QStringLiteral("Alignment × Layout — 137 × 57, BevelWidth 2, no margins"), 0, 0);
    const std::pair<TAlignment, const char*> alignments[] = {
        {taLeftJustify, "taLeftJustify"}, {taCenter, "taCenter"}, {taRightJustify, "taRightJustify"}};
    const std::pair<TTextLayout, const char*> layouts[] = {{tlTop, "tlTop"}, {tlCenter, "tlCenter"}, {tlBottom, "tlBottom"}};
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 3; ++col) {
        TCuteButton* b = button(col, row, QStringLiteral("%1, %2").arg(alignments[col].second, layouts[row].second),
                                QStringLiteral("Abc"));
        b->SetAlignment(alignments[col].first);
        b->SetLayout(layouts[row].first);
      }

    heading(QStringLiteral("Margins — MarginX 12, MarginY 8"), 3 * kColumn + 24, 0);
    struct Margin {
      TAlignment alignment;
      TTextLayout layout;
      int marginX, marginY;
      const char* label;
    };
    const Margin margins[] = {
        {taLeftJustify, tlTop, 12, 8, "left, top: moved in"},
        {taRightJustify, tlBottom, 12, 8, "right, bottom: moved in"},
        {taCenter, tlCenter, 12, 8, "centre: margins ignored"},
        {taLeftJustify, tlCenter, -7, -1, "MarginX −7 stores −1"},
    };
    for (int i = 0; i < 4; ++i) {
      const Margin& m = margins[i];
      TCuteButton* b = button(3 + i % 2, i / 2, QString::fromUtf8(m.label), QStringLiteral("Abc"), 24);
      b->SetAlignment(m.alignment);
      b->SetLayout(m.layout);
      b->SetMarginX(m.marginX);
      b->SetMarginY(m.marginY);
    }

    heading(QStringLiteral("Looks and states — BevelWidth 2 and colour RGB EF EF EF unless named"), 0, 3);
    looks(3);

    heading(QStringLiteral("Drop-down menu"), 0, 5);
    dropDowns(5);
    heading(QStringLiteral("EgnoreContClick — the handler takes 1.5 s; click again meanwhile"), 3 * kColumn, 5);
    slowClicks(5);

    page_->resize(6 * kColumn, top(6) + 36);
  }

 private:
  static int top(int row) { return 28 + row * kRow + (row >= 3 ? 24 : 0) + (row >= 5 ? 24 : 0); }

  // A bold line above the first row of a group.
  void heading(const QString& text, int left, int firstRow) {
    auto* label = new QLabel(text, page_);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setGeometry(8 + left, top(firstRow) - 22, 6 * kColumn - left, 18);
  }

  // A button in the drill window's look, with a label above it saying
  // what it shows.
  TCuteButton* button(int col, int row, const QString& label, const QString& caption, int shift = 0) {
    const int x = 8 + col * kColumn + shift, y = top(row);
    auto* text = new QLabel(label, page_);
    QFont small = text->font();
    small.setPixelSize(11);
    text->setFont(small);
    text->setGeometry(x, y, kColumn - 2, 16);
    auto* b = new TCuteButton(page_);
    b->setObjectName(label);
    b->setGeometry(x, y + 18, kButtonWidth, kButtonHeight);
    b->SetCaption(caption);
    b->setFont(CaptionFont(20));
    b->SetColor(kDrillFace);
    b->SetBevelWidth(2);
    b->OnClick = [this](QObject* sender) { report(QStringLiteral("click: ") + sender->objectName()); };
    return b;
  }

  void looks(int row) {
    TCuteButton* drill = button(0, row, QStringLiteral("drill window"), QStringLiteral("はじめる"));
    drill->setFont(CaptionFont(32));
    drill->setCursor(Qt::PointingHandCursor);

    TCuteButton* defaults = button(1, row, QStringLiteral("defaults: BevelWidth 1"), QStringLiteral("Abc"));
    defaults->SetBevelWidth(1);
    defaults->SetColor(clBtnFace);

    button(2, row, QStringLiteral("Flat, BevelWidth 2"), QStringLiteral("Abc"))->SetFlat(true);

    TCuteButton* colours = button(3, row, QStringLiteral("own colours, hover me"), QStringLiteral("Abc"));
    colours->setObjectName(QStringLiteral("HoverButton"));
    colours->SetColor(RGBColor(0xFF, 0xF4, 0xD6));
    colours->SetBevelHighlightColor(clWhite);
    colours->SetBevelShadowColor(RGBColor(0xB0, 0x8C, 0x3C));
    colours->OnMouseEnter = [this](QObject*, Qt::KeyboardModifiers, int x, int y) {
      report(QStringLiteral("OnMouseEnter at %1, %2").arg(x).arg(y));
    };
    colours->OnMouseLeave = [this](QObject*, Qt::KeyboardModifiers, int x, int y) {
      report(QStringLiteral("OnMouseLeave at %1, %2").arg(x).arg(y));
    };

    button(4, row, QStringLiteral("BevelWidth 4"), QStringLiteral("Abc"))->SetBevelWidth(4);
    button(5, row, QStringLiteral("BorderStyle bsSingle"), QStringLiteral("Abc"))->SetBorderStyle(bsSingle);

    TCuteButton* line = button(0, row + 1, QStringLiteral("bsSingle, Ctl3D off"), QStringLiteral("Abc"));
    line->SetBorderStyle(bsSingle);
    line->SetCtl3D(false);

    button(1, row + 1, QStringLiteral("ShowFocusRect: Tab here"), QStringLiteral("Abc"))->SetShowFocusRect(true);
    button(2, row + 1, QStringLiteral("TabFocusUp off"), QStringLiteral("Abc"))->SetTabFocusUp(false);

    button(3, row + 1, QStringLiteral("disabled"), QStringLiteral("Abc"))->setEnabled(false);
    TCuteButton* grey = button(4, row + 1, QStringLiteral("disabled, UseDisabledColor"), QStringLiteral("Abc"));
    grey->SetUseDisabledColor(true);
    grey->setEnabled(false);

    TCuteButton* shy = button(5, row + 1, QStringLiteral("disables itself"), QStringLiteral("保存(&S)"));
    shy->OnClick = [this, shy](QObject*) {
      shy->setEnabled(false);
      report(QStringLiteral("saved (Alt+S); the button is off for 2 s"));
      QTimer::singleShot(2000, shy, [shy] { shy->setEnabled(true); });
    };
  }

  void dropDowns(int row) {
    auto* menu = new QMenu(page_);
    for (const char* item : {"たしざん", "かけざん", "ひきざん"}) {
      const QString text = QString::fromUtf8(item);
      menu->addAction(text, page_, [this, text] { report(QStringLiteral("menu: ") + text); });
    }
    TCuteButton* atOnce = button(0, row, QStringLiteral("DropDownDelay 0"), QStringLiteral("&Menu"));
    atOnce->SetDropDownMenu(menu);

    TCuteButton* held = button(1, row, QStringLiteral("DropDownDelay 800: hold it"), QStringLiteral("Ho&ld"));
    held->setObjectName(QStringLiteral("DelayedButton"));
    held->SetColor(RGBColor(0xD6, 0xEC, 0xFF));
    held->SetDropDownMenu(menu);
    held->SetDropDownDelay(800);

    // A button and a menu item sharing one action: either runs it.
    auto* action = new QAction(QStringLiteral("&Action"), page_);
    connect(action, &QAction::triggered, page_, [this] { report(QStringLiteral("the action ran")); });
    menu->addSeparator();
    menu->addAction(action);
    TCuteButton* linked = button(2, row, QStringLiteral("Action, no OnClick"), QString());
    linked->OnClick = nullptr;
    linked->SetAction(action);
  }

  // Each button's handler takes 1.5 s and pumps the input as it goes, so
  // clicks given meanwhile arrive during the handler.
  void slowClicks(int row) {
    for (bool ignore : {true, false}) {
      const QString label = ignore ? QStringLiteral("EgnoreContClick on") : QStringLiteral("EgnoreContClick off");
      TCuteButton* b = button(ignore ? 3 : 4, row, label, QStringLiteral("Slow"));
      b->SetEgnoreContClick(ignore);
      b->OnClick = [this, label, runs = 0](QObject*) mutable {
        ++runs;
        report(QStringLiteral("%1: handler run %2 started, click again now").arg(label).arg(runs));
        for (int i = 0; i < 15; ++i) {
          QThread::msleep(100);
          QCoreApplication::processEvents();
        }
        report(QStringLiteral("%1: handler run %2 done").arg(label).arg(runs));
      };
    }
  }

  // On the page, and on standard output for whoever runs the gallery.
  void report(const QString& text) {
    if (status_) status_->setText(text);
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
  }

  QWidget* page_;
  QLabel* status_ = nullptr;
};

}  // namespace

QWidget* MakeButtonPage() {
  auto* page = new QWidget;
  (new ButtonPage(page))->build();
  return page;
}
