#include "exchange/FileImporter.h"

#include "addresses/DuplicateFinder.h"
#include "addresses/AddressCheck.h"
#include "addresses/ArchiveCheck.h"
#include "addresses/ItalianPlaces.h"
#include "archive/DataModel.h"
#include "archive/Database.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"
#include "common/AppError.h"
#include "exchange/ImportValues.h"
#include "exchange/SourceTable.h"
#include "settings/Settings.h"

#include <QSet>

namespace velomar::exchange {

namespace {

using archive::DataModel;

constexpr qint64 kProgressStep = 500;

// Imported addresses whose CAP, comune and province disagree. The addresses are already
// stored: a CAP table that cannot be read is said in the summary and the built-in list checks.
qint64 countSuspects(archive::Database& db, qint64 afterNr, QStringList& notes) {
    const addresses::ItalianPlaces places = [&notes] {
        try {
            return addresses::ItalianPlaces::forUser(settings::Settings());
        } catch (const common::AppError& e) {
            notes << e.description();
            return addresses::ItalianPlaces::builtin();
        }
    }();
    addresses::ArchiveCheck::Counts counts;
    addresses::ArchiveCheck::scan(db, addresses::AddressCheck(places), &counts, afterNr);
    return counts.suspects;
}

// Blank rows and rows whose data all lie in columns the user left out.
bool nothingMapped(const QStringList& row, const QList<int>& filling) {
    for (int c : filling)
        if (c >= 0 && c < row.size() && !row[c].trimmed().isEmpty())
            return false;
    return true;
}

// Columns that fill a field, fallbacks included.
QList<int> fillingColumns(const ImportMapping& mapping) {
    QList<int> out;
    for (int f = 1; f < archive::AddressRecord::FieldCount; ++f)
        out << mapping.sourcesOf(f);
    return out;
}

// Mapped values, the other columns as NOTE lines, adjusted; a file of ours comes back
// exactly as it was written. Returns how many values were cut.
struct Shape {
    const ImportMapping& mapping;
    const ImportOptions& options;
    const ImportValues& values;
    bool oneToOne = mapping.isOneToOne();
    QList<int> unmapped = mapping.unmappedColumns();
};

int shape(const QStringList& row, const Shape& s, archive::AddressRecord& record) {
    const ImportMapping& mapping = s.mapping;
    mapping.apply(row, record);
    if (s.oneToOne)
        return 0;
    if (s.options.unmappedToNote) {
        QString& note = record[DataModel::NOTE];
        for (int c : s.unmapped) {
            const QString value = c < row.size() ? row[c].trimmed() : QString();
            if (value.isEmpty())
                continue;
            if (!note.isEmpty())
                note += u'\n';
            note += mapping.columns()[c] + QStringLiteral(": ") + value;
        }
        for (const QString& line : mapping.groupLeftovers(row)) {
            if (!note.isEmpty())
                note += u'\n';
            note += line;
        }
    }
    return s.values.adjust(record);
}

// Nothing of a cancelled import reaches the archive, so nothing of it is counted.
ImportSummary cancelledSummary() {
    ImportSummary s;
    s.cancelled = true;
    return s;
}

} // namespace

QString FileImporter::checkedGroup(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 2)
        return QString();
    return ImportValues::groupCode(t);
}

int FileImporter::prepare(const QStringList& values, const ImportMapping& mapping,
                          const ImportOptions& options, archive::AddressRecord& record) {
    const ImportValues adjust(options.countries);
    const int cut = shape(values, Shape{mapping, options, adjust}, record);
    if (!options.group.isEmpty())
        record[DataModel::GR] = options.group;
    return cut;
}

