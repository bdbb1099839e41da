#include "printing/ListPrinter.h"

#include "archive/AddressRecord.h"
#include "printing/PrintFonts.h"
#include "printing/PrintFailure.h"
#include "printing/Printer.h"
#include "printing/PrinterError.h"

#include <cmath>

namespace velomar::printing {

namespace {

void printAll(Printer& printer, archive::AddressSource& source, const ListPrintRequest& request,
              const ListPrinter::Progress& progress, qint64& printed) {
    printer.setOrientation(request.formatted ? Orientation::Landscape : Orientation::Portrait);
    PrintFont font = printer.font();
    font.family = QStringLiteral("Verdana");
    font.bold = true;
    font.italic = false;
    printer.setFont(font);
    if (!request.heading.isEmpty()) {
        font.pointSize = 10;
        printer.setFont(font);
        printer.printLine(request.heading);
    }
    font.family = QStringLiteral("Arial");
    font.bold = false;
    printer.setFont(font);
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
    printer.printLine(dash.repeated(dashes));
    printer.printLine(QString());
    // A formatted line never passes the printable width, whatever the caller let through.
    const int limit = ListPrinterLayout::lineLimit(printable, printer.textWidth(QStringLiteral("M")));
    if (request.formatted) {
        printer.printLine(ListPrinterLayout::formattedHeading(request.fields).left(limit));
        printer.printLine(QString(std::min(total, limit), QLatin1Char('-')));
    } else {
        font.family = QStringLiteral("Arial Narrow");
        printer.setFont(font);
    }

    const qint64 count = source.count();
    if (progress)
        progress(0, count);
    const auto width = [&printer](const QString& text) { return printer.textWidth(text); };
    archive::AddressRecord record;
    while (source.next(record)) {
        if (request.formatted) {
            printer.printLine(ListPrinterLayout::formattedLine(record, request.fields).left(limit));
        } else {
            const QString text = ListPrinterLayout::unformattedText(record, request.fields, width);
            for (const QString& line : text.split(QLatin1Char('\n')))
                printer.printLine(line);
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

} // namespace

qint64 ListPrinter::print(Printer& printer, archive::AddressSource& source,
                          const ListPrintRequest& request, const Progress& progress) {
    qint64 printed = 0;
    try {
        printAll(printer, source, request, progress, printed);
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
