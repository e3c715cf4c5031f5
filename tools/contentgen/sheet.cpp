// Painting sheets cell by cell, and the facing tables shared by the figures.
#include "tools/contentgen/figures.h"

namespace contentgen {

Image PaintSheet(const SheetLayout& layout, Rgb background, Rgb outline, const CellPainter& painter) {
    Image sheet(layout.columns * layout.cellWidth, layout.rows * layout.cellHeight, background);
    for (int row = 0; row < layout.rows; ++row)
        for (int col = 0; col < layout.columns; ++col) {
            Canvas canvas(layout.cellWidth, layout.cellHeight);
            if (!painter(col, row, canvas)) continue;
            canvas.Finish(outline);
            sheet.Paste(canvas.ToImage(background), col * layout.cellWidth, row * layout.cellHeight);
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
