#include "archive/RecordsetAddressSource.h"

#include "archive/Recordset.h"

#include <algorithm>

namespace velomar::archive {

namespace {
const char* const FieldNames[AddressRecord::FieldCount] = {
    "NR",      "TITOLO",  "COGNOME", "NOME1",   "NOME2",   "INDIRIZZO", "CAP",  "CITTA",  "PROV",
    "NAZ",     "NUM_TEL", "NUM_FAX", "NUM_CEL", "E_MAIL",  "GR",        "NOTE", "APPUNTI"};
}

RecordsetAddressSource::RecordsetAddressSource(const Recordset& recordset) : m_rs(recordset) {
    for (int i = 0; i < AddressRecord::FieldCount; ++i)
        m_fields[std::size_t(i)] = m_rs.fieldIndex(QLatin1String(FieldNames[i]));
}

qint64 RecordsetAddressSource::count() const { return m_rs.recordCount(); }

bool RecordsetAddressSource::next(AddressRecord& record) {
    if (m_row >= m_rs.recordCount())
        return false;
    for (int i = 0; i < AddressRecord::FieldCount; ++i) {
        const int field = m_fields[std::size_t(i)];
        record[i] = field < 0 ? QString() : m_rs.textAt(m_row, field);
    }
    ++m_row;
    return true;
}

qint64 RecordsetAddressSource::skip(qint64 n) {
    const qint64 done = std::clamp<qint64>(m_rs.recordCount() - m_row, 0, std::max<qint64>(n, 0));
    m_row += done;
    return done;
}

} // namespace velomar::archive
