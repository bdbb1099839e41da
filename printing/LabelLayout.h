#pragma once

#include <QRectF>

namespace velomar::printing {

// A label position on a sheet: row 1.. top to bottom, column 1.. left to right.
struct LabelPosition {
    int row = 1;
    int column = 1;
    bool operator==(const LabelPosition&) const = default;
};

// Geometry of a sheet of adhesive labels, in millimetres. Text is placed at
// (column - 1) * columnPitch, (row - 1) * rowPitch from the printer's printable-area
// origin (the printer's own margin keeps it off the label edge); the physical label,
// used to clip each line, is measured from the paper's top-left corner.
struct LabelLayout {
    int columns = 3;
    int rows = 8;
    double labelWidth = 70;
    double labelHeight = 36;
    double columnPitch = 70;
    double rowPitch = 36;
    double sheetLeft = 0;  // paper edge to the first column
    double sheetTop = 4.5; // paper edge to the first row

    // A4, 3 x 8 labels of 70 x 36 mm.
    static LabelLayout a4Labels() { return {}; }

    int labelsPerSheet() const { return columns * rows; }
    bool contains(LabelPosition p) const {
        return p.row >= 1 && p.row <= rows && p.column >= 1 && p.column <= columns;
    }
    // 1-based place on the sheet, left to right then top to bottom.
    int sheetIndex(LabelPosition p) const { return (p.row - 1) * columns + p.column; }
    LabelPosition positionOf(int sheetIndex) const {
        return {(sheetIndex - 1) / columns + 1, (sheetIndex - 1) % columns + 1};
    }
    double columnOffset(int column) const { return (column - 1) * columnPitch; }
    double rowOffset(int row) const { return (row - 1) * rowPitch; }
    QRectF physicalLabel(LabelPosition p) const {
        return {sheetLeft + columnOffset(p.column), sheetTop + rowOffset(p.row), labelWidth,
                labelHeight};
    }

    // Sheets used by count labels starting at start, counting the labels already used on
    // the first sheet.
    qint64 sheetsFor(qint64 count, LabelPosition start = {}) const {
        if (count <= 0)
            return 0;
        const qint64 used = sheetIndex(start) - 1;
        return (used + count + labelsPerSheet() - 1) / labelsPerSheet();
    }
};

} // namespace velomar::printing
