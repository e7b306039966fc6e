#pragma once
// The class overview as rows (one per child, grid and operation; one for a
// child without drills), and those rows written out: CSV for a spreadsheet
// or a script, and an A4 PDF table for the teacher's folder.

#include "drill/ClassOverview.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <vector>

namespace progress {

struct ClassRow {
  const drill::ChildOverview* child = nullptr;
  const drill::DrillSummary* summary = nullptr;  // none: the child has no drills to show
};

// Every row, children in their order, each child's grids and operations in
// the drill's order.
std::vector<ClassRow> ClassRows(const drill::ClassOverview& overview);

// "2026-12-09".
QString IsoDate(const QDate& date);
// Seconds with one decimal, "125.3", from tenths of a second.
QString SecondsText(std::int64_t tenths);
// A field quoted as CSV needs it: around a comma, a quote or a line end,
// with quotes doubled.
QString CsvField(const QString& text);

// The CSV text: a header line, then a line per row, UTF-8, lines ending in
// LF. A child without drills has drills 0 and nothing in the other fields
// but its name; a child whose histories could not be read at all has its
// counts left empty too, for they are not known.
QByteArray ClassCsv(const std::vector<ClassRow>& rows);

// Writes the CSV to path ("-" for standard output); raises WriteError.
void WriteClassCsv(const QString& path, const std::vector<ClassRow>& rows);

// Writes the rows as a table on A4 landscape pages, the header on each page;
// raises WriteError.
void WriteClassPdf(const QString& path, const QString& title, const std::vector<ClassRow>& rows);

}  // namespace progress
