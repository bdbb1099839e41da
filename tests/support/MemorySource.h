#pragma once

#include "archive/AddressRecord.h"

#include <vector>

namespace velomar::test {

// Addresses held in memory, walked once.
class MemorySource : public archive::AddressSource {
public:
    MemorySource() = default;
    explicit MemorySource(std::vector<archive::AddressRecord> records) : m_records(std::move(records)) {}

    void add(const archive::AddressRecord& r) { m_records.push_back(r); }
    qint64 count() const override { return qint64(m_records.size()); }
    bool next(archive::AddressRecord& record) override {
        if (m_next >= m_records.size())
            return false;
        record = m_records[m_next++];
        return true;
    }
    void rewind() { m_next = 0; }

private:
    std::vector<archive::AddressRecord> m_records;
    std::size_t m_next = 0;
};

// An address from its label fields: NR, TITOLO, COGNOME, NOME1, NOME2, INDIRIZZO, CAP,
// CITTA, PROV, NAZ.
inline archive::AddressRecord address(const QString& nr, const QString& titolo,
                                      const QString& cognome, const QString& nome1,
                                      const QString& nome2, const QString& indirizzo,
                                      const QString& cap, const QString& citta,
                                      const QString& prov, const QString& naz = {}) {
    return {{nr, titolo, cognome, nome1, nome2, indirizzo, cap, citta, prov, naz}};
}

// A plain Italian address numbered n.
inline archive::AddressRecord sampleAddress(int n) {
    return address(QString::number(n), QStringLiteral("Spett.le"), QStringLiteral("ROSSI%1").arg(n),
                   QStringLiteral("MARIO"), QString(), QStringLiteral("VIA ROMA %1").arg(n),
                   QStringLiteral("00100"), QStringLiteral("ROMA"), QStringLiteral("RM"));
}

// The plain addresses 1..count.
inline MemorySource sampleSource(int count) {
    MemorySource source;
    for (int i = 1; i <= count; ++i)
        source.add(sampleAddress(i));
    return source;
}

} // namespace velomar::test
