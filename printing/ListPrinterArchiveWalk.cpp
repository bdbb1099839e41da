#include "printing/ListPrinterArchiveWalk.h"

#include "archive/DataModel.h"
#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/ItalianCollation.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <sqlite3.h>

namespace velomar::printing {

using archive::DataModel;

namespace {
constexpr int kSortFields[] = {DataModel::COGNOME, DataModel::NOME1};
// Values up to this size are kept from the one pass; longer ones (only another tool
// stores them) are read again with their row, so memory stays bounded by the rows.
constexpr int kKeptBytes = 1024;
} // namespace

ListPrinterArchiveWalk::ListPrinterArchiveWalk(archive::Database& db, Values values)
    : m_columns(values == Values::Printable ? Fields : Fields + 2),
      m_sortColumn(values == Values::Printable ? int(DataModel::COGNOME) : Fields) {
    QStringList names;
    for (int f = 0; f < Fields; ++f)
        names << DataModel::fieldName(f);
    if (values == Values::AsStored)
        m_row.emplace(db, QStringLiteral("SELECT %1 FROM TabMAIL WHERE rowid = ?")
                              .arg(names.join(QStringLiteral(", "))));
    load(db);
    sort();
}

void ListPrinterArchiveWalk::load(archive::Database& db) {
    const bool printable = !m_row;
    QStringList columns{QStringLiteral("rowid")};
    if (printable) {
        columns << DataModel::printColumns();
    } else {
        for (int f = 0; f < Fields; ++f)
            columns << DataModel::fieldName(f);
        for (int f : kSortFields)
            columns << DataModel::printColumn(f);
    }
    // The table's own order (by NR) is the tie-break of equal names.
    archive::Statement st(db, QStringLiteral("SELECT %1 FROM TabMAIL ORDER BY NR")
                                  .arg(columns.join(QStringLiteral(", "))));
    sqlite3_stmt* h = st.handle();
    quint32 rows = 0;
    while (st.step()) {
        m_rowid.push_back(sqlite3_column_int64(h, 0));
        for (int c = 1; c <= m_columns; ++c) {
            if (sqlite3_column_type(h, c) == SQLITE_NULL) {
                m_start.push_back(quint32(m_bytes.size()));
                m_length.push_back(NullLength);
                continue;
            }
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(h, c));
            const int bytes = sqlite3_column_bytes(h, c);
            if (!printable && bytes > kKeptBytes) {
                m_start.push_back(quint32(m_bytes.size()));
                m_length.push_back(LongLength);
                continue;
            }
            if (m_bytes.size() + std::size_t(bytes) >= LongLength)
                throw archive::DatabaseError(SQLITE_TOOBIG, QStringLiteral("Archivio troppo grande."));
            m_start.push_back(quint32(m_bytes.size()));
            m_length.push_back(quint32(bytes));
            m_bytes.append(text, std::size_t(bytes));
        }
        ++rows;
    }
    m_order.resize(rows);
    for (quint32 i = 0; i < rows; ++i)
        m_order[i] = i;
}

QByteArrayView ListPrinterArchiveWalk::cell(quint32 row, int column) const {
    const std::size_t i = std::size_t(row) * std::size_t(m_columns) + std::size_t(column);
    if (m_length[i] == NullLength || m_length[i] == LongLength)
        return {};
    return QByteArrayView(m_bytes.data() + m_start[i], qsizetype(m_length[i]));
}

