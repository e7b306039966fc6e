#include "progress/Sheets.h"

#include "platform/Application.h"
#include "progress/SafeWrite.h"

#include <QtGui/QPageLayout>
#include <QtGui/QPagedPaintDevice>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

#include <random>

namespace progress {
namespace {

// The page is laid out in tenths of a millimetre from the paper's corner.
constexpr double kPageWidth = 2100;
constexpr double kMargin = 120;

const QColor kInk(0x20, 0x20, 0x20);
const QColor kHeaderFill(0xD2, 0xF7, 0xDD);  // the drill's header cells
const QColor kAnswerInk(0xC0, 0x00, 0x00);   // answer keys are marked in red

QFont SheetFont(double height) {
  QFont font(QString::fromUtf16(platform::kWindowFontFamily));
  font.setPixelSize(int(height));
  return font;
}

enum class PageKind { Sheet, Answers };

class SheetPainter {
 public:
  SheetPainter(QPainter& painter, const SheetOptions& options)
      : p_(painter), options_(options), size_(drill::HeaderCount(options.grid)),
        cell_(SheetCellSize(options.grid)), left_((kPageWidth - cell_ * (size_ + 1)) / 2) {}

  void Page(PageKind kind, int number, const drill::Headers& headers) {
    Title(kind, number);
    if (kind == PageKind::Sheet) WritingLines();
    Grid(kind, headers);
  }

 private:
  void Title(PageKind kind, int number) {
    p_.setPen(kInk);
    p_.setFont(SheetFont(60));
    const QString what = QStringLiteral("%1 %2").arg(drill::GridName(options_.grid), drill::OperationName(options_.operation));
    const QRectF line(kMargin, kMargin, kPageWidth - 2 * kMargin, 90);
    p_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                kind == PageKind::Sheet ? what : QStringLiteral("こたえ  %1").arg(what));
    p_.setFont(SheetFont(45));
    p_.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                QStringLiteral("%1 / %2").arg(number).arg(options_.count));
  }

  // "なまえ", "ひづけ" and "じかん", each with a line to write on.
  void WritingLines() {
    const double top = 250, height = 80;
    struct Field {
      const char16_t* label;
      double width;  // of the line, after the label
    };
    const Field fields[] = {{u"なまえ", 600}, {u"ひづけ", 340}, {u"じかん", 280}};
    p_.setFont(SheetFont(50));
    double x = kMargin;
    for (const Field& field : fields) {
      const QString label = QString::fromUtf16(field.label);
      const double labelWidth = 170;
      p_.setPen(kInk);
      p_.drawText(QRectF(x, top, labelWidth, height), Qt::AlignLeft | Qt::AlignBottom, label);
      p_.setPen(QPen(kInk, 4));
      p_.drawLine(QPointF(x + labelWidth, top + height), QPointF(x + labelWidth + field.width, top + height));
      x += labelWidth + field.width + 40;
    }
  }

  QRectF CellRect(int column, int row) const {
    return QRectF(left_ + cell_ * column, kGridTop + cell_ * row, cell_, cell_);
  }

