#include "printing/SheetFormat.h"

#include <algorithm>
#include <cmath>

namespace velomar::printing {

namespace {
// The standard sheet's label and the text rules it always had.
constexpr double kStandardWidth = 70;
constexpr double kStandardHeight = 36;
constexpr double kTextMargins = 10; // 70 mm label, 60 mm for surname and name
constexpr int kLocalityWithProvince = 28;
constexpr int kLocalityMax = 33;
constexpr double kStandardPoints = 10;
// Smaller type is unreadable on a label; larger labels keep a letter's usual size.
constexpr double kMinPoints = 7;
constexpr double kMaxPoints = 12;
// The smallest label an address can go on.
constexpr double kMinWidth = 25;
constexpr double kMinHeight = 10;
constexpr double kTolerance = 0.01; // templates round their sizes to hundredths

// Hundredths of a millimetre at most, with a decimal comma.
QString mm(double value) {
    return QString::number(std::round(value * 100) / 100, 'g', 8).replace(QLatin1Char('.'), QLatin1Char(','));
}
} // namespace

SheetFormat SheetFormat::standard() {
    SheetFormat f;
    f.name = QStringLiteral("A4 3x8 70x36");
    f.description = QStringLiteral("Etichette per indirizzi, 24 per foglio (Rayfilm 0527, Igepa EA-700x360, "
                                   "JAC 70362, Zweckform 3475)");
    return f;
}

bool SheetFormat::sameGeometry(const SheetFormat& o) const {
    return paper == o.paper && columns == o.columns && rows == o.rows && labelWidth == o.labelWidth &&
           labelHeight == o.labelHeight && sheetLeft == o.sheetLeft && sheetTop == o.sheetTop &&
           columnPitch == o.columnPitch && rowPitch == o.rowPitch;
}

QSizeF SheetFormat::paperSizeOf(PaperSize paper) {
    switch (paper) {
    case PaperSize::A5:
        return {148, 210};
    case PaperSize::Letter:
        return {215.9, 279.4};
    case PaperSize::A4:
        break;
    }
    return {210, 297};
}

QString SheetFormat::paperName(PaperSize paper) {
    switch (paper) {
    case PaperSize::A5:
        return QStringLiteral("A5");
    case PaperSize::Letter:
        return QStringLiteral("Letter");
    case PaperSize::A4:
        break;
    }
    return QStringLiteral("A4");
}

std::optional<PaperSize> SheetFormat::paperFromName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("a4"))
        return PaperSize::A4;
    if (n == QLatin1String("a5"))
        return PaperSize::A5;
    if (n == QLatin1String("letter") || n == QLatin1String("us-letter") || n == QLatin1String("lettera"))
        return PaperSize::Letter;
    return std::nullopt;
}

std::optional<QString> SheetFormat::problem() const {
    if (columns < 1 || rows < 1 || columns > 20 || rows > 40)
        return QStringLiteral("Colonne e righe devono essere da 1 a 20 e da 1 a 40.");
    const auto finite = [](double v) { return std::isfinite(v); };
    if (!finite(labelWidth) || !finite(labelHeight) || !finite(sheetLeft) || !finite(sheetTop) ||
        !finite(columnPitch) || !finite(rowPitch) || !finite(cornerRadius))
        return QStringLiteral("Le misure devono essere numeri.");
    if (labelWidth < kMinWidth || labelHeight < kMinHeight)
        return QStringLiteral("L'etichetta deve misurare almeno %1 × %2 mm.").arg(mm(kMinWidth), mm(kMinHeight));
    if (sheetLeft < 0 || sheetTop < 0)
        return QStringLiteral("I margini non possono essere negativi.");
    if (columns > 1 && columnPitch < labelWidth - kTolerance)
        return QStringLiteral("Il passo orizzontale (%1 mm) è minore della larghezza dell'etichetta (%2 mm): "
                              "le etichette si sovrappongono.")
            .arg(mm(columnPitch), mm(labelWidth));
    if (rows > 1 && rowPitch < labelHeight - kTolerance)
        return QStringLiteral("Il passo verticale (%1 mm) è minore dell'altezza dell'etichetta (%2 mm): "
                              "le etichette si sovrappongono.")
            .arg(mm(rowPitch), mm(labelHeight));
    const QSizeF sheet = paperSize();
    const double right = sheetLeft + (columns - 1) * columnPitch + labelWidth;
    const double bottom = sheetTop + (rows - 1) * rowPitch + labelHeight;
    if (right > sheet.width() + kTolerance)
        return QStringLiteral("Le etichette escono dal foglio %1 a destra (%2 mm su %3).")
            .arg(paperName(paper), mm(right), mm(sheet.width()));
    if (bottom > sheet.height() + kTolerance)
        return QStringLiteral("Le etichette escono dal foglio %1 in basso (%2 mm su %3).")
            .arg(paperName(paper), mm(bottom), mm(sheet.height()));
    if (cornerRadius < 0 || cornerRadius > std::min(labelWidth, labelHeight) / 2)
        return QStringLiteral("Il raggio degli angoli deve essere da 0 a metà del lato più corto.");
    return std::nullopt;
}

QString SheetFormat::shapeText() const {
    return QStringLiteral("%1 × %2, %3 × %4 mm, %5")
        .arg(columns)
        .arg(rows)
        .arg(mm(labelWidth), mm(labelHeight), paperName(paper));
}

QPointF SheetFormat::textOrigin(LabelPosition p) const {
    // Offsets from the standard margins are added last, so the standard sheet keeps its
    // exact positions.
    static const SheetFormat kStandard;
    return {columnOffset(p.column) + (sheetLeft - kStandard.sheetLeft),
            rowOffset(p.row) + (sheetTop - kStandard.sheetTop)};
}

double SheetFormat::joinWidth() const { return labelWidth - kTextMargins; }

int SheetFormat::localityChars(bool withProvince) const {
    const int standard = withProvince ? kLocalityWithProvince : kLocalityMax;
    const double scale = joinWidth() / (kStandardWidth - kTextMargins);
    return std::max(1, int(std::floor(standard * scale + 1e-9)));
}

double SheetFormat::fontPointSize() const {
    const double points = std::clamp(kStandardPoints * labelHeight / kStandardHeight, kMinPoints, kMaxPoints);
    return std::round(points * 2) / 2; // half points
}

} // namespace velomar::printing
