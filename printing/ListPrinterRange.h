#pragma once

#include "archive/AddressRecord.h"
#include "archive/ListRange.h"
#include "archive/Recordset.h"

#include <array>
#include <memory>

namespace velomar::archive {
class Database;
}

namespace velomar::printing {

using archive::ListRange;

// Walks a range of addresses once, in its order: the whole archive by surname, or rows of
// the address grid's record set as the grid shows them. The grid's record set is read by
// row, never moved, so its position stays where it was.
class ListPrinterRange : public archive::AddressSource {
public:
    // Every address of the archive, sorted by surname and first name; printable: each
    // value cut to what a print shows, else as stored (an export).
    enum class Values { Printable, AsStored };
    static std::unique_ptr<archive::AddressSource> wholeArchive(archive::Database& db, Values values);
    // Rows first..last (1-based, as the grid numbers them) of the grid's record set.
    static std::unique_ptr<ListPrinterRange> gridRows(const archive::Recordset& grid, qint64 first,
                                                      qint64 last);

    qint64 count() const override { return m_last - m_first + 1; }
    bool next(archive::AddressRecord& record) override;
    qint64 skip(qint64 n) override;
    bool restart() override {
        m_next = m_first;
        return true;
    }

private:
    ListPrinterRange(const archive::Recordset& rs, qint64 first, qint64 last);
    void mapFields();

    const archive::Recordset& m_rs;
    qint64 m_first; // 0-based view rows
    qint64 m_last;
    qint64 m_next;
    std::array<int, archive::AddressRecord::FieldCount> m_fields{};
};

} // namespace velomar::printing
