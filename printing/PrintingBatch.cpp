#include "printing/PrintingBatch.h"

#include "addresses/HouseholdSource.h"

#include "archive/ArchiveFile.h"
#include "archive/DataModel.h"
#include "archive/DatabaseError.h"
#include "archive/FailureText.h"
#include "archive/FilterError.h"
#include "archive/LikePattern.h"
#include "archive/Recordset.h"
#include "archive/RecordsetAddressSource.h"
#include "common/AppError.h"
#include "common/CommandArgs.h"
#include "common/UsageError.h"
#include "common/OutputGuard.h"
#include "common/SystemErrorText.h"
#include "printing/CalibratedPrinter.h"
#include "printing/CalibrationBatch.h"
#include "printing/LabelPreview.h"
#include "printing/PdfPrinter.h"
#include "printing/PrintFailure.h"
#include "printing/PrinterError.h"
#include "printing/SheetCatalog.h"
#include "printing/StampaEtichette.h"
#include "settings/Settings.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

namespace velomar::printing {

namespace {

constexpr int kMinDpi = 30;
constexpr int kMaxDpi = 300; // an A4 page at 600 dpi alone would be 140 MB of pixels

struct LabelsArgs {
    QString archive;
    QString pdf;
    std::optional<QString> group;
    int sort = 6; // postal code, city, surname: the print-shop default
    LabelPosition start;
    bool startGiven = false;
    std::optional<QString> format;
    SheetFormat sheet;
    QString sheetNote; // the chosen sheet could not be read: what is used instead
    bool preview = false;
    QString png;
    qint64 page = 0;
    int dpi = 150;
    QString printer; // whose calibration the PDF takes
    bool outlines = false;
};

// Returns an error text, or nothing when the arguments are good.
std::optional<QString> parse(const common::CommandArgs& args, LabelsArgs& out) {
    out.archive = args.argument(0);
    if (out.preview) {
        out.png = args.value(QStringLiteral("png"), {});
        if (out.png.isEmpty())
            return QStringLiteral("--png richiede il nome del file PNG.");
        bool ok = false;
        const qint64 n = args.value(QStringLiteral("page"), {}).toLongLong(&ok);
        if (!ok || n < 1)
            return QStringLiteral("--page richiede un numero di pagina da 1 in su.");
        out.page = n;
        if (const auto dpi = args.value(QStringLiteral("dpi"))) {
            const int d = dpi->toInt(&ok);
            if (!ok || d < kMinDpi || d > kMaxDpi)
                return QStringLiteral("--dpi richiede una risoluzione da %1 a %2.").arg(kMinDpi).arg(kMaxDpi);
            out.dpi = d;
        }
    } else {
        out.pdf = args.value(QStringLiteral("pdf"), {});
        if (out.pdf.isEmpty())
            return QStringLiteral("--pdf richiede il nome del file PDF.");
    }
    if (const auto group = args.value(QStringLiteral("group"))) {
        if (group->trimmed().isEmpty())
            return QStringLiteral("--group richiede un codice di gruppo.");
        out.group = group->trimmed().toUpper();
        try {
            (void)archive::LikePattern::compile(*out.group);
        } catch (const archive::FilterError& e) {
            return archive::FailureText::of(e);
        }
    }
    if (const auto sort = args.value(QStringLiteral("sort"))) {
        bool ok = false;
        const int n = sort->toInt(&ok);
        if (!ok || n < 0 || n >= archive::DataModel::SortCount)
            return QStringLiteral("--sort richiede un ordinamento da 0 a 16.");
        out.sort = n;
    }
    if (const auto start = args.value(QStringLiteral("start"))) {
        static const QRegularExpression re(QStringLiteral(R"(^\s*(\d+)\s*,\s*(\d+)\s*$)"));
        const auto m = re.match(*start);
        out.start = m.hasMatch() ? LabelPosition{m.captured(1).toInt(), m.captured(2).toInt()} : LabelPosition{0, 0};
        out.startGiven = true;
    }
    if (const auto format = args.value(QStringLiteral("format"))) {
        if (format->trimmed().isEmpty())
            return QStringLiteral("--format richiede il nome di un formato di foglio "
                                  "(velomar-batch formats li elenca).");
        out.format = format->trimmed();
    }
    if (!out.preview) {
        out.printer = args.value(QStringLiteral("printer"), PdfPrinter::defaultName()).trimmed();
        if (out.printer.isEmpty())
            return QStringLiteral("--printer richiede il nome di una stampante.");
        out.outlines = args.isSet(QStringLiteral("outlines"));
    }
    // The sheet: the one named, or the one chosen in the settings.
    const auto sheet = SheetCatalog::named(settings::Settings(), out.format.value_or(QString()), &out.sheetNote);
    if (!sheet)
        return SheetCatalog::unknownText(*out.format);
    out.sheet = *sheet;
    if (out.startGiven && !out.sheet.contains(out.start))
        return QStringLiteral("--start richiede RIGA,COLONNA con riga da 1 a %1 e colonna da 1 a %2.")
            .arg(out.sheet.rows)
            .arg(out.sheet.columns);
    return std::nullopt;
}

// Opens the archive and the addresses of the job in print order; on failure writes the
// message and returns false.
bool openJob(const LabelsArgs& a, archive::Database& db, archive::Recordset& rs,
             common::OutputGuard::Holder& inUse, QTextStream& err) {
    if (!a.sheetNote.isEmpty())
        err << a.sheetNote << "\n";
    try {
        db = archive::ArchiveFile::open(a.archive, archive::ArchiveKind::Addresses,
                                        archive::ArchiveFile::Access::ReadOnly);
        inUse = common::OutputGuard::hold(a.archive);
        // Only what a label can show is read: a huge value costs no more than a short one.
        const QString select = QStringLiteral("SELECT %1 FROM TabMAIL")
                                   .arg(archive::DataModel::printColumns().join(QStringLiteral(", ")));
        if (a.group)
            rs = archive::Recordset::open(db, select + QStringLiteral(" WHERE GR LIKE ?"),
                                          archive::LockType::ReadOnly, {*a.group});
        else
            rs = archive::Recordset::open(db, select, archive::LockType::ReadOnly);
        archive::DataModel::applySortOrder(rs, a.sort);
    } catch (const std::exception& e) {
        err << archive::FailureText::of(e, a.archive) << "\n";
        return false;
    }

    if (rs.recordCount() == 0) {
        if (a.group)
            err << "Nessun indirizzo con Gruppo '" << *a.group << "' !\n";
        else
            err << "Nessuna etichetta da stampare !\n";
        return false;
    }
    return true;
}

// The text of a label job that failed: the refused output, the printer's failure by its
// number, or the archive's (read half way through the job) by its cause.
int reportJobFailure(const std::exception& error, const QString& archivePath, QTextStream& err) {
    if (const auto* refused = dynamic_cast<const common::OutputRefused*>(&error)) {
        err << refused->description() << "\n";
    } else if (const auto* printer = dynamic_cast<const PrinterError*>(&error)) {
        const QString text = printFailureText(*printer);
        err << text << "\n";
        if (text != printer->description())
            err << printer->description() << "\n";
    } else {
        err << archive::FailureText::of(error, archivePath) << "\n";
    }
    return 1;
}

} // namespace

int batchLabels(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    LabelsArgs a;
    if (const auto problem = parse(args, a))
        throw common::UsageError(*problem);

    archive::Database db;
    archive::Recordset rs;
    common::OutputGuard::Holder inUse;
    if (!openJob(a, db, rs, inUse, err))
        return 1;

    if (const auto problem = batchPrinterProblem(a.printer)) {
        err << *problem << "\n";
        return 1;
    }
    QString note;
    const PrinterCalibration calibration = PrinterCalibration::load(settings::Settings(), a.printer, &note);
    if (!note.isEmpty())
        err << note << "\n";
    const settings::Options options = settings::Settings().readOptions();
    try {
        archive::RecordsetAddressSource source(rs);
        PdfPrinter printer(a.pdf, a.printer);
        // The PDF as that printer would receive it.
        CalibratedPrinter calibrated(printer, calibration);
        LabelOptions labelOptions = LabelOptions::from(options);
        labelOptions.outlines = a.outlines;
        StampaEtichette engine(calibrated, labelOptions, a.sheet);
        LabelPosition pos = a.start;
        std::optional<addresses::HouseholdSource> doors;
        if (args.isSet(QStringLiteral("household")))
            doors.emplace(source);
        engine.print(doors ? static_cast<archive::AddressSource&>(*doors) : source, pos);
        printer.finishJob();
        out << "Etichette stampate: " << engine.labelsPrinted() << "\n";
        if (doors)
            out << "Indirizzi uniti a un altro della stessa porta: " << doors->joined() << "\n";
        out
            << "Fogli " << SheetFormat::paperName(a.sheet.paper) << ": " << printer.pagesPrinted() << "\n"
            << "File: " << QDir::toNativeSeparators(QFileInfo(a.pdf).absoluteFilePath()) << "\n";
        if (!engine.cutLabels().isEmpty())
            err << StampaEtichette::cutLabelsNote(engine.cutLabels()) << "\n";
        return 0;
    } catch (const std::exception& e) {
        return reportJobFailure(e, a.archive, err);
    }
}

int batchPreview(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    LabelsArgs a;
    a.preview = true;
    if (const auto problem = parse(args, a))
        throw common::UsageError(*problem);

    archive::Database db;
    archive::Recordset rs;
    common::OutputGuard::Holder inUse;
    if (!openJob(a, db, rs, inUse, err))
        return 1;

    const settings::Options options = settings::Settings().readOptions();
    try {
        LabelPreview preview(rs, LabelOptions::from(options), a.start, a.sheet);
        const qint64 pages = preview.pageCount();
        if (a.page > pages) {
            err << LabelPreview::pageCountText(pages) << "\n";
            return 1;
        }
        common::OutputGuard::check(a.png);
        const QImage image = preview.render(a.page, a.dpi);
        // Encoded in memory: libpng reports a failed write in English on stderr itself.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        QSaveFile file(a.png);
        if (png.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.flush() ||
            !file.commit()) {
            err << QStringLiteral("Impossibile scrivere il file PNG \"%1\":\n%2")
                       .arg(QDir::toNativeSeparators(a.png), common::SystemErrorText::ofFile(file))
                << "\n";
            return 1;
        }
        out << "Pagina: " << a.page << " di " << pages << "\n"
            << "File: " << QDir::toNativeSeparators(QFileInfo(a.png).absoluteFilePath()) << "\n";
        if (!preview.cutLabels().isEmpty())
            err << StampaEtichette::cutLabelsNote(preview.cutLabels()) << "\n";
        return 0;
    } catch (const std::exception& e) {
        return reportJobFailure(e, a.archive, err);
    }
}

} // namespace velomar::printing
