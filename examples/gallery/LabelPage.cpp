// The shadow label's page of the gallery: every configuration worth
// checking by eye, each under a small caption saying what it is.

#include "Gallery.h"
#include "platform/Application.h"
#include "widgets/ShadoLbl.h"

#include <QtGui/QPainter>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QWidget>

namespace {

constexpr int kColumnWidth = 318;
constexpr TColor kWindowColor = RGBColor(0xDB, 0xE0, 0xEE);

QFont windowFont(int pixels, bool bold = false) {
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// Stripes and squares, so that what a transparent label lets through shows.
class PatternedPanel : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xFF, 0xF4, 0xD6));
    for (int x = -height(); x < width(); x += 12) {
      p.setPen(QPen(QColor(0xE8, 0xB0, 0x60), 4));
      p.drawLine(x, height(), x + height(), 0);
    }
    for (int x = 6; x < width(); x += 40) p.fillRect(x, 6, 14, 14, QColor(0x70, 0xC0, 0x90));
  }
};

// Places the samples in columns, each under its caption.
class Page {
 public:
  explicit Page(QWidget* page) : page_(page) {}

  // Starts a new column.
  void column() {
    left_ += columnUsed_ ? kColumnWidth : 0;
    top_ = columnTop_;
    columnUsed_ = true;
  }

  // A caption, then a label of the given size below it (AutoSize off, so the
  // box stays as given), on the page's own background.
  TShadowLabel* sample(const QString& what, const QString& caption, int width, int height,
                       int fontPixels = 24, bool bold = true, QWidget* parent = nullptr) {
    note(what);
    auto* label = new TShadowLabel(parent ? parent : page_);
    label->SetAutoSize(false);
    label->SetCaption(caption);
    label->setFont(windowFont(fontPixels, bold));
    if (parent) {
      label->setGeometry(4, 4, width, height);
      parent->setGeometry(left_, top_, width + 8, height + 8);
      top_ += height + 8 + 8;
    } else {
      label->setGeometry(left_, top_, width, height);
      top_ += height + 8;
    }
    return label;
  }

  // Several labels side by side under one caption.
  std::vector<TShadowLabel*> row(const QString& what, const QStringList& captions, int width,
                                 int height, int fontPixels = 20) {
    note(what);
    std::vector<TShadowLabel*> labels;
    int x = left_;
    for (const QString& caption : captions) {
      auto* label = new TShadowLabel(page_);
      label->SetAutoSize(false);
      label->SetCaption(caption);
      label->setFont(windowFont(fontPixels, true));
      label->setGeometry(x, top_, width, height);
      labels.push_back(label);
      x += width + 6;
    }
    top_ += height + 8;
    return labels;
  }

  QWidget* page() const { return page_; }
  int left() const { return left_; }
  int top() const { return top_; }
  void skip(int pixels) { top_ += pixels; }
  void setColumnTop(int top) { columnTop_ = top; }

  void note(const QString& what, int width = kColumnWidth - 10) {
    auto* caption = new QLabel(what, page_);
    QFont font = caption->font();
    font.setPixelSize(11);
    caption->setFont(font);
    caption->setGeometry(left_, top_, width, 15);
    top_ += 16;
  }

 private:
  QWidget* page_;
  int left_ = 10;
  int top_ = 10;
  int columnTop_ = 10;
  bool columnUsed_ = false;
};

void setShadow(TShadowLabel* label, TColor colour, int left, int top, bool visible = true) {
  label->Shadow()->SetColor(colour);
  label->Shadow()->SetOffsetLeft(left);
  label->Shadow()->SetOffsetTop(top);
  label->Shadow()->SetVisible(visible);
}

void setHighlight(TShadowLabel* label, TColor colour, int left, int top, bool visible = true) {
  label->Highlight()->SetColor(colour);
  label->Highlight()->SetOffsetLeft(left);
  label->Highlight()->SetOffsetTop(top);
  label->Highlight()->SetVisible(visible);
}

// The drill window's title, as the window lays it out, across the top.
void title(Page& page) {
  page.note(QStringLiteral("ShadowLabel1 of the drill window: 366 × 35, transparent, navy bold 35,"
                           " grey shadow at 2, 2, black highlight at −1, −1"),
            3 * kColumnWidth);
  auto* label = new TShadowLabel(page.page());
  label->SetCaption(QStringLiteral("Sorabe  Ver 1.10"));
  label->setFont(windowFont(35, true));
  label->setGeometry(page.left(), page.top(), 366, 35);
  label->SetFontColor(clNavy);
  label->SetTransparent(true);
  setHighlight(label, clBlack, -1, -1);
  setShadow(label, clGray, 2, 2);
  page.skip(35 + 8);
  page.setColumnTop(page.top());
}

