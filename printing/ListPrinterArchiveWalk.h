#pragma once

#include "archive/AddressRecord.h"

#include <QStringDecoder>
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
    // Throws DatabaseError.
    explicit ListPrinterArchiveWalk(archive::Database& db);

    qint64 count() const override { return qint64(m_order.size()); }
    bool next(archive::AddressRecord& record) override;

private:
    static constexpr int Fields = archive::AddressRecord::FieldCount;
    static constexpr quint32 NullLength = 0xFFFFFFFFu;

    void load(archive::Database& db);
    void sort();
    std::vector<quint32> ranks(int field, bool primaryOnly) const;
    QByteArrayView cell(quint32 row, int field) const;

    std::string m_bytes;
    std::vector<quint32> m_start;  // row * Fields + field
    std::vector<quint32> m_length; // NullLength for Null
    std::vector<quint32> m_order;
    std::size_t m_next = 0;
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                       QStringDecoder::Flag::Stateless};
};

} // namespace velomar::printing
