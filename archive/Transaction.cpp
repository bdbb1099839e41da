#include "archive/Transaction.h"

#include "archive/Database.h"

#include <sqlite3.h>

namespace velomar::archive {

Transaction::Transaction(Database& db, Kind kind) : m_db(db) {
    m_db.exec(kind == Kind::Immediate ? QStringLiteral("BEGIN IMMEDIATE")
                                      : QStringLiteral("BEGIN"));
}

Transaction::~Transaction() {
    // Destructors never throw: a failed rollback leaves SQLite to roll back on close.
    if (!m_done && m_db.isOpen())
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    m_db.exec(QStringLiteral("COMMIT"));
    m_done = true;
}

} // namespace velomar::archive
