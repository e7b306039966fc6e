// The drill window's layout: every control with its settings, created in
// stacking order (a later sibling lies above an earlier one).

#include "window/Form1.h"

#include "drill/AnswersFile.h"
#include "drill/ScoreListModel.h"
#include "platform/Application.h"
#include "widgets/CuteBtn.h"
#include "widgets/MMTimer.h"
#include "widgets/Panel.h"
#include "widgets/SaNumEdit.h"
#include "widgets/ShadoLbl.h"
#include "window/DrillNames.h"
#include "window/FormAccessible.h"

#include <QtCore/QTimer>
#include <QtGui/QIcon>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListView>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QStyledItemDelegate>

#include <algorithm>
#include <chrono>

namespace {

constexpr TColor kWindowColor = RGBColor(0xDB, 0xE0, 0xEE);
constexpr TColor kHeaderColor = RGBColor(0xD2, 0xF7, 0xDD);

enum class Weight { Regular, Bold };

// A font of the window's face, its em height in pixels.
QFont WindowFont(int height, Weight weight) {
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(height);
  font.setBold(weight == Weight::Bold);
  return font;
}

void SetTextColor(QWidget* widget, TColor color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, ColorToQColor(color));
  palette.setColor(QPalette::Text, ColorToQColor(color));
  widget->setPalette(palette);
}

// A label paints no background of its own: the parent shows through.
QLabel* MakeLabel(QWidget* parent, const QString& name, int left, int top, int width,
                  int height, const QString& caption, QFont font) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setGeometry(left, top, width, height);
  label->setFont(font);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setAutoFillBackground(false);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  SetTextColor(label, clWindowText);
  return label;
}

QRadioButton* MakeRadio(QWidget* parent, const QString& name, int left, int top, int width,
                        int height, const QString& caption, QFont font, TColor color) {
  auto* radio = new QRadioButton(caption, parent);
  radio->setObjectName(name);
  radio->setGeometry(left, top, width, height);
  radio->setFont(font);
  SetTextColor(radio, color);
  return radio;
}

TCuteButton* MakeButton(QWidget* parent, const QString& name, int left, int top,
                        const QString& caption) {
  auto* button = new TCuteButton(parent);
  button->setObjectName(name);
  button->setGeometry(left, top, 137, 57);
  button->SetCaption(caption);
  button->setFont(WindowFont(32, Weight::Regular));
  button->SetFontColor(clWindowText);
  button->SetColor(RGBColor(0xEF, 0xEF, 0xEF));
  button->SetBevelWidth(2);
  button->SetFlat(false);
  button->SetShowFocusRect(false);
  button->SetUseDisabledColor(false);
  button->SetEgnoreContClick(false);
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

// The score list draws every line 12 pixels high.
class FixedHeightDelegate : public QStyledItemDelegate {
 public:
  FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
  }

 private:
  int height_;
};

// Column left edges of the 100-square: the steps alternate 53 and 51.
constexpr int Column100(int j) { return 56 + 52 * j + (j % 2); }
// Row top edges of the 25-square's answer cells.
constexpr std::array<int, 5> kRow25Tops = {88, 177, 266, 354, 441};

// The settings of one kind of cell. Every cell is centred; what a kind does
// not set keeps the cell's own default.
struct CellKind {
  int integerLength = 9;
  bool enterFocusMove = false;
  bool arrowFocusMove = false;
  bool readOnly = false;
  TColor color = clWindow;
  int fontHeight = 12;
  TColor fontColor = clWindowText;
  Weight weight = Weight::Regular;
  Qt::CursorShape cursor = Qt::IBeamCursor;
  const char* text = "";
};

constexpr CellKind kAnswer100{.integerLength = 2, .enterFocusMove = true, .arrowFocusMove = true,
                              .fontHeight = 41, .fontColor = clBlue, .weight = Weight::Bold};
constexpr CellKind kLastAnswer100{.integerLength = 2, .arrowFocusMove = true, .fontHeight = 41,
                                  .fontColor = clBlue, .weight = Weight::Bold};
constexpr CellKind kClock{.fontHeight = 32, .text = "0"};
constexpr CellKind kHeader100{.readOnly = true, .color = kHeaderColor, .fontHeight = 45,
                              .fontColor = clGray, .weight = Weight::Bold, .cursor = Qt::ArrowCursor};
constexpr CellKind kHeader25{.color = kHeaderColor, .fontHeight = 83, .fontColor = clGray,
                             .weight = Weight::Bold};
constexpr CellKind kAnswer25{.enterFocusMove = true, .color = clWhite, .fontHeight = 83,
                             .fontColor = clBlue, .weight = Weight::Bold};
constexpr CellKind kLastAnswer25{.color = clWhite, .fontHeight = 83, .fontColor = clBlue,
                                 .weight = Weight::Bold};