// Rank of each row's text in the full Italian order (0 for Null); each distinct text is
// decoded and keyed once.
std::vector<quint32> ListPrinterArchiveWalk::ranks(int column, bool primaryOnly) const {
    const quint32 rows = quint32(m_order.size());
    QHash<QByteArrayView, quint32> distinct;
    std::vector<quint32> rowText(rows, 0);
    struct Text {
        QString value;
        std::string key;
    };
    std::vector<Text> texts;
    for (quint32 r = 0; r < rows; ++r) {
        const std::size_t i = std::size_t(r) * std::size_t(m_columns) + std::size_t(column);
        if (m_length[i] == NullLength)
            continue;
        const QByteArrayView bytes = cell(r, column);
        auto it = distinct.constFind(bytes);
        if (it == distinct.constEnd()) {
            Text t{QString::fromUtf8(bytes), {}};
            archive::ItalianCollation::appendPrimaryKey(t.value, t.key);
            texts.push_back(std::move(t));
            it = distinct.insert(bytes, quint32(texts.size()));
        }
        rowText[r] = *it;
    }
    std::vector<quint32> byOrder(texts.size());
    for (quint32 k = 0; k < byOrder.size(); ++k)
        byOrder[k] = k;
    std::sort(byOrder.begin(), byOrder.end(), [&](quint32 a, quint32 b) {
        const int c = texts[a].key.compare(texts[b].key);
        if (c != 0)
            return c < 0;
        return archive::ItalianCollation::compare(texts[a].value, texts[b].value) < 0;
    });
    std::vector<quint32> rankOfText(texts.size() + 1, 0);
    quint32 rank = 0;
    for (std::size_t k = 0; k < byOrder.size(); ++k) {
        const Text& before = texts[byOrder[k > 0 ? k - 1 : 0]];
        const Text& now = texts[byOrder[k]];
        if (k == 0 || (primaryOnly ? before.key != now.key
                                   : archive::ItalianCollation::compare(before.value, now.value) != 0))
            ++rank;
        rankOfText[byOrder[k] + 1] = rank;
    }
    std::vector<quint32> out(rows);
    for (quint32 r = 0; r < rows; ++r)
        out[r] = rankOfText[rowText[r]];
    return out;
}

void ListPrinterArchiveWalk::sort() {
    // Both keys without regard to case and accents, then both on the exact text: the
    // record set's order.
    const std::vector<quint32> keys[] = {ranks(m_sortColumn, true), ranks(m_sortColumn + 1, true),
                                         ranks(m_sortColumn, false), ranks(m_sortColumn + 1, false)};
    std::stable_sort(m_order.begin(), m_order.end(), [&](quint32 a, quint32 b) {
        for (const auto& key : keys)
            if (key[a] != key[b])
                return key[a] < key[b];
        return false;
    });
}

void ListPrinterArchiveWalk::decode(QByteArrayView bytes, QString& text) {
    // Decoded into the text's own buffer: no allocation once it is large enough.
    text.resize(bytes.size());
    QChar* end = m_decoder.appendToBuffer(text.data(), bytes);
    text.truncate(end - text.constData());
}

qint64 ListPrinterArchiveWalk::skip(qint64 n) {
    const qint64 passed = std::clamp<qint64>(n, 0, qint64(m_order.size() - m_next));
    m_next += std::size_t(passed);
    return passed;
}

bool ListPrinterArchiveWalk::next(archive::AddressRecord& record) {
    if (m_next >= m_order.size())
        return false;
    const quint32 row = m_order[m_next++];
    const std::size_t first = std::size_t(row) * std::size_t(m_columns);
    bool readAgain = false;
    for (int f = 0; f < Fields; ++f) {
        readAgain = readAgain || m_length[first + std::size_t(f)] == LongLength;
        decode(cell(row, f), record[f]);
    }
    if (!readAgain)
        return true;
    m_row->reset();
    m_row->bindInt(1, m_rowid[row]);
    if (!m_row->step())
        throw archive::DatabaseError(SQLITE_NOTFOUND,
                                     QStringLiteral("Un indirizzo è sparito durante la lettura."));
    sqlite3_stmt* h = m_row->handle();
    for (int f = 0; f < Fields; ++f) {
        if (m_length[first + std::size_t(f)] != LongLength)
            continue;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(h, f));
        decode(QByteArrayView(text, text ? sqlite3_column_bytes(h, f) : 0), record[f]);
    }
    m_row->reset(); // no read lock or big value held between rows
    return true;
}

} // namespace velomar::printing
