#include "printing/SummaryBatch.h"

#include "archive/ArchiveFile.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "common/AppError.h"
#include "common/CommandArgs.h"
#include "common/OutputGuard.h"
#include "common/UsageError.h"
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

int batchSummary(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    // The field is one of the entry's choices, spelled as there.
    const QString archive = args.argument(0);
    const QString field = args.value(QStringLiteral("field"), {});
    const QString pdf = args.value(QStringLiteral("pdf"), {});
    const bool byCount = args.isSet(QStringLiteral("by-count"));
    if (pdf.isEmpty())
        throw common::UsageError(QStringLiteral("--pdf richiede il nome del file PDF."));
    if (!SummaryQuery::isSummaryField(field))
        throw common::UsageError(QStringLiteral("Campo del riepilogo non valido: %1").arg(field));

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
