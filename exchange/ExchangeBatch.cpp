#include "exchange/ExchangeBatch.h"

#include "archive/ArchiveFile.h"
#include "archive/CountryLookup.h"
#include "archive/DatabaseError.h"
#include "archive/DataModel.h"
#include "common/OutputGuard.h"
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

// "--name value" options and plain arguments, in order.
struct Args {
    QStringList plain;
    QMap<QString, QString> values;
    QStringList flags;
    QString bad;
};

Args parse(const QStringList& args, const QStringList& withValue, const QStringList& flags) {
    Args out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (withValue.contains(a)) {
            if (i + 1 >= args.size()) {
                out.bad = a;
                return out;
            }
            out.values[a] = args[++i];
        } else if (flags.contains(a)) {
            out.flags << a;
        } else if (a.startsWith(QLatin1String("--"))) {
            out.bad = a;
            return out;
        } else {
            out.plain << a;
        }
    }
    return out;
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

int batchExport(const QStringList& args, QTextStream& out, QTextStream& err) {
    const Args a = parse(args, {QStringLiteral("--fields"), QStringLiteral("--description"),
                                QStringLiteral("--format")}, {});
    static const QMap<QString, ExportFileFormat> formats{{QStringLiteral("text"), ExportFileFormat::Text},
                                                         {QStringLiteral("csv"), ExportFileFormat::Csv},
                                                         {QStringLiteral("vcard"), ExportFileFormat::VCard}};
    const QString format = a.values.value(QStringLiteral("--format"), QStringLiteral("text")).toLower();
    if (!a.bad.isEmpty() || a.plain.size() != 2 || !formats.contains(format)) {
        err << "Uso: velomar-batch export ARCHIVIO.mdb OUT [--format text|csv|vcard] "
               "[--fields ELENCO] [--description TESTO]\n";
        return 2;
    }
    ExportRequest request;
    request.format = formats.value(format);
    request.fields.fill(true);
    request.description = a.values.value(QStringLiteral("--description"));
    if (a.values.contains(QStringLiteral("--fields"))) {
        const auto mask = parseFields(a.values.value(QStringLiteral("--fields")));
        if (!mask || std::none_of(mask->begin(), mask->end(), [](bool b) { return b; })) {
            err << "Elenco di campi non valido: " << a.values.value(QStringLiteral("--fields"))
                << "\n";
            return 2;
        }
        request.fields = *mask;
    }
    archive::Database db = openForReading(a.plain[0], err);
    if (!db.isOpen())
        return 1;
    const auto inUse = common::OutputGuard::hold(a.plain[0]);
    try {
        auto source = printing::ListPrinterRange::wholeArchive(db, printing::ListPrinterRange::Values::AsStored);
        const ExportResult result = ExportJob::toFile(*source, request, a.plain[1]);
        out << "Esportati " << result.addresses << " indirizzi in " << a.plain[1] << "\n";
        if (result.replaced > 0)
            out << "Caratteri non rappresentabili sostituiti con '?': " << result.replaced << "\n";
        return 0;
    } catch (const std::exception& e) {
        err << FailureText::cause(e, a.plain[0]) << "\n";
        return 1;
    }
}

int batchImport(const QStringList& args, QTextStream& out, QTextStream& err) {
    const Args a = parse(args, {QStringLiteral("--group")}, {QStringLiteral("--move")});
    if (!a.bad.isEmpty() || a.plain.size() != 2) {
        err << "Uso: velomar-batch import ORIGINE.mdb DESTINAZIONE.mdb [--group GR] [--move]\n";
        return 2;
    }
    const QString group = a.values.value(QStringLiteral("--group"), QLatin1String(Importer::AllGroups));
    if (group.trimmed().isEmpty()) {
        err << "Selezionare un Gruppo !\n";
        return 2;
    }
    try {
        (void)archive::LikePattern::compile(group);
    } catch (const archive::FilterError& e) {
        err << FailureText::of(e) << "\n";
        return 2;
    }
    const bool move = a.flags.contains(QStringLiteral("--move"));
    const auto open = [](const QString& path, ArchiveFile::Access access) {
        return ArchiveFile::open(path, ArchiveKind::Addresses, access);
    };
    archive::Database target;
    try {
        common::OutputGuard::check(a.plain[1], {.except = a.plain[1]});
        target = open(a.plain[1], ArchiveFile::Access::ReadWrite);
    } catch (const common::OutputRefused& e) {
        err << e.description() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << a.plain[1] << ": " << FailureText::of(e, a.plain[1]) << "\n";
        return 1;
    }
    Importer importer(target, a.plain[1]);
    try {
        // Only a move writes to the source: a copy reads it, read-only file or folder too.
        importer.openSource(a.plain[0], group, open,
                            move ? Importer::Use::Move : Importer::Use::Copy);
    } catch (const archive::DatabaseError& e) {
        err << a.plain[0] << ": " << FailureText::of(e, a.plain[0]) << "\n";
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
        err << FailureText::of(e, a.plain[1]) << "\n";
        return 1;
    }
}