// In the order a layout sets them: the setters see each value as it comes.
void ApplyCellKind(TSaNumEdit* cell, const CellKind& kind) {
  cell->SetAlignment(taCenter);
  cell->SetIntegerLength(kind.integerLength);
  cell->SetEnterFocusMove(kind.enterFocusMove);
  cell->SetArrowFocusMove(kind.arrowFocusMove);
  cell->SetReadOnly(kind.readOnly);
  cell->SetColor(kind.color);
  cell->setFont(WindowFont(kind.fontHeight, kind.weight));
  cell->SetFontColor(kind.fontColor);
  cell->setCursor(kind.cursor);
  cell->SetText(QString::fromUtf8(kind.text));
}

TSaNumEdit* MakeCell(QWidget* parent, const QString& name, QRect geometry, const CellKind& kind) {
  auto* cell = new TSaNumEdit(parent);
  cell->setObjectName(name);
  cell->setGeometry(geometry);
  ApplyCellKind(cell, kind);
  return cell;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  a11y::InstallDrillWindow();
  setObjectName(QStringLiteral("Form1"));
  BuildLayout();
  ChainTabOrder();
  a11y::NameControls(this);
  MonotonicMs = [] {
    return std::int64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count());
  };
  AnswersPath = answers::kAnswersPath;
  focusWatches_ << connect(qApp, &QApplication::focusChanged, this,
                           [this](QWidget*, QWidget* now) { FocusChanged(now); });
  FormCreate(this);
}

TForm1::~TForm1() {
  for (const QMetaObject::Connection& watch : std::as_const(focusWatches_)) disconnect(watch);
}

void TForm1::SetTabOrder(QWidget* control, int tabOrder) {
  tabEntries_.append({control, tabOrder});
}

