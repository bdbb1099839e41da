#pragma once

#include "common/AppError.h"

namespace velomar::exchange {

// A failure of an export or import job (file not writable, disk full, source refused).
class ExchangeError : public common::AppError {
public:
    static constexpr int WriteFailed = 75;  // the file could not be written
    static constexpr int SameArchive = 76; // import of an archive into itself
    static constexpr int Unsupported = 77; // a file of a kind no reader takes
    static constexpr int Unreadable = 78;  // a source that cannot be read

    using common::AppError::AppError;
};

} // namespace velomar::exchange
