#include "printing/ListPrinterArchiveWalk.h"

#include "archive/DataModel.h"
#include "archive/Database.h"
#include "archive/DatabaseError.h"
#include "archive/ItalianCollation.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>

namespace velomar::printing {

using archive::DataModel;

namespace {
constexpr int kSortFields[] = {DataModel::COGNOME, DataModel::NOME1};
// Values up to this size are kept from the one pass; longer ones (only another tool
// stores them) are read again with their row, so memory stays bounded by the rows.
constexpr int kKeptBytes = 1024;

// Bytes of the first width characters of UTF-8 text, counted as SQLite's substr() counts
// them: a lead byte takes its continuation bytes along, and a zero byte ends the text.
std::size_t cutLength(const char* text, std::size_t bytes, int width) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    for (int chars = 0; i < bytes && p[i] != 0 && chars < width; ++chars) {
        if (p[i++] >= 0xC0)
            while (i < bytes && (p[i] & 0xC0) == 0x80)
                ++i;
    }
    return i;
}
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
    }
    // The table's own order (by NR) is the tie-break of equal names.
    archive::Statement st(db, QStringLiteral("SELECT %1 FROM TabMAIL ORDER BY NR")
                                  .arg(columns.join(QStringLiteral(", "))));
    sqlite3_stmt* h = st.handle();
    {
        // Room for every row and byte up front: growing would copy all that is read.
        archive::Statement size(db, QStringLiteral(
            "SELECT (SELECT count(*) FROM TabMAIL), page_count * page_size"
            " FROM pragma_page_count(), pragma_page_size()"));
        if (size.step()) {
            const auto rows = std::size_t(size.integer(0));
            m_rowid.reserve(rows);
            m_start.reserve(rows * std::size_t(m_columns));
            m_length.reserve(rows * std::size_t(m_columns));
            // The file holds every kept byte; a huge one is reserved no further than this.
            m_bytes.reserve(std::size_t(std::min<qint64>(size.integer(1), qint64(1) << 28)));
        }
    }
    const auto keep = [this](const char* text, std::size_t bytes) {
        if (m_bytes.size() + bytes >= LongLength)
            throw archive::DatabaseError(SQLITE_TOOBIG, QStringLiteral("Archivio troppo grande."));
        m_start.push_back(quint32(m_bytes.size()));
        m_length.push_back(quint32(bytes));
        m_bytes.append(text, bytes);
    };
    std::size_t cuts[std::size(kSortFields)] = {};
    int widths[std::size(kSortFields)];
    for (std::size_t k = 0; k < std::size(kSortFields); ++k)
        widths[k] = DataModel::printWidth(kSortFields[k]);
    quint32 rows = 0;
    while (st.step()) {
        m_rowid.push_back(sqlite3_column_int64(h, 0));
        const std::size_t first = m_start.size();
        for (int c = 1; c <= Fields; ++c) {
            // The type is asked only where it matters: one call less for most values.
            int sortField = -1;
            for (std::size_t k = 0; k < std::size(kSortFields); ++k)
                if (!printable && c - 1 == kSortFields[k])
                    sortField = int(k);
            const int type = sortField >= 0 ? sqlite3_column_type(h, c) : SQLITE_TEXT;
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(h, c));
            if (!text && sqlite3_column_type(h, c) == SQLITE_NULL) {
                m_start.push_back(quint32(m_bytes.size()));
                m_length.push_back(NullLength);
                continue;
            }
            const int bytes = sqlite3_column_bytes(h, c);
            if (!printable) {
                // The sort fields cut as for printing, as SQL's substr() cuts them.
                if (sortField >= 0) {
                    const int width = widths[sortField];
                    cuts[sortField] = type == SQLITE_BLOB ? std::min(std::size_t(bytes), std::size_t(width))
                                                          : cutLength(text, std::size_t(bytes), width);
                }
                if (bytes > kKeptBytes) {
                    m_start.push_back(quint32(m_bytes.size()));
                    m_length.push_back(LongLength);
                    continue;
                }
            }
            keep(text, std::size_t(bytes));
        }
        if (!printable) {
            // Mostly the start of the value already kept: nothing is copied.
            for (std::size_t k = 0; k < std::size(kSortFields); ++k) {
                const int f = kSortFields[k];
                const std::size_t i = first + std::size_t(f);
                if (m_length[i] == NullLength) {
                    m_start.push_back(quint32(m_bytes.size()));
                    m_length.push_back(NullLength);
                } else if (m_length[i] == LongLength) {
                    keep(reinterpret_cast<const char*>(sqlite3_column_text(h, f + 1)), cuts[k]);
                } else {
                    m_start.push_back(m_start[i]);
                    m_length.push_back(quint32(cuts[k]));
                }
            }
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

// Rank of each row's text in the Italian order, without regard to case and accents and
// then on the exact text (0 for Null); each distinct text is decoded and keyed once.
void ListPrinterArchiveWalk::ranks(int column, std::vector<quint32>& primary,
                                   std::vector<quint32>& full) const {
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
    std::vector<quint32> primaryOf(texts.size() + 1, 0);
    std::vector<quint32> fullOf(texts.size() + 1, 0);
    quint32 primaryRank = 0;
    quint32 fullRank = 0;
    for (std::size_t k = 0; k < byOrder.size(); ++k) {
        const Text& before = texts[byOrder[k > 0 ? k - 1 : 0]];
        const Text& now = texts[byOrder[k]];
        if (k == 0 || before.key != now.key)
            ++primaryRank;
        if (k == 0 || archive::ItalianCollation::compare(before.value, now.value) != 0)
            ++fullRank;
        primaryOf[byOrder[k] + 1] = primaryRank;
        fullOf[byOrder[k] + 1] = fullRank;
    }
    primary.resize(rows);
    full.resize(rows);
    for (quint32 r = 0; r < rows; ++r) {
        primary[r] = primaryOf[rowText[r]];
        full[r] = fullOf[rowText[r]];
    }
}

void ListPrinterArchiveWalk::sort() {
    // Both keys without regard to case and accents, then both on the exact text: the
    // record set's order.
    std::vector<quint32> keys[4];
    ranks(m_sortColumn, keys[0], keys[2]);
    ranks(m_sortColumn + 1, keys[1], keys[3]);
    std::stable_sort(m_order.begin(), m_order.end(), [&](quint32 a, quint32 b) {
        for (const auto& key : keys)
            if (key[a] != key[b])
                return key[a] < key[b];
        return false;
    });
}

void ListPrinterArchiveWalk::decode(QByteArrayView bytes, QString& text) {
    // Decoded into the text's own buffer: no allocation once it is large enough. Most
    // values are plain ASCII, widened as they are; the decoder takes over at the first
    // byte that is not, so a sequence is never split.
    const qsizetype size = bytes.size();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype ascii = 0;
    for (quint64 word; ascii + 8 <= size; ascii += 8) {
        std::memcpy(&word, in + ascii, sizeof word);
        if (word & 0x8080808080808080ull)
            break;
    }
    while (ascii < size && in[ascii] < 0x80)
        ++ascii;
    text.resize(size);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < ascii; ++i)
        out[i] = in[i];
    if (ascii == size)
        return;
    QChar* end = m_decoder.appendToBuffer(text.data() + ascii, bytes.sliced(ascii));
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
    // Rows come in name order from all over memory: the places of the row after next and
    // the bytes of the next one are asked for now, so they are there when needed.
    if (m_next + 1 < m_order.size()) {
        const std::size_t later = std::size_t(m_order[m_next + 1]) * std::size_t(m_columns);
        __builtin_prefetch(&m_start[later]);
        __builtin_prefetch(&m_start[later + Fields - 1]);
        __builtin_prefetch(&m_length[later]);
        __builtin_prefetch(&m_length[later + Fields - 1]);
    }
    if (m_next < m_order.size()) {
        // A row's kept values lie side by side.
        const std::size_t start = m_start[std::size_t(m_order[m_next]) * std::size_t(m_columns)];
        for (std::size_t at = start; at < std::min(start + 256, m_bytes.size()); at += 64)
            __builtin_prefetch(m_bytes.data() + at);
    }
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