void TForm1::BuildLayout() {
  // The window: a fixed dialog with the close box only.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Sorabe"));
  setFixedSize(803, 600);
  Q_INIT_RESOURCE(sorabe);  // the icon lives in the static library
  setWindowIcon(QIcon(QStringLiteral(":/sorabe/sorabe.png")));
  setAutoFillBackground(true);
  {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ColorToQColor(kWindowColor));
    setPalette(palette);
  }
  setFont(WindowFont(12, Weight::Regular));

  Label21 = MakeLabel(this, "Label21", 0, 62, 49, 48, "＋", WindowFont(48, Weight::Bold));
  Label22 = MakeLabel(this, "Label22", 633, 46, 32, 32, "分", WindowFont(32, Weight::Regular));
  Label23 = MakeLabel(this, "Label23", 710, 46, 32, 32, "秒", WindowFont(32, Weight::Regular));
  Label24 = MakeLabel(this, "Label24", 593, 6, 64, 32, "時間", WindowFont(32, Weight::Regular));
  Label25 = MakeLabel(this, "Label25", 577, 94, 202, 32, "100マス成績表",
                      WindowFont(32, Weight::Regular));

  // The title sizes itself to its caption (AutoSize); its laid-out bounds
  // are that size in the window's own face, so they are set after the
  // caption and the font and hold whichever face renders the text.
  ShadowLabel1 = new TShadowLabel(this);
  ShadowLabel1->setObjectName("ShadowLabel1");
  ShadowLabel1->SetCaption("Sorabe  Ver " SORABE_VERSION);
  ShadowLabel1->setFont(WindowFont(35, Weight::Bold));
  ShadowLabel1->setGeometry(0, 0, 366, 35);
  ShadowLabel1->SetFontColor(clNavy);
  ShadowLabel1->SetTransparent(true);
  ShadowLabel1->SetEllipsis(TShadowLabel::elNone);
  ShadowLabel1->SetGradation(false);
  ShadowLabel1->SetGradateVert(false);
  ShadowLabel1->SetTextGradation(TShadowLabel::tgNone);
  ShadowLabel1->Highlight()->SetColor(clBlack);
  ShadowLabel1->Highlight()->SetOffsetLeft(-1);
  ShadowLabel1->Highlight()->SetOffsetTop(-1);
  ShadowLabel1->Shadow()->SetColor(clGray);
  ShadowLabel1->Shadow()->SetOffsetLeft(2);
  ShadowLabel1->Shadow()->SetOffsetTop(2);

  CuteButton1 = MakeButton(this, "CuteButton1", 648, 464, "はじめる");
  SetTabOrder(CuteButton1, 0);
  CuteButton1->OnClick = [this](QObject* sender) { CuteButton1Click(sender); };
  CuteButton2 = MakeButton(this, "CuteButton2", 648, 536, "おわる");
  SetTabOrder(CuteButton2, 1);
  CuteButton2->OnClick = [this](QObject* sender) { CuteButton2Click(sender); };

  RadioButton1 = MakeRadio(this, "RadioButton1", 656, 288, 129, 49, "たしざん",
                           WindowFont(27, Weight::Bold), clBlack);
  RadioButton1->setChecked(true);
  SetTabOrder(RadioButton1, 2);
  RadioButton2 = MakeRadio(this, "RadioButton2", 655, 336, 138, 49, "かけざん",
                           WindowFont(29, Weight::Bold), clBlack);
  SetTabOrder(RadioButton2, 3);

  BuildGrid100();

  ListBox1 = new QListView(this);
  ListBox1->setObjectName("ListBox1");
  ListBox1->setGeometry(579, 136, 222, 145);
  ListBox1->setFont(WindowFont(12, Weight::Regular));
  SetTextColor(ListBox1, clBlue);
  ListBox1->setUniformItemSizes(true);
  ListBox1->setItemDelegate(new FixedHeightDelegate(12, ListBox1));
  ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  scoreModel_ = new ScoreListModel(this);
  ListBox1->setModel(scoreModel_);
  SetTabOrder(ListBox1, 108);

  RadioButton3 = MakeRadio(this, "RadioButton3", 656, 392, 137, 41, "ひきざん",
                           WindowFont(29, Weight::Bold), clWindowText);
  SetTabOrder(RadioButton3, 109);

  // The header cells of the 100-square, read-only.
  for (int j = 0; j < 10; ++j) {
    xEdit_[j] = MakeCell(this, QString("XEdit%1").arg(j + 1), {Column100(j), 58, 54, 53}, kHeader100);
    SetTabOrder(xEdit_[j], 110 + j);
  }
  for (int i = 0; i < 10; ++i) {
    yEdit_[i] =
        MakeCell(this, QString("YEdit%1").arg(i + 1), {i < 4 ? 0 : 1, 112 + 48 * i, 54, 53}, kHeader100);
    SetTabOrder(yEdit_[i], 120 + i);
  }

  Panel2 = new TPanel(this);
  Panel2->setObjectName("Panel2");
  Panel2->setGeometry(368, 0, 212, 41);
  Panel2->SetColor(kWindowColor);
  Panel2->SetBevelOuter(TPanel::bvRaised);
  SetTabOrder(Panel2, 130);
  RadioButton4 = MakeRadio(Panel2, "RadioButton4", 8, 8, 113, 17, "100マス",
                           WindowFont(21, Weight::Bold), clWindowText);
  RadioButton4->setChecked(true);
  SetTabOrder(RadioButton4, 0);
  RadioButton6 = MakeRadio(Panel2, "RadioButton6", 120, 8, 86, 17, "25マス",
                           WindowFont(21, Weight::Bold), clWindowText);
  SetTabOrder(RadioButton6, 1);

  Panel3 = new TPanel(this);
  Panel3->setObjectName("Panel3");
  Panel3->setGeometry(0, 50, 579, 548);
  Panel3->SetBevelOuter(TPanel::bvNone);
  Panel3->SetColor(kWindowColor);
  SetTabOrder(Panel3, 131);
  BuildGrid25();
  Panel3->hide();

  Panel1 = new TPanel(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(224, 208, 233, 185);
  Panel1->SetCaption("3");
  Panel1->setFont(WindowFont(200, Weight::Bold));
  Panel1->SetFontColor(clBlue);
  Panel1->SetColor(kWindowColor);
  Panel1->SetBevelOuter(TPanel::bvRaised);
  SetTabOrder(Panel1, 104);
  Panel1->hide();

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setTimerType(Qt::PreciseTimer);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this,
          [this] { platform::Guarded([this] { Timer1Timer(Timer1); }); });

  MMTimer1 = new TMMTimer(this);
  MMTimer1->setObjectName("MMTimer1");
  MMTimer1->SetEnabled(false);
  MMTimer1->SetInterval(100);
  MMTimer1->SetOnTimer([this](QObject* sender) { MMTimer1Timer(sender); });

  // Each group of radio buttons is an exclusive group of its own. Left to
  // Qt's automatic exclusivity, a button would also count the buttons of
  // Panel2 as its group (they are its parent's descendants), so a click on
  // the checked "たしざん" could uncheck it and leave no operation chosen.
  auto* operationGroup = new QButtonGroup(this);
  for (QRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3}) operationGroup->addButton(radio);
  auto* gridKindGroup = new QButtonGroup(Panel2);
  for (QRadioButton* radio : {RadioButton4, RadioButton6}) gridKindGroup->addButton(radio);

  // A radio button reports a click when it becomes checked, by the mouse
  // or the keyboard; a click on the checked one reports nothing.
  const std::pair<QRadioButton*, void (TForm1::*)(QObject*)> radioHandlers[] = {
      {RadioButton1, &TForm1::RadioButton1Click}, {RadioButton2, &TForm1::RadioButton2Click},
      {RadioButton3, &TForm1::RadioButton3Click}, {RadioButton4, &TForm1::RadioButton4Click},
      {RadioButton6, &TForm1::RadioButton6Click}};
  for (auto [radio, handler] : radioHandlers) {
    connect(radio, &QRadioButton::toggled, this, [this, radio, handler](bool checked) {
      UpdateRadioTabStops();
      if (checked) platform::Guarded([&] { (this->*handler)(radio); });
    });
  }
  // A button that takes the focus makes itself its group's tab stop, even
  // when a press on it was dragged off and left it unchecked; the checked
  // button is put back as the tab stop once the focus has moved.
  focusWatches_ << connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (qobject_cast<QRadioButton*>(now) && isAncestorOf(now)) UpdateRadioTabStops();
  });
}

