#pragma once

#include "archive/Database.h"
#include "archive/Statement.h"
#include "archive/Transaction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in assertion messages (internal to each test file).
[[maybe_unused]] static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace velomar::test {

// A temporary archive with the address table, filled row by row from lists of
// (COGNOME, NOME1, CITTA, GR) and friends.
class RecordsetFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        db = archive::Database(m_dir.filePath(QStringLiteral("prova.mdb")),
                               archive::Database::Mode::Create);
        db.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        db.exec(QStringLiteral(
            "CREATE TABLE TabMAIL (NR INTEGER PRIMARY KEY AUTOINCREMENT, TITOLO TEXT, COGNOME TEXT, "
            "NOME1 TEXT, NOME2 TEXT, INDIRIZZO TEXT, CAP TEXT, CITTA TEXT, PROV TEXT, NAZ TEXT, "
            "NUM_TEL TEXT, NUM_FAX TEXT, NUM_CEL TEXT, E_MAIL TEXT, GR TEXT, NOTE TEXT, APPUNTI TEXT, "
            "SERV INTEGER DEFAULT 0)"));
        db.exec(QStringLiteral("CREATE TABLE TabDEFRAG (CREAZIONE DATE, DATADEF DATE)"));
        db.exec(QStringLiteral("INSERT INTO TabDEFRAG VALUES (NULL, '2020-01-01')"));
    }

    // Adds one address; a null QString stores Null.
    qint64 add(const QString& cognome, const QString& nome = QString(), const QString& citta = QString(),
               const QString& gr = QString(), const QString& cap = QString()) {
        archive::Statement st(db, QStringLiteral("INSERT INTO TabMAIL (COGNOME, NOME1, CITTA, GR, CAP) "
                                                 "VALUES (?, ?, ?, ?, ?)"));
        st.bindText(1, cognome).bindText(2, nome).bindText(3, citta).bindText(4, gr).bindText(5, cap);
        st.exec();
        return db.lastInsertRowId();
    }

    qint64 countRows(const QString& where = QString()) {
        archive::Statement st(db, QStringLiteral("SELECT count(*) FROM TabMAIL ") + where);
        st.step();
        return st.integer(0);
    }

    QTemporaryDir m_dir;
    archive::Database db;
};

} // namespace velomar::test