  void Grid(PageKind kind, const drill::Headers& headers) {
    const double headerText = cell_ * 0.56;
    // The header row and column are shaded as in the drill window.
    p_.fillRect(QRectF(left_, kGridTop, cell_ * (size_ + 1), cell_), kHeaderFill);
    p_.fillRect(QRectF(left_, kGridTop + cell_, cell_, cell_ * size_), kHeaderFill);

    p_.setPen(kInk);
    p_.setFont(SheetFont(headerText));
    p_.drawText(CellRect(0, 0), Qt::AlignCenter, drill::OperationSign(options_.operation));
    for (int j = 0; j < size_; ++j) p_.drawText(CellRect(j + 1, 0), Qt::AlignCenter, headers.tops[j]);
    for (int i = 0; i < size_; ++i) p_.drawText(CellRect(0, i + 1), Qt::AlignCenter, headers.lefts[i]);

    if (kind == PageKind::Answers) {
      p_.setPen(kAnswerInk);
      p_.setFont(SheetFont(cell_ * 0.42));
      for (int i = 0; i < size_; ++i)
        for (int j = 0; j < size_; ++j)
          p_.drawText(CellRect(j + 1, i + 1), Qt::AlignCenter,
                      QString::number(drill::Answer(options_.operation, headers.tops[j].toLongLong(),
                                                    headers.lefts[i].toLongLong())));
    }

    // Thin lines between cells, thick ones round the grid and under and
    // beside the headers.
    const double right = left_ + cell_ * (size_ + 1);
    const double bottom = kGridTop + cell_ * (size_ + 1);
    p_.setPen(QPen(kInk, 3));
    for (int k = 2; k <= size_; ++k) {
      p_.drawLine(QPointF(left_ + cell_ * k, kGridTop), QPointF(left_ + cell_ * k, bottom));
      p_.drawLine(QPointF(left_, kGridTop + cell_ * k), QPointF(right, kGridTop + cell_ * k));
    }
    p_.setPen(QPen(kInk, 7));
    p_.setBrush(Qt::NoBrush);
    p_.drawRect(QRectF(left_, kGridTop, right - left_, bottom - kGridTop));
    p_.drawLine(QPointF(left_ + cell_, kGridTop), QPointF(left_ + cell_, bottom));
    p_.drawLine(QPointF(left_, kGridTop + cell_), QPointF(right, kGridTop + cell_));
  }

  static constexpr double kGridTop = 420;

  QPainter& p_;
  const SheetOptions& options_;
  int size_;
  double cell_;
  double left_;
};

}  // namespace

int SheetCellSize(drill::GridKind grid) {
  // 11 cells of 16 mm (or 6 of 28 mm) across 186 mm of paper between margins.
  return grid == drill::GridKind::Square100 ? 160 : 280;
}

std::vector<drill::Headers> DrawSheets(const SheetOptions& options, const WeakChoice& weak) {
  std::mt19937 generator(options.seed);
  const drill::RandomBelow random = [&generator](int n) { return drill::DrawBelow(generator, n); };
  std::vector<drill::Headers> sheets;
  for (int s = 0; s < options.count; ++s)
    sheets.push_back(weak && options.grid == drill::GridKind::Square25
                         ? drill::WeakHeaders(*weak, options.operation, random)
                         : drill::DrawHeaders(options.operation, drill::HeaderCount(options.grid), random));
  return sheets;
}

void PaintSheets(QPagedPaintDevice& device, const SheetOptions& options,
                 const std::vector<drill::Headers>& sheets) {
  QPainter painter(&device);
  painter.setRenderHint(QPainter::Antialiasing, true);
  const double scale = device.logicalDpiX() / 254.0;
  bool first = true;
  for (PageKind kind : {PageKind::Sheet, PageKind::Answers}) {
    for (std::size_t s = 0; s < sheets.size(); ++s) {
      if (!first) device.newPage();
      first = false;
      painter.resetTransform();
      painter.scale(scale, scale);
      SheetPainter(painter, options).Page(kind, int(s) + 1, sheets[s]);
    }
  }
}

void WriteSheetsPdf(const QString& path, const SheetOptions& options, const WeakChoice& weak) {
  const std::vector<drill::Headers> sheets = DrawSheets(options, weak);
  WriteFileSafely(path, [&](QIODevice& file) {
    QPdfWriter writer(&file);
    SetUpPdf(writer,
             QStringLiteral("%1 %2 (seed %3)")
                 .arg(drill::GridName(options.grid), drill::OperationSign(options.operation))
                 .arg(options.seed),
             QPageLayout::Portrait, 0, 600);
    PaintSheets(writer, options, sheets);
    return true;
  });
}

}  // namespace progress
