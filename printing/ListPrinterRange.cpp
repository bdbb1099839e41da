#include "printing/ListPrinterRange.h"

#include "archive/DataModel.h"
#include "printing/ListPrinterArchiveWalk.h"

#include <algorithm>

namespace velomar::printing {

ListPrinterRange::ListPrinterRange(const archive::Recordset& rs, qint64 first, qint64 last)
    : m_rs(rs), m_first(first), m_last(last), m_next(first) {
    mapFields();
}

std::unique_ptr<archive::AddressSource> ListPrinterRange::wholeArchive(archive::Database& db,
                                                                      Values values) {
    return std::make_unique<ListPrinterArchiveWalk>(
        db, values == Values::Printable ? ListPrinterArchiveWalk::Values::Printable
                                        : ListPrinterArchiveWalk::Values::AsStored);
}

std::unique_ptr<ListPrinterRange> ListPrinterRange::gridRows(const archive::Recordset& grid,
                                                             qint64 first, qint64 last) {
    // Rows past the grid's end (a stale selection) are not there to print.
    first = std::max<qint64>(first, 1);
    last = std::min(last, grid.recordCount());
    return std::unique_ptr<ListPrinterRange>(
        new ListPrinterRange(grid, first - 1, std::max(last, first - 1) - 1));
}

void ListPrinterRange::mapFields() {
    for (int f = 0; f < archive::AddressRecord::FieldCount; ++f)
        m_fields[std::size_t(f)] = m_rs.fieldIndex(archive::DataModel::fieldName(f));
}

qint64 ListPrinterRange::skip(qint64 n) {
    const qint64 passed = std::clamp<qint64>(n, 0, std::max<qint64>(m_last + 1 - m_next, 0));
    m_next += passed;
    return passed;
}

bool ListPrinterRange::next(archive::AddressRecord& record) {
    if (m_next > m_last)
        return false;
    for (int f = 0; f < archive::AddressRecord::FieldCount; ++f) {
        const int column = m_fields[std::size_t(f)];
        record[f] = column >= 0 ? m_rs.textAt(m_next, column) : QString();
    }
    ++m_next;
    return true;
}

} // namespace velomar::printing
