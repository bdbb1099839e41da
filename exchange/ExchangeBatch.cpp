#include "exchange/ExchangeBatch.h"

#include "addresses/HouseholdSource.h"
#include "archive/ArchiveFile.h"
#include "archive/CountryLookup.h"
#include "archive/DatabaseError.h"
#include "archive/DataModel.h"
#include "common/CommandArgs.h"
#include "common/OutputGuard.h"
#include "common/UsageError.h"
#include "archive/FailureText.h"
#include "archive/FilterError.h"
#include "archive/LikePattern.h"
#include "exchange/ExchangeError.h"
#include "exchange/ExportJob.h"
#include "exchange/FileImporter.h"
#include "exchange/Importer.h"
#include "exchange/TextEncoding.h"
#include "printing/ListPrinter.h"
#include "printing/ListPrinterRange.h"
#include "printing/PdfPrinter.h"
#include "printing/PrinterSelection.h"
#include "printing/PrintFailure.h"
#include "printing/PrinterError.h"
#include "settings/ProgramSetup.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <QMap>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace velomar::exchange {

namespace {

using archive::ArchiveFile;
using archive::ArchiveKind;

using archive::FailureText;

// The archive opened for reading, or a closed handle after telling why.
archive::Database openForReading(const QString& path, QTextStream& err) {
    try {
        return ArchiveFile::open(path, ArchiveKind::Addresses, ArchiveFile::Access::ReadOnly);
    } catch (const std::exception& e) {
        err << FailureText::of(e, path) << "\n";
        return {};
    }
}

// "NR,COGNOME,3": names (any case) or indexes 0..16; nullopt on an unknown entry.
std::optional<FieldMask> parseFields(const QString& list) {
    FieldMask mask{};
    for (const QString& item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = item.trimmed();
        bool isNumber = false;
        int index = name.toInt(&isNumber);
        if (!isNumber)
            index = archive::DataModel::fieldIndex(name);
        if (index < 0 || index >= archive::DataModel::FieldCount)
            return std::nullopt;
        mask[std::size_t(index)] = true;
    }
    return mask;
}

// The country table, found as every command and window finds the program's files.
CountryNames countryNames(QTextStream& err) {
    const QString path = settings::ProgramSetup::programFile(archive::CountryLookup::fileName(), settings::Settings());
    if (!path.isEmpty()) {
        try {
            return CountryNames::fromFile(path);
        } catch (const archive::DatabaseError&) {
        }
    }
    err << archive::CountryLookup::fileName()
        << " non trovato: i paesi esteri restano come sono scritti.\n";
    return {};
}

} // namespace

int batchExport(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    static const QMap<QString, ExportFileFormat> formats{{QStringLiteral("text"), ExportFileFormat::Text},
                                                         {QStringLiteral("csv"), ExportFileFormat::Csv},
                                                         {QStringLiteral("vcard"), ExportFileFormat::VCard}};
    const QString source = args.argument(0);
    const QString output = args.argument(1);
    ExportRequest request;
    request.format = formats.value(args.value(QStringLiteral("format"), QStringLiteral("text")));
    request.fields.fill(true);
    request.description = args.value(QStringLiteral("description"), {});
    if (const auto fields = args.value(QStringLiteral("fields"))) {
        const auto mask = parseFields(*fields);
        if (!mask || std::none_of(mask->begin(), mask->end(), [](bool b) { return b; }))
            throw common::UsageError(QStringLiteral("Elenco di campi non valido: %1").arg(*fields));
        request.fields = *mask;
    }
    archive::Database db = openForReading(source, err);
    if (!db.isOpen())
        return 1;
    const auto inUse = common::OutputGuard::hold(source);
    try {
        auto walk = printing::ListPrinterRange::wholeArchive(db, printing::ListPrinterRange::Values::AsStored);
        std::optional<addresses::HouseholdSource> doors;
        if (args.isSet(QStringLiteral("household")))
            doors.emplace(*walk);
        const ExportResult result =
            ExportJob::toFile(doors ? static_cast<archive::AddressSource&>(*doors) : *walk, request, output);
        out << "Esportati " << result.addresses << " indirizzi in " << output << "\n";
        if (result.replaced > 0)
            out << "Caratteri non rappresentabili sostituiti con '?': " << result.replaced << "\n";
        return 0;
    } catch (const std::exception& e) {
        err << FailureText::cause(e, source) << "\n";
        return 1;
    }
}

