#pragma once

#include "archive/AddressRecord.h"
#include "archive/Statement.h"

#include <QStringDecoder>
#include <optional>
#include <string>
#include <vector>

namespace velomar::archive {
class Database;
}

namespace velomar::printing {

// Every address of an archive in surname order (COGNOME, NOME1, as the record set sorts
// them: Null first, the Italian order, equal names in number order), read in one pass.
// Rows are kept as UTF-8, one row's fields side by side, so the walk in sorted order
// touches one place per address; fields are decoded into the caller's record, reusing
// its texts, so a walk of the whole archive allocates next to nothing.
class ListPrinterArchiveWalk : public archive::AddressSource {
public:
    // Printable: each field read only as far as it can be printed (DataModel::printWidth),
    // so time and memory follow the number of addresses, not the bytes stored. AsStored
    // (an export): the values whole; a long one is not kept but read again, with its
    // row, on its turn. Both sort on the names cut as for printing: the same order.
    enum class Values { Printable, AsStored };

    // Throws DatabaseError.
    ListPrinterArchiveWalk(archive::Database& db, Values values);

    qint64 count() const override { return qint64(m_order.size()); }
    bool next(archive::AddressRecord& record) override;
    qint64 skip(qint64 n) override;
    bool restart() override {
        m_next = 0;
        return true;
    }

private:
    static constexpr int Fields = archive::AddressRecord::FieldCount;
    static constexpr quint32 NullLength = 0xFFFFFFFFu;
    static constexpr quint32 LongLength = 0xFFFFFFFEu; // not kept: read again

    void load(archive::Database& db);
    void sort();
    void ranks(int column, std::vector<quint32>& primary, std::vector<quint32>& full) const;
    QByteArrayView cell(quint32 row, int column) const;
    void decode(QByteArrayView bytes, QString& text);

    int m_columns;    // per row: the fields, then (AsStored) the two cut sort fields
    int m_sortColumn; // first of the two sort columns
    std::string m_bytes;
    std::vector<quint32> m_start;  // row * m_columns + column
    std::vector<quint32> m_length; // NullLength for Null
    std::vector<qint64> m_rowid;   // where to read a row again
    std::vector<quint32> m_order;
    std::size_t m_next = 0;
    std::optional<archive::Statement> m_row; // AsStored: one row by rowid
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                       QStringDecoder::Flag::Stateless};
};

} // namespace velomar::printing