void firstColumn(Page& page) {
  page.column();
  page.sample(QStringLiteral("Defaults: parent's colour, white highlight, silver shadow"),
              QStringLiteral("かけざん Label"), 290, 32);

  const QString path = QStringLiteral("C:\\Sorabe\\date\\seiseki.dat");
  auto ellipsis = [&](const QString& what, TShadowLabel::TEllipsis how) {
    TShadowLabel* l = page.sample(what, path, 200, 24, 18);
    l->SetEllipsis(how);
    l->SetColor(clWhite);
  };
  ellipsis(QStringLiteral("Ellipsis elNone: a long path is cut at the edge"), TShadowLabel::elNone);
  ellipsis(QStringLiteral("Ellipsis elEnd: \"...\" at the end"), TShadowLabel::elEnd);
  ellipsis(QStringLiteral("Ellipsis elPath: the file name kept, \"...\" before it"),
           TShadowLabel::elPath);

  auto gradient = [&](const QString& what, bool vertical, bool flickerless) {
    TShadowLabel* l = page.sample(what, QStringLiteral("Gradation"), 290, 40, 26);
    l->SetGradation(true);
    l->SetGradateVert(vertical);
    l->SetFlickerless(flickerless);
    l->SetColor(clWhite);
    l->SetGradationColor(clBlue);
    l->SetFontColor(clWhite);
    setShadow(l, clNavy, 2, 2);
    setHighlight(l, clBlue, -1, -1, false);
    l->SetLayout(tlCenter);
    l->SetAlignment(taCenter);
  };
  gradient(QStringLiteral("Gradation, left to right (blue to the colour, white)"), false, true);
  gradient(QStringLiteral("Gradation, GradateVert: top to bottom"), true, true);
  gradient(QStringLiteral("The same without Flickerless: painted straight on"), false, false);

  TShadowLabel* tabs = page.sample(QStringLiteral("Tabs expand to stops of eight average widths"),
                                   QStringLiteral("1\tたしざん\t100"), 290, 24, 18);
  tabs->SetColor(clWhite);
}

void secondColumn(Page& page) {
  page.column();
  TShadowLabel* two = page.sample(QStringLiteral("TextGradation tg2Colors: navy to maroon"),
                                  QStringLiteral("たしざん ひきざん"), 290, 34, 30);
  two->SetTextGradation(TShadowLabel::tg2Colors);

  TShadowLabel* three = page.sample(
      QStringLiteral("tg3Colors: navy to green, then green to maroon"),
      QStringLiteral("Sorabe  Ver 1.10"), 290, 34, 30);
  three->SetTextGradation(TShadowLabel::tg3Colors);
  three->SetTextMidColor(RGBColor(0x00, 0xA0, 0x00));

  TShadowLabel* odd = page.sample(
      QStringLiteral("tg3Colors, three double-byte characters: 2 + 1"), QStringLiteral("１２３"),
      290, 34, 30);
  odd->SetTextGradation(TShadowLabel::tg3Colors);
  odd->SetTextMidColor(RGBColor(0x00, 0xA0, 0x00));

  TShadowLabel* centred = page.sample(
      QStringLiteral("tg2Colors, centred: copies centred, grading from the left"),
      QStringLiteral("かけざん"), 290, 34, 30);
  centred->SetTextGradation(TShadowLabel::tg2Colors);
  centred->SetAlignment(taCenter);

  TShadowLabel* through = page.sample(QStringLiteral("Transparent over a patterned parent"),
                                      QStringLiteral("Sorabe  Ver 1.10"), 290, 36, 30, true,
                                      new PatternedPanel(page.page()));
  through->SetTransparent(true);
  through->SetFontColor(clNavy);
  setShadow(through, clGray, 2, 2);
  setHighlight(through, clWhite, -1, -1);
  TShadowLabel* opaque = page.sample(QStringLiteral("Opaque (white) over the same parent"),
                                     QStringLiteral("Sorabe  Ver 1.10"), 290, 36, 30, true,
                                     new PatternedPanel(page.page()));
  opaque->SetColor(clWhite);
  opaque->SetFontColor(clNavy);
  setShadow(opaque, clGray, 2, 2);

  const auto offsets = page.row(
      QStringLiteral("Shadow at 1, 1 / 3, 3 / −2, 2 / 4, 0; no highlight"),
      {QStringLiteral("影"), QStringLiteral("影"), QStringLiteral("影"), QStringLiteral("影")},
      64, 40, 32);
  const int shifts[][2] = {{1, 1}, {3, 3}, {-2, 2}, {4, 0}};
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    offsets[i]->SetAlignment(taCenter);
    offsets[i]->SetLayout(tlCenter);
    offsets[i]->SetFontColor(clNavy);
    setShadow(offsets[i], clGray, shifts[i][0], shifts[i][1]);
    setHighlight(offsets[i], clWhite, 0, 0, false);
  }
  TShadowLabel* wide = page.sample(QStringLiteral("Shadow at 4, 4 in red; highlight at −3, −3 in blue"),
                                   QStringLiteral("たしざん"), 290, 40, 30);
  wide->SetLayout(tlCenter);
  wide->SetFontColor(clBlack);
  setShadow(wide, RGBColor(0xFF, 0x60, 0x60), 4, 4);
  setHighlight(wide, RGBColor(0x60, 0x90, 0xFF), -3, -3);
}

