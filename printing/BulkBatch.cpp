#include "printing/BulkBatch.h"

#include "archive/ArchiveFile.h"
#include "archive/DataModel.h"
#include "archive/FailureText.h"
#include "archive/FilterError.h"
#include "archive/LikePattern.h"
#include "common/CommandArgs.h"
#include "common/OutputGuard.h"
#include "common/UsageError.h"
#include "printing/BulkJob.h"
#include "printing/DeliveryList.h"
#include "printing/PdfPrinter.h"
#include "printing/PrintFailure.h"
#include "printing/PrinterError.h"
#include "printing/ReminderFile.h"
#include "printing/SheetCatalog.h"
#include "settings/ProgramSetup.h"
#include "settings/Settings.h"
#include "settings/SetupIni.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace velomar::printing {

namespace {

// The file beside path with the other suffix: DISTINTA.pdf gives DISTINTA.csv.
QString beside(const QString& path, const QString& suffix) {
    const QFileInfo info(path);
    return info.dir().filePath(info.completeBaseName() + suffix);
}

// The sender chosen in the options for envelopes, its non-empty lines.
QStringList chosenSender(const settings::Options& options) {
    const QString setupIni =
        settings::ProgramSetup::programFile(QStringLiteral("Setup.ini"), settings::Settings());
    if (setupIni.isEmpty())
        return {};
    const auto read = settings::SetupIni::read(setupIni);
    QStringList lines;
    for (const QString& line : read.senders.sender(options.envelopeSenderIndex()))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

} // namespace

int batchBundles(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    const QString archivePath = args.argument(0);
    const QString pdf = args.value(QStringLiteral("pdf"), {});
    const QString labels = args.value(QStringLiteral("labels"), {});
    if (pdf.isEmpty())
        throw common::UsageError(QStringLiteral("--pdf richiede il nome del file PDF."));
    if (args.isSet(QStringLiteral("labels")) && labels.isEmpty())
        throw common::UsageError(
            QStringLiteral("--labels richiede il nome del file PDF delle etichette."));
    // Written one after the other, the second would replace the first.
    if (!labels.isEmpty() && QFileInfo(labels).absoluteFilePath() == QFileInfo(pdf).absoluteFilePath())
        throw common::UsageError(QStringLiteral("--labels e --pdf devono essere due file diversi."));
    BulkRules rules;
    if (const auto min = args.value(QStringLiteral("min"))) {
        bool ok = false;
        rules.minPieces = min->toInt(&ok);
        if (!ok || rules.minPieces < 1 || rules.minPieces > 9999)
            throw common::UsageError(
                QStringLiteral("--min richiede un numero di pezzi da 1 a 9999."));
    }
    QStringList groups;
    for (const QString& g : args.values(QStringLiteral("group"))) {
        if (g.trimmed().isEmpty())
            throw common::UsageError(QStringLiteral("--group richiede un codice di gruppo."));
        groups << g.trimmed().toUpper();
        try {
            (void)archive::LikePattern::compile(groups.last());
        } catch (const archive::FilterError& e) {
            throw common::UsageError(archive::FailureText::of(e));
        }
    }
    settings::Settings store;
    SheetFormat sheet;
    {
        const auto given = args.value(QStringLiteral("format"));
        const QString name = given.value_or(QString()).trimmed();
        QString note;
        const auto found = given && name.isEmpty() ? std::nullopt : SheetCatalog::named(store, name, &note);
        if (!found)
            throw common::UsageError(SheetCatalog::unknownText(name));
        sheet = *found;
        if (!note.isEmpty())
            err << note << "\n";
    }
    const settings::Options options = store.readOptions();
    LabelOptions labelOptions = LabelOptions::from(options);
    labelOptions.postalStyle = args.isSet(QStringLiteral("postal-style"));

    const auto inUse = common::OutputGuard::hold(archivePath);
    std::optional<BulkJob> job;
    try {
        archive::Database db = archive::ArchiveFile::open(
            archivePath, archive::ArchiveKind::Addresses, archive::ArchiveFile::Access::ReadOnly);
        job.emplace(BulkJob::ofGroups(db, groups, rules));
    } catch (const std::exception& e) {
        err << archive::FailureText::of(e, archivePath) << "\n";
        return 1;
    }
    if (job->pieces() == 0) {
        err << (groups.isEmpty()
                    ? QStringLiteral("Nessun indirizzo da spedire !")
                    : QStringLiteral("Nessun indirizzo con Gruppo '%1' !").arg(groups.join(u',')))
            << "\n";
        return 1;
    }

    try {
        const DeliveryList list({chosenSender(options), QDate::currentDate(),
                                 args.value(QStringLiteral("product"), {})},
                                job->bundles(), job->addresses());
        BulkJob::Printed printed;
        if (!labels.isEmpty()) {
            // The print-shop reminder beside the labels.
            ReminderFile::write(
                beside(labels, QStringLiteral(".txt")),
                job->reminder(QDate::currentDate(), QStringLiteral("Spedizione in blocco")));
            PdfPrinter printer(labels);
            printed = job->printLabels(printer, labelOptions, sheet, {1, 1});
            printer.finishJob();
        }
        ReminderFile::write(beside(pdf, QStringLiteral(".csv")), list.csv());
        PdfPrinter printer(pdf);
        list.print(printer);
        printer.finishJob();

        out << "Mazzetti: " << job->bundles().size() << "\n"
            << "Pezzi: " << list.pieces() << "\n";
        if (!labels.isEmpty())
            out << "Etichette stampate: " << printed.labels << " (più " << printed.headers
                << " di testata)\n"
                << "File etichette: "
                << QDir::toNativeSeparators(QFileInfo(labels).absoluteFilePath()) << "\n";
        out << "File: " << QDir::toNativeSeparators(QFileInfo(pdf).absoluteFilePath()) << "\n";
        if (!printed.cutLabels.isEmpty())
            err << StampaEtichette::cutLabelsNote(printed.cutLabels) << "\n";
        return 0;
    } catch (const PrinterError& e) {
        err << printFailureText(e) << "\n";
        return 1;
    } catch (const common::AppError& e) {
        err << e.description() << "\n";
        return 1;
    }
}

} // namespace velomar::printing
