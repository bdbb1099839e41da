#pragma once

#include "common/AppError.h"

class QFileDevice;

namespace velomar::exchange {

// A failure of an export or import job (file not writable, disk full, source refused).
class ExchangeError : public common::AppError {
public:
    static constexpr int WriteFailed = 75;  // the file could not be written
    static constexpr int SameArchive = 76; // import of an archive into itself
    // A move refused, before the copy or before the delete; the source keeps every row.
    static constexpr int SourceReadOnly = 77; // the source file or its folder cannot be written
    static constexpr int NoUniqueKey = 78;    // no key tells the copied rows of the source apart
    static constexpr int TargetMoved = 79;    // the target path no longer names the file written
    static constexpr int SourceChanged = 80;  // copied rows changed, or the delete count differs
    static constexpr int BadInput = 81;    // a source file that cannot be read as its format
    static constexpr int ReadFailed = 82;  // a source file that cannot be opened or read
    static constexpr int Unsupported = 83; // a file of a kind no reader takes
    static constexpr int Unreadable = 84;  // a source that cannot be read

    using common::AppError::AppError;

    // A source file whose read failed, with the system's cause.
    static ExchangeError readFailed(const QFileDevice& file);
    // A line (or value) of a text source longer than kMaxTextLine, starting at line.
    static ExchangeError lineTooLong(qint64 line);
};

} // namespace velomar::exchange
