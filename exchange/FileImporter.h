#pragma once

#include "archive/AddressRecord.h"
#include "exchange/CountryNames.h"
#include "exchange/ImportMapping.h"

#include <QString>
#include <functional>
#include <vector>

namespace velomar::archive {
class Database;
}

namespace velomar::exchange {

class SourceTable;

// What becomes of a row that matches an address already in the archive (or one imported
// before it): Exact is the plain test of surname, address and CAP; the others use the
// matching of "Cerca doppioni".
enum class DuplicateChoice { NoCheck, Exact, Skip, ImportAnyway, Review };

struct ImportOptions {
    QString group; // stored in GR of every address when not empty
    DuplicateChoice duplicates = DuplicateChoice::NoCheck;
    bool unmappedToNote = false; // "Colonna: valore" lines of the other columns into NOTE
    CountryNames countries;
};

struct RefusedRow {
    qint64 position = 0; // as the source counts (line, card, record)
    QString reason;
};

// A row imported although it matches an address, for the user to look at.
struct ReviewRow {
    qint64 position = 0; // as the source counts
    qint64 nr = 0;       // the row as imported
    qint64 like = 0;     // the address it matches
};

struct ImportSummary {
    DuplicateChoice choice = DuplicateChoice::NoCheck;
    qint64 imported = 0;
    qint64 duplicates = 0; // rows that matched, skipped or not as chosen
    std::vector<ReviewRow> review;
    qint64 cutValues = 0;
    qint64 suspects = 0; // imported Italian addresses whose CAP, comune and province disagree
    std::vector<RefusedRow> refused;
    bool oneToOne = false;  // read as it is, without adjustments
    bool cancelled = false; // nothing was written
    qint64 read = 0;         // rows the source gave
    QString rowsCaption;     // SourceTable::rowsCaption
    QStringList readNotes;   // SourceTable::readNotes

    // The lines shown to the user at the end ("Importati 12 indirizzi.", ...).
    QStringList lines() const;
};

// Reads a source table into an open archive in one transaction: a failure or a cancel
// leaves the archive as it was.
class FileImporter {
public:
    // rows: rows read so far. Returning false cancels the import.
    using Progress = std::function<bool(qint64 rows)>;

    // The record as it will be stored (mapping, NOTE lines, adjustments, group); returns
    // how many values were cut. Used by the import and by the window's preview.
    static int prepare(const QStringList& values, const ImportMapping& mapping,
                       const ImportOptions& options, archive::AddressRecord& record);
    // Options.group as a group code ("ab" -> "AB"); "" when the text is no code.
    static QString checkedGroup(const QString& text);

    static ImportSummary run(SourceTable& source, const ImportMapping& mapping,
                             const ImportOptions& options, archive::Database& target,
                             const Progress& progress = {});
};

} // namespace velomar::exchange
