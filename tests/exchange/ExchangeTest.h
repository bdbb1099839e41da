#pragma once

#include "support/ArchiveFixture.h"
#include "archive/DataModel.h"
#include "exchange/ExchangeError.h"
#include "exchange/SourceTable.h"
#include "support/CommandRun.h"
#include "support/TestEnvironment.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace velomar::test {

// A file of tests/exchange/data.
inline QString exchangeData(const QString& name) {
    return sourcePath(QStringLiteral("tests/exchange/data/") + name);
}

// A source table held in memory: a header and rows, positions counted as lines of a CSV
// file with a header (the first row is line 2). beforeRow(n), when given, is called before the
// n-th row (from 1) is handed out: to fail as a damaged source does half way, or to act while
// the rows are read.
class MemoryTable : public exchange::SourceTable {
public:
    MemoryTable(QStringList columns, std::vector<QStringList> rows,
                std::function<void(int)> beforeRow = {})
        : m_columns(std::move(columns)), m_rows(std::move(rows)),
          m_beforeRow(std::move(beforeRow)) {}

    QStringList columns() const override { return m_columns; }
    bool next(QStringList& values) override {
        if (m_beforeRow)
            m_beforeRow(int(m_next) + 1);
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
    std::function<void(int)> m_beforeRow;
    std::size_t m_next = 0;
};

// A reader's failure on row n, for MemoryTable.
inline std::function<void(int)> unreadableAt(int row, const QString& text) {
    return [=](int n) {
        if (n == row)
            throw exchange::ExchangeError(exchange::ExchangeError::Unreadable, text);
    };
}

// Every row of a reader, each as wide as its columns; lines gets the position of each.
inline QList<QStringList> readRows(exchange::SourceTable& reader, QList<qint64>* lines = nullptr) {
    QList<QStringList> rows;
    QStringList values;
    while (reader.next(values)) {
        EXPECT_EQ(values.size(), reader.columns().size());
        rows.append(values);
        if (lines)
            lines->append(reader.position());
    }
    return rows;
}

// The ExchangeError a call throws: code -1 and no text when it throws none.
struct Refusal {
    int code = -1;
    QString text;
};
template <typename F> Refusal refusalOf(F&& call) {
    try {
        call();
    } catch (const exchange::ExchangeError& e) {
        return {e.code(), e.description()};
    }
    return {};
}

// Words that SQLite, Qt, libmdb and the C library write, never the program's Italian
// ("database" is both).
inline bool looksEnglish(const QString& text) {
    static const QRegularExpression words(
        QStringLiteral(
            R"(\b(the|is|not|or|disk|error|unable|failed|malformed|locked|unknown|)"
            R"(denied|such|space|mdb_\w+|page|valid|table definition|segmentation|abort)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return words.match(text).hasMatch();
}

// EXPECT_TRUE(test::has(text, part)) shows the whole text when the part is missing.
inline testing::AssertionResult has(const QString& text, const QString& part) {
    if (text.contains(part))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no \"" << part.toStdString() << "\" in:\n"
                                       << text.toStdString();
}

// Text as UTF-16 with its byte-order mark, as Windows programs write it.
inline QByteArray utf16(const QString& text) {
    return QByteArray("\xFF\xFE") +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// Every stored row of an archive, fields 1..16 as SQL literals (Null told apart from ''),
// joined by '|', sorted.
inline QStringList storedRows(const QString& path, const QString& where = {}) {
    QStringList fields;
    for (int f = 1; f <= 16; ++f)
        fields << QStringLiteral("quote(%1)").arg(archive::DataModel::fieldName(f));
    archive::Database db(path, archive::Database::Mode::ReadOnly);
    archive::Statement st(db, QStringLiteral("SELECT %1 FROM TabMAIL %2 ORDER BY 1")
                                  .arg(fields.join(QStringLiteral("||'|'||")), where));
    QStringList rows;
    while (st.step())
        rows << st.text(0);
    return rows;
}

} // namespace velomar::test
