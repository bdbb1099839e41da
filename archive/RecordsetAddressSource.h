#pragma once

#include "archive/AddressRecord.h"

#include <array>

namespace velomar::archive {

class Recordset;

// Walks a record set's rows in view order (filter and sort as set) from the first row,
// reading the address fields by name. The record set's own position is not moved, and
// it must stay open and unchanged during the walk. Fields it lacks read as "".
class RecordsetAddressSource : public AddressSource {
public:
    explicit RecordsetAddressSource(const Recordset& recordset);

    qint64 count() const override;
    bool next(AddressRecord& record) override;
    qint64 skip(qint64 n) override;
    // Starts the walk again from the first row.
    void rewind() { m_row = 0; }

private:
    const Recordset& m_rs;
    std::array<int, AddressRecord::FieldCount> m_fields{};
    qint64 m_row = 0;
};

} // namespace velomar::archive
