#pragma once

#include "support/ArchiveFixture.h"
#include "support/MemorySource.h"

#include "archive/ArchiveFile.h"
#include "archive/SampleArchive.h"
#include "printing/GlabelsTemplates.h"
#include "printing/PdfPrinter.h"
#include "printing/PrinterError.h"
#include "printing/RecordingPrinter.h"
#include "printing/SheetCatalog.h"
#include "printing/StampaEtichette.h"

#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>
#include <optional>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Set-up shared by the printing tests: archives, sheets and label prints.
namespace velomar::test {

// One millimetre per character keeps the width rules easy to reason about.
inline double mmPerChar(const QString& text) {
    return double(text.size());
}
// A recording printer that measures so, its lines lineHeight mm apart.
struct CharPrinter : printing::RecordingPrinter {
    explicit CharPrinter(double lineHeight) {
        setMeasure([](const QString& text, const printing::PrintFont&) { return mmPerChar(text); });
        setLineHeight(lineHeight);
    }
};

// A new address archive at path holding records, numbered from 1 in order; left open.
inline archive::Database archiveWith(const QString& path,
                                     const std::vector<archive::AddressRecord>& records) {
    createTestArchive(path);
    archive::Database db(path, archive::Database::Mode::ReadWrite);
    db.exec(QStringLiteral("BEGIN"));
    for (const auto& r : records)
        addTestAddress(db, r);
    db.exec(QStringLiteral("COMMIT"));
    return db;
}

// The sample archive of count addresses written to path, opened read-only.
inline archive::Database sampleArchive(const QString& path, int count, int seed) {
    archive::SampleArchive::write(path, count, std::uint64_t(seed));
    return archive::ArchiveFile::open(path, archive::ArchiveKind::Addresses,
                                      archive::ArchiveFile::Access::ReadOnly);
}

// A sheet of the user's own.
inline printing::SheetFormat customSheet(int columns, int rows, double w, double h, double left,
                                         double top, double dx, double dy,
                                         printing::PaperSize paper = printing::PaperSize::A4) {
    return printing::SheetFormat(printing::SheetCatalog::customName(), QString(),
                                 printing::SheetFormat::Source::Custom, paper, columns, rows, w, h,
                                 left, top, dx, dy);
}

// Clears the stored sheet choice, so tests do not see each other's.
inline void forgetSheets() {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "QZ", "Velomar");
    store.remove("Etichette");
    store.remove("EtichettaPersonale");
}

inline QString dataFile(const QString& name) {
    return QStringLiteral(VELOMAR_SOURCE_DIR "/tests/printing/data/") + name;
}
const QStringList kTemplateFiles = {"databecker-iso-templates.xml", "maco-us-templates.xml"};

// The two glabels template files kept with the tests, read.
inline printing::GlabelsTemplates::Result testTemplates() {
    printing::GlabelsTemplates::Result result;
    for (const QString& name : kTemplateFiles) {
        QFile file(dataFile(name));
        if (file.open(QIODevice::ReadOnly))
            printing::GlabelsTemplates::read(file, result);
    }
    return result;
}

inline printing::SheetFormat testTemplate(const QString& name) {
    for (const auto& f : testTemplates().formats)
        if (f.name == name)
            return f;
    ADD_FAILURE() << "no template " << name.toStdString();
    return {};
}

// The label of sheet whose area holds point, or none.
inline std::optional<printing::LabelPosition> labelAt(const printing::SheetFormat& sheet,
                                                      QPointF point) {
    for (int i = 1; i <= sheet.labelsPerSheet(); ++i)
        if (sheet.physicalLabel(sheet.positionOf(i)).contains(point))
            return sheet.positionOf(i);
    return std::nullopt;
}

// What a label print reports: pages (of a PDF), the place after the last label, the
// addresses printed and the labels cut.
struct LabelRun {
    int pages = 0;
    printing::LabelPosition end;
    qint64 labels = 0;
    QStringList cut;
};

inline LabelRun
printLabels(printing::Printer& printer, archive::AddressSource& source,
            const printing::LabelOptions& options = {}, printing::LabelPosition start = {},
            const printing::SheetFormat& sheet = printing::SheetFormat::standard()) {
    printing::StampaEtichette engine(printer, options, sheet);
    engine.print(source, start);
    return {0, start, engine.labelsPrinted(), engine.cutLabels()};
}

inline LabelRun
printLabelsPdf(const QString& pdf, archive::AddressSource& source,
               const printing::LabelOptions& options = {}, printing::LabelPosition start = {},
               const printing::SheetFormat& sheet = printing::SheetFormat::standard()) {
    printing::PdfPrinter printer(pdf);
    LabelRun run = printLabels(printer, source, options, start, sheet);
    printer.finishJob();
    run.pages = printer.pagesPrinted();
    return run;
}

} // namespace velomar::test
