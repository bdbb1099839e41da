#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace velomar::archive {

class Database;

// The maintenance dates of TabDEFRAG: CREAZIONE (archive created) and DATADEF (last
// compaction). Stored as ISO text "yyyy-MM-dd", date only; the one row is only updated.
class DateStamp {
public:
    enum class Kind { Creazione, Defrag, Other };

    static Kind kindOf(const QString& text); // "Creazione", "Defrag"; anything else Other

    // Writes the day into the kind's field (Other writes nothing).
    static void stamp(Database& db, Kind kind, const QDate& day = QDate::currentDate());
    // nullopt for Null, unreadable text or kind Other.
    static std::optional<QDate> read(Database& db, Kind kind);

    // By path: openDb is the connection already holding the archive (the address grid's),
    // or nullptr to use a connection of its own, closed before returning. Failures to
    // open throw DatabaseError.
    static void stampByPath(const QString& path, Kind kind, Database* openDb);
    static std::optional<QDate> readByPath(const QString& path, Kind kind, Database* openDb);

    // "06/12/2026", or the zero date's text (midnight) when there is no date.
    static QString text(const std::optional<QDate>& day);
    static QString zeroDateText() { return QStringLiteral("00:00:00"); }
};

} // namespace velomar::archive