ImportSummary FileImporter::run(SourceTable& source, const ImportMapping& mapping,
                                const ImportOptions& options, archive::Database& target,
                                const Progress& progress) {
    ImportSummary summary;
    summary.oneToOne = mapping.isOneToOne();
    const ImportValues values(options.countries);
    const Shape shaping{mapping, options, values};
    const QList<int> filling = fillingColumns(mapping);

    // The whole import is one transaction: a cache that holds it spares writing pages
    // twice (to the file, then again at commit). Back to the default afterwards.
    struct CacheSize {
        archive::Database& db;
        explicit CacheSize(archive::Database& d) : db(d) {
            db.exec(QStringLiteral("PRAGMA cache_size = -65536"));
        }
        ~CacheSize() {
            try {
                db.exec(QStringLiteral("PRAGMA cache_size = -2000"));
            } catch (...) { // a destructor never throws; a larger cache is harmless
            }
        }
    } cache(target);
    archive::Transaction tx(target);
    summary.choice = options.duplicates;
    const bool exact = options.duplicates == DuplicateChoice::Exact;
    const bool matching = options.duplicates != DuplicateChoice::NoCheck && !exact;
    addresses::DuplicateFinder finder;
    if (matching)
        finder.addArchive(target);
    qint64 lastNr = 0;
    {
        archive::Statement last(target, QStringLiteral("SELECT IFNULL(MAX(NR), 0) FROM TabMAIL"));
        if (last.step())
            lastNr = last.integer(0);
    }
    QSet<QString> seen;
    if (exact) {
        archive::Statement existing(target,
                                    QStringLiteral("SELECT COGNOME, INDIRIZZO, CAP FROM TabMAIL"));
        while (existing.step())
            seen.insert(
                ImportValues::duplicateKey(existing.text(0), existing.text(1), existing.text(2)));
    }
    archive::Statement insert(
        target,
        QStringLiteral(
            "INSERT INTO TabMAIL (TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ,"
            " NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI) VALUES"
            " (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));

    QStringList row;
    archive::AddressRecord record;
    qint64 rows = 0;
    while (source.next(row)) {
        ++rows;
        if (progress && rows % kProgressStep == 0 && !progress(rows))
            return cancelledSummary(); // the transaction rolls back
        if (nothingMapped(row, filling)) {
            summary.refused.push_back(
                {source.position(), QStringLiteral("nessun valore nei campi associati")});
            continue;
        }
        summary.cutValues += shape(row, shaping, record);
        if (!options.group.isEmpty())
            record[DataModel::GR] = options.group;
        if (exact) {
            const QString key = ImportValues::duplicateKey(record);
            if (seen.contains(key)) {
                ++summary.duplicates;
                continue;
            }
            seen.insert(key);
        }
        std::optional<addresses::DuplicateFinder::Match> like;
        if (matching) {
            like = finder.bestMatch(record[DataModel::COGNOME], record[DataModel::NOME1],
                                    record[DataModel::INDIRIZZO], record[DataModel::CAP], record[DataModel::CITTA]);
            if (like) {
                ++summary.duplicates;
                if (options.duplicates == DuplicateChoice::Skip)
                    continue;
            }
        }
        // Empty texts are stored as Null, as the entry form does.
        for (int f = 1; f < archive::AddressRecord::FieldCount; ++f) {
            if (record[f].isEmpty())
                insert.bindNull(f);
            else
                insert.bindText(f, record[f]);
        }
        insert.exec();
        insert.reset();
        ++summary.imported;
        if (matching) {
            // Two rows of the same file match each other too.
            const qint64 nr = target.lastInsertRowId();
            finder.add(nr, record[DataModel::COGNOME], record[DataModel::NOME1], record[DataModel::INDIRIZZO],
                       record[DataModel::CAP], record[DataModel::CITTA]);
            if (like && options.duplicates == DuplicateChoice::Review)
                summary.review.push_back({source.position(), nr, like->nr});
        }
    }
    if (progress && !progress(rows))
        return cancelledSummary();
    tx.commit();
    summary.read = rows;
    summary.rowsCaption = source.rowsCaption();
    summary.readNotes = source.readNotes();
    summary.suspects = countSuspects(target, lastNr, summary.readNotes);
    return summary;
}

QStringList ImportSummary::lines() const {
    QStringList out;
    if (cancelled) {
        out << QStringLiteral("Importazione annullata: l'archivio non è stato modificato.");
        return out;
    }
    if (!rowsCaption.isEmpty())
        out << QStringLiteral("%1 lette: %2, saltate: %3.")
                   .arg(rowsCaption)
                   .arg(read)
                   .arg(read - imported);
    out << readNotes;
    out << QStringLiteral("Importati %1 indirizzi.").arg(imported);
    if (duplicates > 0) {
        if (choice == DuplicateChoice::ImportAnyway || choice == DuplicateChoice::Review)
            out << QStringLiteral("Probabili doppioni importati lo stesso: %1.").arg(duplicates);
        else
            out << QStringLiteral("Doppioni saltati: %1.").arg(duplicates);
        const std::size_t shown = std::min<std::size_t>(review.size(), 20);
        for (std::size_t i = 0; i < shown; ++i)
            out << QStringLiteral("  riga %1: Nr. %2 come Nr. %3").arg(review[i].position).arg(review[i].nr).arg(review[i].like);
        if (review.size() > shown)
            out << QStringLiteral("  ...");
        if (!review.empty())
            out << QStringLiteral("Da controllare con \"Cerca doppioni\" nel menu Archivio.");
    }
    if (cutValues > 0)
        out << QStringLiteral("Valori accorciati per stare nei campi: %1.").arg(cutValues);
    if (suspects > 0)
        out << QStringLiteral("Indirizzi con CAP, comune e provincia che non concordano: %1 "
                              "(Archivio, Verifica indirizzi).")
                   .arg(suspects);
    if (!refused.empty()) {
        out << QStringLiteral("Righe scartate: %1.").arg(qint64(refused.size()));
        const std::size_t shown = std::min<std::size_t>(refused.size(), 20);
        for (std::size_t i = 0; i < shown; ++i)
            out << QStringLiteral("  riga %1: %2").arg(refused[i].position).arg(refused[i].reason);
        if (refused.size() > shown)
            out << QStringLiteral("  ...");
    }
    return out;
}

} // namespace velomar::exchange
