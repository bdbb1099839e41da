#pragma once

#include "archive/AddressRecord.h"

#include <vector>

namespace velomar::addresses {

// "Una sola etichetta per indirizzo": one address per door (same street, civic number
// and CAP, as the duplicates matching reads them), at the place of its first in the
// source's order. Several recipients who share a surname become one "FAMIGLIA ROSSI";
// otherwise the first is printed as it is. The source is read whole when this is made.
class HouseholdSource : public archive::AddressSource {
public:
    explicit HouseholdSource(archive::AddressSource& source);

    qint64 count() const override { return qint64(m_out.size()); }
    bool next(archive::AddressRecord& record) override;
    bool restart() override {
        m_next = 0;
        return true;
    }
    // Addresses of the source left out because another of their door is printed.
    qint64 joined() const { return m_joined; }

    // The door of an address; "" when it has neither street nor number (never joined).
    static QString doorOf(const archive::AddressRecord& record);

private:
    std::vector<archive::AddressRecord> m_out;
    std::size_t m_next = 0;
    qint64 m_joined = 0;
};

} // namespace velomar::addresses