void thirdColumn(Page& page) {
  page.column();
  TShadowLabel* off = page.sample(QStringLiteral("Disabled: grey shadow, button colours"),
                                  QStringLiteral("Sorabe  Ver 1.10"), 290, 34, 30);
  off->SetFontColor(clNavy);
  off->setEnabled(false);
  TShadowLabel* offGraded = page.sample(
      QStringLiteral("Disabled, tg2Colors: grading from the font colour"),
      QStringLiteral("Sorabe  Ver 1.10"), 290, 34, 30);
  offGraded->SetTextGradation(TShadowLabel::tg2Colors);
  offGraded->setEnabled(false);

  const auto aligned = page.row(QStringLiteral("Alignment: left / centre / right"),
                                {QStringLiteral("左"), QStringLiteral("中"), QStringLiteral("右")},
                                92, 28);
  const TAlignment alignments[] = {taLeftJustify, taCenter, taRightJustify};
  for (std::size_t i = 0; i < aligned.size(); ++i) {
    aligned[i]->SetAlignment(alignments[i]);
    aligned[i]->SetColor(clWhite);
  }
  const auto placed = page.row(QStringLiteral("Layout: top / centre / bottom"),
                               {QStringLiteral("上"), QStringLiteral("中"), QStringLiteral("下")},
                               92, 44);
  const TTextLayout layouts[] = {tlTop, tlCenter, tlBottom};
  for (std::size_t i = 0; i < placed.size(); ++i) {
    placed[i]->SetLayout(layouts[i]);
    placed[i]->SetAlignment(taCenter);
    placed[i]->SetColor(clWhite);
  }

  TShadowLabel* accel = page.sample(
      QStringLiteral("ShowAccelChar: \"&&Name\"; Alt+N focuses the box"),
      QStringLiteral("&Name"), 90, 26, 20);
  auto* edit = new QLineEdit(page.page());
  edit->setGeometry(accel->x() + 96, accel->y(), 180, 26);
  accel->SetFocusControl(edit);
  TShadowLabel* plain = page.sample(QStringLiteral("ShowAccelChar False: \"&&Name\" as it stands"),
                                    QStringLiteral("&Name"), 90, 26, 20);
  plain->SetShowAccelChar(false);

  page.note(QStringLiteral("AutoSize with WordWrap: sized to its wrapped caption"));
  // Sized last: measuring wraps the caption at the width the label has then.
  auto* wrapped = new TShadowLabel(page.page());
  wrapped->SetAutoSize(false);
  wrapped->setFont(windowFont(18, true));
  wrapped->SetCaption(QStringLiteral("100マスの たしざん、かけざん、ひきざんを れんしゅうします"));
  wrapped->SetWordWrap(true);
  wrapped->SetColor(clWhite);
  wrapped->setGeometry(page.left(), page.top(), 200, 20);
  wrapped->SetAutoSize(true);
  page.skip(wrapped->height() + 8);

  page.note(QStringLiteral("AutoSize, right-aligned: keeps its right edge at the line"));
  auto* edge = new QWidget(page.page());
  edge->setGeometry(page.left() + 289, page.top(), 1, 30);
  edge->setAutoFillBackground(true);
  edge->setPalette(QPalette(Qt::red));
  auto* right = new TShadowLabel(page.page());
  right->setFont(windowFont(24, true));
  right->SetAlignment(taRightJustify);
  right->setGeometry(page.left(), page.top(), 289, 30);
  right->SetColor(clWhite);
  right->SetCaption(QStringLiteral("ひきざん"));
}

}  // namespace

QWidget* MakeLabelPage() {
  auto* page = new QWidget;
  page->setAutoFillBackground(true);
  QPalette palette = page->palette();
  palette.setColor(QPalette::Window, ColorToQColor(kWindowColor));
  page->setPalette(palette);
  Page layout(page);
  title(layout);
  firstColumn(layout);
  secondColumn(layout);
  thirdColumn(layout);
  page->resize(3 * kColumnWidth + 10, 600);
  return page;
}