int batchImportFile(const QStringList& args, QTextStream& out, QTextStream& err) {
    return batchImportFileWith(args, out, err, openSource);
}

int batchImportFileWith(const QStringList& args, QTextStream& out, QTextStream& err,
                        const SourceOpener& opener) {
    const auto usage = [&err] {
        err << "Uso: velomar-batch import-file ORIGINE DESTINAZIONE.mdb [--table NOME] "
               "[--encoding NOME] [--delimiter C] [--no-header] [--map CAMPO=COLONNA]... "
               "[--group GR] [--skip-duplicates] [--unmapped-to-note]\n";
        return 2;
    };
    SourceOptions sourceOptions;
    ImportOptions options;
    QStringList maps;
    QStringList plain;
    QString group;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--table") && hasValue)
            sourceOptions.table = args[++i];
        else if (a == QLatin1String("--encoding") && hasValue) {
            sourceOptions.encoding = args[++i];
            try {
                (void)TextEncoding::canonicalName(sourceOptions.encoding);
            } catch (const ExchangeError& e) {
                err << e.description() << "\n";
                return 2;
            }
        }
        else if (a == QLatin1String("--delimiter") && hasValue) {
            const QString d = args[++i];
            if (d.compare(QLatin1String("tab"), Qt::CaseInsensitive) == 0 || d == QLatin1String("\\t"))
                sourceOptions.delimiter = u'\t';
            else if (d.size() == 1)
                sourceOptions.delimiter = d[0];
            else {
                err << "Separatore non valido: " << d << "\n";
                return 2;
            }
        } else if (a == QLatin1String("--no-header"))
            sourceOptions.header = SourceOptions::Header::No;
        else if (a == QLatin1String("--map") && hasValue)
            maps << args[++i];
        else if (a == QLatin1String("--group") && hasValue)
            group = args[++i];
        else if (a == QLatin1String("--skip-duplicates"))
            options.skipDuplicates = true;
        else if (a == QLatin1String("--unmapped-to-note"))
            options.unmappedToNote = true;
        else if (a.startsWith(QLatin1String("--")))
            return usage();
        else
            plain << a;
    }
    if (plain.size() != 2)
        return usage();
    if (!group.isEmpty()) {
        options.group = FileImporter::checkedGroup(group);
        if (options.group.isEmpty()) {
            err << "Codice di gruppo non valido: " << group << "\n";
            return 2;
        }
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

int batchList(const QStringList& args, QTextStream& out, QTextStream& err) {
    const Args a = parse(args, {QStringLiteral("--pdf"), QStringLiteral("--fields"),
                                QStringLiteral("--description")},
                         {QStringLiteral("--formatted")});
    if (!a.bad.isEmpty() || a.plain.size() != 1 || !a.values.contains(QStringLiteral("--pdf"))) {
        err << "Uso: velomar-batch list ARCHIVIO.mdb --pdf OUT.pdf [--formatted] "
               "[--fields ELENCO] [--description TESTO]\n";
        return 2;
    }
    settings::Settings store;
    printing::ListPrintRequest request;
    request.formatted = a.flags.contains(QStringLiteral("--formatted"));
    request.lucidaFont = store.readOptions().listLucidaFont();
    request.heading = a.values.value(QStringLiteral("--description"));
    if (a.values.contains(QStringLiteral("--fields"))) {
        const auto mask = parseFields(a.values.value(QStringLiteral("--fields")));
        if (!mask) {
            err << "Elenco di campi non valido: " << a.values.value(QStringLiteral("--fields"))
                << "\n";
            return 2;
        }
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
    if (printing::ListPrinterLayout::checkedCount(request.fields) == 0) {
        err << "Selezionare almeno un Campo !\n";
        return 2;
    }
    // The limit is what the PDF printer's landscape page holds in the list font.
    const int limit = printing::ListPrinter::formattedLimit(
        printing::PdfPrinterProvider().printableSize({}, printing::Orientation::Landscape).width(),
        request.lucidaFont);
    if (request.formatted && printing::ListPrinterLayout::characterTotal(request.fields) > limit) {
        err << "Riga di " << printing::ListPrinterLayout::characterTotal(request.fields)
            << " caratteri: il massimo è " << limit << ".\n";
        return 2;
    }
    archive::Database db = openForReading(a.plain[0], err);
    if (!db.isOpen())
        return 1;
    const auto inUse = common::OutputGuard::hold(a.plain[0]);
    try {
        auto source = printing::ListPrinterRange::wholeArchive(db, printing::ListPrinterRange::Values::Printable);
        printing::PdfPrinter printer(a.values.value(QStringLiteral("--pdf")));
        const qint64 n = printing::ListPrinter::print(printer, *source, request);
        printer.finishJob();
        out << "Stampati " << n << " indirizzi in " << a.values.value(QStringLiteral("--pdf")) << "\n";
        return 0;
    } catch (const common::OutputRefused& e) {
        err << e.description() << "\n";
        return 1;
    } catch (const printing::PrinterError& e) {
        err << printing::printFailureText(e) << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << FailureText::of(e, a.plain[0]) << "\n";
        return 1;
    }
}

} // namespace velomar::exchange
