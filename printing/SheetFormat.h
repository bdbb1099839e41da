#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

namespace velomar::printing {

// A label position on a sheet: row 1.. top to bottom, column 1.. left to right.
struct LabelPosition {
    int row = 1;
    int column = 1;
    bool operator==(const LabelPosition&) const = default;
};

enum class PaperSize { A4, A5, Letter };

// A sheet of adhesive labels, in millimetres from the paper's top-left corner: the
// physical labels (used to clip each line and to draw outlines) and where text goes.
// The A4 sheet of 3 x 8 labels of 70 x 36 mm is the default and prints as it always did.
struct SheetFormat {
    enum class Source { BuiltIn, Glabels, Custom };

    QString name;        // unique in the catalogue; what --format and the settings take
    QString description; // shape and the brand/part names it is sold under
    Source source = Source::BuiltIn;
    PaperSize paper = PaperSize::A4;
    int columns = 3;
    int rows = 8;
    double labelWidth = 70;
    double labelHeight = 36;
    double sheetLeft = 0;    // paper edge to the first column
    double sheetTop = 4.5;   // paper edge to the first row
    double columnPitch = 70; // left edge to left edge: width plus the horizontal gap
    double rowPitch = 36;    // top edge to top edge: height plus the vertical gap
    double cornerRadius = 0; // drawing only

    bool operator==(const SheetFormat&) const = default;

    // A4, 3 x 8 labels of 70 x 36 mm.
    static SheetFormat standard();
    static SheetFormat a4Labels() { return standard(); }
    // Same paper and labels in the same places (names and descriptions aside).
    bool sameGeometry(const SheetFormat& other) const;

    static QSizeF paperSizeOf(PaperSize paper); // portrait, mm
    static QString paperName(PaperSize paper);  // "A4", "A5", "Letter"
    static std::optional<PaperSize> paperFromName(const QString& name);
    QSizeF paperSize() const { return paperSizeOf(paper); }

    // Why the format cannot be printed (Italian), or nothing: counts of at least one,
    // positive sizes, pitches no smaller than the labels, every label inside the paper.
    std::optional<QString> problem() const;
    // "3 × 8, 70 × 36 mm, A4"
    QString shapeText() const;

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

    // Where a label's text block starts, in the printer's printable-area coordinates:
    // each label holds its text where a label of the standard sheet does (the printer's
    // own margin keeps it off the label's edge).
    QPointF textOrigin(LabelPosition p) const;
    // Text rules that follow the label: the width surname and name may share (60 mm on a
    // 70 mm label), the locality's length with and without a province (28 and 33
    // characters at 70 mm), the font size (10 points on a 36 mm label).
    double joinWidth() const;
    int localityChars(bool withProvince) const;
    double fontPointSize() const;

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
