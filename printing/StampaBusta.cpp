#include "printing/StampaBusta.h"

#include "archive/AddressRecord.h"
#include "settings/Options.h"

#include <cmath>

namespace velomar::printing {

namespace {
enum Field { TITOLO = 1, COGNOME = 2, NOME1 = 3, NOME2 = 4, INDIRIZZO = 5, CAP = 6, CITTA = 7,
             PROV = 8, NAZ = 9 };
constexpr double kJoinLimitMm = 110;
} // namespace

EnvelopeOptions EnvelopeOptions::from(const settings::Options& options) {
    return {options.envelopeBold(), options.value(11) == 1, options.envelopeFeed(),
            options.envelopeSenderIndex()};
}

StampaBusta::Placement StampaBusta::placement(int feed) {
    if (feed == 1) // "Tipo DeskJet o Cassetto 1"
        return {{10, 100}, {130, 160}};
    return {{68, 5}, {175, 65}}; // "Tipo LaserJet o Manuale"
}

StampaBusta::Lines StampaBusta::addressLines(const archive::AddressRecord& r, const Measure& width) {
    Lines lines{r[TITOLO], r[COGNOME], r[NOME1], r[NOME2], r[INDIRIZZO],
                r[CAP] + QLatin1Char(' ') + r[CITTA], r[NAZ]};
    if (std::floor(width(lines[2]) + width(lines[1] + QLatin1Char(' '))) < kJoinLimitMm) {
        lines[1] += QLatin1Char(' ') + lines[2];
        lines[2].clear();
    }
    if (r[PROV].size() == 2)
        lines[5] += QStringLiteral(" (") + r[PROV] + QLatin1Char(')');
    return lines;
}

void StampaBusta::print(Printer& printer, const EnvelopeOptions& options, const Sender& sender,
                        const archive::AddressRecord& record) {
    try {
        printer.setOrientation(Orientation::Landscape);
        printer.setFont({QStringLiteral("Arial Narrow"), 12, options.bold, false});
        printer.setAutoPageBreak(false);
        const Lines lines =
            addressLines(record, [&printer](const QString& t) { return printer.textWidth(t); });
        const Placement at = placement(options.feed);
        if (options.printSender) {
            // Empty sender lines keep their room.
            printer.setCurrentY(at.sender.y());
            for (const QString& line : sender) {
                printer.setCurrentX(at.sender.x());
                printer.printLine(line);
            }
        }
        printer.setCurrentY(at.address.y());
        for (const QString& line : lines) {
            printer.setCurrentX(at.address.x());
            if (!line.isEmpty())
                printer.printLine(line);
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
