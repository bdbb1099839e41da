#pragma once

#include "ArchiveFixture.h"
#include "MemoryTable.h"
#include "exchange/ExchangeError.h"
#include "exchange/SourceTable.h"
#include "support/CommandRun.h"
#include "support/TestEnvironment.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>
#include <vector>

namespace velomar::test {

// A file of tests/exchange/data.
inline QString exchangeData(const QString& name) {
    return sourcePath(QStringLiteral("tests/exchange/data/") + name);
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

// Words that SQLite, Qt, libmdb and the C library write, never the program's Italian.
inline bool looksEnglish(const QString& text) {
    static const QRegularExpression words(
        QStringLiteral(
            R"(\b(the|is|not|or|database|disk|error|unable|failed|malformed|locked|unknown|)"
            R"(denied|such|space|mdb_\w+|page|valid|table definition|segmentation|abort)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    return words.match(text).hasMatch();
}

} // namespace velomar::test