int batchImport(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    const QStringList plain = args.arguments();
    const QString group = args.value(QStringLiteral("group"), QLatin1String(Importer::AllGroups));
    if (group.trimmed().isEmpty())
        throw common::UsageError(QStringLiteral("Selezionare un Gruppo !"));
    try {
        (void)archive::LikePattern::compile(group);
    } catch (const archive::FilterError& e) {
        throw common::UsageError(FailureText::of(e));
    }
    const bool move = args.isSet(QStringLiteral("move"));
    const auto open = [](const QString& path, ArchiveFile::Access access) {
        return ArchiveFile::open(path, ArchiveKind::Addresses, access);
    };
    archive::Database target;
    try {
        common::OutputGuard::check(plain[1], {.except = plain[1]});
        target = open(plain[1], ArchiveFile::Access::ReadWrite);
    } catch (const common::OutputRefused& e) {
        err << e.description() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << plain[1] << ": " << FailureText::of(e, plain[1]) << "\n";
        return 1;
    }
    Importer importer(target, plain[1]);
    try {
        // Only a move writes to the source: a copy reads it, read-only file or folder too.
        importer.openSource(plain[0], group, open,
                            move ? Importer::Use::Move : Importer::Use::Copy);
    } catch (const archive::DatabaseError& e) {
        err << plain[0] << ": " << FailureText::of(e, plain[0]) << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << FailureText::cause(e) << "\n";
        return 1;
    }
    try {
        const qint64 n = importer.sourceCount();
        if (n == 0) {
            out << (group == QLatin1String(Importer::AllGroups)
                        ? QStringLiteral("L'archivio di Origine è vuoto !")
                        : QStringLiteral("Nessun Indirizzo da Importare con Gruppo %1 !").arg(group))
                << "\n";
            return 0;
        }
        const qint64 copied = importer.copy();
        out << "Importati " << copied << " indirizzi.\n";
        if (move) {
            const qint64 deleted = importer.deleteCopiedFromSource();
            out << "Cancellati " << deleted << " indirizzi dall'archivio di origine.\n";
        }
        return 0;
    } catch (const ExchangeError& e) {
        err << e.description() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << FailureText::of(e, plain[1]) << "\n";
        return 1;
    }
}

int batchImportFile(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    return batchImportFileWith(args, out, err, openSource);
}

int batchImportFileWith(const common::CommandArgs& args, QTextStream& out, QTextStream& err,
                        const SourceOpener& opener) {
    SourceOptions sourceOptions;
    int address = 0; // the address group chosen; 0: automatic
    ImportOptions options;
    const QStringList maps = args.values(QStringLiteral("map"));
    const QStringList plain = args.arguments();
    const QString group = args.value(QStringLiteral("group"), {});
    sourceOptions.table = args.value(QStringLiteral("table"), {});
    if (const auto encoding = args.value(QStringLiteral("encoding"))) {
        sourceOptions.encoding = *encoding;
        try {
            (void)TextEncoding::canonicalName(sourceOptions.encoding);
        } catch (const ExchangeError& e) {
            throw common::UsageError(e.description());
        }
    }
    if (const auto d = args.value(QStringLiteral("delimiter"))) {
        if (d->compare(QLatin1String("tab"), Qt::CaseInsensitive) == 0 || *d == QLatin1String("\\t"))
            sourceOptions.delimiter = u'\t';
        else if (d->size() == 1)
            sourceOptions.delimiter = d->at(0);
        else
            throw common::UsageError(QStringLiteral("Separatore non valido: %1").arg(*d));
    }
    if (args.isSet(QStringLiteral("no-header")))
        sourceOptions.header = SourceOptions::Header::No;
    static const QMap<QString, DuplicateChoice> choices{{QStringLiteral("skip"), DuplicateChoice::Skip},
                                                        {QStringLiteral("exact"), DuplicateChoice::Exact},
                                                        {QStringLiteral("import"), DuplicateChoice::ImportAnyway},
                                                        {QStringLiteral("review"), DuplicateChoice::Review}};
    if (args.isSet(QStringLiteral("skip-duplicates")))
        options.duplicates = DuplicateChoice::Exact;
    if (const auto choice = args.value(QStringLiteral("duplicates")))
        options.duplicates = choices.value(*choice);
    options.unmappedToNote = args.isSet(QStringLiteral("unmapped-to-note"));
    if (const auto a = args.value(QStringLiteral("address"))) {
        bool ok = false;
        address = a->toInt(&ok);
        if (!ok || address < 1)
            throw common::UsageError(QStringLiteral("Numero di indirizzo non valido: %1").arg(*a));
    }
    if (!group.isEmpty()) {
        options.group = FileImporter::checkedGroup(group);
        if (options.group.isEmpty())
            throw common::UsageError(QStringLiteral("Codice di gruppo non valido: %1").arg(group));
    }
    archive::Database target;
    try {
        common::OutputGuard::check(plain[1], {.except = plain[1]});
        target = ArchiveFile::open(plain[1], ArchiveKind::Addresses, ArchiveFile::Access::ReadWrite);
    } catch (const common::OutputRefused& e) {
        err << e.description() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << plain[1] << ": " << FailureText::of(e, plain[1]) << "\n";
        return 1;
    }
    try {
        std::unique_ptr<SourceTable> source = opener(plain[0], sourceOptions);
        ImportMapping mapping = ImportMapping::fromHeader(source->columns());
        for (const QString& m : maps) {
            const qsizetype eq = m.indexOf(u'=');
            if (eq < 1 || !mapping.set(m.left(eq), m.mid(eq + 1))) {
                err << "Associazione non valida: " << m << "\n";
                return 2;
            }
        }
        if (address > 0) {
            const QStringList groups = mapping.addressNames();
            if (address > groups.size()) {
                err << "Il file non ha l'indirizzo " << address << " (indirizzi nel file: "
                    << groups.size() << ")\n";
                return 2;
            }
            mapping.setAddressChoice(address - 1);
        }
        if (!mapping.isOneToOne())
            options.countries = countryNames(err);
        out << source->description() << "\n";
        const ImportSummary summary = FileImporter::run(*source, mapping, options, target);
        for (const QString& line : summary.lines())
            out << line << "\n";
        return 0;
    } catch (const std::exception& e) {
        err << "Importazione non riuscita, l'archivio non è stato modificato.\n"
            << plain[0] << ": " << FailureText::cause(e) << "\n";
        return 1;
    }
}

