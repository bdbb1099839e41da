#include "archive/Database.h"

#include "archive/DatabaseError.h"
#include "archive/Statement.h"

#include <QFile>
#include <sqlite3.h>

#include <atomic>

namespace velomar::archive {

namespace {

std::atomic<int> g_busyTimeoutMs{Database::DefaultBusyTimeoutMs};

} // namespace

int Database::standardBusyTimeout() { return g_busyTimeoutMs.load(); }

void Database::setStandardBusyTimeout(int ms) { g_busyTimeoutMs.store(ms); }

void Database::Closer::operator()(sqlite3* db) const noexcept {
    // close_v2 defers the close until the last statement is finalised; never throws.
    sqlite3_close_v2(db);
}

Database::Database(const QString& path, Mode mode) : m_path(path) {
    // Connections live on the one UI thread; no per-call locking.
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case Mode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    sqlite3* raw = nullptr;
    const QByteArray encoded = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(encoded.constData(), &raw, flags, nullptr);
    m_handle.reset(raw);
    if (rc != SQLITE_OK) {
        const QString message =
            raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QStringLiteral("out of memory");
        m_handle.reset();
        throw DatabaseError(rc, message);
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, standardBusyTimeout());
}

void Database::check(int rc) const {
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    const QString message = m_handle ? QString::fromUtf8(sqlite3_errmsg(m_handle.get()))
                                     : QString::fromUtf8(sqlite3_errstr(rc));
    throw DatabaseError(rc, message);
}

void Database::exec(const QString& sql) {
    if (!m_handle)
        throw DatabaseError(SQLITE_MISUSE, QStringLiteral("database not open"));
    char* error = nullptr;
    const int rc = sqlite3_exec(m_handle.get(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(error);
        throw DatabaseError(rc, message);
    }
}

void Database::setBusyTimeout(int ms) {
    if (m_handle)
        sqlite3_busy_timeout(m_handle.get(), ms);
}

Statement Database::prepare(const QString& sql) { return Statement(*this, sql); }

qint64 Database::lastInsertRowId() const { return sqlite3_last_insert_rowid(m_handle.get()); }

int Database::changes() const { return sqlite3_changes(m_handle.get()); }

int Database::userVersion() {
    Statement st(*this, QStringLiteral("PRAGMA user_version"));
    return st.step() ? int(st.integer(0)) : 0;
}

qint64 Database::applicationId() {
    Statement st(*this, QStringLiteral("PRAGMA application_id"));
    return st.step() ? st.integer(0) : 0;
}

} // namespace velomar::archive
