#include "printing/ListPrinter.h"

#include "archive/AddressRecord.h"
#include "printing/PrintFonts.h"
#include "printing/PrintFailure.h"
#include "printing/PrintSpan.h"
#include "printing/Printer.h"
#include "printing/PrinterError.h"

#include <array>
#include <cmath>
#include <limits>

namespace velomar::printing {

namespace {

// The letters' own widths, added up: shaping a line costs far more than adding up a
// table, and kerning in our fonts only brings letters closer (never more than the
// layout's margin), so the running text is measured only near the wrap width.
// Characters past Latin Extended-A (other scripts, combining marks) and control
// characters are not vouched for: their lines are always measured.
class LetterWidths {
public:
    explicit LetterWidths(const Printer& printer) : m_printer(printer) { m_width.fill(-1); }

    double operator()(const QString& text) {
        double sum = 0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || (u >= 0x7F && u < 0xA0) || u >= kEnd)
                return std::numeric_limits<double>::infinity();
            double& w = m_width[u];
            if (w < 0)
                w = m_printer.textWidth(QString(c));
            sum += w;
        }
        return sum;
    }

private:
    static constexpr char16_t kEnd = 0x180;
    const Printer& m_printer;
    std::array<double, kEnd> m_width;
};

// The heading's fonts are set even when it is not printed: the list lines take over
// what they leave.
void printAll(Printer& printer, archive::AddressSource& source, const ListPrintRequest& request,
              const ListPrinter::Progress& progress, PrintSpan& span, qint64& printed) {
    const bool heading = span.heading();
    printer.setOrientation(request.formatted ? Orientation::Landscape : Orientation::Portrait);
    PrintFont font = printer.font();
    font.family = QStringLiteral("Verdana");
    font.bold = true;
    font.italic = false;
    printer.setFont(font);
    if (!request.heading.isEmpty()) {
        font.pointSize = 10;
        printer.setFont(font);
        if (heading)
            printer.printLine(request.heading);
    }
    font.family = QStringLiteral("Arial");
    font.bold = false;
    printer.setFont(font);
    if (heading)
        printer.printLine(QLatin1Char('(') + request.date.toString(QStringLiteral("dd/MM/yyyy")) +
                          QLatin1Char(')'));

    const PrintFont list = ListPrinter::listFont(request.formatted, request.lucidaFont);
    font.family = list.family;
    font.pointSize = list.pointSize;
    printer.setFont(font);
    const double printable = printer.printableSize().width();
    const int total = std::max(0, ListPrinterLayout::characterTotal(request.fields));
    // The rule ends where the page does.
    const QString dash(QChar(0x2014));
    const double dashWidth = printer.textWidth(dash);
    const int dashes = dashWidth > 0 ? std::min(total, int(std::floor(printable / dashWidth + 1e-9)))
                                     : total;
    if (heading) {
        printer.printLine(dash.repeated(dashes));
        printer.printLine(QString());
    }
    // A formatted line never passes the printable width, whatever the caller let through.
    const int limit = ListPrinterLayout::lineLimit(printable, printer.textWidth(QStringLiteral("M")));
    if (request.formatted) {
        if (heading) {
            printer.printLine(ListPrinterLayout::formattedHeading(request.fields).left(limit));
            printer.printLine(QString(std::min(total, limit), QLatin1Char('-')));
        }
    } else {
        font.family = QStringLiteral("Arial Narrow");
        printer.setFont(font);
    }

    const qint64 count = source.count();
    if (progress)
        progress(0, count);
    const auto width = [&printer](const QString& text) { return printer.textWidth(text); };
    LetterWidths letterWidths(printer);
    const auto letters = [&letterWidths](const QString& text) { return letterWidths(text); };
    archive::AddressRecord record;
    qint64 item = span.firstItem();
    if (item > 0)
        source.skip(item);
    for (; !span.endsBefore(item) && source.next(record); ++item) {
        if (request.formatted) {
            if (span.prints(item, 0))
                printer.printLine(ListPrinterLayout::formattedLine(record, request.fields).left(limit));
        } else {
            const QString text = ListPrinterLayout::unformattedText(record, request.fields, width, letters);
            int line = 0;
            for (const QString& part : text.split(QLatin1Char('\n')))
                if (span.prints(item, line++))
                    printer.printLine(part);
            if (span.prints(item, line))
                printer.printLine(QString()); // the blank line between addresses
        }
        ++printed;
        if (progress && printed % 500 == 0)
            progress(printed, count);
    }
    printer.endDoc();
    if (progress)
        progress(printed, count);
}

// A failed job is aborted, so no partial document is left; the first failure is reported.
qint64 printGuarded(Printer& printer, archive::AddressSource& source, const ListPrintRequest& request,
                    const ListPrinter::Progress& progress, PrintSpan& span) {
    qint64 printed = 0;
    try {
        printAll(printer, source, request, progress, span, printed);
    } catch (...) {
        try {
            printer.abortDoc();
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
    return printed;
}

} // namespace

qint64 ListPrinter::print(Printer& printer, archive::AddressSource& source,
                          const ListPrintRequest& request, const Progress& progress) {
    PrintSpan whole;
    return printGuarded(printer, source, request, progress, whole);
}

qint64 ListPrinter::print(Printer& printer, archive::AddressSource& source,
                          const ListPrintRequest& request, PrintSpan& span) {
    return printGuarded(printer, source, request, {}, span);
}

PrintFont ListPrinter::listFont(bool formatted, bool lucidaFont) {
    PrintFont font;
    if (formatted)
        font.family = lucidaFont ? QStringLiteral("Lucida Console") : QStringLiteral("Courier New");
    else
        font.family = QStringLiteral("Courier New");
    font.pointSize = formatted ? 7 : 8;
    return font;
}

int ListPrinter::formattedLimit(double printableWidthMm, bool lucidaFont) {
    return ListPrinterLayout::lineLimit(
        printableWidthMm, PrintFonts::textWidthMm(listFont(true, lucidaFont), QStringLiteral("M")));
}

QString ListPrinter::failureText(const common::AppError& error) {
    switch (error.code()) {
    case PrinterError::NoPrinter:
        return QStringLiteral("Errore sulla Stampante (mancante o non collegata) !");
    case PrinterError::Problem:
        return QStringLiteral("Problema sulla Stampante !");
    case PrinterError::Cancelled:
        return QStringLiteral("Stampa Annullata !");
    default:
        return printFailureText(error);
    }
}

} // namespace velomar::printing
