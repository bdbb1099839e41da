#include "printing/ListPrinterRange.h"

#include "archive/DataModel.h"

#include <algorithm>

namespace velomar::printing {

ListPrinterRange::ListPrinterRange(std::optional<archive::Recordset> own,
                                   const archive::Recordset* rs, qint64 first, qint64 last)
    : m_own(std::move(own)), m_rs(m_own ? &*m_own : rs), m_first(first), m_last(last),
      m_next(first) {
    mapFields();
}

std::unique_ptr<ListPrinterRange> ListPrinterRange::wholeArchive(archive::Database& db) {
    archive::Recordset rs =
        archive::Recordset::open(db, QStringLiteral("TabMAIL"), archive::LockType::ReadOnly);
    archive::DataModel::applySortOrder(rs, archive::DataModel::COGNOME);
    const qint64 n = rs.recordCount();
    return std::unique_ptr<ListPrinterRange>(
        new ListPrinterRange(std::move(rs), nullptr, 0, n - 1));
}

std::unique_ptr<ListPrinterRange> ListPrinterRange::gridRows(const archive::Recordset& grid,
                                                             qint64 first, qint64 last) {
    // Rows past the grid's end (a stale selection) are not there to print.
    first = std::max<qint64>(first, 1);
    last = std::min(last, grid.recordCount());
    return std::unique_ptr<ListPrinterRange>(
        new ListPrinterRange(std::nullopt, &grid, first - 1, std::max(last, first - 1) - 1));
}

void ListPrinterRange::mapFields() {
    for (int f = 0; f < archive::AddressRecord::FieldCount; ++f)
        m_fields[std::size_t(f)] = m_rs->fieldIndex(archive::DataModel::fieldName(f));
}

bool ListPrinterRange::next(archive::AddressRecord& record) {
    if (m_next > m_last)
        return false;
    for (int f = 0; f < archive::AddressRecord::FieldCount; ++f) {
        const int column = m_fields[std::size_t(f)];
        record[f] = column >= 0 ? m_rs->textAt(m_next, column) : QString();
    }
    ++m_next;
    return true;
}

} // namespace velomar::printing
