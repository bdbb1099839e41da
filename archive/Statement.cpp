#include "archive/Statement.h"

#include "archive/Database.h"
#include "archive/DatabaseError.h"

#include <sqlite3.h>

namespace velomar::archive {

void Statement::Finalizer::operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }

Statement::Statement(Database& db, const QString& sql) : m_db(&db) {
    if (!db.isOpen())
        throw DatabaseError(SQLITE_MISUSE, QStringLiteral("database not open"));
    sqlite3_stmt* raw = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &raw, nullptr);
    m_stmt.reset(raw);
    db.check(rc);
}

Statement& Statement::bind(int index, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return bindNull(index);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return bindInt(index, value.toLongLong());
    case QMetaType::Double:
        m_db->check(sqlite3_bind_double(m_stmt.get(), index, value.toDouble()));
        return *this;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        m_db->check(sqlite3_bind_blob64(m_stmt.get(), index, bytes.constData(),
                                        sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT));
        return *this;
    }
    default:
        return bindText(index, value.toString());
    }
}

Statement& Statement::bindText(int index, const QString& value) {
    if (value.isNull())
        return bindNull(index);
    const QByteArray utf8 = value.toUtf8();
    m_db->check(sqlite3_bind_text64(m_stmt.get(), index, utf8.constData(),
                                    sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

Statement& Statement::bindInt(int index, qint64 value) {
    m_db->check(sqlite3_bind_int64(m_stmt.get(), index, value));
    return *this;
}

Statement& Statement::bindNull(int index) {
    m_db->check(sqlite3_bind_null(m_stmt.get(), index));
    return *this;
}

Statement& Statement::bindValueFrom(int index, const Statement& from, int column) {
    m_db->check(
        sqlite3_bind_value(m_stmt.get(), index, sqlite3_column_value(from.m_stmt.get(), column)));
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_db->check(rc);
    return false;
}

void Statement::reset() {
    sqlite3_reset(m_stmt.get());
    sqlite3_clear_bindings(m_stmt.get());
}

void Statement::exec() {
    while (step()) {
    }
}

int Statement::columnCount() const { return sqlite3_column_count(m_stmt.get()); }

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt.get(), column));
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt.get(), column) == SQLITE_NULL;
}

QString Statement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), column));
    if (!data)
        return QString();
    const int size = sqlite3_column_bytes(m_stmt.get(), column);
    return QString::fromUtf8(data, size);
}

qint64 Statement::integer(int column) const { return sqlite3_column_int64(m_stmt.get(), column); }

double Statement::real(int column) const { return sqlite3_column_double(m_stmt.get(), column); }

int Statement::columnType(int column) const { return sqlite3_column_type(m_stmt.get(), column); }

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(m_stmt.get(), column)) {
    case SQLITE_INTEGER:
        return QVariant(integer(column));
    case SQLITE_FLOAT:
        return QVariant(real(column));
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt.get(), column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_stmt.get(), column)));
    }
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(text(column));
    }
}

} // namespace velomar::archive
