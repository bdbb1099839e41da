#pragma once

#include <QString>
#include <QStringList>

namespace velomar::exchange {

// RFC 4180 records out of decoded text that arrives in chunks: quoted fields may hold the
// delimiter, doubled quotes and line breaks; CRLF, LF and lone CR end a record. A record
// is parsed once its end has been seen; the search for the end goes on where the last
// chunk stopped it, so that a long record costs no more than a short one per character.
// A record longer than kMaxTextLine throws ExchangeError::lineTooLong.
class CsvParser {
public:
    explicit CsvParser(QChar delimiter) : m_delimiter(delimiter) {}

    void append(QStringView text);
    // No more text will come: the last record may end without a line break.
    void close() { m_closed = true; }

    // The next record; false when more text is needed or, after close(), at the end.
    // A quote still open at the end throws ExchangeError(BadInput).
    bool next(QStringList& fields);

    // Line (from 1) on which the record last returned began.
    qint64 line() const { return m_recordLine; }

private:
    enum class Scan { FieldStart, Unquoted, Quoted, QuoteSeen };
    bool recordComplete();

    QChar m_delimiter;
    QString m_buffer;
    qsizetype m_pos = 0;
    qint64 m_line = 1;
    qint64 m_recordLine = 0;
    bool m_closed = false;
    qsizetype m_scan = 0; // how far the end of the record at m_pos was looked for
    Scan m_scanState = Scan::FieldStart;
};

} // namespace velomar::exchange
