#include "printing/SummaryBatch.h"

#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "common/AppError.h"
#include "common/OutputGuard.h"
#include "printing/PdfPrinter.h"
#include "printing/PrintFailure.h"
#include "printing/SummaryPrinter.h"
#include "printing/SummaryQuery.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <map>

namespace velomar::printing {

namespace {

const char* const kUsage =
    "Uso: velomar-batch summary ARCHIVIO.mdb --field GR|CAP|CITTA|PROV|NAZ --pdf OUT.pdf [--by-count]\n";

// The title the main window's menu gives each summary.
QString titleOf(const QString& field) {
    static const std::map<QString, QString> titles = {
        {QStringLiteral("GR"), QStringLiteral("Gruppo")},
        {QStringLiteral("CAP"), QStringLiteral("CAP")},
        {QStringLiteral("CITTA"), QStringLiteral("Città")},
        {QStringLiteral("PROV"), QStringLiteral("Provincia")},
        {QStringLiteral("NAZ"), QStringLiteral("Nazione")},
    };
    return titles.at(field).leftJustified(11, QLatin1Char(' '), true);
}

} // namespace

int batchSummary(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString archive, field, pdf;
    bool byCount = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--field") || a == QLatin1String("--pdf")) {
            if (i + 1 >= args.size()) {
                err << a << " richiede un valore.\n" << kUsage;
                return 2;
            }
            (a == QLatin1String("--field") ? field : pdf) = args[++i];
        } else if (a == QLatin1String("--by-count")) {
            byCount = true;
        } else if (a.startsWith(QLatin1String("--")) || !archive.isEmpty()) {
            err << "Argomento non valido: " << a << "\n" << kUsage;
            return 2;
        } else {
            archive = a;
        }
    }
    field = field.trimmed().toUpper();
    if (archive.isEmpty() || pdf.isEmpty() || !SummaryQuery::isSummaryField(field)) {
        err << kUsage;
        return 2;
    }

    // The archive is closed before printing, yet it is never the output.
    const auto inUse = common::OutputGuard::hold(archive);
    std::vector<SummaryRow> rows;
    try {
        archive::Database db = archive::ArchiveFile::open(archive, archive::ArchiveKind::Addresses,
                                                          archive::ArchiveFile::Access::ReadOnly);
        rows = SummaryQuery::run(db, field, byCount ? SummaryQuery::Order::ByCount
                                                    : SummaryQuery::Order::ByValue);
    } catch (const archive::DatabaseError& e) {
        err << archive::FailureText::of(e, archive) << "\n";
        return 1;
    }
    try {
        PdfPrinter printer(pdf);
        SummaryPrinter::print(printer, titleOf(field), rows);
        printer.finishJob();
        out << "Valori riepilogati: " << rows.size() << "\n"
            << "Pagine: " << printer.pagesPrinted() << "\n"
            << "File: " << QDir::toNativeSeparators(QFileInfo(pdf).absoluteFilePath()) << "\n";
        return 0;
    } catch (const common::AppError& e) {
        // The failure text already is the description for most causes: said once.
        const QString text = printFailureText(e);
        err << text << "\n";
        if (text != e.description())
            err << e.description() << "\n";
        return 1;
    }
}

} // namespace velomar::printing
