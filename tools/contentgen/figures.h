// The figure sheets: princess, companions, enemies and companion 0's flight effect.
#pragma once
#include <functional>
#include <string>

#include "tools/contentgen/canvas.h"
#include "tools/contentgen/image.h"
#include "tools/contentgen/sources.h"

namespace contentgen {

struct SheetLayout {
    int columns, rows, cellWidth, cellHeight;
};

// Draws each cell on its own canvas; a painter returning false leaves the cell empty. Cells are
// finished with the outline colour and laid on the background colour.
using CellPainter = std::function<bool(int column, int row, Canvas& canvas)>;
Image PaintSheet(const SheetLayout& layout, Rgb background, Rgb outline, const CellPainter& painter);

// Each takes the palette and the figure's parameter file (assets/figures/NAME.txt).
Image DrawPrincessSheet(const Palette& palette, const Params& p);
// The three companions share one parameter file; index (0-2) picks the companion.
Image DrawCompanionSheet(int index, const Palette& palette, const Params& p);
Image DrawFlightEffectSheet(const Palette& palette, const Params& p);
Image DrawStrikerSheet(const Palette& palette, const Params& p);
Image DrawChaserSheet(const Palette& palette, const Params& p);
Image DrawArcherSheet(const Palette& palette, const Params& p);
Image DrawShieldSheet(const Palette& palette, const Params& p);

// Facing of the princess and companion rows, as an angle on the screen (0 right, 90 down).
double PrincessRowAngle(int row);
// Facing of the enemy rows 0-3 (down, left, right, up).
double EnemyRowAngle(int row);

}  // namespace contentgen
