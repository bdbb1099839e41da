#pragma once

#include <QString>
#include <QStringList>

namespace velomar::exchange {

// The longest line or value, in characters, a text source reads: far above any field,
// low enough that a file of one endless line stops at once (ExchangeError::lineTooLong).
inline constexpr qsizetype kMaxTextLine = qsizetype(1) << 20;

// One table of addresses in an outside format (a CSV file, the cards of a vCard file, a
// table of an Access database), read one row at a time so that memory does not grow with
// the file. Readers throw ExchangeError for input they cannot read.
class SourceTable {
public:
    virtual ~SourceTable() = default;

    // Column names: the header's, generated ones ("Colonna 1", ...) for a file without a
    // header, or the fixed property columns of a card format.
    virtual QStringList columns() const = 0;

    // The next row, one value per column (missing values empty); false at the end.
    virtual bool next(QStringList& values) = 0;

    // Where the last row began in the source (line of a text file, card or record number),
    // for messages that point at a row.
    virtual qint64 position() const = 0;

    // What was read, for the user: format, encoding, delimiter, header.
    virtual QString description() const = 0;

    // What a row is called when the summary counts the rows read ("Schede vCard"); empty
    // when it does not.
    virtual QString rowsCaption() const { return {}; }

    // Counted repairs of the read, for the summary (empty when none was needed).
    virtual QStringList readNotes() const { return {}; }
};

} // namespace velomar::exchange