void TForm1::BuildGrid100() {
  // The answer cells, row by row; the clock fields follow them in number.
  for (int k = 1; k <= 100; ++k) {
    const int i = (k - 1) / 10;
    const int j = (k - 1) % 10;
    TSaNumEdit* cell = MakeCell(this, QString("SaNumEdit%1").arg(k), {Column100(j), 112 + 48 * i, 54, 49},
                                k < 100 ? kAnswer100 : kLastAnswer100);
    saNumEdit_[k - 1] = cell;
    SetTabOrder(cell, k + 3);
    if (k < 100)
      cell->OnKeyPress = [this](QObject* sender, QChar& key) { SaNumEdit1KeyPress(sender, key); };
    else
      cell->OnKeyPress = [this](QObject* sender, QChar& key) { SaNumEdit100KeyPress(sender, key); };
  }
  const int clockLefts[] = {592, 667, 743};
  for (int n = 0; n < 3; ++n) {
    const int k = 101 + n;
    saNumEdit_[k - 1] = MakeCell(this, QString("SaNumEdit%1").arg(k), {clockLefts[n], 40, 41, 40}, kClock);
    SetTabOrder(saNumEdit_[k - 1], 105 + n);
  }
}

void TForm1::BuildGrid25() {
  Label1 = MakeLabel(Panel3, "Label1", 24, 14, 65, 64, "＋", WindowFont(64, Weight::Bold));

  for (int j = 0; j < 5; ++j) {
    x25masu_[j] = MakeCell(Panel3, QString("X25masu%1").arg(j + 1), {104 + 88 * j, 0, 89, 91}, kHeader25);
    SetTabOrder(x25masu_[j], j);
  }
  for (int i = 0; i < 5; ++i) {
    y25masu_[i] = MakeCell(Panel3, QString("Y25masu%1").arg(i + 1), {16, 88 + 88 * i, 89, 91}, kHeader25);
    SetTabOrder(y25masu_[i], 5 + i);
  }
  for (int k = 1; k <= 25; ++k) {
    const int i = (k - 1) / 5;
    const int j = (k - 1) % 5;
    TSaNumEdit* cell = MakeCell(Panel3, QString("Edit25masu%1").arg(k), {104 + 88 * j, kRow25Tops[i], 89, 91},
                                k < 25 ? kAnswer25 : kLastAnswer25);
    edit25masu_[k - 1] = cell;
    SetTabOrder(cell, k + 9);
    if (k < 25)
      cell->OnKeyPress = [this](QObject* sender, QChar& key) { Edit25masu1KeyPress(sender, key); };
    else
      cell->OnKeyPress = [this](QObject* sender, QChar& key) { Edit25masu25KeyPress(sender, key); };
  }
}

void TForm1::ChainTabOrder() {
  // Depth first: the controls of each parent by TabOrder, a panel's own
  // controls at the panel's place.
  QList<QWidget*> chain;
  std::function<void(QWidget*)> visit = [&](QWidget* parent) {
    QList<TabEntry> siblings;
    for (const TabEntry& entry : tabEntries_)
      if (entry.control->parentWidget() == parent) siblings.append(entry);
    std::stable_sort(siblings.begin(), siblings.end(),
                     [](const TabEntry& a, const TabEntry& b) { return a.tabOrder < b.tabOrder; });
    for (const TabEntry& entry : siblings) {
      if (qobject_cast<TPanel*>(entry.control))
        visit(entry.control);
      else
        chain.append(entry.control);
    }
  };
  visit(this);
  for (qsizetype n = 1; n < chain.size(); ++n) QWidget::setTabOrder(chain[n - 1], chain[n]);
  UpdateRadioTabStops();
}

void TForm1::UpdateRadioTabStops() {
  // In a group of radio buttons only the checked one is a tab stop.
  for (QRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton6})
    radio->setFocusPolicy(radio->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void TForm1::CenterOnScreen() {
  // A Wayland compositor places every window itself; a position asked for
  // there would only be dropped.
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
  const QScreen* screen = this->screen();
  if (!screen) return;
  const QRect area = screen->geometry();
  move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}
