#pragma once

#include "archive/AddressRecord.h"
#include "archive/ArchiveFormat.h"
#include "archive/Database.h"
#include "archive/Statement.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace velomar::test {

// Adds a row; fields 1..16 from the record, an empty text stored as Null.
inline qint64 addTestAddress(archive::Database& db, const archive::AddressRecord& r) {
    archive::Statement st(db, QStringLiteral(
        "INSERT INTO TabMAIL (TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP, CITTA, PROV, NAZ,"
        " NUM_TEL, NUM_FAX, NUM_CEL, E_MAIL, GR, NOTE, APPUNTI) VALUES"
        " (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int f = 1; f <= 16; ++f)
        st.bind(f, r[f].isEmpty() ? QVariant() : QVariant(r[f]));
    st.exec();
    return db.lastInsertRowId();
}

inline qint64 countAddresses(archive::Database& db, const QString& where = {}) {
    archive::Statement st(db, QStringLiteral("SELECT COUNT(*) FROM TabMAIL ") + where);
    return st.step() ? st.integer(0) : -1;
}

inline qint64 countIn(const QString& path, const QString& where = {}) {
    archive::Database db(path, archive::Database::Mode::ReadOnly);
    return countAddresses(db, where);
}

// Adds one address per surname, all in the group given.
inline void fillArchive(const QString& path, const QStringList& surnames, const QString& group) {
    archive::Database db(path, archive::Database::Mode::ReadWrite);
    db.exec(QStringLiteral("BEGIN"));
    for (const QString& s : surnames) {
        archive::AddressRecord r;
        r[2] = s;
        r[14] = group;
        addTestAddress(db, r);
    }
    db.exec(QStringLiteral("COMMIT"));
}

// An address archive of the program at path, empty or with one address per surname in the
// group given; hands back the path.
inline QString createTestArchive(const QString& path, const QStringList& surnames = {},
                                 const QString& group = {}) {
    archive::ArchiveFormat::createEmpty(path, archive::ArchiveKind::Addresses);
    if (!surnames.isEmpty())
        fillArchive(path, surnames, group);
    return path;
}

} // namespace velomar::test
