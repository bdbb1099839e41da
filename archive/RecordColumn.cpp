#include "archive/RecordColumn.h"

#include "archive/ItalianCollation.h"

#include <QStringDecoder>
#include <sqlite3.h>

namespace velomar::archive {

namespace {

QVariant statementValue(sqlite3_stmt* stmt, int col) {
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, col)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, col));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, col)),
                                   sqlite3_column_bytes(stmt, col)));
    case SQLITE_NULL:
        return QVariant();
    default: {
        const auto* data = static_cast<const QChar*>(sqlite3_column_text16(stmt, col));
        return QVariant(QString(data, sqlite3_column_bytes16(stmt, col) / 2));
    }
    }
}

int compareVariants(const QVariant& a, const QVariant& b, bool primaryOnly) {
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid() ? 0 : (a.isValid() ? 1 : -1);
    const bool na = a.typeId() != QMetaType::QString && a.canConvert<double>();
    const bool nb = b.typeId() != QMetaType::QString && b.canConvert<double>();
    if (na && nb) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    if (na != nb)
        return na ? -1 : 1; // numbers before texts
    return primaryOnly ? ItalianCollation::comparePrimary(a.toString(), b.toString())
                       : ItalianCollation::compare(a.toString(), b.toString());
}

} // namespace

std::size_t RecordColumn::size() const {
    switch (m_kind) {
    case Kind::Integer: return m_ints.size();
    case Kind::Text: return m_start.size();
    case Kind::Variant: return m_vars.size();
    }
    return 0;
}

void RecordColumn::reserve(std::size_t rows) {
    switch (m_kind) {
    case Kind::Integer:
        m_ints.reserve(rows);
        m_nulls.reserve(rows);
        break;
    case Kind::Text:
        m_start.reserve(rows);
        m_length.reserve(rows);
        break;
    case Kind::Variant:
        m_vars.reserve(rows);
        break;
    }
}

void RecordColumn::toVariant() {
    std::vector<QVariant> vars;
    vars.reserve(size() + 1);
    for (std::size_t r = 0; r < size(); ++r)
        vars.push_back(value(r));
    m_vars = std::move(vars);
    m_ints = {};
    m_nulls = {};
    m_chars = {};
    m_start = {};
    m_length = {};
    m_kind = Kind::Variant;
}

void RecordColumn::append(sqlite3_stmt* stmt, int col) { put(size(), stmt, col, true); }

void RecordColumn::assign(std::size_t row, sqlite3_stmt* stmt, int col) { put(row, stmt, col, false); }

void RecordColumn::put(std::size_t row, sqlite3_stmt* stmt, int col, bool append) {
    // Few SQLite calls per cell: each one takes the connection's mutex.
    if (m_kind == Kind::Text && m_typeChecked) {
        const int type = sqlite3_column_type(stmt, col);
        if (type != SQLITE_TEXT && type != SQLITE_NULL)
            toVariant();
    }
    if (m_kind == Kind::Text) {
        quint32 start = quint32(m_chars.size()), length = NullLength;
        if (const auto* utf8 = sqlite3_column_text(stmt, col)) {
            const int bytes = sqlite3_column_bytes(stmt, col);
            length = quint32(appendUtf8(reinterpret_cast<const char*>(utf8), bytes));
        }
        // A replaced text leaves its old characters unused; edits are few next to a load.
        if (append) {
            m_start.push_back(start);
            m_length.push_back(length);
        } else {
            m_start[row] = start;
            m_length[row] = length;
        }
        return;
    }
    const int type = sqlite3_column_type(stmt, col);
    if (m_kind == Kind::Integer && type != SQLITE_INTEGER && type != SQLITE_NULL)
        toVariant(); // a text or real value stored in a numeric column
    if (m_kind == Kind::Integer) {
        const bool null = type == SQLITE_NULL;
        const qint64 v = null ? 0 : sqlite3_column_int64(stmt, col);
        if (append) {
            m_ints.push_back(v);
            m_nulls.push_back(null);
        } else {
            m_ints[row] = v;
            m_nulls[row] = null;
        }
        return;
    }
    if (append)
        m_vars.push_back(statementValue(stmt, col));
    else
        m_vars[row] = statementValue(stmt, col);
}

