#pragma once

#include "printing/Printer.h"

#include <QFont>

namespace velomar::printing {

// The program names fonts by their Windows names ("Arial Narrow", "Courier New", ...).
// These map them onto faces a Debian install brings, keeping the proportions the
// layouts were made for (narrow faces stay narrow, monospaced stay monospaced).
class PrintFonts {
public:
    // The stand-in for "Abadi MT Condensed" is the narrow face at this share of its width
    // (the PDF writer and the printers keep the stretch).
    static constexpr double ExtraCondensedShare = 0.85;

    // Registers the substitutions once for the process; safe to call again.
    static void install();
    static QFont toQFont(const PrintFont& font);
    // Width of text in font (mm), as a 1200 dpi device measures it; for layouts worked
    // out before a printer is at hand.
    static double textWidthMm(const PrintFont& font, const QString& text);
};

} // namespace velomar::printing
