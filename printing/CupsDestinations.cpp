#include "printing/CupsDestinations.h"

#include "printing/PrinterError.h"

#include <QProcess>
#include <QStandardPaths>

namespace velomar::printing {

namespace {

constexpr int kWaitMs = 5000;

// The output of lpstat with these arguments; "" when it cannot be run (no CUPS client,
// no scheduler: then there are no system printers to name).
QString lpstat(const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("lpstat"));
    if (program.isEmpty())
        return {};
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(kWaitMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

} // namespace

std::vector<PrinterEntry> CupsDestinations::parse(const QString& destinations, const QString& defaultLine) {
    // "system default destination: NAME"; the name is the last word in every language.
    const QString def = defaultLine.trimmed().contains(u':') ? defaultLine.trimmed().section(u':', -1).trimmed()
                                                            : QString();
    std::vector<PrinterEntry> list;
    for (const QString& line : destinations.split(u'\n', Qt::SkipEmptyParts)) {
        const QString name = line.trimmed();
        if (!name.isEmpty() && !name.contains(u' '))
            list.push_back({name, QStringLiteral("system"), name == def});
    }
    return list;
}

std::vector<PrinterEntry> CupsDestinations::printers() const {
    return parse(lpstat({QStringLiteral("-e")}), lpstat({QStringLiteral("-d")}));
}

std::unique_ptr<Printer> CupsDestinations::create(const PrinterEntry& entry, common::DialogService&) {
    throw PrinterError(PrinterError::NoPrinter,
                       QStringLiteral("Da riga di comando si stampa solo su file PDF, non su \"%1\".")
                           .arg(entry.deviceName));
}

} // namespace velomar::printing
