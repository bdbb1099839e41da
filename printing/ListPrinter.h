#pragma once

#include "printing/ListPrinterLayout.h"

#include <QDate>
#include <functional>

namespace velomar::archive {
class AddressSource;
}
namespace velomar::common {
class AppError;
}

namespace velomar::printing {

class Printer;
class PrintSpan;
struct PrintFont;

struct ListPrintRequest {
    bool formatted = true;      // landscape columns; else portrait running text
    bool lucidaFont = false;    // formatted list in "Lucida Console" instead of "Courier New"
    ListFieldMask fields{};
    QString heading;            // printed at the top of the first page when not empty
    QDate date = QDate::currentDate();
};

// Prints an address list in one pass over the source: heading, date, rule and column
// heading at the top of the first page only, then one line (formatted) or one running
// text and a blank line (unformatted) per address. Throws PrinterError; the document is
// then dropped, never left half-open for the next job.
class ListPrinter {
public:
    using Progress = std::function<void(qint64 done, qint64 total)>;

    static qint64 print(Printer& printer, archive::AddressSource& source,
                        const ListPrintRequest& request, const Progress& progress = {});
    // The part of the list in the span (items are the source's addresses); the source
    // stands at its first address and is passed over up to the span.
    static qint64 print(Printer& printer, archive::AddressSource& source,
                        const ListPrintRequest& request, PrintSpan& span);

    // The font of the list lines: fixed pitch in the formatted layout.
    static PrintFont listFont(bool formatted, bool lucidaFont);
    // Characters of a formatted line that fit the printable width (mm) in the list font.
    static int formattedLimit(double printableWidthMm, bool lucidaFont);

    // The message of a failed list or summary print, by the printer layer's code.
    static QString failureText(const common::AppError& error);
};

} // namespace velomar::printing
