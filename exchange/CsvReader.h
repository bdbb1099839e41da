#pragma once

#include "exchange/SourceTable.h"

#include <QChar>
#include <QFile>
#include <QList>
#include <QString>

#include <deque>
#include <memory>
#include <optional>

namespace velomar::exchange {

class CsvParser;
class TextEncoding;

// How a CSV file is read. Unset members are detected: the encoding from the whole file,
// the rest from its first 64 KiB.
struct CsvFormat {
    QString encoding; // a TextEncoding name (user spellings accepted)
    QChar delimiter;  // ',' ';' '\t' '|' (any character may be forced)
    std::optional<bool> hasHeader;
};

// A CSV or text file as a table, read through a buffer so that memory does not grow with
// the file. Rows with only empty cells (blank lines, ";;;;" lines) are skipped; rows are
// padded to the number of columns, cells beyond it are dropped and the rows counted.
class CsvReader : public SourceTable {
public:
    // The given members kept, the others detected; throws ExchangeError (ReadFailed,
    // BadInput for an unknown encoding name).
    static CsvFormat detect(const QString& path, const CsvFormat& given = {});

    explicit CsvReader(const QString& path, const CsvFormat& given = {});
    ~CsvReader() override;

    // What is read: every member set.
    const CsvFormat& format() const { return m_format; }

    QStringList columns() const override { return m_columns; }
    bool next(QStringList& values) override;
    qint64 position() const override { return m_position; }
    QString description() const override;
    QStringList readNotes() const override;

    // Rows that had more cells than columns, cut to fit.
    qint64 overlongRows() const { return m_overlong; }

private:
    struct Row {
        QStringList values;
        qint64 line;
    };
    bool readRecord(QStringList& fields, qint64& line);

    QFile m_file;
    CsvFormat m_format;
    bool m_bom = false;
    std::unique_ptr<TextEncoding> m_decoder;
    std::unique_ptr<CsvParser> m_parser;
    QStringList m_columns;
    std::deque<Row> m_ahead; // rows read to count the columns of a file without a header
    qint64 m_position = 0;
    qint64 m_overlong = 0;
    bool m_atEnd = false;
};

} // namespace velomar::exchange
