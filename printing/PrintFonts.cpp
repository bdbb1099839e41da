#include "printing/PrintFonts.h"

#include <QStringList>
#include <mutex>

namespace velomar::printing {

void PrintFonts::install() {
    static std::once_flag once;
    std::call_once(once, [] {
        // fonts-liberation carries the metric-compatible faces; the narrowest face installed
        // also stands in for "Abadi MT Condensed" (DejaVu Sans Condensed is wider than
        // Arial Narrow, which would make the "extra condensed" option print wider).
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
    return f;
}

} // namespace velomar::printing
