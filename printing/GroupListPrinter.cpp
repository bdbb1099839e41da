#include "printing/GroupListPrinter.h"

#include "printing/PrintSpan.h"
#include "printing/Printer.h"

namespace velomar::printing {

namespace {
constexpr double kTitleLeftMm = 26;
const QChar kEmDash(0x2014);
} // namespace

void GroupListPrinter::print(Printer& printer, const std::vector<Group>& groups, const QDate& date) {
    PrintSpan whole;
    print(printer, groups, date, whole);
}

void GroupListPrinter::print(Printer& printer, const std::vector<Group>& groups, const QDate& date,
                             PrintSpan& span) {
    try {
        printer.setAutoPageBreak(true);
        if (span.heading()) {
            printer.setFont({QStringLiteral("Arial"), 14, true, false});
            for (int i = 0; i < 3; ++i)
                printer.printLine(QString());
            printer.setCurrentX(kTitleLeftMm);
            printer.printLine(QStringLiteral("GRUPPI"));
            printer.setFont({QStringLiteral("Arial"), 12, true, false});
            printer.setCurrentX(kTitleLeftMm);
            printer.printLine(QStringLiteral("Totale %1").arg(groups.size()));
            printer.setFont({QStringLiteral("Arial"), 10, false, true});
            printer.setCurrentX(kTitleLeftMm);
            printer.printLine(QLatin1Char('(') + date.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(')'));
        }
        printer.setFont({QStringLiteral("Lucida Console"), 10, false, false});
        if (span.heading()) {
            printer.printLine(QString());
            const QString indent(13, QLatin1Char(' '));
            const QString rule = indent + QString(57, kEmDash);
            printer.printLine(rule);
            printer.printLine(indent + QStringLiteral("GRUPPO DESCRIZIONE"));
            printer.printLine(rule);
        }
        const qint64 count = qint64(groups.size());
        for (qint64 i = span.firstItem(); i < count && !span.endsBefore(i); ++i) {
            if (!span.prints(i, 0))
                continue;
            const Group& g = groups[std::size_t(i)];
            printer.printText(QString(15, QLatin1Char(' ')) + g.code);
            printer.moveToColumn(21);
            printer.printLine(g.description);
        }
        printer.endDoc();
    } catch (...) {
        try {
            printer.abortDoc();
        } catch (...) {
        }
        throw;
    }
}

} // namespace velomar::printing
