#pragma once
// Printable 100-square (and 25-square) sheets: A4 portrait pages, each a
// grid whose headers are drawn by the drill's own rule, the operation sign in
// the corner and lines for name, date and time; after the sheets, one answer
// page per sheet. Painted onto any paged device: a PDF file or a printer.

#include "drill/HeaderDraw.h"
#include "drill/Grid.h"
#include "drill/WeakFacts.h"

#include <QtCore/QString>

#include <cstdint>
#include <optional>
#include <vector>

class QPagedPaintDevice;

namespace progress {

struct SheetOptions {
  drill::GridKind grid = drill::GridKind::Square100;
  drill::Operation operation = drill::Operation::Addition;
  int count = 1;            // sheets; as many answer pages follow
  std::uint32_t seed = 0;   // the same seed gives the same sheets
};

// 25-square sheets on chosen facts: these digits head every sheet, each sheet
// in an order of its own drawn from the seed. None: the drill's own draw.
using WeakChoice = std::optional<drill::HeaderChoice>;

inline constexpr int kMaxSheets = 500;

// The headers of every sheet: one generator seeded with options.seed, each
// sheet drawn in turn as a drill draws its grid (so sheet 1 has the headers
// a drill would draw from a generator with that seed).
std::vector<drill::Headers> DrawSheets(const SheetOptions& options, const WeakChoice& weak = std::nullopt);

// Paints the sheets and then their answer pages onto device, one page each,
// A4 portrait, measured from the paper's corner.
void PaintSheets(QPagedPaintDevice& device, const SheetOptions& options,
                 const std::vector<drill::Headers>& sheets);

// Writes the sheets as a PDF file; raises Exception when it cannot, leaving
// no file behind.
void WriteSheetsPdf(const QString& path, const SheetOptions& options, const WeakChoice& weak = std::nullopt);

// Cell size of a grid in tenths of a millimetre.
int SheetCellSize(drill::GridKind grid);

}  // namespace progress