std::size_t RecordColumn::appendUtf8(const char* data, int bytes) {
    const std::size_t old = m_chars.size();
    m_chars.resize(old + std::size_t(bytes)); // UTF-16 never needs more units than UTF-8 bytes
    char16_t* out = m_chars.data() + old;
    int i = 0;
    while (i < bytes && static_cast<unsigned char>(data[i]) < 0x80) {
        out[i] = char16_t(data[i]);
        ++i;
    }
    std::size_t written = std::size_t(i);
    if (i < bytes) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QChar* end = decoder.appendToBuffer(reinterpret_cast<QChar*>(out + i), QByteArrayView(data + i, bytes - i));
        written = std::size_t(reinterpret_cast<char16_t*>(end) - out);
    }
    m_chars.resize(old + written);
    return written;
}

void RecordColumn::shrink() {
    m_ints.shrink_to_fit();
    m_nulls.shrink_to_fit();
    m_chars.shrink_to_fit();
    m_start.shrink_to_fit();
    m_length.shrink_to_fit();
    m_vars.shrink_to_fit();
}

bool RecordColumn::isNull(std::size_t row) const {
    switch (m_kind) {
    case Kind::Integer: return m_nulls[row];
    case Kind::Text: return m_length[row] == NullLength;
    case Kind::Variant: return !m_vars[row].isValid();
    }
    return true;
}

QVariant RecordColumn::value(std::size_t row) const {
    switch (m_kind) {
    case Kind::Integer:
        return m_nulls[row] ? QVariant() : QVariant(m_ints[row]);
    case Kind::Text:
        if (m_length[row] == NullLength)
            return QVariant();
        return QVariant(QString(reinterpret_cast<const QChar*>(m_chars.data() + m_start[row]), m_length[row]));
    case Kind::Variant:
        return m_vars[row];
    }
    return {};
}

QString RecordColumn::text(std::size_t row) const {
    switch (m_kind) {
    case Kind::Integer:
        return m_nulls[row] ? QStringLiteral("") : QString::number(m_ints[row]);
    case Kind::Text:
        if (m_length[row] == NullLength)
            return QStringLiteral("");
        return QString(reinterpret_cast<const QChar*>(m_chars.data() + m_start[row]), m_length[row]);
    case Kind::Variant:
        return m_vars[row].isValid() ? m_vars[row].toString() : QStringLiteral("");
    }
    return {};
}

FieldValue RecordColumn::read(std::size_t row) const {
    FieldValue v;
    switch (m_kind) {
    case Kind::Integer:
        if (!m_nulls[row]) {
            v.type = FieldValue::Type::Integer;
            v.integer = m_ints[row];
        }
        break;
    case Kind::Text:
        if (m_length[row] != NullLength) {
            v.type = FieldValue::Type::Text;
            v.text = QStringView(m_chars.data() + m_start[row], m_length[row]);
        }
        break;
    case Kind::Variant: {
        const QVariant& var = m_vars[row];
        switch (var.typeId()) {
        case QMetaType::UnknownType:
            break;
        case QMetaType::LongLong:
        case QMetaType::Int:
            v.type = FieldValue::Type::Integer;
            v.integer = var.toLongLong();
            break;
        case QMetaType::Double:
            v.type = FieldValue::Type::Real;
            v.real = var.toDouble();
            break;
        case QMetaType::QString:
            v.type = FieldValue::Type::Text;
            v.text = *static_cast<const QString*>(var.constData());
            break;
        default:
            v.type = FieldValue::Type::Text; // blobs read as empty text
            break;
        }
        break;
    }
    }
    return v;
}

int RecordColumn::compare(std::size_t a, std::size_t b, bool primaryOnly) const {
    switch (m_kind) {
    case Kind::Integer: {
        if (m_nulls[a] || m_nulls[b])
            return m_nulls[a] == m_nulls[b] ? 0 : (m_nulls[a] ? -1 : 1);
        return m_ints[a] < m_ints[b] ? -1 : (m_ints[b] < m_ints[a] ? 1 : 0);
    }
    case Kind::Text: {
        const bool na = m_length[a] == NullLength, nb = m_length[b] == NullLength;
        if (na || nb)
            return na == nb ? 0 : (na ? -1 : 1);
        const QStringView ta(m_chars.data() + m_start[a], m_length[a]);
        const QStringView tb(m_chars.data() + m_start[b], m_length[b]);
        return primaryOnly ? ItalianCollation::comparePrimary(ta, tb) : ItalianCollation::compare(ta, tb);
    }
    case Kind::Variant:
        return compareVariants(m_vars[a], m_vars[b], primaryOnly);
    }
    return 0;
}

std::size_t RecordColumn::memoryUse() const {
    return m_ints.capacity() * 8 + m_nulls.capacity() / 8 + m_chars.capacity() * 2 + m_start.capacity() * 4 +
           m_length.capacity() * 4 + m_vars.capacity() * sizeof(QVariant);
}

} // namespace velomar::archive
