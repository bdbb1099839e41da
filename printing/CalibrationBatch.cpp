#include "printing/CalibrationBatch.h"

#include "common/AppError.h"
#include "common/CommandArgs.h"
#include "common/OutputGuard.h"
#include "common/UsageError.h"
#include "printing/CalibratedPrinter.h"
#include "printing/CupsDestinations.h"
#include "printing/PdfPrinter.h"
#include "printing/PrintFailure.h"
#include "printing/PrinterCalibration.h"
#include "printing/PrinterSelection.h"
#include "printing/SheetCatalog.h"
#include "printing/TestSheet.h"
#include "settings/Settings.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace velomar::printing {

namespace {

void showCalibration(const settings::Settings& store, const QString& printer, QTextStream& out, QTextStream& err) {
    QString note;
    const PrinterCalibration c = PrinterCalibration::load(store, printer, &note);
    out << "Stampante: " << printer << "\n"
        << "Calibrazione: " << (PrinterCalibration::isStored(store, printer) && note.isEmpty() ? c.text()
                                                                                              : QStringLiteral("nessuna"))
        << "\n";
    if (!note.isEmpty())
        err << note << "\n";
}

QString nonEmpty(const common::CommandArgs& args, const QString& option) {
    const QString v = args.value(option, {}).trimmed();
    if (args.isSet(option) && v.isEmpty())
        throw common::UsageError(QStringLiteral("--%1 richiede un valore.").arg(option));
    return v;
}

} // namespace

std::optional<QString> batchPrinterProblem(const QString& printer) {
    PrinterSelection selection;
    selection.addProvider(std::make_unique<CupsDestinations>());
    selection.addProvider(std::make_unique<PdfPrinterProvider>());
    if (selection.isInstalled(printer))
        return std::nullopt;
    QStringList names;
    for (const PrinterEntry& e : selection.printers())
        names << e.deviceName;
    return QStringLiteral("La stampante \"%1\" non è installata o non esiste più. Stampanti disponibili: %2.")
        .arg(printer, names.join(QStringLiteral(", ")));
}

int batchCalibrate(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    const QString printer = args.argument(0).trimmed();
    if (printer.isEmpty())
        throw common::UsageError(QStringLiteral("Manca il nome della stampante."));
    const QString offset = nonEmpty(args, QStringLiteral("offset"));
    const QString scale = nonEmpty(args, QStringLiteral("scale"));
    const bool reset = args.isSet(QStringLiteral("reset"));
    if (reset && (!offset.isEmpty() || !scale.isEmpty()))
        throw common::UsageError(QStringLiteral("--reset non va insieme a --offset o --scale."));

    settings::Settings store;
    if (reset) {
        // A printer that is gone can still lose its values.
        const bool stored = store.printerCalibration(printer).has_value();
        PrinterCalibration::reset(store, printer);
        if (const auto failure = store.save()) {
            err << *failure << "\n";
            return 1;
        }
        out << "Stampante: " << printer << "\n"
            << (stored ? "Calibrazione rimossa." : "Nessuna calibrazione da rimuovere.") << "\n";
        return 0;
    }
    if (offset.isEmpty() && scale.isEmpty()) {
        showCalibration(store, printer, out, err);
        return 0;
    }

    PrinterCalibration c = PrinterCalibration::load(store, printer);
    try {
        if (!offset.isEmpty()) {
            const QPointF o = PrinterCalibration::parseOffset(offset);
            c.offsetXMm = o.x();
            c.offsetYMm = o.y();
        }
        if (!scale.isEmpty()) {
            const QPointF s = PrinterCalibration::parseScale(scale);
            c.scaleXPercent = s.x();
            c.scaleYPercent = s.y();
        }
        if (const auto why = c.problem())
            throw common::AppError(380, *why);
    } catch (const common::AppError& e) {
        throw common::UsageError(e.description());
    }
    if (const auto problem = batchPrinterProblem(printer)) {
        err << *problem << "\n";
        return 1;
    }
    c.save(store, printer);
    if (const auto failure = store.save()) {
        err << *failure << "\n";
        return 1;
    }
    showCalibration(store, printer, out, err);
    return 0;
}

int batchTestSheet(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    const QString pdf = nonEmpty(args, QStringLiteral("pdf"));
    if (pdf.isEmpty())
        throw common::UsageError(QStringLiteral("--pdf richiede il nome del file PDF."));
    const QString formatName = nonEmpty(args, QStringLiteral("format"));
    QString printer = nonEmpty(args, QStringLiteral("printer"));
    if (printer.isEmpty())
        printer = PdfPrinter::defaultName();

    settings::Settings store;
    SheetFormat sheet;
    {
        QString note;
        const auto found = SheetCatalog::named(store, formatName, &note);
        if (!found)
            throw common::UsageError(SheetCatalog::unknownText(formatName));
        sheet = *found;
        if (!note.isEmpty())
            err << note << "\n";
    }
    if (const auto problem = batchPrinterProblem(printer)) {
        err << *problem << "\n";
        return 1;
    }
    QString note;
    const PrinterCalibration calibration = PrinterCalibration::load(store, printer, &note);
    if (!note.isEmpty())
        err << note << "\n";

    try {
        PdfPrinter file(pdf, printer);
        CalibratedPrinter calibrated(file, calibration);
        TestSheet(sheet, LabelOptions::from(store.readOptions()))
            .print(calibrated, printer,
                   calibration.isIdentity() ? QStringLiteral("nessuna") : calibration.text(), QDate::currentDate());
        file.finishJob();
    } catch (const common::OutputRefused& e) {
        err << e.description() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << printFailureText(e) << "\n";
        return 1;
    }
    out << "Foglio di prova: " << printer << ", " << sheet.name << " (" << sheet.shapeText() << ")\n"
        << "File: " << QDir::toNativeSeparators(QFileInfo(pdf).absoluteFilePath()) << "\n";
    return 0;
}

} // namespace velomar::printing
