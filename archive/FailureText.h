#pragma once

#include <QString>

#include <exception>

namespace velomar::archive {

// The one translator from a failure to the Italian text a window or velomar-batch shows.
// SQLite's and the system's own texts are English and never reach the user: a database
// failure is told by its code, a failed open by what is wrong with the file.
class FailureText {
public:
    // Shown for a file that is not one of our archives.
    static QString notAnArchive() { return QStringLiteral("Archivio non riconosciuto o corrotto !"); }

    // The cause of any failure. path, when given, is the archive being opened: a failed
    // open then says whether it is missing, forbidden or in use.
    static QString of(const std::exception& error, const QString& path = QString());

    // As of(), but a failure that is neither the archive's nor a bad pattern gives its
    // description alone (already Italian), for messages that add their own heading.
    static QString cause(const std::exception& error, const QString& path = QString());

    // The cause for a database code: an SQLite result code (extended or primary) or one
    // of the archive codes of DatabaseError.
    static QString ofDatabaseCode(int code, const QString& path = QString());
};

} // namespace velomar::archive
