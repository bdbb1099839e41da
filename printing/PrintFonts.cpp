#include "printing/PrintFonts.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QStringList>
#include <algorithm>
#include <mutex>

namespace velomar::printing {

namespace {

const QString kExtraCondensed = QStringLiteral("Abadi MT Condensed");

// The stretch (percent of normal width) that draws f's face at share of its own width.
// Qt reads a stretch as absolute, so the face's own width class is found first by
// comparing it unstretched with it forced to normal width.
int stretchFor(QFont f, double share) {
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz");
    f.setStretch(QFont::AnyStretch);
    const double own = QFontMetricsF(f).horizontalAdvance(sample);
    f.setStretch(QFont::Unstretched);
    const double normal = QFontMetricsF(f).horizontalAdvance(sample);
    const double ownStretch = normal > 0 ? 100.0 * own / normal : 100.0;
    return std::clamp(qRound(ownStretch * share), 1, 4000);
}

} // namespace

void PrintFonts::install() {
    static std::once_flag once;
    std::call_once(once, [] {
        // fonts-liberation carries the metric-compatible faces. No packaged face is
        // narrower than Liberation Sans Narrow (Roboto Condensed and Nimbus Sans Narrow
        // are as wide, DejaVu Sans Condensed wider), so it also stands in for "Abadi MT
        // Condensed", squeezed (see toQFont).
        QFont::insertSubstitutions(QStringLiteral("Arial Narrow"),
                                   {QStringLiteral("Liberation Sans Narrow"),
                                    QStringLiteral("DejaVu Sans Condensed")});
        QFont::insertSubstitutions(QStringLiteral("Abadi MT Condensed"),
                                   {QStringLiteral("Liberation Sans Narrow"),
                                    QStringLiteral("DejaVu Sans Condensed")});
        QFont::insertSubstitutions(QStringLiteral("Arial"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        QFont::insertSubstitutions(QStringLiteral("Courier New"),
                                   {QStringLiteral("Liberation Mono"),
                                    QStringLiteral("DejaVu Sans Mono")});
        QFont::insertSubstitutions(QStringLiteral("Lucida Console"),
                                   {QStringLiteral("DejaVu Sans Mono"),
                                    QStringLiteral("Liberation Mono")});
        QFont::insertSubstitutions(QStringLiteral("Verdana"),
                                   {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    });
}

QFont PrintFonts::toQFont(const PrintFont& font) {
    install();
    QFont f(font.family);
    f.setPointSizeF(font.pointSize);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    // Positions are computed from unhinted metrics; hinting would make the measured and
    // the printed widths differ on low-resolution devices.
    f.setHintingPreference(QFont::PreferNoHinting);
    if (font.family == kExtraCondensed && QFontInfo(f).family() != kExtraCondensed)
        f.setStretch(stretchFor(f, ExtraCondensedShare));
    return f;
}

double PrintFonts::textWidthMm(const PrintFont& font, const QString& text) {
    constexpr double kDpi = 1200;
    QImage device(1, 1, QImage::Format_Mono);
    device.setDotsPerMeterX(qRound(kDpi / 0.0254));
    device.setDotsPerMeterY(qRound(kDpi / 0.0254));
    return QFontMetricsF(toQFont(font), &device).horizontalAdvance(text) / (kDpi / 25.4);
}

} // namespace velomar::printing
