#include "progress/ClassExport.h"

#include "drill/AnswersFile.h"
#include "platform/Application.h"
#include "progress/SafeWrite.h"

#include <QtCore/QIODevice>
#include <QtGui/QPageLayout>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

namespace progress {
namespace {

// What the PDF table shows, and how wide each column is, in parts of the page.
struct PdfColumn {
  const char16_t* title;
  double width;
};
constexpr PdfColumn kPdfColumns[] = {{u"なまえ", 4.0},    {u"マス", 1.4},      {u"計算", 1.8},
                                     {u"回数", 1.2},      {u"7日間", 1.2},     {u"さいごの日", 2.2},
                                     {u"点", 1.0},        {u"タイム", 1.4},    {u"ベスト", 1.4}};

QStringList PdfCells(const ClassRow& row) {
  const drill::DrillSummary* s = row.summary;
  if (!s) {
    const QString none = row.child->errors.empty() ? QStringLiteral("まだ ドリルが ありません")
                                                   : QStringLiteral("成績を読めません");
    return {row.child->name, none};
  }
  return {row.child->name,
          drill::GridName(s->grid),
          drill::OperationName(s->operation),
          QString::number(s->drills),
          QString::number(s->drillsLately),
          IsoDate(s->last.date),
          QString::number(int(s->last.score)),
          s->last.TimeText(),
          s->best.TimeText()};
}

}  // namespace

std::vector<ClassRow> ClassRows(const drill::ClassOverview& overview) {
  std::vector<ClassRow> rows;
  for (const drill::ChildOverview& child : overview.children) {
    if (!child.HasDrills()) rows.push_back({&child, nullptr});
    for (const drill::DrillSummary& summary : child.summaries) rows.push_back({&child, &summary});
  }
  return rows;
}

QString IsoDate(const QDate& date) { return date.toString(Qt::ISODate); }

QString SecondsText(std::int64_t tenths) { return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10); }

QString CsvField(const QString& text) {
  if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
  QString quoted = text;
  quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

QByteArray ClassCsv(const std::vector<ClassRow>& rows) {
  QString text = QStringLiteral("child,grid,op,drills,drills_last_7_days,last_date,last_score,last_time,best_time\n");
  for (const ClassRow& row : rows) {
    QStringList fields{CsvField(row.child->name)};
    if (const drill::DrillSummary* s = row.summary) {
      fields << (s->grid == drill::GridKind::Square100 ? QStringLiteral("100") : QStringLiteral("25"))
             << answers::OperationKey(s->operation) << QString::number(s->drills) << QString::number(s->drillsLately)
             << IsoDate(s->last.date) << QString::number(int(s->last.score)) << SecondsText(s->last.TimeTenths())
             << SecondsText(s->best.TimeTenths());
    } else {
      const QString count = row.child->errors.empty() ? QStringLiteral("0") : QString();
      fields << QString() << QString() << count << count << QString() << QString() << QString() << QString();
    }
    text += fields.join(u',') + u'\n';
  }
  return text.toUtf8();
}

void WriteClassCsv(const QString& path, const std::vector<ClassRow>& rows) {
  const QByteArray csv = ClassCsv(rows);
  WriteFileSafely(path, [&csv](QIODevice& file) { return file.write(csv) == csv.size(); });
}

void WriteClassPdf(const QString& path, const QString& title, const std::vector<ClassRow>& rows) {
  WriteFileSafely(path, [&](QIODevice& file) {
    QPdfWriter writer(&file);
    SetUpPdf(writer, title, QPageLayout::Landscape, 12, 300);
    QPainter painter(&writer);
    if (!painter.isActive()) return false;
    const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
    QFont font(QString::fromUtf16(platform::kWindowFontFamily));
    font.setPixelSize(38);  // about 3.2 mm at 300 dpi
    painter.setFont(font);
    const double rowHeight = 62;
    double parts = 0;
    for (const PdfColumn& c : kPdfColumns) parts += c.width;
    const auto cellRect = [&](int column, double y) {
      double x = page.left();
      for (int i = 0; i < column; ++i) x += page.width() * kPdfColumns[i].width / parts;
      return QRectF(x + 8, y, page.width() * kPdfColumns[column].width / parts - 16, rowHeight);
    };
    const int perPage = int((page.height() - 2 * rowHeight) / rowHeight);
    const int pages = std::max<int>(1, int((rows.size() + std::size_t(perPage) - 1) / std::size_t(perPage)));
    for (int p = 0; p < pages; ++p) {
      if (p > 0 && !writer.newPage()) return false;
      double y = page.top();
      QFont bold = font;
      bold.setBold(true);
      painter.setFont(bold);
      painter.drawText(QRectF(page.left(), y, page.width(), rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       pages > 1 ? QStringLiteral("%1　(%2/%3)").arg(title).arg(p + 1).arg(pages) : title);
      y += rowHeight;
      for (int c = 0; c < int(std::size(kPdfColumns)); ++c)
        painter.drawText(cellRect(c, y), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf16(kPdfColumns[c].title));
      painter.setFont(font);
      y += rowHeight;
      painter.drawLine(QPointF(page.left(), y), QPointF(page.right(), y));
      for (int r = p * perPage; r < std::min<int>(int(rows.size()), (p + 1) * perPage); ++r) {
        const QStringList cells = PdfCells(rows[std::size_t(r)]);
        if (cells.size() == 2) {
          painter.drawText(cellRect(0, y), Qt::AlignLeft | Qt::AlignVCenter, cells[0]);
          QRectF rest = cellRect(1, y);
          rest.setRight(page.right());
          painter.drawText(rest, Qt::AlignLeft | Qt::AlignVCenter, cells[1]);
        } else {
          for (int c = 0; c < cells.size(); ++c)
            painter.drawText(cellRect(c, y), (c >= 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                             painter.fontMetrics().elidedText(cells[c], Qt::ElideRight, int(cellRect(c, y).width())));
        }
        y += rowHeight;
        painter.setPen(QColor(0xCC, 0xCC, 0xCC));
        painter.drawLine(QPointF(page.left(), y), QPointF(page.right(), y));
        painter.setPen(Qt::black);
      }
    }
    return painter.end();
  });
}

}  // namespace progress
