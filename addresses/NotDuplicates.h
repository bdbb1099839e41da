#pragma once

#include <QSet>
#include <utility>
#include <vector>

namespace velomar::archive {
class Database;
}

namespace velomar::addresses {

// The user's "Non sono doppioni": pairs of NR kept in a table of our own in the archive
// (VelomarNonDoppioni), so TabMAIL and the other tables stay as every reader knows them.
class NotDuplicates {
public:
    static constexpr const char* Table = "VelomarNonDoppioni";

    // Every pair remembered, smaller NR first; none when the table does not exist yet
    // (read-only archives and archives never asked).
    static QSet<std::pair<qint64, qint64>> read(archive::Database& db);
    // Remembers every pair of the group; creates the table the first time.
    static void remember(archive::Database& db, const std::vector<qint64>& group);
    // Drops the pairs of addresses that no longer exist (after a merge).
    static void forget(archive::Database& db, const std::vector<qint64>& removed);
};

} // namespace velomar::addresses
