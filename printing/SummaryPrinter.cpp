#include "printing/SummaryPrinter.h"

#include "printing/PrintSpan.h"
#include "printing/Printer.h"

#include <QLocale>

namespace velomar::printing {

namespace {

constexpr int kIndent = 12;
constexpr int kCountColumn = 38;

void printReport(Printer& printer, const QString& title, const std::vector<SummaryRow>& rows,
                 const QDate& date, PrintSpan& span) {
    const QString caption = title.leftJustified(11, QLatin1Char(' '), true).toUpper();
    const QString indent(kIndent, QLatin1Char(' '));
    if (span.heading()) {
        printer.setFont({QStringLiteral("Arial"), 14, true, false});
        for (int i = 0; i < 3; ++i)
            printer.printLine(QString());
        printer.setCurrentX(26);
        printer.printLine(QStringLiteral("RIEPILOGO INDIRIZZI per ") + caption);
        printer.setFont({QStringLiteral("Arial"), 10, false, true});
        printer.setCurrentX(26);
        printer.printLine(QLatin1Char('(') + date.toString(QStringLiteral("dd/MM/yyyy")) +
                          QLatin1Char(')'));
    }
    printer.setFont({QStringLiteral("Lucida Console"), 10, false, false});
    if (span.heading()) {
        printer.printLine(QString());
        const QString rule = indent + QString(30, QChar(0x2014));
        printer.printLine(rule);
        printer.printLine(indent + caption + QString(10, QLatin1Char(' ')) + QStringLiteral("INDIRIZZI"));
        printer.printLine(rule);
    }
    // A row is begun with printText, so the printer breaks the page before the whole row.
    const qint64 count = qint64(rows.size());
    for (qint64 i = span.firstItem(); i < count && !span.endsBefore(i); ++i) {
        if (!span.prints(i, 0))
            continue;
        const SummaryRow& row = rows[std::size_t(i)];
        printer.printText(indent + SummaryPrinter::valueText(row));
        printer.moveToColumn(kCountColumn);
        printer.printLine(SummaryPrinter::countText(row.count));
    }
    printer.endDoc();
}

} // namespace

QString SummaryPrinter::valueText(const SummaryRow& row) {
    // The value ends a blank before the count column, in the report's fixed-pitch font.
    constexpr int kRoom = kCountColumn - 1 - kIndent - 1;
    const QString value = row.shownValue();
    if (value.size() <= kRoom)
        return value;
    return value.left(kRoom - 1) + QChar(0x2026);
}

QString SummaryPrinter::countText(qint64 count) {
    return QLocale(QLocale::Italian, QLocale::Italy).toString(count);
}

void SummaryPrinter::print(Printer& printer, const QString& title,
                           const std::vector<SummaryRow>& rows, const QDate& date) {
    PrintSpan whole;
    print(printer, title, rows, date, whole);
}

void SummaryPrinter::print(Printer& printer, const QString& title, const std::vector<SummaryRow>& rows,
                           const QDate& date, PrintSpan& span) {
    try {
        printReport(printer, title, rows, date, span);
    } catch (...) {
        try {
            printer.abortDoc();
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
}

} // namespace velomar::printing
