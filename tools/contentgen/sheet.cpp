// Painting sheets cell by cell, and the facing tables shared by the figures.
#include "tools/contentgen/figures.h"

namespace contentgen {

Image PaintSheet(const SheetSpec& spec, Rgb background, Rgb outline, const CellPainter& painter) {
    Image sheet(spec.columns * spec.cellWidth, spec.rows * spec.cellHeight, background);
    for (int row = 0; row < spec.rows; ++row)
        for (int col = 0; col < spec.columns; ++col) {
            Canvas canvas(spec.cellWidth, spec.cellHeight);
            if (!painter(col, row, canvas)) continue;
            canvas.Finish(outline);
            sheet.Paste(canvas.ToImage(background), col * spec.cellWidth, row * spec.cellHeight);
        }
    return sheet;
}

double PrincessRowAngle(int row) {
    // Rows: 0 down, 1 right, 2 up, 3 left, 4 down-right, 5 up-right, 6 down-left, 7 up-left.
    static const double kAngles[8] = {90, 0, 270, 180, 45, 315, 135, 225};
    return kAngles[row & 7];
}

double EnemyRowAngle(int row) {
    static const double kAngles[4] = {90, 180, 0, 270};
    return kAngles[row & 3];
}

}  // namespace contentgen
