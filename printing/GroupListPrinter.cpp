#include "printing/GroupListPrinter.h"

#include "printing/Printer.h"

namespace velomar::printing {

namespace {
constexpr double kTitleLeftMm = 26;
const QChar kEmDash(0x2014);
} // namespace

void GroupListPrinter::print(Printer& printer, const std::vector<Group>& groups, const QDate& date) {
    try {
        printer.setAutoPageBreak(true);
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

        printer.setFont({QStringLiteral("Lucida Console"), 10, false, false});
        printer.printLine(QString());
        const QString indent(13, QLatin1Char(' '));
        const QString rule = indent + QString(57, kEmDash);
        printer.printLine(rule);
        printer.printLine(indent + QStringLiteral("GRUPPO DESCRIZIONE"));
        printer.printLine(rule);
        for (const Group& g : groups) {
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
