#pragma once

#include "exchange/SourceTable.h"

#include <QStringList>
#include <vector>

namespace velomar::test {

// A source table held in memory: a header and rows, positions counted as lines of a CSV
// file with a header (the first row is line 2).
class MemoryTable : public exchange::SourceTable {
public:
    MemoryTable(QStringList columns, std::vector<QStringList> rows)
        : m_columns(std::move(columns)), m_rows(std::move(rows)) {}

    QStringList columns() const override { return m_columns; }
    bool next(QStringList& values) override {
        if (m_next >= m_rows.size())
            return false;
        values = m_rows[m_next++];
        return true;
    }
    qint64 position() const override { return qint64(m_next) + 1; }
    QString description() const override { return QStringLiteral("Tabella di prova"); }

private:
    QStringList m_columns;
    std::vector<QStringList> m_rows;
    std::size_t m_next = 0;
};

} // namespace velomar::test