int batchList(const common::CommandArgs& args, QTextStream& out, QTextStream& err) {
    const QString source = args.argument(0);
    const QString pdf = args.value(QStringLiteral("pdf"), {});
    settings::Settings store;
    printing::ListPrintRequest request;
    request.formatted = args.isSet(QStringLiteral("formatted"));
    request.lucidaFont = store.readOptions().listLucidaFont();
    request.heading = args.value(QStringLiteral("description"), {});
    if (const auto fields = args.value(QStringLiteral("fields"))) {
        const auto mask = parseFields(*fields);
        if (!mask)
            throw common::UsageError(QStringLiteral("Elenco di campi non valido: %1").arg(*fields));
        request.fields = *mask;
    } else {
        // The fields last chosen in the list window for this layout.
        const auto section = request.formatted ? settings::Settings::FieldSection::StampaF
                                               : settings::Settings::FieldSection::StampaNF;
        for (int f = 0; f < archive::DataModel::FieldCount; ++f)
            request.fields[std::size_t(f)] = store.fieldChoice(section, f).value_or(0) == 1;
        if (printing::ListPrinterLayout::checkedCount(request.fields) == 0)
            for (int f : {0, 2, 3, 5, 6, 7, 8})
                request.fields[std::size_t(f)] = true;
    }
    if (printing::ListPrinterLayout::checkedCount(request.fields) == 0)
        throw common::UsageError(QStringLiteral("Selezionare almeno un Campo !"));
    // The limit is what the PDF printer's landscape page holds in the list font.
    const int limit = printing::ListPrinter::formattedLimit(
        printing::PdfPrinterProvider().printableSize({}, printing::Orientation::Landscape).width(),
        request.lucidaFont);
    if (request.formatted && printing::ListPrinterLayout::characterTotal(request.fields) > limit) {
        throw common::UsageError(QStringLiteral("Riga di %1 caratteri: il massimo è %2.")
                                     .arg(printing::ListPrinterLayout::characterTotal(request.fields))
                                     .arg(limit));
    }
    archive::Database db = openForReading(source, err);
    if (!db.isOpen())
        return 1;
    const auto inUse = common::OutputGuard::hold(source);
    try {
        auto source = printing::ListPrinterRange::wholeArchive(db, printing::ListPrinterRange::Values::Printable);
        printing::PdfPrinter printer(pdf);
        const qint64 n = printing::ListPrinter::print(printer, *source, request);
        printer.finishJob();
        out << "Stampati " << n << " indirizzi in " << pdf << "\n";
        return 0;
    } catch (const common::OutputRefused& e) {
        err << e.description() << "\n";
        return 1;
    } catch (const printing::PrinterError& e) {
        err << printing::printFailureText(e) << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << FailureText::of(e, source) << "\n";
        return 1;
    }
}

} // namespace velomar::exchange
